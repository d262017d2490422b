// The undo of a translation: one action for a move of many objects, every coordinate back bit for
// bit whatever the arithmetic of the offsets does, and the redo landing where the steps did.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/drawables/VXRegularPolygonPath.h"

#include <QRandomGenerator>
#include <bit>

using namespace drawingtest;

namespace {

VXDrawablePathPtr line(QPointF from, QPointF to)
{
    platform::BezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    return VXDrawablePath::drawablePathWithBezierPathWithStyle(path, strokeStyle(Qt::black, 1));
}

// Every coordinate of every object, as bits: -0 and 0 differ, as an archive would show.
std::vector<quint64> coordinateBits(const QList<VXDrawableObjectPtr>& objects)
{
    std::vector<quint64> bits;
    const auto add = [&bits](QPointF point) {
        bits.insert(bits.end(), {std::bit_cast<quint64>(point.x()), std::bit_cast<quint64>(point.y())});
    };
    for (const VXDrawableObjectPtr& object : objects) {
        const QPainterPath path = object->renderingPath().painterPath();
        for (int i = 0; i < path.elementCount(); ++i)
            add(path.elementAt(i));
        add(object->location());
    }
    return bits;
}

} // namespace

TEST(TranslationUndo, StepsUndoAndRedoAsOneStepBitForBitWhereTheOffsetAloneWouldNot)
{
    Fixture f({1000, 1000});
    QRandomGenerator random(7);
    // Moving back is exact for most coordinates of these magnitudes, not for those below 1.
    const auto coordinate = [&] { return std::ldexp(random.generateDouble(), int(random.bounded(-2, 21))); };
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 300; ++i) {
        objects.append(line({coordinate(), coordinate()}, {coordinate(), -coordinate()}));
        objects.append(VXDrawableShape::drawableShapeWithRect({coordinate(), coordinate(), 3, 2}, fillStyle(Qt::red)));
    }
    // Exact by the first step; after the second, back by the sum of both offsets is exact but
    // forth by it is not: back by the first offset after its own undo.
    const VXDrawablePathPtr stopping = line({5.8007057114157154, 2}, {5.8007057114157154, 3});
    const VXDrawablePathPtr locked = line({5, 5}, {6, 6});
    locked->setLocked(true);
    auto polygon = std::make_shared<VXRegularPolygonPath>();
    polygon->setLocation({40.1, 50.3});
    objects.append({stopping, locked, polygon});
    f.layer->addObjectsFromArray(objects);
    f.endStep();
    f.undo->removeAllActions();
    const std::vector<quint64> before = coordinateBits(objects);

    VXObjectOwnerLayer::Translation translation(*f.layer, objects);
    for (const QPointF offset : {QPointF(-7.25, 0.25), QPointF(1.0 / 3, -2), QPointF(3, 0.125)})
        translation.moveBy(offset);
    f.endStep();
    const std::vector<quint64> moved = coordinateBits(objects);
    ASSERT_NE(moved, before);
    EXPECT_EQ(locked->location(), QPointF(5.5, 5.5));
    ASSERT_EQ(f.undo->numberOfUndoActions(), 1);
    // One action for those the offset brings back, one a step for each of the others.
    const int actions = f.undo->peekUndo()->actionCount();
    EXPECT_GT(actions, 2);
    EXPECT_LT(actions, 2 * objects.size());

    for (int round = 0; round < 2; ++round) {
        f.undo->undo();
        EXPECT_EQ(coordinateBits(objects), before);
        EXPECT_FALSE(f.undo->canUndo());
        f.undo->redo();
        EXPECT_EQ(coordinateBits(objects), moved);
        EXPECT_FALSE(f.undo->canRedo());
    }
    // The index finds them where they are.
    EXPECT_TRUE(f.layer->objectsInRect(polygon->bounds()).contains(polygon.get()));

    // Steps that nearly cancel out leave an offset too small for the setters to take.
    const VXDrawablePathPtr back = line({1, 1}, {2, 2});
    f.layer->addObject(back);
    const std::vector<quint64> start = coordinateBits({back});
    VXObjectOwnerLayer::Translation there(*f.layer, {back});
    there.moveBy({0.5, 0.5});
    there.moveBy(QPointF(-0.5, -0.5) + QPointF(1, 1) * std::ldexp(1.0, -45));
    f.endStep();
    ASSERT_NE(coordinateBits({back}), start);
    f.undo->undo();
    EXPECT_EQ(coordinateBits({back}), start);
}

TEST(TranslationUndo, ANudgeOfThousandsOfObjectsIsOneActionEachWayAndObserversFollow)
{
    Fixture f({1000, 1000});
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 2000; ++i)
        objects.append(line({10 + i % 50 * 15.25, 10 + i / 50 * 20.5}, {20 + i % 50 * 15.25, 12 + i / 50 * 20.5}));
    f.layer->addObjectsFromArray(objects);
    f.endStep();
    f.undo->removeAllActions();
    int told = 0;
    objects[1]->observeKeyPath(QStringLiteral("path"), platform::KeyValueObservingOptionNew, nullptr,
                               [&](const platform::KeyValueChange&) { ++told; });
    const QRectF last = objects.constLast()->bounds();

    VXObjectOwnerLayer::Translation(*f.layer, objects).moveBy({1, 0});
    f.endStep();
    EXPECT_EQ(f.undo->peekUndo()->actionCount(), 1);
    f.undo->undo();
    EXPECT_EQ(objects.constLast()->bounds(), last);
    EXPECT_EQ(f.undo->peekRedo()->actionCount(), 1);
    f.undo->redo();
    EXPECT_EQ(objects.constLast()->bounds(), last.translated(1, 0));
    EXPECT_EQ(f.undo->peekUndo()->actionCount(), 1);
    EXPECT_EQ(told, 3);
}
