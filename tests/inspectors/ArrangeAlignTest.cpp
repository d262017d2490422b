#include "InspectorTesting.h"

#include "app/sidebar/VLTMGenericObjectController.h"
#include "inspectors/pseudo/LayerOperationPanes.h"
#include "inspectors/pseudo/VLTM_ZArrangerViewController.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

using namespace inspectortest;

namespace {

using Move = VLTM_ZArrangerViewController::StackingMove;

// Five shapes, bottom first, named by their first index.
struct StackFixture : TabFixture {
    QList<VXDrawableObjectPtr> shapes;
    VLTM_ZArrangerViewController* arranger = this->template paneFor<VLTM_ZArrangerViewController>(VLTMGeometryController::kArrangerKey);

    StackFixture()
    {
        for (int index = 0; index < 5; ++index) {
            shapes.append(addShape(QRectF(10 * index, 10 * index, 20, 20)));
            shapes.last()->setName(QString::number(index));
        }
    }
    // The names, bottom first.
    QString order() const
    {
        QString names;
        for (const VXDrawableObjectPtr& object : layer->objects())
            names += object->name();
        return names;
    }
    void selectIndexes(std::initializer_list<int> indexes)
    {
        QList<VXDrawableObjectPtr> chosen;
        for (int index : indexes)
            chosen.append(shapes[index]);
        select(chosen);
    }
};

} // namespace

TEST(ArrangePane, StackingMovesKeepNeighboursTogether)
{
    const struct {
        std::initializer_list<int> selected;
        Move move;
        QString expected;
        QString undoName;
    } cases[] = {
        {{1, 3}, Move::ToBack, QStringLiteral("13024"), QStringLiteral("Move To Back")},
        {{1, 3}, Move::ToFront, QStringLiteral("02413"), QStringLiteral("Move To Front")},
        // Neighbours move one place together rather than swapping back.
        {{1, 2}, Move::Forwards, QStringLiteral("03124"), QStringLiteral("Move Forwards")},
        {{2, 3}, Move::Backwards, QStringLiteral("02314"), QStringLiteral("Move Backwards")},
        // At the limit, an object stays, and so does the neighbour it stops.
        {{3, 4}, Move::Forwards, QStringLiteral("01234"), QStringLiteral("Move Forwards")},
        {{0, 1}, Move::Backwards, QStringLiteral("01234"), QStringLiteral("Move Backwards")},
        {{2, 4}, Move::Forwards, QStringLiteral("01324"), QStringLiteral("Move Forwards")},
        {{0, 2}, Move::Backwards, QStringLiteral("02134"), QStringLiteral("Move Backwards")},
    };
    for (const auto& each : cases) {
        StackFixture fixture;
        fixture.selectIndexes(each.selected);
        fixture.forgetEdits();
        fixture.arranger->arrange(each.move);
        EXPECT_EQ(fixture.order(), each.expected) << each.expected.toStdString();
        if (fixture.order() != QStringLiteral("01234")) {
            EXPECT_EQ(fixture.undo.undoActionName(), each.undoName);
            fixture.endStep();
            fixture.undo.undo();
            EXPECT_EQ(fixture.order(), QStringLiteral("01234"));
        }
    }
}

TEST(ArrangePane, StackingNeedsAnUnselectedObject)
{
    StackFixture fixture;
    fixture.selectIndexes({1, 2});
    fixture.arranger->viewDidAppear();
    for (QAbstractButton* button : fixture.arranger->stackingButtons())
        EXPECT_TRUE(button->isEnabled());
    fixture.selectIndexes({0, 1, 2, 3, 4});
    fixture.arranger->viewDidAppear();
    for (QAbstractButton* button : fixture.arranger->stackingButtons())
        EXPECT_FALSE(button->isEnabled());
}

TEST(ArrangePane, PseudoPanesFollowTheSelection)
{
    StackFixture fixture;
    fixture.selectIndexes({1});
    EXPECT_EQ(fixture.installedPanes(),
              (QStringList{QStringLiteral("VLTM_VXDrawableObjectController"), QStringLiteral("VLTM_ZArrangerViewController")}));
    fixture.selectIndexes({1, 2});
    EXPECT_EQ(fixture.installedPanes(),
              (QStringList{QStringLiteral("VLTM_VXDrawableObjectController"), QStringLiteral("VLTM_ZArrangerViewController"),
                           QStringLiteral("VLTM_BooleanOpsViewController"), QStringLiteral("VLTM_AlignDistributeController")}));
    auto* alignment = fixture.paneFor<VLTM_AlignDistributeController>(VLTMGeometryController::kAlignmentKey);
    alignment->viewDidAppear();
    for (QAbstractButton* button : alignment->distributeButtons())
        EXPECT_FALSE(button->isEnabled());
    fixture.selectIndexes({1, 2, 3});
    alignment->viewDidAppear();
    for (QAbstractButton* button : alignment->distributeButtons())
        EXPECT_TRUE(button->isEnabled());
}

TEST(ArrangePane, PanesKeptForANewSelectionSetTheirEnablingAndLoadItsObjects)
{
    StackFixture fixture;
    auto* alignment = fixture.paneFor<VLTM_AlignDistributeController>(VLTMGeometryController::kAlignmentKey);
    fixture.selectIndexes({1, 2});
    const QList<QWidget*> stacked = fixture.tab->containerView()->hostedViews();
    // The same panes stay stacked, with no show event to tell them of the new selection.
    fixture.selectIndexes({0, 1, 2, 3, 4});
    EXPECT_EQ(fixture.tab->containerView()->hostedViews(), stacked);
    for (QAbstractButton* button : fixture.arranger->stackingButtons())
        EXPECT_FALSE(button->isEnabled());
    auto* position = qobject_cast<VLTMGenericObjectController*>(fixture.tab->subcontrollerForKey(QStringLiteral("VXDrawableObject")));
    EXPECT_EQ(position->content().size(), 5);
    fixture.selectIndexes({1, 3});
    for (QAbstractButton* button : alignment->distributeButtons())
        EXPECT_FALSE(button->isEnabled());
    for (QAbstractButton* button : fixture.arranger->stackingButtons())
        EXPECT_TRUE(button->isEnabled());
}

TEST(ArrangePane, BooleanOperationsNeedTwoOperands)
{
    StackFixture fixture;
    VXDrawablePathPtr empty = fixture.add(std::make_shared<VXDrawablePath>());
    fixture.select({fixture.shapes[0], empty});
    EXPECT_FALSE(fixture.installedPanes().contains(QStringLiteral("VLTM_BooleanOpsViewController")));
    EXPECT_TRUE(fixture.installedPanes().contains(QStringLiteral("VLTM_AlignDistributeController")));
}

TEST(AlignmentPane, AlignsAndDistributesByBoundsAsOneStep)
{
    TabFixture fixture;
    VXDrawableObjectPtr a = fixture.addShape({0, 0, 10, 10});
    VXDrawableObjectPtr b = fixture.addShape({50, 30, 20, 20});
    VXDrawableObjectPtr c = fixture.addShape({200, 100, 10, 40});
    fixture.select({a, b, c});
    fixture.forgetEdits();
    const double cTop = c->bounds().top();
    fixture.layer->alignTopEdges();
    EXPECT_DOUBLE_EQ(a->bounds().top(), b->bounds().top());
    EXPECT_DOUBLE_EQ(c->bounds().top(), a->bounds().top());
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Align Top Edges"));
    fixture.endStep();
    fixture.undo.undo();
    EXPECT_DOUBLE_EQ(c->bounds().top(), cTop);

    // Horizontal space: the outer two stay, the gaps become equal.
    const double aRight = a->bounds().right();
    const double cLeft = c->bounds().left();
    fixture.layer->distributeHorizontalSpace();
    EXPECT_DOUBLE_EQ(a->bounds().right(), aRight);
    EXPECT_DOUBLE_EQ(c->bounds().left(), cLeft);
    EXPECT_NEAR(b->bounds().left() - a->bounds().right(), c->bounds().left() - b->bounds().right(), 1e-9);

    fixture.layer->distributeVerticalCentres();
    EXPECT_NEAR(b->bounds().center().y() - a->bounds().center().y(), c->bounds().center().y() - b->bounds().center().y(), 1e-9);

    // Two objects are not distributed.
    fixture.select({a, c});
    const QRectF before = c->bounds();
    fixture.layer->distributeHorizontalCentres();
    EXPECT_EQ(c->bounds(), before);
}

TEST(AlignmentPane, LockedObjectsStayWhereTheyAre)
{
    TabFixture fixture;
    VXDrawableObjectPtr a = fixture.addShape({0, 0, 10, 10});
    VXDrawableObjectPtr b = fixture.addShape({50, 30, 20, 20});
    VXDrawableObjectPtr locked = fixture.addShape({100, 200, 20, 20});
    locked->setLocked(true);
    fixture.select({a, b, locked});
    const QRectF lockedBounds = locked->bounds();
    fixture.layer->alignBottomEdges();
    EXPECT_DOUBLE_EQ(a->bounds().bottom(), b->bounds().bottom());
    EXPECT_EQ(locked->bounds(), lockedBounds);
}

TEST(DrawingViewCommands, FlipAndDuplicateAreNamedSteps)
{
    TabFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({0, 0, 40, 20});
    shape->setAngleInDegrees(30);
    fixture.select({shape});
    fixture.forgetEdits();
    platform::ObjectLayerEditing editing(fixture.drawing.get());
    const QRectF before = shape->bounds();
    editing.flip(Qt::Horizontal);
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Flip Horizontally"));
    EXPECT_NEAR(shape->bounds().center().x(), before.center().x(), 1e-9);
    EXPECT_NEAR(shape->bounds().width(), before.width(), 1e-9);
    fixture.endStep();
    fixture.undo.undo();
    EXPECT_NEAR(shape->angleInDegrees(), 30, 1e-9);
    fixture.forgetEdits();

    editing.duplicate();
    ASSERT_EQ(fixture.layer->countOfObjects(), 2);
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Duplicate"));
    ASSERT_EQ(fixture.layer->selection().size(), 1);
    EXPECT_NE(fixture.layer->selection().first(), shape);
    fixture.endStep();
    fixture.undo.undo();
    EXPECT_EQ(fixture.layer->countOfObjects(), 1);
    EXPECT_EQ(fixture.layer->selection().value(0), shape);
}
