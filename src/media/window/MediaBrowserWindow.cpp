#include "media/window/MediaBrowserWindow.h"

#include "media/window/FolderBrowserLayout.h"
#include "media/window/ZQImageBrowserView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
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
    parts.folderTable = folderbrowser::folderOutline(pane, parts.tableHeader);

    parts.addSegment = segmentButton(QStringLiteral("+"), QObject::tr("Add a folder"), 0, pane);
    parts.removeSegment = segmentButton(QStringLiteral("\u2212"), QObject::tr("Remove the selected folder"), 1, pane);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->setSpacing(0);
    buttons->addWidget(parts.addSegment);
    buttons->addWidget(parts.removeSegment);
    buttons->addStretch();

    auto* layout = folderbrowser::flushColumn(pane);
    layout->addWidget(parts.folderTable);
    layout->addLayout(buttons);
    return pane;
}

QWidget* imagePane(MediaBrowserWindow& parts, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    QHBoxLayout* top = folderbrowser::nameFilterRow(pane, parts.searchField);
    parts.allFilesCheckbox = new QCheckBox(QObject::tr("Include subfolders"), pane);
    top->insertWidget(0, parts.allFilesCheckbox);

    parts.imageBrowser = new ZQImageBrowserView(pane);

    parts.watchNote = new QLabel(pane);
    parts.watchNote->setWordWrap(true);
    parts.watchNote->setContentsMargins(6, 2, 6, 0);
    parts.watchNote->hide();

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

    auto* layout = folderbrowser::flushColumn(pane);
    layout->addLayout(top);
    layout->addWidget(parts.imageBrowser, 1);
    layout->addWidget(parts.watchNote);
    layout->addLayout(bottom);
    return pane;
}

} // namespace

MediaBrowserWindow MediaBrowserWindow::build()
{
    MediaBrowserWindow parts;
    parts.window = folderbrowser::splitWindow(QObject::tr("Media Browser"), {200, 560}, {760, 520},
                                              [&](QWidget* parent) { return folderPane(parts, parent); },
                                              [&](QWidget* parent) { return imagePane(parts, parent); })
                       .window;
    return parts;
}
