#include "media/window/FolderBrowserLayout.h"

#include "widgets/cells/ZQIconTextFieldCell.h"
#include "widgets/headers/ZQSingleTitleTableHeaderView.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSplitter>
#include <QTreeView>

namespace folderbrowser {

SplitWindow splitWindow(const QString& title, const QList<int>& paneWidths, QSize windowSize,
                        const PaneBuilder& buildLeft, const PaneBuilder& buildRight)
{
    SplitWindow split;
    split.window = new QWidget(nullptr, Qt::Window);
    split.window->setWindowTitle(title);
    auto* splitter = new QSplitter(Qt::Horizontal, split.window);
    splitter->addWidget(buildLeft(splitter));
    splitter->addWidget(buildRight(splitter));
    splitter->setStretchFactor(1, 1);
    splitter->setSizes(paneWidths);
    split.layout = flushColumn(split.window);
    split.layout->addWidget(splitter, 1);
    split.window->resize(windowSize);
    return split;
}

QTreeView* folderOutline(QWidget* pane, QPointer<ZQSingleTitleTableHeaderView>& header)
{
    auto* outline = new QTreeView(pane);
    header = new ZQSingleTitleTableHeaderView(outline);
    outline->setHeader(header);
    header->setStretchLastSection(true);
    outline->setItemDelegate(new ZQIconTextFieldCell(outline));
    outline->setIconSize(QSize(16, 16));
    outline->setUniformRowHeights(true);
    return outline;
}

QHBoxLayout* nameFilterRow(QWidget* pane, QPointer<QLineEdit>& filter)
{
    filter = new QLineEdit(pane);
    filter->setPlaceholderText(QObject::tr("Filter by name"));
    filter->setClearButtonEnabled(true);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(6, 4, 6, 4);
    row->addStretch();
    row->addWidget(filter, 1);
    return row;
}

QVBoxLayout* flushColumn(QWidget* pane)
{
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    return column;
}

} // namespace folderbrowser
