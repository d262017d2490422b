#include "platform/vantrix/model/TranslationUndo.h"

#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <cmath>

namespace {

// Bit for bit, but for NaN: -0 is not 0 here.
bool samePoint(QPointF a, QPointF b)
{
    const auto same = [](double u, double v) { return u == v && std::signbit(u) == std::signbit(v); };
    return same(a.x(), b.x()) && same(a.y(), b.y());
}

} // namespace

TranslationUndo::TranslationUndo(VXObjectOwnerLayer& layer, const QList<VXDrawableObjectPtr>& objects)
    : m_moves(std::make_shared<std::vector<Move>>(1, Move{QPointF(), objects}))
{
    registerReplay(layer, m_moves, -1);
}

TranslationUndo::Step TranslationUndo::step(QPointF offset)
{
    const Move& growing = m_moves->front();
    const QPointF before = growing.offset;
    QList<VXDrawableObjectPtr> kept;
    QList<VXDrawableObjectPtr> stopping;
    kept.reserve(growing.objects.size());
    for (const VXDrawableObjectPtr& object : growing.objects)
        (staysExact(*object, before, offset) ? kept : stopping).append(object);
    m_registering += stopping;
    m_moves->front() = {before + offset, std::move(kept)};
    // Those stopping now came this far by the offset before; those stopping at once, not at all.
    if (!stopping.isEmpty() && !before.isNull())
        m_moves->push_back({before, std::move(stopping)});
    return {m_moves->front().objects, m_registering};
}

bool TranslationUndo::staysExact(const VXDrawableObject& object, QPointF before, QPointF offset)
{
    const QPointF after = before + offset;
    // A locked object does not move, nor does a point the setters cannot tell from where it
    // was (QPointF compares fuzzily, as they do): by this step, or by the undo and the redo
    // when the steps nearly cancel out.
    return !object.locked() && object.everyTranslatedPoint([&](QPointF point) {
        const QPointF start = point - before;
        const QPointF moved = point + offset;
        return moved != point && (moved != start || samePoint(moved, start)) && samePoint(moved - after, start)
               && samePoint(start + after, moved);
    });
}

void TranslationUndo::registerReplay(VXObjectOwnerLayer& layer, Moves moves, double sign)
{
    ZQUndoManager* undo = layer.undoManager();
    if (!undo)
        return;
    undo->registerUndoWithTargetHandler(&layer, [layer = &layer, moves, sign] {
        {
            // The objects' own registrations would keep what the offset already does.
            const platform::UndoSuspension quiet(layer->undoManager());
            for (const Move& move : *moves) {
                VXObjectOwnerLayer::Translation translation(*layer, move.objects);
                translation.moveBy(move.offset * sign);
            }
        }
        registerReplay(*layer, moves, -sign);
    });
}
