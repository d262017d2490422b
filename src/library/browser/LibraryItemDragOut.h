#pragma once

// Dragging items out of an item browser to remove them: while the dragged image is outside
// every window of the application and the items may go, the cursor says they will; a drop
// there that nothing claims removes them.

#include <QPoint>
#include <QtGlobal>
#include <functional>

class LibraryItemDragOut {
public:
    // Whether the point (screen coordinates) lies outside every visible window.
    static bool isOutsideEveryWindow(QPoint screenPoint);

    bool willRemove() const { return m_removing; }
    // The image moved to `screenPoint`; `mayRemove` is asked only outside every window.
    void imageMovedTo(QPoint screenPoint, const std::function<bool()>& mayRemove);
    // The drag ended: the cursor is itself again. Answers whether the drop asks for removal,
    // an unclaimed one outside every window.
    bool endedAsRemoval(Qt::DropAction operation, QPoint screenPoint);

private:
    bool m_removing = false;
};
