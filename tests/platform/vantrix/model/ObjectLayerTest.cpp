// Object layers: the object list with undo and notifications, selection and its undo,
// pending objects, hit testing, and the edits on the selection.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"
#include "platform/vantrix/view/VXKnob.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "support/EditProgressRecorder.h"
#include "support/PreferencesScope.h"

#include <QElapsedTimer>

using namespace drawingtest;

namespace {

VXDrawableShapePtr square(double x, double y, double side, const VXStylePtr& style = nullptr)
{
    return VXDrawableShape::drawableShapeWithRect(QRectF(x, y, side, side), style ? style : fillStyle(Qt::gray));
}

QList<VXDrawableObjectPtr> squares(int count)
{
    QList<VXDrawableObjectPtr> list;
    for (int i = 0; i < count; ++i) {
        list.append(square(10 * i, 0, 5));
        list.last()->setName(QString::number(i));
    }
    return list;
}

QString order(const VXObjectOwnerLayer& layer)
{
    QString names;
    for (const VXDrawableObjectPtr& object : layer.objects())
        names += object->name();
    return names;
}

} // namespace

TEST(ObjectLayer, InsertRemoveAndMoveUndoWithNotificationsAndObservedIndexes)
{
    Fixture f;
    const QList<VXDrawableObjectPtr> objects = squares(5);
    NotificationRecorder added(kVXLayerDidAddObject, f.layer.get());
    NotificationRecorder removed(kVXLayerDidRemoveObject, f.layer.get());
    NotificationRecorder reordered(kVXLayerDidReorderObjects, f.layer.get());
    // An observer that follows the list through the indexes it is told ends with the same list.
    QString mirror;
    f.layer->observeKeyPath(QStringLiteral("objects"), platform::KeyValueObservingOptionNew, nullptr,
                            [&](const platform::KeyValueChange& change) {
                                if (change.kind == platform::KeyValueChangeKind::Removal)
                                    for (auto i = change.indexes.crbegin(); i != change.indexes.crend(); ++i)
                                        mirror.remove(*i, 1);
                                else if (change.kind == platform::KeyValueChangeKind::Insertion)
                                    for (const int i : change.indexes)
                                        mirror.insert(i, f.layer->objectInObjectsAtIndex(i)->name());
                                else
                                    mirror = order(*f.layer);
                            });
    f.layer->insertObjectsAtIndexes({objects[0], objects[1], objects[2]}, {0, 1, 2});
    f.layer->insertObjectsAtIndexes({objects[3], objects[4]}, {1, 3});
    f.endStep();
    EXPECT_EQ(order(*f.layer), QStringLiteral("03142"));
    EXPECT_EQ(mirror, order(*f.layer));
    ASSERT_EQ(added.received.size(), 2); // one per batch
    EXPECT_EQ(added.received[1].userInfo.value(QStringLiteral("objects")).value<QList<VXDrawableObjectPtr>>(),
              (QList<VXDrawableObjectPtr>{objects[3], objects[4]}));
    EXPECT_EQ(objects[3]->layer(), f.layer.get());

    f.layer->moveObjectToIndex(objects[2].get(), 0);
    f.endStep();
    ASSERT_EQ(reordered.received.size(), 1);
    EXPECT_EQ(reordered.received[0].userInfo.value(QStringLiteral("old_index")).toInt(), 4);
    EXPECT_EQ(reordered.received[0].userInfo.value(QStringLiteral("new_index")).toInt(), 0);
    EXPECT_EQ(order(*f.layer), QStringLiteral("20314"));

    f.layer->removeObjectsAtIndexes({1, 3});
    f.endStep();
    EXPECT_EQ(order(*f.layer), QStringLiteral("234"));
    EXPECT_EQ(mirror, order(*f.layer));
    EXPECT_EQ(removed.received.size(), 1);
    EXPECT_EQ(objects[0]->layer(), nullptr);
    EXPECT_EQ(f.layer->indexesOfObjectsInArray({objects[4], objects[0], objects[2]}), (QList<int>{0, 2}));
    EXPECT_EQ(f.layer->valueForKey(QStringLiteral("countOfObjects")).toInt(), 3);

    f.undo->undo();
    EXPECT_EQ(order(*f.layer), QStringLiteral("20314"));
    f.undo->undo();
    EXPECT_EQ(order(*f.layer), QStringLiteral("03142"));
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    f.undo->redo();
    f.undo->redo();
    f.undo->redo();
    EXPECT_EQ(order(*f.layer), QStringLiteral("234"));
    EXPECT_EQ(mirror, order(*f.layer));
}

TEST(ObjectLayer, MovingABlockKeepsItsOrderWhicheverWayItGoes)
{
    Fixture f;
    const QList<VXDrawableObjectPtr> objects = squares(6);
    f.layer->addObjectsFromArray(objects);
    f.endStep();
    f.layer->moveObjectsInArrayToIndex({objects[4], objects[1]}, 0);
    EXPECT_EQ(order(*f.layer), QStringLiteral("140235"));
    f.layer->moveObjectsInArrayToIndex({objects[1], objects[4]}, 5); // clamped so the block fits
    EXPECT_EQ(order(*f.layer), QStringLiteral("023514"));
    f.layer->moveObjectsInArrayToIndex({objects[0], objects[5], objects[4]}, 2);
    EXPECT_EQ(order(*f.layer), QStringLiteral("230541"));
    f.endStep();
    f.undo->undo();
    EXPECT_EQ(order(*f.layer), QStringLiteral("012345"));
}

TEST(ObjectLayer, SelectionChangesAndCommittedPendingObjectsAreOneNamedStepEach)
{
    Fixture f;
    const QList<VXDrawableObjectPtr> objects = squares(4);
    f.layer->addObjectsFromArray(objects);
    f.layer->exchangeSelectionWithObjectsFromArray({objects[0], objects[2]});
    f.endStep();
    NotificationRecorder changes(kVXLayerSelectionDidChange, f.layer.get());

    f.layer->recordSelectionForUndo();
    f.layer->deselectAll();
    f.layer->addObjectToSelection(objects[3]);
    f.layer->replaceSelectionWithObject(objects[1]);
    f.layer->commitSelectionUndoWithActionName(QStringLiteral("Select Object"));
    f.endStep();
    EXPECT_EQ(changes.received.size(), 3);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Select Object"));
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{objects[1]});

    const int steps = f.undo->numberOfUndoActions();
    f.undo->undo();
    EXPECT_EQ(f.undo->numberOfUndoActions(), steps - 1);
    EXPECT_EQ(f.layer->selection(), (QList<VXDrawableObjectPtr>{objects[0], objects[2]}));
    EXPECT_EQ(f.undo->redoActionName(), QStringLiteral("Select Object"));
    f.undo->redo();
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{objects[1]});

    // Removing a selected object deselects it; objects of other layers never join.
    f.layer->removeObject(objects[1].get());
    EXPECT_EQ(f.layer->countOfSelection(), 0);
    f.layer->exchangeSelectionWithObjectsFromArray({objects[1], square(0, 0, 1)});
    EXPECT_EQ(f.layer->countOfSelection(), 0);

    // A pending object joins the layer and the selection when committed, in one step.
    f.layer->replaceSelectionWithObject(objects[0]);
    f.endStep();
    auto pending = square(50, 50, 10);
    f.layer->addObjectPendingCreation(pending);
    EXPECT_TRUE(pending->isPendingObject());
    EXPECT_EQ(f.layer->countOfObjects(), 3);
    f.layer->commitPendingObjectWithUndoActionName(QStringLiteral("New Rectangle"));
    f.endStep();
    EXPECT_FALSE(pending->isPendingObject());
    EXPECT_EQ(f.layer->countOfObjects(), 4);
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{pending});
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("New Rectangle"));
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 3);
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{objects[0]});
    f.undo->redo();
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{pending});
}

TEST(ObjectLayer, RemovingTheSelectionReselectsItOnEveryUndoNotOnlyTheFirst)
{
    Fixture f;
    const QList<VXDrawableObjectPtr> objects = squares(4);
    f.layer->addObjectsFromArray(objects);
    const QList<VXDrawableObjectPtr> removed{objects[1], objects[2]};
    f.layer->exchangeSelectionWithObjectsFromArray(removed);
    f.endStep();
    const auto selected = [&] {
        QString names;
        for (const VXDrawableObjectPtr& object : f.layer->selection())
            names += object->name();
        return names;
    };

    f.layer->editWithSelectionUndo(QStringLiteral("Cut"), [&] { f.layer->removeObjectsInArray(removed); });
    f.endStep();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        f.undo->undo();
        EXPECT_EQ(order(*f.layer), QStringLiteral("0123"));
        EXPECT_EQ(selected(), QStringLiteral("12"));
        f.undo->redo();
        EXPECT_EQ(order(*f.layer), QStringLiteral("03"));
        EXPECT_EQ(selected(), QString());
        EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Cut"));
    }

    // Pasted objects are selected again on every redo.
    QList<VXDrawableObjectPtr> pasted = squares(2);
    pasted[0]->setName(QStringLiteral("a"));
    pasted[1]->setName(QStringLiteral("b"));
    f.layer->editWithSelectionUndo(QStringLiteral("Paste"), [&] {
        f.layer->addObjectsFromArray(pasted);
        f.layer->exchangeSelectionWithObjectsFromArray(pasted);
    });
    f.endStep();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        f.undo->undo();
        EXPECT_EQ(selected(), QString());
        f.undo->redo();
        EXPECT_EQ(selected(), QStringLiteral("ab"));
    }
}

TEST(ObjectLayer, HitTestingFollowsStrokesFillsStackingAndStyleChanges)
{
    Fixture f;
    auto filled = square(10, 10, 40, fillStyle(Qt::red));
    auto outlined = square(30, 30, 40, strokeStyle(Qt::black, 6));
    platform::BezierPath line;
    line.moveToPoint({100, 10});
    line.lineToPoint({180, 10});
    const VXStylePtr roadStyle = strokeStyle(Qt::black, 10);
    auto road = VXDrawablePath::drawablePathWithBezierPathWithStyle(line, roadStyle);
    f.layer->addObjectsFromArray({filled, outlined, road});

    EXPECT_EQ(f.layer->hitTest({20, 20}), filled);
    EXPECT_EQ(f.layer->hitTest({40, 40}), filled);       // inside the outline only: its fill shows through
    EXPECT_EQ(f.layer->hitTest({32, 45}), outlined);     // on the top object's stroke
    EXPECT_EQ(f.layer->hitTest({60, 60}), nullptr);      // inside an unfilled outline
    EXPECT_EQ(f.layer->hitTest({73.5, 60}), outlined);   // within half the width plus tolerance
    EXPECT_EQ(f.layer->hitTest({76, 60}), nullptr);
    EXPECT_EQ(f.layer->hitTest({140, 16.5}), road);
    EXPECT_EQ(f.layer->hitTest({140, 18}), nullptr);
    EXPECT_TRUE(f.layer->objectsInRect({150, 24, 10, 2}).isEmpty());
    outlined->setVisible(false);
    EXPECT_EQ(f.layer->hitTest({32, 45}), filled);

    // A wider stroke moves the road's bounds in the index.
    const auto strokes = roadStyle->renderersOfClass<VXStroke>();
    ASSERT_EQ(strokes.size(), 1);
    strokes.first()->setWidth(30);
    EXPECT_EQ(f.layer->objectsInRect({150, 24, 10, 2}).size(), 1);
    EXPECT_EQ(f.layer->hitTest({150, 22}), road);
}

TEST(ObjectLayer, PathEditsOnTheSelectionAreOneNamedStepEach)
{
    Fixture f;
    auto left = square(0, 0, 20, fillStyle(Qt::red));
    auto right = square(10, 0, 20, fillStyle(Qt::blue)); // on top, over half of the left
    f.layer->addObjectsFromArray({left, right});
    f.layer->selectAll();
    f.endStep();
    const struct {
        void (VXObjectDrawingLayer::*edit)(QObject*);
        const char* name;
        QList<double> areas; // of the results, bottom first
        QColor fill;          // of the first result
        bool overlapHits;
    } edits[] = {
        {&VXObjectDrawingLayer::unionSelectedObjects, "Union", {600}, Qt::blue, true}, // the topmost operand's style
        {&VXObjectDrawingLayer::intersectionSelectedObjects, "Intersection", {200}, Qt::blue, true},
        {&VXObjectDrawingLayer::diffSelectedObjects, "Difference", {200}, Qt::red, false},  // cut by the topmost
        {&VXObjectDrawingLayer::cookieCutterSelectedObjects, "Divide", {200, 200}, Qt::red, true},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.name);
        (f.layer.get()->*e.edit)(nullptr);
        f.endStep();
        EXPECT_EQ(f.undo->undoActionName(), e.name);
        ASSERT_EQ(f.layer->countOfObjects(), e.areas.size());
        for (int i = 0; i < e.areas.size(); ++i)
            EXPECT_NEAR(f.layer->objectInObjectsAtIndex(i)->areaInBaseUnits(), e.areas[i], 1e-6);
        EXPECT_EQ(f.layer->objectInObjectsAtIndex(0)->style()->fillColour(), e.fill);
        EXPECT_EQ(f.layer->selection(), f.layer->objects());
        EXPECT_EQ(f.layer->hitTest({15, 10}) != nullptr, e.overlapHits);
        f.undo->undo();
        EXPECT_EQ(f.layer->objects(), (QList<VXDrawableObjectPtr>{left, right}));
        EXPECT_EQ(f.layer->countOfSelection(), 2);
    }

    const VXStylePtr green = fillStyle(Qt::green);
    right->setLocked(true);
    f.layer->applyStyle(green);
    f.endStep();
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Apply Style"));
    EXPECT_EQ(left->style(), green);
    EXPECT_NE(right->style(), green); // locked objects keep theirs
    f.undo->undo();
    EXPECT_EQ(left->style()->fillColour(), QColor(Qt::red));

    // Taking an object's style away undoes back to the style, and the other way round.
    left->setStyle(nullptr);
    f.endStep();
    EXPECT_EQ(left->style(), nullptr);
    f.undo->undo();
    ASSERT_TRUE(left->style());
    f.undo->redo();
    EXPECT_EQ(left->style(), nullptr);
}

TEST(ObjectLayer, CombiningMakesInnerOutlinesHoles)
{
    Fixture f;
    auto outer = square(0, 0, 40);
    auto inner = square(10, 10, 20);
    f.layer->addObjectsFromArray({outer, inner});
    f.layer->selectAll();
    f.layer->combineSelectedObjects();
    ASSERT_EQ(f.layer->countOfObjects(), 1);
    EXPECT_NEAR(f.layer->objectInObjectsAtIndex(0)->areaInBaseUnits(), 1600 - 400, 1e-6);
    EXPECT_EQ(f.layer->hitTest({20, 20}), nullptr); // the hole
    EXPECT_NE(f.layer->hitTest({5, 5}), nullptr);
}

TEST(ObjectLayer, CuttingManyOperandsPutsEachOnesPiecesInItsPlaceAndMergingShowsItsProgress)
{
    Fixture f;
    QList<VXDrawableObjectPtr> operands;
    QList<VXDrawableObjectPtr> others;
    for (int i = 0; i < 300; ++i) {
        operands.append(square(20 * i, 0, 10));
        others.append(square(20 * i, 500, 10)); // left alone between the operands
        f.layer->addObjectsFromArray({operands.last(), others.last()});
    }
    const auto cutter = square(0, 5, 6000, fillStyle(Qt::blue)); // over the lower half of each operand
    f.layer->addObject(cutter);
    f.layer->exchangeSelectionWithObjectsFromArray(operands + QList<VXDrawableObjectPtr>{cutter});
    f.endStep();
    {
        testsupport::EditProgressRecorder progress;
        f.layer->cookieCutterSelectedObjects();
        f.endStep();
        EXPECT_EQ(progress.events.value(0), QStringLiteral("begin Divide"));
        EXPECT_GE(progress.partWay(), 1);
    }
    // Each operand's two halves where it was, below the square beside it.
    ASSERT_EQ(f.layer->countOfObjects(), 900);
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(f.layer->objectInObjectsAtIndex(3 * i)->bounds(), QRectF(20 * i, 5, 10, 5));  // inside the cutter
        EXPECT_EQ(f.layer->objectInObjectsAtIndex(3 * i + 1)->bounds(), QRectF(20 * i, 0, 10, 5)); // outside it
        EXPECT_EQ(f.layer->objectInObjectsAtIndex(3 * i + 2), others[i]);
    }
    EXPECT_EQ(f.layer->countOfSelection(), 600);
    f.undo->undo();
    EXPECT_EQ(f.layer->countOfObjects(), 601);
    EXPECT_EQ(f.layer->objectInObjectsAtIndex(2), operands[1]);

    // Three hundred operands merged into one: their whole area, under the lowest one's place.
    f.layer->exchangeSelectionWithObjectsFromArray(operands);
    testsupport::EditProgressRecorder progress;
    f.layer->unionSelectedObjects();
    f.endStep();
    EXPECT_EQ(progress.events.value(0), QStringLiteral("begin Union"));
    EXPECT_GE(progress.partWay(), 1);
    ASSERT_EQ(f.layer->countOfObjects(), 302);
    EXPECT_NEAR(f.layer->objectInObjectsAtIndex(0)->areaInBaseUnits(), 300 * 100, 1e-6);
    EXPECT_EQ(f.layer->objectInObjectsAtIndex(1), others[0]);
}

TEST(ObjectLayer, LinearAndPolarDuplicates)
{
    auto original = square(0, 0, 10);
    const auto linear = VXObjectDrawingLayer::linearDuplicateOffsetNumberOfCopies({original}, {20, 5}, 3);
    ASSERT_EQ(linear.size(), 3);
    EXPECT_EQ(linear[2]->location(), QPointF(65, 20));
    EXPECT_EQ(linear[0]->style(), original->style());
    EXPECT_NE(linear[0]->uniqueKey(), original->uniqueKey());

    const auto polar = VXObjectDrawingLayer::polarDuplicateCentreNumberOfCopiesIncrementAngleRotateCopies(
        {original}, {5, 25}, 2, M_PI / 2, true);
    ASSERT_EQ(polar.size(), 2);
    EXPECT_NEAR(polar[0]->location().x(), 25, 1e-9);
    EXPECT_NEAR(polar[0]->location().y(), 25, 1e-9);
    EXPECT_NEAR(polar[1]->location().y(), 45, 1e-9);
    EXPECT_NEAR(polar[1]->angle(), M_PI, 1e-9);
}

TEST(ObjectLayer, AutoPolarDuplicatesFitAsManyAsTheCircleHolds)
{
    const auto fitted = [](double side, QPointF location) {
        auto original = square(location.x() - side / 2, location.y() - side / 2, side);
        return VXObjectDrawingLayer::autoPolarDuplicateCentre(original, {0, 0});
    };
    // Breadth 10 on a circle of radius 100: 62 fit, each chord just over 10.
    const auto copies = fitted(10, {100, 0});
    ASSERT_EQ(copies.size(), 61);
    const double step = 2 * M_PI / 62;
    EXPECT_NEAR(copies[0]->location().x(), 100 * std::cos(step), 1e-9);
    EXPECT_NEAR(copies[0]->location().y(), 100 * std::sin(step), 1e-9);
    EXPECT_NEAR(std::remainder(copies[60]->angle() - 61 * step, 2 * M_PI), 0, 1e-9);
    EXPECT_GE(2 * 100 * std::sin(step / 2), 10);

    // Six squares of side 20 close the circle of radius 20 exactly.
    EXPECT_EQ(fitted(20, {20, 0}).size(), 5);
    // The breadth is taken along the circle: a wide, flat shape above the centre lies along
    // it, beside the centre across it.
    auto flat = VXDrawableShape::drawableShapeWithRect(QRectF(-20, 98, 40, 4), fillStyle(Qt::gray));
    EXPECT_EQ(VXObjectDrawingLayer::autoPolarDuplicateCentre(flat, {0, 0}).size(), 14);
    flat->setLocation({100, 0});
    EXPECT_EQ(VXObjectDrawingLayer::autoPolarDuplicateCentre(flat, {0, 0}).size(), 156);

    EXPECT_TRUE(fitted(10, {0, 0}).isEmpty());  // on the centre
    EXPECT_TRUE(fitted(40, {20, 0}).isEmpty()); // wider than the circle
    EXPECT_EQ(fitted(0.001, {1000, 0}).size(), VXObjectDrawingLayer::kMaximumDuplicateCopies);
}

TEST(ObjectLayer, SelectionShowsOnlyOnTheActiveLayer)
{
    Fixture f({100, 100});
    auto shape = square(20, 20, 60, fillStyle(Qt::white));
    f.layer->addObject(shape);
    f.layer->replaceSelectionWithObject(shape);
    f.layer->setSelectionColour(Qt::red);
    auto highlighted = [&] {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        platform::DrawingRenderer::Options options;
        options.highlighting = true;
        platform::DrawingRenderer::drawDrawing(*f.drawing, painter, f.drawing->bounds(), options);
        return image;
    };
    EXPECT_TRUE(near(pixel(highlighted(), 20, 20), Qt::red, 60)); // a corner handle
    auto other = std::make_shared<VXObjectDrawingLayer>();
    f.drawing->addLayer(other);
    other->attemptToMakeActive();
    EXPECT_TRUE(near(pixel(highlighted(), 20, 20), Qt::white));
    {
        const testsupport::PreferencesScope shown(&VXDrawingPreferences::selectionShownWhenInactive, true);
        EXPECT_TRUE(near(pixel(highlighted(), 20, 20), Qt::red, 60));
    }
    // Output never shows the selection.
    const QImage output = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), {100, 100}, {});
    EXPECT_FALSE(near(pixel(output, 20, 20), Qt::red, 60));
}

TEST(ObjectLayer, StackingCommandsMoveTheMembersAsOneReorderAndUndoExactly)
{
    Fixture f;
    const QList<VXDrawableObjectPtr> objects = squares(8);
    f.layer->addObjectsFromArray(objects);
    f.endStep();
    NotificationRecorder reordered(kVXLayerDidReorderObjects, f.layer.get());
    const auto members = [&](std::initializer_list<int> picks) {
        QList<VXDrawableObjectPtr> list;
        for (const int i : picks)
            list.append(objects[i]);
        list.append(square(0, 0, 1)); // not a member: ignored
        return list;
    };
    // Forwards from the top down: 7 is at the top and stops 6 below it; 2 and 3 each go up one.
    f.layer->moveObjectsForwards(members({7, 6, 3, 2}));
    EXPECT_EQ(order(*f.layer), QStringLiteral("01423567"));
    ASSERT_EQ(reordered.received.size(), 1);
    EXPECT_EQ(reordered.received[0].userInfo.value(QStringLiteral("old_indexes")).value<QList<int>>(),
              (QList<int>{2, 3, 6, 7}));
    EXPECT_EQ(reordered.received[0].userInfo.value(QStringLiteral("new_indexes")).value<QList<int>>(),
              (QList<int>{3, 4, 6, 7}));
    // Backwards from the bottom up: 0 and 1 stay, 5 goes down one.
    f.layer->moveObjectsBackwards(members({0, 1, 5}));
    EXPECT_EQ(order(*f.layer), QStringLiteral("01425367"));
    f.layer->moveObjectsToFront(members({1, 2}));
    EXPECT_EQ(order(*f.layer), QStringLiteral("04536712"));
    f.layer->moveObjectsToBack(members({7, 3}));
    EXPECT_EQ(order(*f.layer), QStringLiteral("37045612"));
    EXPECT_EQ(reordered.received.size(), 4);
    f.layer->moveObjectsToBack(members({3, 7})); // already there: no change, no notice
    EXPECT_EQ(reordered.received.size(), 4);
    f.endStep();
    EXPECT_EQ(f.undo->peekUndo()->actionCount(), 4);
    f.undo->undo();
    EXPECT_EQ(order(*f.layer), QStringLiteral("01234567"));
    f.undo->redo();
    EXPECT_EQ(order(*f.layer), QStringLiteral("37045612"));
}

TEST(ObjectLayer, DeletingAndBringingForwardThousandsOfObjectsIsOneBatchThatUndoesExactly)
{
    Fixture f({3000, 3000});
    f.drawing->setActiveLayer(f.layer.get());
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 6000; ++i)
        objects.append(square(i % 97 * 30, i / 97 * 40, 12));
    f.layer->addObjectsFromArray(objects);
    QList<VXDrawableObjectPtr> chosen;
    for (int i = 0; i < objects.size(); i += 3)
        chosen.append(objects[i]);
    chosen.last()->setLocked(true); // locked: stays, and stays selected
    f.endStep();
    f.undo->removeAllActions();

    NotificationRecorder added(kVXLayerDidAddObject, f.layer.get());
    NotificationRecorder removed(kVXLayerDidRemoveObject, f.layer.get());
    NotificationRecorder reordered(kVXLayerDidReorderObjects, f.layer.get());
    NotificationRecorder selections(kVXLayerSelectionDidChange, f.layer.get());
    int listChanges = 0;
    f.layer->observeKeyPath(QStringLiteral("objects"), {}, nullptr,
                            [&](const platform::KeyValueChange&) { ++listChanges; });

    f.layer->exchangeSelectionWithObjectsFromArray(chosen);
    f.endStep();
    EXPECT_EQ(selections.received.size(), 1);
    platform::ObjectLayerEditing(f.drawing.get()).deleteSelection();
    f.endStep();
    const QList<VXDrawableObjectPtr> afterDelete = f.layer->objects();
    EXPECT_EQ(afterDelete.size(), objects.size() - chosen.size() + 1);
    EXPECT_EQ(removed.received.size(), 1);
    EXPECT_EQ(removed.received[0].userInfo.value(QStringLiteral("objects")).value<QList<VXDrawableObjectPtr>>().size(),
              chosen.size() - 1);
    EXPECT_EQ(listChanges, 1);
    EXPECT_EQ(selections.received.size(), 2);
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{chosen.last()});
    EXPECT_LE(f.undo->peekUndo()->actionCount(), 2); // the objects with their indexes, the selection
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Delete"));

    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), objects);
    EXPECT_EQ(f.layer->selection(), chosen);
    EXPECT_EQ(added.received.size(), 1);
    EXPECT_EQ(listChanges, 2);
    EXPECT_EQ(chosen.first()->layer(), f.layer.get());
    f.undo->redo();
    EXPECT_EQ(f.layer->objects(), afterDelete);
    EXPECT_EQ(removed.received.size(), 2);
    f.undo->undo();

    f.layer->moveObjectsToFront(chosen);
    f.endStep();
    EXPECT_EQ(reordered.received.size(), 1);
    EXPECT_EQ(f.layer->objects().mid(objects.size() - chosen.size()), chosen);
    EXPECT_EQ(f.undo->peekUndo()->actionCount(), 1);
    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), objects);
    // Hit testing and queries follow the restored order.
    EXPECT_EQ(f.layer->hitTest(chosen[5]->bounds().center()), chosen[5]);
}

TEST(ObjectLayer, TranslationStepsRedrawWhatTheObjectsShowedAndShowOnceAndUndoAsOneStep)
{
    Fixture f({400, 400});
    f.drawing->setActiveLayer(f.layer.get());
    const VXDrawableObjectPtr plain = square(10, 10, 20);
    const VXDrawableObjectPtr selected = square(60, 20, 30);
    const VXDrawableObjectPtr turned = square(20, 80, 40);
    turned->rotateByAngle(0.5);
    const VXDrawableObjectPtr hidden = square(300, 300, 10);
    hidden->setVisible(false);
    f.layer->addObjectsFromArray({plain, selected, turned, hidden});
    f.layer->exchangeSelectionWithObjectsFromArray({selected, turned});
    f.endStep();
    f.undo->removeAllActions();
    const QList<VXDrawableObjectPtr> moved{plain, selected, turned, hidden};
    QList<QPointF> before;
    for (const VXDrawableObjectPtr& object : moved)
        before.append(object->location());

    // What the objects show: their bounds, and the knobs of the selected ones.
    const auto shownArea = [&] {
        QRectF area = plain->bounds();
        for (const VXDrawableObjectPtr& object : {selected, turned})
            area |= VXKnob::knobAreaForBounds(object->bounds());
        return area;
    };
    const auto sameRect = [](const QRectF& a, const QRectF& b) {
        return std::abs(a.left() - b.left()) < 1e-9 && std::abs(a.top() - b.top()) < 1e-9
               && std::abs(a.right() - b.right()) < 1e-9 && std::abs(a.bottom() - b.bottom()) < 1e-9;
    };
    QList<QRectF> requests;
    QObject::connect(f.drawing.get(), &VXDrawing::needsDisplayInRect, [&](const QRectF& rect) { requests.append(rect); });

    // A drag step overlaps what was shown: one request covering both places.
    const QRectF shownBefore = shownArea();
    VXObjectOwnerLayer::Translation translation(*f.layer, moved);
    translation.moveBy({3, 2});
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(sameRect(requests[0], shownBefore | shownArea()));
    for (int i = 0; i < moved.size(); ++i)
        EXPECT_EQ(moved[i]->location(), before[i] + QPointF(3, 2));

    // A far move redraws both places apart.
    requests.clear();
    const QRectF shownMiddle = shownArea();
    translation.moveBy({250, 0});
    ASSERT_EQ(requests.size(), 2);
    EXPECT_TRUE(sameRect(requests[0], shownMiddle));
    EXPECT_TRUE(sameRect(requests[1], shownArea()));
    EXPECT_FALSE(requests[0].intersects(requests[1]));

    // Both moves are one step; undo puts every object back and the index finds them there.
    f.endStep();
    requests.clear();
    f.undo->undo();
    for (int i = 0; i < moved.size(); ++i)
        EXPECT_EQ(moved[i]->location(), before[i]);
    EXPECT_FALSE(f.undo->canUndo());
    EXPECT_EQ(f.layer->hitTest(selected->bounds().center()), selected);
    QRectF undone;
    for (const QRectF& rect : requests)
        undone |= rect;
    EXPECT_TRUE(undone.contains(shownBefore));
    // A move by nothing changes nothing.
    requests.clear();
    translation.moveBy({});
    EXPECT_TRUE(requests.isEmpty());
    EXPECT_FALSE(f.undo->canUndo());
}

TEST(ObjectLayer, BulkEditsAskTheViewsOnceAndFewFarApartChangesRedrawOnlyTheirOwnAreas)
{
    Fixture f({3000, 3000});
    f.drawing->setActiveLayer(f.layer.get());
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 400; ++i)
        objects.append(square(i % 20 * 140, i / 20 * 140, 12));
    f.layer->addObjectsFromArray(objects);
    f.endStep();
    f.undo->removeAllActions();
    QList<QRectF> requests;
    QObject::connect(f.drawing.get(), &VXDrawing::needsDisplayInRect, [&](const QRectF& rect) { requests.append(rect); });
    const auto covered = [&](const QRectF& area) {
        return std::any_of(requests.cbegin(), requests.cend(), [&](const QRectF& rect) { return rect.contains(area); });
    };
    const auto coveredWithKnobs = [&](const QList<VXDrawableObjectPtr>& list) {
        return std::all_of(list.cbegin(), list.cend(), [&](const VXDrawableObjectPtr& object) {
            return covered(VXKnob::knobAreaForBounds(object->bounds()));
        });
    };

    // Two objects in opposite corners: each area apart, not the land between them.
    const QList<VXDrawableObjectPtr> corners{objects.first(), objects.last()};
    f.layer->exchangeSelectionWithObjectsFromArray(corners);
    EXPECT_TRUE(coveredWithKnobs(corners));
    EXPECT_FALSE(covered(QRectF(1400, 1400, 10, 10)));
    f.endStep();
    requests.clear();
    f.layer->removeObjectsInArray(corners);
    f.endStep();
    EXPECT_TRUE(coveredWithKnobs(corners));
    EXPECT_FALSE(covered(QRectF(1400, 1400, 10, 10)));
    requests.clear();
    f.undo->undo(); // the removal alone: the objects come back unselected
    EXPECT_EQ(f.layer->objects(), objects);
    EXPECT_TRUE(covered(corners[0]->bounds()) && covered(corners[1]->bounds()));
    EXPECT_FALSE(covered(QRectF(1400, 1400, 10, 10)));

    // Select all, delete, undo, redo: a request or two each, covering every object and its knobs.
    for (const auto& [edit, expectedCount] : std::initializer_list<std::pair<std::function<void()>, qsizetype>>{
             {[&] { f.layer->selectAll(); }, objects.size()},
             {[&] { platform::ObjectLayerEditing(f.drawing.get()).deleteSelection(); }, 0},
             {[&] { f.undo->undo(); }, objects.size()},
             {[&] { f.undo->redo(); }, 0},
             {[&] { f.undo->undo(); }, objects.size()}}) {
        requests.clear();
        edit();
        f.endStep();
        EXPECT_EQ(f.layer->countOfObjects(), expectedCount);
        EXPECT_LE(requests.size(), 3);
        EXPECT_TRUE(coveredWithKnobs(objects));
    }
    EXPECT_EQ(f.layer->objects(), objects);
    EXPECT_EQ(f.layer->selection(), objects);
}

TEST(ObjectLayer, SelectionsLargeAndSmallComeInStackingOrderThroughReordersAndUndo)
{
    Fixture f({2000, 2000});
    f.drawing->setActiveLayer(f.layer.get());
    QList<VXDrawableObjectPtr> objects;
    for (int i = 0; i < 800; ++i)
        objects.append(square(i % 40 * 45, i / 40 * 45, 10 + i % 7));
    f.layer->addObjectsFromArray(objects);
    f.endStep();
    const auto inLayerOrder = [&](QList<VXDrawableObjectPtr> list) {
        std::sort(list.begin(), list.end(), [&](const VXDrawableObjectPtr& a, const VXDrawableObjectPtr& b) {
            return f.layer->indexOfObject(a.get()) < f.layer->indexOfObject(b.get());
        });
        return list;
    };
    // A few objects, then most of the layer: both are listed as they are stacked.
    for (const int stride : {97, 2}) {
        QList<VXDrawableObjectPtr> chosen;
        for (int i = objects.size() - 1; i >= 0; i -= stride)
            chosen.append(objects[i]); // asked for top down
        chosen[1]->setVisible(false);
        chosen[2]->setLocked(true);
        f.layer->exchangeSelectionWithObjectsFromArray(chosen);
        f.endStep();
        EXPECT_EQ(f.layer->selection(), inLayerOrder(chosen));
        QList<VXDrawableObjectPtr> available = inLayerOrder(chosen);
        available.removeOne(chosen[1]);
        available.removeOne(chosen[2]);
        EXPECT_EQ(f.layer->selectedAvailableObjects(), available);
        QRectF bounds;
        for (const VXDrawableObjectPtr& object : chosen)
            bounds |= object->logicalBounds();
        EXPECT_EQ(f.layer->logicalBoundsOfSelection(), bounds);

        f.layer->moveObjectsToBack({chosen.first(), chosen.last()});
        f.endStep();
        EXPECT_EQ(f.layer->selection(), inLayerOrder(chosen));
        EXPECT_EQ(f.layer->selection().mid(0, 2), (QList<VXDrawableObjectPtr>{chosen.last(), chosen.first()}));
        f.undo->undo();
        EXPECT_EQ(f.layer->objects(), objects);
        EXPECT_EQ(f.layer->selection(), inLayerOrder(chosen));
        chosen[1]->setVisible(true);
        chosen[2]->setLocked(false);
    }
    f.layer->deselectAll();
    EXPECT_TRUE(f.layer->logicalBoundsOfSelection().isNull());
}

TEST(ObjectLayer, EveryReaderOfASelectionSharesOneListUntilTheSelectionOrItsOrderChanges)
{
    Fixture f;
    const QList<VXDrawableObjectPtr> objects = squares(4);
    f.layer->addObjectsFromArray(objects);
    f.endStep();
    f.layer->selectAll();
    const QList<VXDrawableObjectPtr> first = f.layer->selection();
    EXPECT_TRUE(first.isSharedWith(f.layer->selection()));
    EXPECT_TRUE(first.isSharedWith(f.layer->selectedAvailableObjects()));
    const QList<ZQObjectPtr> asObjects = f.layer->selectionAsObjects();
    EXPECT_TRUE(asObjects.isSharedWith(f.layer->selectionAsObjects()));
    EXPECT_EQ(asObjects, QList<ZQObjectPtr>(first.cbegin(), first.cend()));

    f.layer->moveObjectsToBack({objects[3]});
    f.endStep();
    const QList<VXDrawableObjectPtr> reordered = f.layer->selection();
    EXPECT_FALSE(reordered.isSharedWith(first));
    EXPECT_EQ(reordered, (QList<VXDrawableObjectPtr>{objects[3], objects[0], objects[1], objects[2]}));
    EXPECT_TRUE(reordered.isSharedWith(f.layer->selection()));
    EXPECT_EQ(f.layer->selectionAsObjects(), QList<ZQObjectPtr>(reordered.cbegin(), reordered.cend()));

    f.layer->removeObjectFromSelection(objects[0].get());
    EXPECT_EQ(f.layer->selection(), (QList<VXDrawableObjectPtr>{objects[3], objects[1], objects[2]}));
    f.undo->undo(); // the move back
    EXPECT_EQ(f.layer->selection(), (QList<VXDrawableObjectPtr>{objects[1], objects[2], objects[3]}));
}

TEST(ObjectLayer, RemovingObjectsDeselectsExactlyThoseThatLeave)
{
    Fixture f({400, 400});
    f.drawing->setActiveLayer(f.layer.get());
    const QList<VXDrawableObjectPtr> objects = squares(12);
    f.layer->addObjectsFromArray(objects);
    f.layer->exchangeSelectionWithObjectsFromArray(objects.mid(2, 6));
    f.endStep();
    NotificationRecorder selections(kVXLayerSelectionDidChange, f.layer.get());

    f.layer->removeObjectsInArray({objects[0], objects[11]}); // none selected: the selection stays
    EXPECT_EQ(selections.received.size(), 0);
    EXPECT_EQ(f.layer->selection(), objects.mid(2, 6));
    f.layer->removeObjectsInArray({objects[1], objects[3], objects[4]}); // some selected
    EXPECT_EQ(selections.received.size(), 1);
    EXPECT_EQ(f.layer->selection(), (QList<VXDrawableObjectPtr>{objects[2], objects[5], objects[6], objects[7]}));
    f.layer->removeObjectsInArray({objects[7], objects[2], objects[5], objects[6], objects[9]}); // all of it
    EXPECT_EQ(selections.received.size(), 2);
    EXPECT_TRUE(f.layer->selection().isEmpty());
    EXPECT_EQ(order(*f.layer), QStringLiteral("810"));
}

TEST(ObjectLayer, ALayerGoingLeavesItsObjectsToLaterTurnsWhichFreeThemAll)
{
    std::vector<std::weak_ptr<VXDrawableObject>> objects;
    {
        auto layer = std::make_shared<VXObjectOwnerLayer>();
        layer->addObjectsFromArray(squares(300));
        for (const VXDrawableObjectPtr& object : layer->objects())
            objects.emplace_back(object);
    }
    const auto alive = [&] {
        return std::count_if(objects.begin(), objects.end(), [](const auto& object) { return !object.expired(); });
    };
    EXPECT_EQ(alive(), 300);
    EXPECT_EQ(objects.front().lock()->container(), nullptr);

    QElapsedTimer clock;
    clock.start();
    while (alive() > 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents();
    EXPECT_EQ(alive(), 0);
}
