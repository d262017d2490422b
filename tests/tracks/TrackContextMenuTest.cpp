// Context menus of tracks and plain paths: which items appear, when they are enabled, and
// that each one changes the drawing as one undo step. Also the reduction of a path to a
// stretch, which the path cutter relies on.

#include "TrackTestSupport.h"

#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "tracks/styles/FactoryTrackStyles.h"
#include "tracks/model/TrackConversion.h"
#include "tracks/model/VXQTrack.h"

using tracktest::polyline;

namespace {

const QStringList kSpecialItemTitles = {"Insert Flyover",   "Insert Bridge",      "Insert Tunnel",       "Insert Cutting",
                                        "Insert Embankment", "Insert Pinch Point", "Insert Inflate Point"};

struct MenuFixture : viewtest::ViewFixture {
    VXQTrackPtr addTrack(const QList<QPointF>& points)
    {
        VXQTrackPtr track = VXQTrack::trackWithPathType(polyline(points), kVXQRoadTrackType);
        track->setStyle(factoryStyleForTrackType(kVXQRoadTrackType));
        layer->addObject(track);
        forgetEdits();
        return track;
    }

    // The context menu at a drawing point, validated as it is before it shows.
    std::unique_ptr<platform::Menu> menuAt(QPointF point)
    {
        std::unique_ptr<platform::Menu> menu = view.contextMenuAtPoint(at(point));
        if (menu)
            platform::Menu::validateActions(menu->actions());
        return menu;
    }

    static QStringList titles(const platform::Menu& menu)
    {
        QStringList result;
        for (const QAction* action : menu.actions()) {
            if (!action->isSeparator())
                result.append(action->text());
        }
        return result;
    }
    static QAction* item(const platform::Menu& menu, const QString& title)
    {
        for (QAction* action : menu.actions()) {
            if (action->text() == title)
                return action;
        }
        ADD_FAILURE() << "no item " << title.toStdString();
        return nullptr;
    }
    static QStringList enabledTitles(const platform::Menu& menu, const QStringList& among)
    {
        QStringList result;
        for (const QString& title : among) {
            if (QAction* action = item(menu, title); action && action->isEnabled())
                result.append(title);
        }
        return result;
    }
};

} // namespace

TEST(TrackContextMenu, TracksOfferTheSpecialItemsOverTheStretchClickedAndDisconnectingWhenLinked)
{
    MenuFixture f;
    VXQTrackPtr track = f.addTrack({{20, 100}, {180, 100}});
    const QStringList stretchTitles = kSpecialItemTitles + QStringList{"Insert Roundabout"};
    const auto asPoint = [&](const ZQStyleRange& range) {
        const ZQStyleRange resolved = ZQResolvedStyleRange(range, track->length());
        return QPointF(resolved.location, resolved.length);
    };
    const auto selected = [&] { return asPoint(track->selectionRange()); };

    // A click with no stretch selected selects the one under it, four road widths long.
    std::unique_ptr<platform::Menu> menu = f.menuAt({100, 100});
    ASSERT_TRUE(menu);
    EXPECT_EQ(MenuFixture::titles(*menu), QStringList({"Cut", "Copy", "Delete", "Attributes..."}) + stretchTitles
                                              + QStringList({"Disconnect All Junctions"}));
    EXPECT_EQ(MenuFixture::enabledTitles(*menu, stretchTitles), stretchTitles);
    EXPECT_FALSE(MenuFixture::item(*menu, "Disconnect All Junctions")->isEnabled());
    EXPECT_EQ(selected(), QPointF(60, 4 * kFactoryRoadCasingWidth));
    // The menu says which stretch an item covers, and that a bridge keeps the track's stacking.
    const QString bridgeTip = MenuFixture::item(*menu, "Insert Bridge")->toolTip();
    const QString tunnelTip = MenuFixture::item(*menu, "Insert Tunnel")->toolTip();
    EXPECT_TRUE(bridgeTip.contains("Linear Select") && bridgeTip.contains("Move To Front")) << bridgeTip.toStdString();
    EXPECT_TRUE(tunnelTip.contains("Linear Select") && !tunnelTip.contains("Move To Front"));
    // Inside the selected stretch the stretch stays; outside it, and near an end, a new one is taken.
    track->setSelectionRange(ZQMakeAbsoluteStyleRange(40, 60));
    f.menuAt({70, 100});
    EXPECT_EQ(selected(), QPointF(40, 60));
    f.menuAt({22, 100});
    EXPECT_EQ(selected(), QPointF(0, 40));
    MenuFixture::item(*f.menuAt({178, 100}), "Insert Bridge")->trigger();
    f.endStep();
    ASSERT_EQ(track->overlays().size(), 1);
    EXPECT_EQ(asPoint(track->overlays().first()->range()), QPointF(120, 40));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    f.undo->undo();
    EXPECT_TRUE(track->overlays().isEmpty());

    VXQTrackPtr side = f.addTrack({{100, 180}, {100, 100}});
    ASSERT_EQ(side->endLink(), track.get());
    menu = f.menuAt({40, 100});
    QAction* disconnect = MenuFixture::item(*menu, "Disconnect All Junctions");
    ASSERT_TRUE(disconnect->isEnabled());
    disconnect->trigger();
    f.endStep();
    EXPECT_EQ(side->endLink(), nullptr);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Disconnect All Junctions");
    EXPECT_FALSE(MenuFixture::item(*f.menuAt({40, 100}), "Disconnect All Junctions")->isEnabled());
    f.undo->undo();
    EXPECT_EQ(side->endLink(), track.get());
    f.undo->removeAllActions();

    // A locked track keeps its stretch and offers nothing to insert.
    track->selectNone();
    track->setLocked(true);
    EXPECT_TRUE(MenuFixture::enabledTitles(*f.menuAt({70, 100}), stretchTitles).isEmpty());
    EXPECT_FALSE(track->canInsertSpecialItem());
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0) << "showing menus changes nothing";
}

TEST(TrackContextMenu, EachSpecialItemGoesInAsOneUndoStepOverTheStretch)
{
    MenuFixture f;
    VXQTrackPtr track = f.addTrack({{20, 100}, {180, 100}});
    track->insertTunnel(nullptr);
    EXPECT_TRUE(track->overlays().isEmpty()) << "nothing selected, nothing to cover";
    track->setSelectionRange(ZQMakeAbsoluteStyleRange(40, 60));
    const auto trigger = [&](const QString& title) {
        MenuFixture::item(*f.menuAt({100, 100}), title)->trigger();
        f.endStep();
        EXPECT_EQ(f.undo->undoActionName(), title);
    };

    trigger("Insert Bridge");
    ASSERT_EQ(track->overlays().size(), 1);
    EXPECT_EQ(track->overlays().first()->placement(), ZQOverlayPlacement::Below);
    const ZQStyleRange bridge = ZQResolvedStyleRange(track->overlays().first()->range(), track->length());
    EXPECT_NEAR(bridge.location, 40, 1e-9);
    EXPECT_NEAR(bridge.length, 60, 1e-9);
    trigger("Insert Tunnel");
    ASSERT_EQ(track->overlays().size(), 2);
    EXPECT_EQ(track->overlays().last()->placement(), ZQOverlayPlacement::Above);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 2);
    f.undo->undo();
    EXPECT_EQ(track->overlays().size(), 1);
    EXPECT_EQ(f.undo->undoActionName(), "Insert Bridge");
    f.undo->undo();
    EXPECT_TRUE(track->overlays().isEmpty());
    f.undo->redo();
    EXPECT_EQ(track->overlays().size(), 1);

    // Pinch and inflate points scale the main style's strokes over the stretch, blended in by shims.
    const VXStylePtr road = track->style();
    const double width = road->maxStrokeWidth();
    trigger("Insert Pinch Point");
    ASSERT_EQ(track->styles().size(), 3);
    EXPECT_NEAR(track->styles()[1]->style()->maxStrokeWidth(), width * ZQMultiStylePath::kPinchPointWidthFactor, 1e-9);
    EXPECT_DOUBLE_EQ(road->maxStrokeWidth(), width) << "the original style is untouched";
    EXPECT_EQ(track->shims().size(), 2);
    f.undo->undo();
    EXPECT_EQ(track->styles().size(), 1);
    EXPECT_TRUE(track->shims().isEmpty());
    trigger("Insert Inflate Point");
    EXPECT_NEAR(track->widestStrokeWidth(), width * ZQMultiStylePath::kInflatePointWidthFactor, 1e-9);
}

TEST(TrackContextMenu, PlainPathsConvertToTracksFromTheirMenu)
{
    MenuFixture f;
    auto path = VXDrawablePath::drawablePathWithBezierPathWithStyle(polyline({{20, 50}, {180, 50}}),
                                                                    drawingtest::strokeStyle(Qt::black, 4));
    auto square = VXDrawableShape::drawableShapeWithRect({20, 120, 40, 40}, drawingtest::fillStyle(Qt::red));
    f.layer->addObject(path);
    f.layer->addObject(square);
    VXQTrackPtr track = f.addTrack({{20, 180}, {180, 180}});

    // Neither shapes nor tracks offer the conversion.
    EXPECT_FALSE(MenuFixture::titles(*f.menuAt({40, 140})).contains(kConvertToTrackActionName));
    EXPECT_FALSE(MenuFixture::titles(*f.menuAt({100, 180})).contains(kConvertToTrackActionName));

    std::unique_ptr<platform::Menu> menu = f.menuAt({100, 50});
    EXPECT_EQ(MenuFixture::titles(*menu), QStringList({"Cut", "Copy", "Delete", kConvertToTrackActionName}));
    QAction* convert = MenuFixture::item(*menu, kConvertToTrackActionName);
    ASSERT_TRUE(convert->isEnabled());
    convert->trigger();
    f.endStep();
    EXPECT_TRUE(qobject_cast<VXQTrack*>(f.layer->objectInObjectsAtIndex(0).get()));
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo->undoActionName(), kConvertToTrackActionName);

    // The menu outlives nothing it points at: once the path is gone it is simply disabled.
    f.undo->undo();
    EXPECT_EQ(f.layer->objectInObjectsAtIndex(0), path);
    menu = f.menuAt({100, 50});
    path->setLocked(true);
    platform::Menu::validateActions(menu->actions());
    EXPECT_FALSE(MenuFixture::item(*menu, kConvertToTrackActionName)->isEnabled());
}

TEST(TrackStretch, ReducingToAStretchMovesStylesOverlaysAndAdornmentsWithIt)
{
    drawingtest::Fixture f;
    const VXStylePtr a = drawingtest::strokeStyle(Qt::black, 2);
    const VXStylePtr b = drawingtest::strokeStyle(Qt::red, 2);
    const VXStylePtr c = drawingtest::strokeStyle(Qt::blue, 2);
    ZQMultiStylePathPtr path = ZQMultiStylePath::multiStylePathWithPathStyle(polyline({{0, 0}, {300, 0}}), a);
    f.layer->addObject(path);
    path->setAutoInsertsShims(false);
    path->setStyles({ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(a, ZQMakeAbsoluteStyleRange(0, 100)),
                     ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(b, ZQMakeAbsoluteStyleRange(100, 100)),
                     ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(c, ZQMakeAbsoluteStyleRange(200, 100))});
    path->setOverlays({ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(b, ZQMakeAbsoluteStyleRange(50, 200)),
                       ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(c, ZQMakeAbsoluteStyleRange(260, 10))});
    for (const double position : {20.0, 150.0, 280.0})
        path->addAdornmentWithObjectAtPositionDisplayName(
            VXDrawableShape::drawableShapeWithRect({-2, -2, 4, 4}, drawingtest::fillStyle(Qt::green)), position, {});
    f.endStep();
    f.undo->removeAllActions();

    f.undo->beginUndoGrouping();
    path->reduceToStretch(80, 220);
    f.undo->endUndoGrouping();
    ASSERT_NEAR(path->length(), 140, 1e-9);
    ASSERT_EQ(path->styles().size(), 3);
    const QList<std::pair<double, double>> expected = {{0, 20}, {20, 100}, {120, 20}};
    for (int i = 0; i < 3; ++i) {
        const ZQStyleRange range = ZQResolvedStyleRange(path->styles()[i]->range(), path->length());
        EXPECT_NEAR(range.location, expected[i].first, 1e-9) << i;
        EXPECT_NEAR(range.length, expected[i].second, 1e-9) << i;
    }
    EXPECT_EQ(path->styles()[1]->style(), b);
    // The overlay beyond the stretch goes, the other is clipped to it.
    ASSERT_EQ(path->overlays().size(), 1);
    EXPECT_NEAR(path->overlays()[0]->range().location, 0, 1e-9);
    EXPECT_NEAR(path->overlays()[0]->range().length, 140, 1e-9);
    ASSERT_EQ(path->adornments().size(), 1);
    EXPECT_NEAR(path->adornments()[0]->position(), 70, 1e-9);

    f.undo->undo();
    EXPECT_NEAR(path->length(), 300, 1e-9);
    EXPECT_EQ(path->styles().size(), 3);
    EXPECT_EQ(path->overlays().size(), 2);
    ASSERT_EQ(path->adornments().size(), 3);
    EXPECT_NEAR(path->adornments()[1]->position(), 150, 1e-9);

    // A stretch reaching the end keeps what runs to the end running; bad input changes nothing.
    path->setOverlays({ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(b, ZQMakeAbsoluteStyleRange(100, kZQStyleRangeRunsToEnd))});
    path->reduceToStretch(150, 400);
    EXPECT_NEAR(path->length(), 150, 1e-9);
    EXPECT_TRUE(ZQStyleRangeRunsToEnd(path->overlays()[0]->range()));
    path->reduceToStretch(std::nan(""), 10);
    EXPECT_NEAR(path->length(), 150, 1e-9);
}

TEST(TrackStretch, StylesAppliedUpToTheEndLeaveNoEmptyStyleThere)
{
    drawingtest::Fixture f;
    const VXStylePtr black = drawingtest::strokeStyle(Qt::black, 2);
    const VXStylePtr red = drawingtest::strokeStyle(Qt::red, 2);
    ZQMultiStylePathPtr path = ZQMultiStylePath::multiStylePathWithPathStyle(polyline({{0, 0}, {100, 0}}), black);
    f.layer->addObject(path);
    const auto lengths = [&] {
        QList<double> result;
        for (const ZQRangeDrawingStylePtr& style : path->styles())
            result.append(ZQResolvedStyleRange(style->range(), path->length()).length);
        return result;
    };

    // Ending a hair short of the end still runs to it.
    path->setSelectionRange(ZQMakeAbsoluteStyleRange(60, 39.995));
    path->setStyle(red);
    EXPECT_EQ(lengths(), (QList<double>{60, 40}));
    EXPECT_TRUE(ZQStyleRangeRunsToEnd(path->styles().last()->range()));

    // A sliver at the end is no stretch to style.
    path->setSelectionRange(ZQMakeAbsoluteStyleRange(99.995, 0.005));
    path->setStyle(black);
    EXPECT_EQ(lengths(), (QList<double>{60, 40}));
    path->setSelectionRange(ZQMakeAbsoluteStyleRange(30, 70));
    path->setStyle(black);
    EXPECT_EQ(lengths(), (QList<double>{100}));
}
