#pragma once

// The layout that the media browser and the template chooser share: a top-level window split
// between a folder outline on the left and an image grid under its name filter on the right.
// Each window builds its own panes from these parts, in the order in which its controls take
// the keyboard focus, and adds its own controls round them.

#include <QList>
#include <QPointer>
#include <QSize>
#include <functional>

class QHBoxLayout;
class QLineEdit;
class QTreeView;
class QVBoxLayout;
class QWidget;
class ZQSingleTitleTableHeaderView;

namespace folderbrowser {

struct SplitWindow {
    QWidget* window = nullptr;
    // The splitter, then whatever the window lays out below it.
    QVBoxLayout* layout = nullptr;
};

// Builds a pane as a child of `parent`.
using PaneBuilder = std::function<QWidget*(QWidget* parent)>;

// A window titled `title` whose splitter holds the left pane, then the right one, which takes
// the extra width.
SplitWindow splitWindow(const QString& title, const QList<int>& paneWidths, QSize windowSize,
                        const PaneBuilder& buildLeft, const PaneBuilder& buildRight);

// The folder outline under its one-title header, an icon and a name in each row.
QTreeView* folderOutline(QWidget* pane, QPointer<ZQSingleTitleTableHeaderView>& header);

// The row above the grid with the name filter at its right end.
QHBoxLayout* nameFilterRow(QWidget* pane, QPointer<QLineEdit>& filter);

// The pane's layout: rows stacked without margins or spacing.
QVBoxLayout* flushColumn(QWidget* pane);

} // namespace folderbrowser
