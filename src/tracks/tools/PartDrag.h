#pragma once

// A drag on one of a drawable's own parts, from press to release, that undoes in one step. The
// steps move the part with undo registration off; the release quietly puts the part back as
// the press found it and then as the drag left it, this time recorded. A click, even one the
// view follows with a drag at the press point, records nothing.

#include <QPointF>
#include <QString>
#include <functional>

class ZQUndoManager;

class PartDrag {
public:
    // Puts the part back in a state remembered earlier.
    using Restore = std::function<void()>;
    // Remembers the part's present state.
    using Remember = std::function<Restore()>;
    // Moves the part for the pointer at that point.
    using Move = std::function<void(QPointF point)>;

    // Remembers the part's state at the press.
    PartDrag(int part, QPointF pressPoint, QString actionName, Remember remember, Move move);

    int part() const { return m_part; }
    // One step, unrecorded on `undoManager` (which may be null); none where the pointer has
    // not moved since the last.
    void dragTo(QPointF point, ZQUndoManager* undoManager);
    // Records the whole drag as one undo step and answers its action name; records nothing and
    // answers an empty name when no step ran.
    QString release(ZQUndoManager* undoManager);

private:
    int m_part;
    QPointF m_lastPoint;
    QString m_actionName;
    Remember m_remember;
    Move m_move;
    Restore m_restoreStart;
    bool m_moved = false;
};
