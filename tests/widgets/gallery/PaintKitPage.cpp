#include "GalleryPages.h"

#include "platform/ui/Toolbar.h"
#include "widgets/cells/ImageCells.h"
#include "widgets/cells/RSVerticallyCenteredTextFieldCell.h"
#include "widgets/cells/TableCellViews.h"
#include "widgets/cells/ZQCheckboxCell.h"
#include "widgets/controls/ScrollwheelControls.h"
#include "widgets/controls/ZQSegmentedControl.h"
#include "widgets/controls/ZQToolbarItem.h"
#include "widgets/formatters/ZQPrefixedDateFormatter.h"
#include "widgets/sheets/ZQViewSourceController.h"
#include "widgets/tracking/RectTracking.h"
#include "widgets/views/SmallViews.h"
#include "widgets/views/ZQDebuggingScrollView.h"
#include "widgets/views/ZQLineEdgeView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Shows the value of whatever control last sent it its action.
class ActionEcho : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    Q_INVOKABLE void valueAction(QObject* sender)
    {
        setText(QStringLiteral("%1 sent %2").arg(QString::fromLatin1(sender->metaObject()->className()),
                                                 sender->property("value").toString()));
    }
};

// Allows what its check box says, for a toolbar item's control.
class Validator : public QObject {
    Q_OBJECT

public:
    explicit Validator(QCheckBox* allow) : QObject(allow), m_allow(allow) {}

    Q_INVOKABLE bool validateUserInterfaceItem(QObject*) { return m_allow->isChecked(); }
    Q_INVOKABLE void valueAction(QObject*) {}

private:
    QCheckBox* m_allow;
};

// A pad that behaves like a button: pressed look while the mouse is inside, a click counted
// only when released inside.
class PressPad : public QWidget, public RectTrackingConvenience {
public:
    PressPad() { setMinimumSize(160, 44); }

    void mouseDidEnterRect(const QRectF&) override { m_pressed = true; }
    void mouseDidExitRect(const QRectF&) override { m_pressed = false; }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        trackMouseEventForRect(this, *event, pad(), [this](bool inside) {
            m_clicks += inside ? 1 : 0;
            update();
        });
    }
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(palette().color(m_pressed ? QPalette::Highlight : QPalette::Button));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRoundedRect(pad(), 6, 6);
        painter.setPen(palette().color(m_pressed ? QPalette::HighlightedText : QPalette::ButtonText));
        painter.drawText(pad(), Qt::AlignCenter, QStringLiteral("Released inside: %1").arg(m_clicks));
    }

private:
    QRectF pad() const { return QRectF(rect()).adjusted(4.5, 4.5, -4.5, -4.5); }

    bool m_pressed = false;
    int m_clicks = 0;
};

// Supplies the cell tables' context menu.
class TableMenus : public QObject {
    Q_OBJECT

public:
    explicit TableMenus(QObject* parent) : QObject(parent) {}

    Q_INVOKABLE QMenu* contextualMenuForTableViewTableColumnRow(QTableView*, int column, int row)
    {
        m_menu.clear();
        m_menu.addAction(QStringLiteral("Row %1, column %2").arg(row).arg(column));
        return &m_menu;
    }

private:
    QMenu m_menu;
};

// Makes images for lazy cells, once per cell.
class CircleMaker : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    Q_INVOKABLE QImage imageToFitSize(QSizeF size)
    {
        QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0x3a, 0x7b, 0xd5));
        painter.setPen(Qt::NoPen);
        const double side = std::min(size.width(), size.height()) - 8;
        painter.drawEllipse(QRectF(0, 0, side, side).translated((size.width() - side) / 2, 4));
        return image;
    }
};

QGroupBox* section(const QString& title, QLayout* content)
{
    auto* box = new QGroupBox(title);
    box->setLayout(content);
    return box;
}

QGroupBox* scrollwheelSection(ActionEcho* echo)
{
    auto* form = new QFormLayout;
    auto connectEcho = [echo](ControlAction* control) {
        control->setTarget(echo);
        control->setAction("valueAction");
    };
    auto* slider = new ZQScrollwheelSlider;
    slider->setRange(0, 100);
    slider->setValue(40);
    connectEcho(slider);
    form->addRow(QStringLiteral("Slider 0…100"), slider);
    auto* disabled = new ZQScrollwheelSlider;
    disabled->setRange(0, 100);
    disabled->setValue(70);
    disabled->setEnabled(false);
    form->addRow(QStringLiteral("Disabled"), disabled);
    auto* dial = new ZQScrollwheelCircularSlider;
    dial->setRange(0, 360);
    dial->setValue(358);
    dial->setFixedSize(64, 64);
    connectEcho(dial);
    form->addRow(QStringLiteral("Circular 0…360"), dial);
    auto* stepper = new ZQScrollwheelStepper;
    stepper->setRange(-1.0, 1.0);
    stepper->setSingleStep(0.1);
    stepper->setWrapping(true);
    connectEcho(stepper);
    form->addRow(QStringLiteral("Wrapping stepper"), stepper);
    auto* plainStepper = new ZQScrollwheelStepper;
    plainStepper->setRange(0, 10);
    connectEcho(plainStepper);
    form->addRow(QStringLiteral("Stepper 0…10"), plainStepper);
    form->addRow(QStringLiteral("Last action"), echo);
    return section(QStringLiteral("Scroll-wheel controls"), form);
}

QGroupBox* segmentsSection(ActionEcho* echo)
{
    auto* form = new QFormLayout;
    const QStringList labels{QStringLiteral("Map"), QStringLiteral("Layers"), QStringLiteral("Style")};
    for (const bool enabled : {true, false}) {
        auto* control = new ZQSegmentedControl;
        control->setSegmentCount(int(labels.size()));
        for (int i = 0; i < labels.size(); ++i)
            control->setLabelForSegment(labels[i], i);
        control->setSelectedSegment(enabled ? 0 : 2);
        control->setMinimumWidth(240);
        control->setEnabled(enabled);
        auto* title = new QLabel;
        auto showTitle = [control, title] { title->setText(QStringLiteral("title: ") + control->title()); };
        showTitle();
        control->setTarget(echo);
        control->setAction("valueAction");
        auto* row = new QHBoxLayout;
        row->addWidget(control);
        row->addWidget(title);
        form->addRow(enabled ? QStringLiteral("Enabled") : QStringLiteral("Disabled"), row);
        // The title follows the selection.
        for (QObject* child : control->children())
            if (auto* button = qobject_cast<QAbstractButton*>(child))
                QObject::connect(button, &QAbstractButton::toggled, title, showTitle);
    }
    return section(QStringLiteral("Segmented control"), form);
}

QGroupBox* viewsSection(QWidget* page)
{
    auto* grid = new QGridLayout;
    auto* horizontal = new ZQLineEdgeView;
    horizontal->setFixedSize(160, 8);
    auto* vertical = new ZQLineEdgeView;
    vertical->setFixedSize(8, 48);
    auto* dark = new ZQLineEdgeView;
    dark->setFixedSize(160, 8);
    dark->setLineColour(Qt::black);
    dark->setLineWidth(1.0);
    grid->addWidget(new QLabel(QStringLiteral("Line edges (default, black 1.0 wide, vertical)")), 0, 0);
    grid->addWidget(horizontal, 0, 1);
    grid->addWidget(dark, 0, 2);
    grid->addWidget(vertical, 0, 3);

    auto* gradient = new ZQGradientBackgroundView;
    gradient->setFixedSize(160, 40);
    grid->addWidget(new QLabel(QStringLiteral("Gradient background")), 1, 0);
    grid->addWidget(gradient, 1, 1);

    auto* border = new ZQBorderView;
    border->setFixedSize(160, 24);
    auto* menu = new QMenu(border);
    menu->addAction(QStringLiteral("Sort by Name"));
    menu->addAction(QStringLiteral("Sort by Date"));
    border->setMenu(menu);
    grid->addWidget(new QLabel(QStringLiteral("Border strip (press for its menu)")), 2, 0);
    grid->addWidget(border, 2, 1);

    auto* blanking = new QWidget;
    blanking->setFixedSize(160, 40);
    blanking->setStyleSheet(QStringLiteral("background: #c33"));
    auto* blank = new ZQBlankingView(blanking);
    blank->setGeometry(40, 8, 80, 24);
    grid->addWidget(new QLabel(QStringLiteral("Blanking view over red")), 3, 0);
    grid->addWidget(blanking, 3, 1);

    grid->addWidget(new QLabel(QStringLiteral("Press like a button")), 4, 0);
    grid->addWidget(new PressPad, 4, 1, 1, 2);

    auto* scroller = new ZQDebuggingScrollView;
    auto* scrolled = new QLabel(QStringLiteral("Scroll me\n\n\n\n\n\n\n\n\n\nto the end"));
    scroller->setWidget(scrolled);
    scroller->setFixedSize(160, 60);
    auto* count = new QLabel(QStringLiteral("scrolls: 0"));
    QObject::connect(scroller->verticalScrollBar(), &QScrollBar::valueChanged, count, [scroller, count] {
        count->setText(QStringLiteral("scrolls: %1").arg(scroller->numberOfScrolls()));
    });
    grid->addWidget(new QLabel(QStringLiteral("Debugging scroll view")), 5, 0);
    grid->addWidget(scroller, 5, 1);
    grid->addWidget(count, 5, 2);

    auto* floating = new QPushButton(QStringLiteral("Show non-deactivating panel"));
    QObject::connect(floating, &QPushButton::clicked, page, [page] {
        auto* panel = new ZQNonDeactivatingWindow(page);
        panel->setAttribute(Qt::WA_DeleteOnClose);
        panel->setWindowTitle(QStringLiteral("Panel"));
        auto* layout = new QVBoxLayout(panel);
        layout->addWidget(new QLabel(QStringLiteral("Its controls draw as active")));
        layout->addWidget(new QPushButton(QStringLiteral("Button")));
        panel->show();
    });
    grid->addWidget(floating, 6, 0);
    grid->setColumnStretch(4, 1);
    return section(QStringLiteral("Small views"), grid);
}

QGroupBox* cellsSection(QWidget* page)
{
    auto* model = new QStandardItemModel(3, 6, page);
    model->setHorizontalHeaderLabels({QStringLiteral("Check"), QStringLiteral("Centred text"),
                                      QStringLiteral("Image"), QStringLiteral("Lazy image"), QStringLiteral("Pop-up"),
                                      QStringLiteral("Boolean")});
    const QImage icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon).pixmap(64).toImage();
    auto* maker = new CircleMaker(page);
    const QStringList names{QStringLiteral("Motorway"), QStringLiteral("Railway"), QStringLiteral("River")};
    for (int row = 0; row < 3; ++row) {
        model->setData(model->index(row, 0), row % 2);
        model->setData(model->index(row, 1), names[row]);
        model->setData(model->index(row, 2), icon, Qt::DecorationRole);
        model->setData(model->index(row, 3), QVariant::fromValue<QObject*>(maker), Qt::UserRole);
    }
    auto* table = new QTableView;
    table->setModel(model);
    table->verticalHeader()->setDefaultSectionSize(40);
    table->setProperty("delegate", QVariant::fromValue<QObject*>(new TableMenus(table)));
    table->setItemDelegateForColumn(0, new ZQCheckboxCell(table));
    table->setItemDelegateForColumn(1, new RSVerticallyCenteredTextFieldCell(table));
    table->setItemDelegateForColumn(2, new ZQHighQualityImageCell(table));
    table->setItemDelegateForColumn(3, new ZQLazyImageCell(table));
    for (int row = 0; row < 3; ++row) {
        auto* popUp = new ZQPopUpMenuTableCellView;
        popUp->popUpButton()->addItems({QStringLiteral("Solid"), QStringLiteral("Dashed"), QStringLiteral("Dotted")});
        popUp->setRowIndex(row);
        table->setIndexWidget(model->index(row, 4), popUp);
        auto* boolean = new ZQBooleanTableCellView;
        boolean->setObjectValue(row == 1);
        boolean->setRowIndex(row);
        table->setIndexWidget(model->index(row, 5), boolean);
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setMinimumHeight(160);
    auto* layout = new QVBoxLayout;
    layout->addWidget(table);
    layout->addWidget(new QLabel(QStringLiteral("Right-click a centred cell for the table's menu; double-click to edit.")));
    return section(QStringLiteral("Table cells"), layout);
}

QGroupBox* toolbarSection(QWidget* page)
{
    auto* layout = new QVBoxLayout;
    auto* toolbar = new platform::Toolbar;
    auto* allow = new QCheckBox(QStringLiteral("Target allows the control"));
    allow->setChecked(true);
    auto* validator = new Validator(allow);
    auto* stepper = new ZQScrollwheelStepper;
    stepper->setTarget(validator);
    stepper->setAction("valueAction");
    auto* item = new ZQToolbarItem(toolbar);
    item->setDefaultWidget(stepper);
    item->setIconText(QStringLiteral("Size"));
    toolbar->addAction(item);
    layout->addWidget(toolbar);
    layout->addWidget(allow);
    layout->addWidget(new QLabel(QStringLiteral("Item title: ") + toolbarItemTitle(*item)));

    ZQPrefixedDateFormatter formatter;
    formatter.setPrefixString(QStringLiteral("Modified"));
    layout->addWidget(new QLabel(formatter.stringForObjectValue(QDateTime::currentDateTime())));

    auto* source = new QPushButton(QStringLiteral("View Source…"));
    auto* controller = new ZQViewSourceController;
    QObject::connect(page, &QObject::destroyed, [controller] { delete controller; });
    QObject::connect(source, &QPushButton::clicked, page, [page, controller] {
        class Delegate : public QObject, public ZQViewSourceControllerDelegate {
        public:
            using QObject::QObject;
            QUrl urlForViewSourceController(ZQViewSourceController*) override
            {
                return QUrl::fromLocalFile(
                    QStringLiteral("/usr/share/icons/Adwaita/scalable/places/folder-symbolic.svg"));
            }
        };
        controller->beginSheetModalForWindowDelegate(page->window(), new Delegate(page));
    });
    layout->addWidget(source);
    return section(QStringLiteral("Toolbar item, date, source"), layout);
}

} // namespace

QWidget* makePaintKitPage()
{
    auto* window = new QScrollArea;
    window->setWindowTitle(QStringLiteral("Widget gallery: paint kit"));
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    auto* echo = new ActionEcho(QStringLiteral("(turn the wheel over a control)"));
    left->addWidget(scrollwheelSection(echo));
    left->addWidget(segmentsSection(echo));
    left->addWidget(toolbarSection(page));
    left->addWidget(viewsSection(page));
    left->addStretch(1);
    right->addWidget(cellsSection(page));
    right->addWidget(makePaintKitArtwork());
    right->addStretch(1);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    window->setWidget(page);
    window->setWidgetResizable(true);
    window->resize(QSize(1460, 1000).boundedTo(QGuiApplication::primaryScreen()->availableSize()));
    return window;
}

#include "PaintKitPage.moc"
