#include "GalleryPages.h"

#include "widgets/cells/ZQIconTextFieldCell.h"
#include "widgets/cells/ZQSourceListCell.h"
#include "widgets/controls/ZQRoundRectSelectorControl.h"
#include "widgets/headers/ZQSingleTitleTableHeaderView.h"
#include "widgets/outline/VLTMCustomHighlightOutlineView.h"
#include "widgets/paint/KitImage.h"
#include "widgets/previews/ZQDocumentPreviewView.h"
#include "widgets/previews/ZQTextPreviewView.h"
#include "widgets/sections/ZQSectionView.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"
#include "widgets/tabs/XQIconTabBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QImage styleIcon(QStyle::StandardPixmap which, int side = 16)
{
    return QApplication::style()->standardIcon(which).pixmap(side, side).toImage();
}

QLabel* caption(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

// A pane of a container: a few lines of text of a given height.
QWidget* paneContent(const QString& text, int height)
{
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->resize(200, height);
    return label;
}

QWidget* makeContainers()
{
    auto* scroll = new QScrollArea;
    scroll->setMinimumSize(300, 420);
    auto* host = new ZQCollapsibleContainerView(QRectF(0, 0, 280, 100));
    host->setTitle(QStringLiteral("Style components"));
    host->setAllowsReordering(true);
    host->setDrawsShinyGradient(true);
    host->setCornerRadius(6);
    host->setBorderWidth(1);
    const QStringList titles{QStringLiteral("Stroke"), QStringLiteral("Fill"), QStringLiteral("Shadow"),
                             QStringLiteral("Group")};
    for (int i = 0; i < titles.size(); ++i) {
        auto* sub = new ZQCollapsibleContainerView(QRectF(0, 0, 280, 40));
        sub->setTitle(titles[i]);
        sub->setAllowsReordering(true);
        sub->setTitleBarStyle(i == 1 ? 2 : 1);
        sub->setCloseButton(ZQCollapsibleContainerView::closeButton());
        sub->setHelpButtonVisible(i == 0);
        sub->addViewToContent(paneContent(QStringLiteral("%1 settings").arg(titles[i]), 40 + 12 * i));
        host->addViewToContent(sub);
        if (i == 3) {
            auto* nested = new ZQCollapsibleContainerView(QRectF(0, 0, 280, 40));
            nested->setTitle(QStringLiteral("Nested stroke"));
            nested->setAllowsReordering(true);
            nested->addViewToContent(paneContent(QStringLiteral("inside the group"), 36));
            sub->setAllowsReordering(true);
            sub->addViewToContent(nested);
        }
        if (i == 2)
            sub->setCollapsed(true);
    }
    scroll->setWidget(host);
    scroll->setWidgetResizable(false);
    return scroll;
}

// A tool palette of its own: the sections resize their window.
QWidget* makeSectionPalette(QWidget* owner)
{
    auto* sections = new ZQMultiSectionView(owner);
    sections->setWindowFlag(Qt::Tool);
    sections->setWindowTitle(QStringLiteral("Sections"));
    sections->setGeometry(1300, 60, 220, 300);
    const QStringList titles{QStringLiteral("Selection"), QStringLiteral("Graphics"), QStringLiteral("Cartography")};
    for (int i = 0; i < titles.size(); ++i) {
        auto* section = new ZQSectionView(QRect(0, 0, 220, 16 + 40 + 20 * i));
        section->setTitle(titles[i]);
        section->setEnabled(i != 2);
        section->setContentView(paneContent(QStringLiteral("%1 tools").arg(titles[i]), 40));
        section->awakeFromInterface();
        sections->addSection(section);
    }
    sections->show();
    return sections;
}

QWidget* makeOutline()
{
    auto* model = new QStandardItemModel;
    for (int i = 0; i < 12; ++i) {
        auto* layer = new QStandardItem(QStringLiteral("Layer %1").arg(i + 1));
        if (i == 1) {
            layer->appendRow(new QStandardItem(QStringLiteral("Roads")));
            layer->appendRow(new QStandardItem(QStringLiteral("Rivers")));
        }
        model->appendRow(layer);
    }
    auto* outline = new VLTMCustomHighlightOutlineView;
    model->setParent(outline);
    outline->setModel(model);
    outline->setHeaderHidden(true);
    outline->setSelectionMode(QAbstractItemView::ExtendedSelection);
    outline->expandAll();
    for (int row : {2, 3, 4, 7})
        outline->selectionModel()->select(model->index(row, 0), QItemSelectionModel::Select);
    outline->setMinimumSize(200, 220);
    return outline;
}

QWidget* makeTabBar()
{
    auto* bar = new XQIconTabBar;
    QList<XQIconTabBar::Item> items;
    const QList<QStyle::StandardPixmap> icons{QStyle::SP_DialogOpenButton, QStyle::SP_ComputerIcon,
                                              QStyle::SP_DriveHDIcon, QStyle::SP_FileIcon};
    const QStringList tips{QStringLiteral("Swatches"), QStringLiteral("Wheel"), QStringLiteral("Sliders"),
                           QStringLiteral("Lists")};
    for (int i = 0; i < icons.size(); ++i)
        items << XQIconTabBarItem::itemWithIconTooltip(styleIcon(icons[i]), tips[i]);
    bar->setItems(items);
    bar->setFixedSize(bar->sizeHint());
    auto* multiple = new QCheckBox(QStringLiteral("Multiple selection"));
    QObject::connect(multiple, &QCheckBox::toggled, bar, &XQIconTabBar::setMultipleSelection);
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(bar);
    layout->addWidget(multiple);
    return box;
}

QWidget* makeListCells(QObject* owner)
{
    auto* model = new QStandardItemModel(0, 1, owner);
    const QList<std::tuple<QString, int, bool>> rows{{QStringLiteral("Library"), 7, false},
                                                     {QStringLiteral("Transport symbols"), 120, false},
                                                     {QStringLiteral("Importing…"), 3, true},
                                                     {QString(300, QLatin1Char('W')), 0, false}};
    for (const auto& [name, count, busy] : rows) {
        auto* item = new QStandardItem(name);
        item->setData(styleIcon(QStyle::SP_DirIcon), Qt::DecorationRole);
        item->setData(count, ZQSourceListCell::BadgeCountRole);
        item->setData(busy, ZQSourceListCell::BusyRole);
        model->appendRow(item);
    }
    auto* sourceList = new QTableView;
    auto* sourceCell = new ZQSourceListCell(sourceList);
    sourceCell->setBadgeColour(QColor(80, 120, 200));
    sourceList->setItemDelegate(sourceCell);
    sourceList->setModel(model);
    sourceList->verticalHeader()->hide();
    sourceList->setHorizontalHeader(new ZQSingleTitleTableHeaderView);
    static_cast<ZQSingleTitleTableHeaderView*>(sourceList->horizontalHeader())->setTitle(QStringLiteral("Source list"));
    sourceList->horizontalHeader()->setStretchLastSection(true);
    sourceList->verticalHeader()->setDefaultSectionSize(20);
    sourceList->selectRow(1);

    auto* folders = new QStandardItemModel(0, 2, owner);
    for (const QString& name : {QStringLiteral("Maps"), QStringLiteral("Textures"), QStringLiteral("Exports")})
        folders->appendRow({new QStandardItem(name), new QStandardItem(QStringLiteral("folder"))});
    auto* folderTable = new QTableView;
    auto* iconCell = new ZQIconTextFieldCell(folderTable);
    iconCell->setTextFieldIcon(styleIcon(QStyle::SP_DirClosedIcon));
    folderTable->setItemDelegateForColumn(0, iconCell);
    folderTable->setModel(folders);
    folderTable->verticalHeader()->hide();
    auto* header = new ZQSingleTitleTableHeaderView;
    header->awakeFromInterface();
    header->setTitle(QStringLiteral("Folders"));
    folderTable->setHorizontalHeader(header);
    folderTable->verticalHeader()->setDefaultSectionSize(22);

    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(sourceList);
    layout->addWidget(folderTable);
    return box;
}

QWidget* makePreviews()
{
    auto* box = new QWidget;
    auto* layout = new QGridLayout(box);
    auto* page = new ZQDocumentPreviewView(QRect(0, 0, 140, 140));
    page->setAspect(QSizeF(595, 842));
    page->setMinimumSize(140, 140);
    layout->addWidget(page, 0, 0);
    auto* landscape = new ZQDocumentPreviewView(QRect(0, 0, 140, 140));
    landscape->setAspect(QSizeF(842, 595));
    landscape->setDocumentColour(QColor(250, 244, 225));
    landscape->setBackgroundColour(QColor(210, 214, 220));
    landscape->setMinimumSize(140, 140);
    layout->addWidget(landscape, 0, 1);

    auto* corners = new ZQRoundRectSelectorControl;
    corners->setCorners(9);
    corners->setMinimumSize(80, 60);
    layout->addWidget(corners, 1, 0);
    auto* mixed = new ZQRoundRectSelectorControl;
    mixed->setState(ZQRoundRectSelectorControl::kMixedState);
    mixed->setMinimumSize(80, 60);
    layout->addWidget(mixed, 1, 1);

    auto* text = new ZQTextPreviewView;
    text->setBordered(true);
    QFont serif(QStringLiteral("serif"));
    text->setWithStringAttributes(QStringLiteral("Quorvane Hills"), {{platform::kFontAttributeName, serif}});
    text->setMinimumSize(160, 60);
    layout->addWidget(text, 2, 0);
    auto* placeholder = new ZQTextPreviewView;
    placeholder->setBordered(true);
    placeholder->setPlaceholderString(platform::AttributedString(QStringLiteral("No font")));
    placeholder->setMinimumSize(160, 60);
    layout->addWidget(placeholder, 2, 1);
    return box;
}

QGroupBox* group(const QString& title, QWidget* content, const QString& note = {})
{
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    if (!note.isEmpty())
        layout->addWidget(caption(note));
    layout->addWidget(content, 1);
    return box;
}

} // namespace

QWidget* makeStacksListsPage()
{
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Widget gallery: stacks and lists"));
    auto* layout = new QGridLayout(window);
    layout->addWidget(group(QStringLiteral("Collapsible containers"), makeContainers(),
                            QStringLiteral("Drag a title bar to reorder; double-click or the triangle collapses; "
                                           "Alt-click collapses or expands all.")),
                      0, 0, 2, 1);
    makeSectionPalette(window);
    layout->addWidget(group(QStringLiteral("Outline (one gradient per run)"), makeOutline()), 0, 1, 2, 1);
    layout->addWidget(group(QStringLiteral("Icon tab bar"), makeTabBar()), 0, 2);
    layout->addWidget(group(QStringLiteral("List cells and header"), makeListCells(window)), 1, 2);
    layout->addWidget(group(QStringLiteral("Previews and corner selector"), makePreviews()), 0, 3, 2, 1);
    window->resize(1280, 720);
    return window;
}
