#pragma once

// The undo of a translation (see VXObjectOwnerLayer::Translation) that keeps, instead of every
// object's old geometry, the offset the objects moved by in all: one action undoes the whole
// move, however many steps it took, as one move back by that offset, and registers the redo as
// one move by it. An object is kept so only while that brings each of its coordinates back bit
// for bit (x + d - d is not x for every x) and its redo as one move lands where its steps did;
// from the step where it would not, it registers its old geometry through its setters as any
// change does, and the offset it moved by until then undoes the steps before.

#include <QList>
#include <QPointF>
#include <memory>
#include <vector>

class VXDrawableObject;
class VXObjectOwnerLayer;
using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;

class TranslationUndo {
public:
    // Registers the one action on the layer's undo manager, which must take registrations: the
    // steps that follow still add to what it undoes.
    TranslationUndo(VXObjectOwnerLayer& layer, const QList<VXDrawableObjectPtr>& objects);

    // The objects of the next step by `offset`: those its undo keeps as an offset, to be moved
    // with registration off, and the others, to be moved registering their old geometry.
    struct Step {
        QList<VXDrawableObjectPtr> keptAsOffset;
        QList<VXDrawableObjectPtr> registering;
    };
    Step step(QPointF offset);

private:
    // Objects moved by one offset; the first move is the one still growing.
    struct Move {
        QPointF offset;
        QList<VXDrawableObjectPtr> objects;
    };
    using Moves = std::shared_ptr<std::vector<Move>>;

    static void registerReplay(VXObjectOwnerLayer& layer, Moves moves, double sign);
    // Whether the object, moved by `before` so far, may move by `offset` and stay kept.
    static bool staysExact(const VXDrawableObject& object, QPointF before, QPointF offset);

    Moves m_moves;
    QList<VXDrawableObjectPtr> m_registering;
};
