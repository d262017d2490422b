#include "media/window/MediaBrowserWindow.h"

#include "media/window/ZQImageBrowserView.h"
#include "widgets/cells/ZQIconTextFieldCell.h"
#include "widgets/headers/ZQSingleTitleTableHeaderView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>

namespace {

QToolButton* segmentButton(const QString& text, const QString& toolTip, int segment, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setProperty("segment", segment);
    return button;
}

QWidget* folderPane(MediaBrowserWindow& parts, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    parts.folderTable = new QTreeView(pane);
    parts.tableHeader = new ZQSingleTitleTableHeaderView(parts.folderTable);
    parts.folderTable->setHeader(parts.tableHeader);
    parts.tableHeader->setStretchLastSection(true);
    parts.folderTable->setItemDelegate(new ZQIconTextFieldCell(parts.folderTable));
    parts.folderTable->setIconSize(QSize(16, 16));
    parts.folderTable->setUniformRowHeights(true);

    parts.addSegment = segmentButton(QStringLiteral("+"), QObject::tr("Add a folder"), 0, pane);
    parts.removeSegment = segmentButton(QStringLiteral("\u2212"), QObject::tr("Remove the selected folder"), 1, pane);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->setSpacing(0);
    buttons->addWidget(parts.addSegment);
    buttons->addWidget(parts.removeSegment);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(parts.folderTable);
    layout->addLayout(buttons);
    return pane;
}

QWidget* imagePane(MediaBrowserWindow& parts, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    parts.searchField = new QLineEdit(pane);
    parts.searchField->setPlaceholderText(QObject::tr("Filter by name"));
    parts.searchField->setClearButtonEnabled(true);
    parts.allFilesCheckbox = new QCheckBox(QObject::tr("Include subfolders"), pane);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(6, 4, 6, 4);
    top->addWidget(parts.allFilesCheckbox);
    top->addStretch();
    top->addWidget(parts.searchField, 1);

    parts.imageBrowser = new ZQImageBrowserView(pane);

    parts.progressIndicator = new QProgressBar(pane);
    parts.progressIndicator->setRange(0, 0); // spinning: the amount of work is not known
    parts.progressIndicator->setTextVisible(false);
    parts.progressIndicator->setMaximumWidth(80);
    parts.zoomSlider = new QSlider(Qt::Horizontal, pane);
    parts.zoomSlider->setRange(0, MediaBrowserWindow::kZoomSteps);
    parts.zoomSlider->setMaximumWidth(160);
    parts.zoomSlider->setToolTip(QObject::tr("Thumbnail size"));
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 2, 6, 2);
    bottom->addWidget(parts.progressIndicator);
    bottom->addStretch();
    bottom->addWidget(parts.zoomSlider);

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(parts.imageBrowser, 1);
    layout->addLayout(bottom);
    return pane;
}

} // namespace

MediaBrowserWindow MediaBrowserWindow::build()
{
    MediaBrowserWindow parts;
    parts.window = new QWidget(nullptr, Qt::Window);
    parts.window->setWindowTitle(QObject::tr("Media Browser"));
    auto* splitter = new QSplitter(Qt::Horizontal, parts.window);
    splitter->addWidget(folderPane(parts, splitter));
    splitter->addWidget(imagePane(parts, splitter));
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 560});
    auto* layout = new QVBoxLayout(parts.window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    parts.window->resize(760, 520);
    return parts;
}
