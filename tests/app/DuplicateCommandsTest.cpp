// The map document's duplicate commands: grid units in, copies added and selected as one
// undo step, and nothing at all for counts or selections they cannot serve.

#include "app/MapDocumentTestSupport.h"

#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/model/VXGridLayer.h"

#include <cmath>

using namespace mapdocumenttest;

namespace {

// A millimetre drawing whose grid runs 10 units to 28.3465 points, with one square selected.
struct DuplicateFixture {
    std::shared_ptr<ZQTrueQuorvaneDocument> document = newMapDocument();
    VXQMappingLayer* layer = activeMappingLayer(*document);
    VXDrawablePathPtr square = squarePath({100, 100}, VXStyle::defaultStyle());
    ZQUndoManager& undo = *document->undoManager();
    static constexpr double kPointsPerUnit = 2.83465;

    DuplicateFixture()
    {
        document->drawing()->setUnits(ZQUnitLength::millimeters());
        const auto grid = document->drawing()->gridLayer();
        grid->setSpanMultiplier(10);
        grid->setSpanDistance(10 * kPointsPerUnit);
        layer->addObject(square);
        layer->replaceSelectionWithObject(square);
        undo.closeAutomaticGroup();
        undo.removeAllActions();
    }
    int count() const { return layer->countOfObjects(); }
    QPointF gridOrigin() const { return document->drawing()->gridLayer()->pointForGridLocation({0, 0}); }
    // Closes the step and answers its name; empty when nothing was registered.
    QString step()
    {
        undo.closeAutomaticGroup();
        return undo.canUndo() ? undo.undoActionName() : QString();
    }
};

} // namespace

TEST(DuplicateCommands, LinearCopiesAreOneUndoStepMeasuredInGridUnits)
{
    DuplicateFixture f;
    f.document->doLinearDuplicateCopiesOffset(3, {10, -5});
    ASSERT_EQ(f.step(), QStringLiteral("Linear Duplication"));
    ASSERT_EQ(f.count(), 4);
    const QList<VXDrawableObjectPtr> copies = f.layer->selection();
    ASSERT_EQ(copies.size(), 3);
    EXPECT_FALSE(f.layer->isSelectedObject(f.square.get()));
    const QPointF last = copies.last()->location() - f.square->location();
    EXPECT_NEAR(last.x(), 3 * 10 * f.kPointsPerUnit, 1e-9);
    EXPECT_NEAR(last.y(), 3 * -5 * f.kPointsPerUnit, 1e-9);

    // One undo takes every copy and gives the original its selection back; redo returns them.
    f.undo.undo();
    EXPECT_EQ(f.count(), 1);
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{f.square});
    EXPECT_FALSE(f.undo.canUndo());
    f.undo.redo();
    EXPECT_EQ(f.count(), 4);
    EXPECT_EQ(f.layer->selection(), copies);
}

TEST(DuplicateCommands, PolarCopiesTurnAboutAGridCentreInDegrees)
{
    DuplicateFixture f;
    const QPointF gridCentre(20, 30);
    const QPointF centre = f.gridOrigin() + gridCentre * f.kPointsPerUnit;
    const QPointF start = f.square->location();
    f.document->doPolarDuplicateCopiesCentreIncAngleRotateCopies(3, gridCentre, 90, false);
    ASSERT_EQ(f.step(), QStringLiteral("Polar Duplication"));
    const QList<VXDrawableObjectPtr> copies = f.layer->selection();
    ASSERT_EQ(copies.size(), 3);
    // A half turn puts the copy opposite the original.
    const QPointF opposite = 2 * centre - start;
    EXPECT_NEAR(copies[1]->location().x(), opposite.x(), 1e-6);
    EXPECT_NEAR(copies[1]->location().y(), opposite.y(), 1e-6);
    EXPECT_NEAR(QLineF(centre, copies[0]->location()).length(), QLineF(centre, start).length(), 1e-6);

    // A bar stays flat unless its copies are turned too.
    VXDrawablePathPtr bar = VXDrawablePath::drawablePathWithBezierPathWithStyle(
        platform::BezierPath::bezierPathWithRect(QRectF(100, 100, 20, 4)), VXStyle::defaultStyle());
    f.layer->addObject(bar);
    f.layer->replaceSelectionWithObject(bar);
    f.document->doPolarDuplicateCopiesCentreIncAngleRotateCopies(1, gridCentre, 90, false);
    EXPECT_NEAR(f.layer->selection().first()->size().width(), 20, 1e-9);
    f.layer->replaceSelectionWithObject(bar);
    f.document->doPolarDuplicateCopiesCentreIncAngleRotateCopies(1, gridCentre, 90, true);
    EXPECT_NEAR(f.layer->selection().first()->size().width(), 4, 1e-6);
}

TEST(DuplicateCommands, AutoPolarFitsCopiesOfTheOneSelectedObject)
{
    DuplicateFixture f;
    // The square, 100 points right of the centre, is 12 points wide as drawn: 52 fit round.
    const QPointF centre = f.square->location() - QPointF(100, 0);
    f.document->doAutoPolarDuplicateWithCentre((centre - f.gridOrigin()) / f.kPointsPerUnit);
    ASSERT_EQ(f.step(), QStringLiteral("Auto Polar Duplication"));
    ASSERT_NEAR(f.square->bounds().height(), 12, 0.1);
    EXPECT_EQ(f.layer->countOfSelection(), 51);
    f.undo.undo();
    EXPECT_EQ(f.count(), 1);

    // Two objects are not one.
    VXDrawablePathPtr other = squarePath({300, 300}, VXStyle::defaultStyle());
    f.layer->addObject(other);
    f.layer->exchangeSelectionWithObjectsFromArray({f.square, other});
    f.undo.closeAutomaticGroup();
    f.undo.removeAllActions();
    f.document->doAutoPolarDuplicateWithCentre({0, 0});
    EXPECT_EQ(f.step(), QString());
    EXPECT_EQ(f.count(), 2);
}

TEST(DuplicateCommands, CountsOutOfRangeAndEmptySelectionsChangeNothing)
{
    DuplicateFixture f;
    for (int copies : {0, -1, VXObjectDrawingLayer::kMaximumDuplicateCopies + 1}) {
        f.document->doLinearDuplicateCopiesOffset(copies, {1, 1});
        f.document->doPolarDuplicateCopiesCentreIncAngleRotateCopies(copies, {0, 0}, 10, true);
    }
    f.document->doPolarDuplicateCopiesCentreIncAngleRotateCopies(2, {0, 0}, std::nan(""), true);
    EXPECT_EQ(f.count(), 1);
    EXPECT_EQ(f.step(), QString());

    // Locked and hidden objects are not copied; with nothing else selected nothing happens.
    f.square->setLocked(true);
    f.undo.closeAutomaticGroup();
    f.undo.removeAllActions();
    EXPECT_EQ(f.document->countOfItemsInSelection(), 0);
    f.document->doLinearDuplicateCopiesOffset(2, {1, 1});
    EXPECT_EQ(f.count(), 1);
    EXPECT_EQ(f.step(), QString());
}
