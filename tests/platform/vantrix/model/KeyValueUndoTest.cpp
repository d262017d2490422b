// Key-value undo gathered over a gesture: the first old value of each key of each object,
// one action per object, whichever manager the gesture's coalescing is open on.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/model/KeyValueUndo.h"

using namespace drawingtest;

namespace {

VXDrawableShapePtr turnedShape(const QRectF& box)
{
    const VXDrawableShapePtr shape = VXDrawableShape::drawableShapeWithRect(box, fillStyle(Qt::gray));
    shape->rotateByAngle(2.5);
    shape->setSize(QSizeF(box.width() / 3, box.height() * 1.7));
    return shape;
}

} // namespace

TEST(KeyValueUndo, AGestureKeepsTheFirstValueOfEachKeyOnItsOwnManagerEvenUnderAnotherOne)
{
    Fixture f, other;
    const VXDrawableShapePtr a = turnedShape({10, 10, 30, 20});
    const VXDrawableShapePtr b = turnedShape({80, 40, 17, 11});
    const VXDrawableShapePtr elsewhere = turnedShape({5, 5, 9, 9});
    f.layer->addObjectsFromArray({a, b});
    other.layer->addObject(elsewhere);
    f.endStep();
    other.endStep();
    f.undo->removeAllActions();
    other.undo->removeAllActions();
    const QPointF aStart = a->location(), bStart = b->location(), elsewhereStart = elsewhere->location();
    const double aAngle = a->angle();
    const QSizeF aSize = a->size();

    f.undo->beginUndoGrouping();
    platform::CoalescedKeyValueUndo gesture(f.undo.get());
    {
        // Opened later on another manager: it takes that manager's changes, not this one's.
        platform::CoalescedKeyValueUndo inner(other.undo.get());
        for (int step = 1; step <= 50; ++step) {
            a->applyTransform(QTransform::fromTranslate(1.5, -0.25));
            b->applyTransform(QTransform::fromTranslate(-0.5, 2));
        }
        a->setAngle(0.25);
        other.undo->beginUndoGrouping();
        elsewhere->setLocation({60, 70});
        inner.finish();
        other.undo->endUndoGrouping();
    }
    // What happens while registration is off is not the gesture's to undo.
    f.undo->disableUndoRegistration();
    b->setSize({4, 4});
    f.undo->enableUndoRegistration();
    gesture.finish();
    f.undo->endUndoGrouping();

    // A move leaves turn and size exactly as they were.
    EXPECT_EQ(a->location(), aStart + 50 * QPointF(1.5, -0.25));
    EXPECT_EQ(a->size(), aSize);
    EXPECT_EQ(b->angle(), turnedShape({80, 40, 17, 11})->angle());
    ASSERT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->peekUndo()->actionCount(), 2); // one per object
    ASSERT_EQ(other.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(other.undo->peekUndo()->actionCount(), 1);

    f.undo->undo();
    EXPECT_EQ(a->location(), aStart);
    EXPECT_EQ(a->angle(), aAngle);
    EXPECT_EQ(b->location(), bStart);
    EXPECT_EQ(b->size(), QSizeF(4, 4)); // changed with registration off: stays
    EXPECT_EQ(elsewhere->location(), QPointF(60, 70));
    f.undo->redo();
    EXPECT_EQ(a->location(), aStart + 50 * QPointF(1.5, -0.25));
    EXPECT_EQ(a->angle(), 0.25);
    EXPECT_EQ(f.undo->peekUndo()->actionCount(), 2);
    other.undo->undo();
    EXPECT_EQ(elsewhere->location(), elsewhereStart);
}

TEST(KeyValueUndo, AMoveOfAShapeChangesItsLocationAloneAndAnyOtherTransformReshapesIt)
{
    Fixture f;
    const VXDrawableShapePtr shape = turnedShape({20, 30, 40, 10});
    f.layer->addObject(shape);
    f.endStep();
    QStringList changed;
    shape->observeKeyPaths({QStringLiteral("location"), QStringLiteral("size"), QStringLiteral("angle")},
                                              {}, nullptr, [&](const platform::KeyValueChange& change) {
                                                  changed.append(change.keyPath);
                                              });
    const double angle = shape->angle();
    const QSizeF size = shape->size();
    shape->applyTransform(QTransform::fromTranslate(1e-9, 7));
    EXPECT_EQ(changed, QStringList{QStringLiteral("location")});
    EXPECT_EQ(shape->angle(), angle);
    EXPECT_EQ(shape->size(), size);

    changed.clear();
    const QPointF centre = shape->location();
    shape->applyTransform(QTransform::fromTranslate(-centre.x(), -centre.y()) * QTransform::fromScale(2, 2)
                          * QTransform::fromTranslate(centre.x(), centre.y()));
    EXPECT_EQ(shape->location(), centre);
    EXPECT_NEAR(shape->size().width(), 2 * size.width(), 1e-9);
    EXPECT_NEAR(shape->size().height(), 2 * size.height(), 1e-9);
    EXPECT_NEAR(shape->angle(), angle, 1e-12);
    EXPECT_TRUE(changed.contains(QStringLiteral("size")));
}
