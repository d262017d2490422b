#include "tracks/tools/PartDrag.h"

#include "platform/foundation/UndoSuspension.h"

PartDrag::PartDrag(int part, QPointF pressPoint, QString actionName, Remember remember, Move move)
    : m_part(part), m_lastPoint(pressPoint), m_actionName(std::move(actionName)), m_remember(std::move(remember)),
      m_move(std::move(move)), m_restoreStart(m_remember())
{
}

void PartDrag::dragTo(QPointF point, ZQUndoManager* undoManager)
{
    if (point == m_lastPoint)
        return;
    m_lastPoint = point;
    const platform::UndoSuspension suspension(undoManager);
    m_move(point);
    m_moved = true;
}

QString PartDrag::release(ZQUndoManager* undoManager)
{
    if (!m_moved)
        return {};
    const Restore restoreEnd = m_remember();
    {
        const platform::UndoSuspension suspension(undoManager);
        m_restoreStart();
    }
    restoreEnd();
    return m_actionName;
}
