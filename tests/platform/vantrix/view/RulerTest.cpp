#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/view/VXRulerView.h"

using viewtest::ViewFixture;

namespace {

constexpr double kPointsPerCentimetre = 28.346456692913;

// A view with rulers on a 200 x 200 point drawing in centimetres.
struct RulerFixture : ViewFixture {
    RulerFixture() { view.setRulersVisible(true); }
    VXRulerView& across() const { return *view.horizontalRuler(); }
    VXRulerView& down() const { return *view.verticalRuler(); }
};

// Every tick sits where the view shows its value (counted from `origin`, in points per unit),
// the ticks cover the ruler in order, and exactly the multiples of the label step are labelled.
void expectTicksFollowTheView(const VXRulerView& ruler, const VXDrawingView& view, double origin,
                              double pointsPerUnit)
{
    const QList<VXRulerView::Tick> ticks = ruler.ticks();
    ASSERT_FALSE(ticks.isEmpty());
    const bool across = ruler.orientation() == Qt::Horizontal;
    EXPECT_GE(ticks.first().position, 0);
    EXPECT_LE(ticks.last().position, across ? ruler.width() : ruler.height());
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        const VXRulerView::Tick& tick = ticks[i];
        const double coordinate = origin + tick.value * pointsPerUnit;
        const QPointF shown = view.convertPointFromDrawing({coordinate, coordinate});
        EXPECT_NEAR(tick.position, across ? shown.x() : shown.y(), 1e-6) << tick.value;
        const double labels = tick.value / ruler.labelStep();
        EXPECT_EQ(tick.labelled, std::abs(labels - std::round(labels)) < 1e-9) << tick.value;
        EXPECT_LT(i > 0 ? ticks[i - 1].position : -1.0, tick.position);
    }
}

QList<double> markers(const VXRulerView& ruler) { return ruler.markerPositions(); }

} // namespace

TEST(Ruler, RulersTakeTheirRoomFromTheViewport)
{
    RulerFixture f;
    EXPECT_EQ(f.view.viewport()->size(), QSize(380, 380));
    EXPECT_EQ(f.across().geometry(), QRect(20, 0, 380, 20));
    EXPECT_EQ(f.down().geometry(), QRect(0, 20, 20, 380));
    // The 200 point paper is centred in what is left.
    EXPECT_EQ(f.view.convertPointFromDrawing({0, 0}), QPointF(90, 90));
    f.view.setRulersVisible(false);
    EXPECT_EQ(f.view.viewport()->size(), QSize(400, 400));
    EXPECT_FALSE(f.across().isVisible());
}

TEST(Ruler, TicksFollowZoomAndScrollInTheDrawingsUnitsFromTheInterior)
{
    RulerFixture f;
    // At 1x a centimetre is 28.35 pixels: labels every 2 cm (56.7 px), ten ticks to a label;
    // the ruler shows -3.175 cm to 10.23 cm.
    EXPECT_DOUBLE_EQ(f.across().labelStep(), 2.0);
    const QList<VXRulerView::Tick> ticks = f.across().ticks();
    EXPECT_EQ(ticks.size(), 67);
    EXPECT_NEAR(ticks.first().value, -3.0, 1e-12);
    EXPECT_NEAR(ticks.last().value, 10.2, 1e-12);
    expectTicksFollowTheView(f.across(), f.view, 0, kPointsPerCentimetre);
    expectTicksFollowTheView(f.down(), f.view, 0, kPointsPerCentimetre);

    // At 4x: labels every 0.5 cm, 56.7 px apart again, wherever the view has scrolled.
    f.view.setScale(4);
    f.view.scrollToPosition({137, 251});
    EXPECT_DOUBLE_EQ(f.across().labelStep(), 0.5);
    expectTicksFollowTheView(f.across(), f.view, 0, kPointsPerCentimetre);
    expectTicksFollowTheView(f.down(), f.view, 0, kPointsPerCentimetre);

    // In points from the interior: 50 is the least round step 50 pixels apart; ticks every 5.
    f.view.setScale(1);
    f.drawing->setUnits(ZQUnitLength::points());
    f.drawing->setMarginsLeftTopRightBottom(20, 30, 0, 0);
    EXPECT_DOUBLE_EQ(f.across().labelStep(), 50);
    EXPECT_NEAR(f.across().ticks()[1].value - f.across().ticks()[0].value, 5, 1e-9);
    expectTicksFollowTheView(f.across(), f.view, 20, 1);
    expectTicksFollowTheView(f.down(), f.view, 30, 1);
    // Units on a map scale: 1 kilometre drawn as 40 points labels every 2 km (80 px) at 1x.
    f.drawing->setUnitsUnitToPointsConversionFactor(ZQUnitLength::kilometers(), 40);
    EXPECT_DOUBLE_EQ(f.across().labelStep(), 2);
    expectTicksFollowTheView(f.across(), f.view, 20, 40);
}

TEST(Ruler, HiddenRulersTakeTheMarkersOfTheSelectionWhenTheyShow)
{
    RulerFixture f;
    auto square = VXDrawableShape::drawableShapeWithRect({10, 10, 30, 30}, drawingtest::fillStyle(Qt::red));
    f.layer->addObject(square);
    f.endStep();
    f.view.setRulersVisible(false);
    f.layer->selectAll();
    square->setLocation({20, 15});
    f.endStep();
    f.undo->undo(); // back at 10, 10
    // Hidden rulers are not kept up to date: a large selection's bounds cost time.
    EXPECT_TRUE(markers(f.across()).isEmpty());
    f.view.setRulersVisible(true);
    EXPECT_EQ(markers(f.across()), QList<double>({10, 25, 40}));
    EXPECT_EQ(markers(f.down()), QList<double>({10, 25, 40}));

    // A rectangle given while hidden stays when they show.
    f.view.setRulersVisible(false);
    f.view.updateRulerMarkersForRect({5, 6, 10, 20});
    f.view.setRulersVisible(true);
    EXPECT_EQ(markers(f.across()), QList<double>({5, 10, 15}));
}

TEST(Ruler, MarkersFollowTheSelectionAndThePointer)
{
    RulerFixture f;
    auto square = VXDrawableShape::drawableShapeWithRect({10, 10, 30, 30}, drawingtest::fillStyle(Qt::red));
    f.layer->addObject(square);
    EXPECT_TRUE(markers(f.across()).isEmpty());

    f.click({20, 20});
    EXPECT_EQ(markers(f.across()), QList<double>({10, 25, 40}));
    EXPECT_EQ(markers(f.down()), QList<double>({10, 25, 40}));

    // While dragging the markers move with the object, not only at the end.
    f.press({20, 20});
    f.move({30, 25});
    EXPECT_EQ(markers(f.across()), QList<double>({20, 35, 50}));
    EXPECT_EQ(markers(f.down()), QList<double>({15, 30, 45}));
    f.move({40, 30});
    f.release({40, 30});
    EXPECT_EQ(markers(f.across()), QList<double>({30, 45, 60}));
    EXPECT_EQ(f.across().mousePosition(), 40);
    EXPECT_EQ(f.down().mousePosition(), 30);
    // Undo and redo move the selected object back and forth; the markers follow.
    f.endStep();
    f.undo->undo();
    EXPECT_EQ(markers(f.across()), QList<double>({10, 25, 40}));
    EXPECT_EQ(markers(f.down()), QList<double>({10, 25, 40}));
    f.undo->redo();
    EXPECT_EQ(markers(f.down()), QList<double>({20, 35, 50}));

    // A rectangle given stays until the selection changes.
    f.view.updateRulerMarkersForRect({5, 6, 10, 20});
    EXPECT_EQ(markers(f.across()), QList<double>({5, 10, 15}));
    EXPECT_EQ(markers(f.down()), QList<double>({6, 16, 26}));
    f.layer->deselectAll();
    EXPECT_TRUE(markers(f.across()).isEmpty());
    EXPECT_TRUE(markers(f.down()).isEmpty());

    // The pointer marker goes when the pointer leaves.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(f.view.viewport(), &leave);
    EXPECT_FALSE(f.across().mousePosition().has_value());
}
