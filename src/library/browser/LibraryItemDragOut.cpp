#include "library/browser/LibraryItemDragOut.h"

#include <QApplication>
#include <QWidget>

bool LibraryItemDragOut::isOutsideEveryWindow(QPoint screenPoint)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->frameGeometry().contains(screenPoint))
            return false;
    return true;
}

void LibraryItemDragOut::imageMovedTo(QPoint screenPoint, const std::function<bool()>& mayRemove)
{
    const bool removing = isOutsideEveryWindow(screenPoint) && mayRemove();
    if (removing == m_removing)
        return;
    m_removing = removing;
    if (removing)
        QApplication::setOverrideCursor(Qt::ForbiddenCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool LibraryItemDragOut::endedAsRemoval(Qt::DropAction operation, QPoint screenPoint)
{
    if (m_removing) {
        QApplication::restoreOverrideCursor();
        m_removing = false;
    }
    // Nothing here takes a drop as a deletion: an unclaimed drop outside every window is one.
    return operation == Qt::IgnoreAction && isOutsideEveryWindow(screenPoint);
}
