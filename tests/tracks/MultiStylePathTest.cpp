// Multi-style paths: styles along the length and the shims between them, part codes of
// knobs and adornments, knob and adornment drags as single undo steps, archives, drawing
// in a casing pass then a content pass, and degenerate input.

#include "TrackTestSupport.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/DrawingTestSupport.h"
#include "support/ArchiveTesting.h"
#include "support/StyleUse.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <gtest/gtest.h>
#include <limits>

using tracktest::paint;
using tracktest::polyline;
using tracktest::strokes;

// Stands in for a text label of the label library, which the path only stores.
class PathLabelStandIn : public ZQObject {
    Q_OBJECT

public:
    QString text;
    Q_INVOKABLE QString searchableString() const { return text; }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override { coder.encodeString(text, "text"); }
    void initWithCoder(platform::KeyedUnarchiver& coder) override { text = coder.decodeString("text"); }
};

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kLineY = 50;

VXDrawableObjectPtr marker()
{
    return VXDrawablePath::drawablePathWithBezierPathWithStyle(platform::BezierPath::bezierPathWithRect({-3, -3, 6, 6}),
                                                               drawingtest::fillStyle(Qt::green));
}

struct PathFixture : drawingtest::Fixture {
    VXStylePtr white = strokes({{Qt::black, 10}, {Qt::white, 6}});
    VXStylePtr red = strokes({{Qt::black, 12}, {Qt::red, 8}});
    ZQMultiStylePathPtr path = ZQMultiStylePath::multiStylePathWithPathStyle(polyline({{0, kLineY}, {200, kLineY}}), white);

    PathFixture()
    {
        layer->addObject(path);
        endStep();
        undo->removeAllActions();
    }
    // White from 0 to 100, red from 100 to the end.
    void splitAtMiddle()
    {
        path->setSelectionRange(ZQMakeAbsoluteStyleRange(100, 100));
        path->setStyle(red);
        path->selectNone();
        endStep();
    }
    ZQStyleRange rangeOfStyle(int index) const
    {
        return ZQResolvedStyleRange(path->styles().at(index)->range(), path->length());
    }
};

} // namespace

TEST(MultiStylePath, StylesAndOverlaysFollowOneAnotherAlongThePathAndUndo)
{
    PathFixture f;
    ASSERT_EQ(f.path->styles().size(), 1);
    EXPECT_EQ(f.path->style(), f.white);
    f.splitAtMiddle();

    ASSERT_EQ(f.path->styles().size(), 2);
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(0), ZQMakeAbsoluteStyleRange(0, 100)));
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(1), ZQMakeAbsoluteStyleRange(100, 100)));
    EXPECT_TRUE(ZQStyleRangeRunsToEnd(f.path->styles().at(1)->range()));
    EXPECT_DOUBLE_EQ(f.path->widestStrokeWidth(), 12);
    EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
    f.undo->undo();
    EXPECT_EQ(f.path->styles().size(), 1);
    EXPECT_TRUE(f.path->shims().isEmpty());
    f.undo->redo();
    EXPECT_EQ(f.path->styles().size(), 2);

    // An item whose represented object is a style becomes an overlay over the whole path.
    platform::MenuItem item;
    item.setRepresentedObject(QVariant::fromValue(ZQObjectPtr(f.red)));
    f.path->setAuxiliaryStyle(QVariant::fromValue(static_cast<QObject*>(&item)));
    f.path->setAuxiliaryStyle(QVariant::fromValue(ZQObjectPtr(f.path))); // not a style: nothing
    ASSERT_EQ(f.path->overlays().size(), 1);
    EXPECT_EQ(f.path->overlays().first()->placement(), ZQOverlayPlacement::Above);
    EXPECT_TRUE(ZQStyleRangeRunsToEnd(f.path->overlays().first()->range()));
    EXPECT_DOUBLE_EQ(f.path->widestStrokeWidth(), 12) << "overlays do not widen the path";
    f.endStep();
    f.undo->undo();
    EXPECT_TRUE(f.path->overlays().isEmpty());

    // A style laid over the middle cuts the neighbours; laying white back merges them again.
    f.path->setSelectionRange(ZQMakeAbsoluteStyleRange(50, 100));
    f.path->setStyle(f.white);
    ASSERT_EQ(f.path->styles().size(), 2);
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(0), ZQMakeAbsoluteStyleRange(0, 150)));
    f.path->setSelectionRange(ZQMakeAbsoluteStyleRange(0, 200));
    f.path->setStyle(f.white);
    EXPECT_EQ(f.path->styles().size(), 1);
    EXPECT_TRUE(f.path->shims().isEmpty());
}

TEST(MultiStylePath, DrawsWithTheStylesOfItsRangesAndOverlaysAndNoOthers)
{
    PathFixture f;
    const VXStylePtr blue = strokes({{Qt::blue, 4}});
    EXPECT_TRUE(testsupport::usesExactlyTheStylesItLists(*f.path, {f.white, f.red, blue}));
    platform::MenuItem item;
    item.setRepresentedObject(QVariant::fromValue(ZQObjectPtr(f.red)));
    f.path->setAuxiliaryStyle(QVariant::fromValue(static_cast<QObject*>(&item)));
    EXPECT_TRUE(f.path->usesStyle(*f.red)) << "an overlay";
    EXPECT_TRUE(testsupport::usesExactlyTheStylesItLists(*f.path, {f.white, f.red, blue}));
    f.endStep();
    f.undo->undo();
    f.splitAtMiddle();
    f.path->setSelectionRange(ZQMakeAbsoluteStyleRange(0, 50));
    f.path->setStyle(blue);
    ASSERT_EQ(f.path->allStyles().size(), 3);
    EXPECT_TRUE(testsupport::usesExactlyTheStylesItLists(*f.path, {f.white, f.red, blue, strokes({{Qt::green, 2}})}));
}

TEST(MultiStylePath, SetStylesLaysThemEndToEnd)
{
    PathFixture f;
    const VXStylePtr blue = strokes({{Qt::black, 8}, {Qt::blue, 4}});
    const auto at = [](const VXStylePtr& style, double location, double length) {
        return ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(style, ZQMakeAbsoluteStyleRange(location, length));
    };
    // Out of order, overlapping, one without a style, two neighbours sharing one.
    f.path->setStyles({at(f.red, 120, 10), at(f.white, 30, 5), at(nullptr, 0, 200), at(blue, 60, 0), at(blue, 80, 30)});
    ASSERT_EQ(f.path->styles().size(), 3);
    EXPECT_EQ(f.path->styles().at(0)->style(), f.white);
    EXPECT_EQ(f.path->styles().at(1)->style(), blue);
    EXPECT_EQ(f.path->styles().at(2)->style(), f.red);
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(0), ZQMakeAbsoluteStyleRange(0, 60)));
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(1), ZQMakeAbsoluteStyleRange(60, 60)));
    EXPECT_TRUE(ZQStyleRangeRunsToEnd(f.path->styles().at(2)->range()));
    EXPECT_EQ(f.path->style(), f.white);
    EXPECT_EQ(f.path->shims().size(), 2);
    // Relative ranges from older archives resolve against the length.
    f.path->setStyles({at(f.white, 0, 1), ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(
                                              f.red, ZQMakeStyleRange(0.75, 0.25, kZQRelativeStyleRange))});
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(1), ZQMakeAbsoluteStyleRange(150, 50)));
}

TEST(MultiStylePath, StyleForPositionAtTheEndsAndInsideShims)
{
    PathFixture f;
    f.splitAtMiddle();
    // The shim is twice the wider style's widest stroke, centred on the boundary.
    ASSERT_EQ(f.path->shims().size(), 1);
    EXPECT_TRUE(ZQEqualStyleRanges(f.path->shims().first()->range(), ZQMakeAbsoluteStyleRange(88, 24)));
    const ZQRangeDrawingStylePtr first = f.path->styles().at(0);
    const ZQRangeDrawingStylePtr second = f.path->styles().at(1);
    const ZQRangeDrawingStylePtr shim = f.path->shims().first();

    // Ends are inclusive: at a boundary the earlier style wins.
    const std::tuple<double, bool, ZQRangeDrawingStylePtr> cases[] = {
        {-5, false, first},  {0, false, first},    {kNaN, false, first},   {100, false, first},
        {100.5, false, second}, {200, false, second}, {1e9, false, second}, {88, true, shim},
        {100, true, shim},   {112, true, shim},    {87.9, true, first},    {112.1, true, second}};
    for (const auto& [position, includingShims, expected] : cases)
        EXPECT_EQ(f.path->styleForPositionIncludingShims(position, includingShims), expected) << position << includingShims;
    EXPECT_FALSE(shim->style());

    // Turning shims off removes them; its undo brings them back.
    f.path->setAutoInsertsShims(false);
    EXPECT_TRUE(f.path->shims().isEmpty());
    EXPECT_EQ(f.path->styleForPositionIncludingShims(100, true), first);
    f.endStep();
    f.undo->undo();
    EXPECT_TRUE(f.path->autoInsertsShims());
    EXPECT_EQ(f.path->shims().size(), 1);
}

TEST(MultiStylePath, PartCodesOfKnobsAdornmentsAndThePath)
{
    PathFixture f;
    f.splitAtMiddle();
    f.path->setSelectionRange(ZQMakeAbsoluteStyleRange(20, 40));
    f.path->setStyleDisplayNameAsAuxiliaryStyle(drawingtest::strokeStyle(Qt::blue, 2), QStringLiteral("Blue"), true);
    f.path->selectNone();
    f.path->addAdornmentWithObjectAtPositionDisplayName(marker(), 150, QStringLiteral("Marker"));
    f.path->addAdornmentWithObjectAtPositionDisplayName(marker(), 180, QStringLiteral("Marker"));

    // Knobs answer only while the path is selected.
    EXPECT_EQ(f.path->hitPart({100, kLineY}), kVXDrawingEntireObjectPart);
    f.layer->replaceSelectionWithObject(f.path);
    EXPECT_EQ(f.path->hitPart({100, kLineY}), 64001);
    EXPECT_EQ(f.path->hitPart({101.5, kLineY + 1}), 64001);
    EXPECT_EQ(f.path->hitPart({20, kLineY}), 128001);
    EXPECT_EQ(f.path->hitPart({60, kLineY}), 128002);
    EXPECT_EQ(f.path->hitPart({150, kLineY}), -2);
    EXPECT_EQ(f.path->hitPart({180, kLineY + 2}), -3);
    EXPECT_EQ(f.path->adornmentHitByPoint({180, kLineY}), f.path->adornments().at(1));
    EXPECT_EQ(f.path->hitPart({40, kLineY + 5}), kVXDrawingEntireObjectPart);
    EXPECT_EQ(f.path->hitPart({40, kLineY + 20}), kVXDrawingNoPart);
    EXPECT_EQ(f.path->lengthForPoint({40, kLineY + 20}), -1);
    EXPECT_DOUBLE_EQ(f.path->lengthForPoint({40, kLineY + 5}), 40);

    // Boundaries can be hidden; a locked path has no knobs.
    f.path->setShowsInlineStyleBoundaries(false);
    EXPECT_EQ(f.path->hitPart({100, kLineY}), kVXDrawingEntireObjectPart);
    f.path->setLocked(true);
    EXPECT_EQ(f.path->hitPart({20, kLineY}), kVXDrawingEntireObjectPart);
}

TEST(MultiStylePath, DraggingKnobsAndAdornmentsIsOneUndoStep)
{
    PathFixture f;
    f.splitAtMiddle();
    f.undo->removeAllActions();
    f.layer->replaceSelectionWithObject(f.path);

    f.path->mouseDownAtPointInPartEvent({100, kLineY}, 64001, nullptr);
    for (double x : {105.0, 115.0, 130.0})
        f.path->mouseDraggedAtPointInPartEvent({x, kLineY + 3}, 64001, nullptr);
    EXPECT_EQ(f.path->mouseUpAtPointInPartEvent({130, kLineY}, 64001, nullptr), QStringLiteral("Move Style Boundary"));
    f.endStep();
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(0), ZQMakeAbsoluteStyleRange(0, 130)));
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(1), ZQMakeAbsoluteStyleRange(130, 70)));
    ASSERT_EQ(f.undo->numberOfUndoActions(), 1);
    f.undo->undo();
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(0), ZQMakeAbsoluteStyleRange(0, 100)));
    f.undo->redo();
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(0), ZQMakeAbsoluteStyleRange(0, 130)));

    // A boundary cannot pass the end of the style after it.
    f.path->mouseDownAtPointInPartEvent({130, kLineY}, 64001, nullptr);
    f.path->mouseDraggedAtPointInPartEvent({400, kLineY}, 64001, nullptr);
    f.path->mouseUpAtPointInPartEvent({400, kLineY}, 64001, nullptr);
    EXPECT_LT(ZQMaxStyleRange(f.rangeOfStyle(0)), 200);
    EXPECT_GT(f.rangeOfStyle(1).length, 0);
    f.endStep();

    const VXQAdornmentPtr adornment = f.path->addAdornmentWithObjectAtPositionDisplayName(marker(), 50, {});
    f.endStep();
    f.undo->removeAllActions();
    f.path->mouseDownAtPointInPartEvent({52, kLineY}, -2, nullptr);
    EXPECT_EQ(f.path->selectedAdornments(), QList<VXQAdornmentPtr>{adornment});
    f.path->mouseDraggedAtPointInPartEvent({72, kLineY}, -2, nullptr);
    f.path->mouseDraggedAtPointInPartEvent({82, kLineY}, -2, nullptr);
    EXPECT_EQ(f.path->mouseUpAtPointInPartEvent({82, kLineY}, -2, nullptr), QStringLiteral("Move Adornment"));
    f.endStep();
    EXPECT_DOUBLE_EQ(adornment->position(), 80); // the grab point keeps its distance
    ASSERT_EQ(f.undo->numberOfUndoActions(), 1);
    f.undo->undo();
    EXPECT_DOUBLE_EQ(adornment->position(), 50);
}

TEST(MultiStylePath, AClickOnAKnobOrAdornmentRecordsNoStep)
{
    PathFixture f;
    f.splitAtMiddle();
    const VXQAdornmentPtr adornment = f.path->addAdornmentWithObjectAtPositionDisplayName(marker(), 50, {});
    f.endStep();
    f.undo->removeAllActions();
    f.layer->replaceSelectionWithObject(f.path);

    // The view may send a drag at the press point before the pointer moves.
    for (const auto& [part, point] : {std::pair{64001, QPointF(100, kLineY)}, std::pair{-2, QPointF(52, kLineY)}}) {
        f.path->mouseDownAtPointInPartEvent(point, part, nullptr);
        f.path->mouseDraggedAtPointInPartEvent(point, part, nullptr);
        EXPECT_EQ(f.path->mouseUpAtPointInPartEvent(point, part, nullptr), QString()) << part;
        f.endStep();
    }
    EXPECT_EQ(f.undo->numberOfUndoActions(), 0);
    EXPECT_DOUBLE_EQ(adornment->position(), 50);
    EXPECT_TRUE(ZQEqualStyleRanges(f.rangeOfStyle(0), ZQMakeAbsoluteStyleRange(0, 100)));
}

TEST(MultiStylePath, AdornmentInsertionAndKeysUndo)
{
    PathFixture f;
    const VXDrawableObjectPtr object = marker();
    const VXQAdornmentPtr adornment =
        f.path->addAdornmentWithObjectAtPositionDisplayName(object, 120, QStringLiteral("Symbol “Church”"));
    f.endStep();
    ASSERT_TRUE(adornment);
    EXPECT_EQ(adornment->container(), f.path.get());
    EXPECT_FALSE(f.path->addAdornmentWithObjectAtPositionDisplayName(nullptr, 10, {}));

    adornment->setValueForKey(4.0, QStringLiteral("lateralOffset"));
    adornment->setValueForKey(true, QStringLiteral("reversed"));
    adornment->setScale(-2); // refused
    f.endStep();
    EXPECT_DOUBLE_EQ(adornment->valueForKey(QStringLiteral("scale")).toDouble(), 1.0);
    // Placed 4 to the right of travel (down the page), turned half round.
    const QTransform placed = adornment->transformOnPath(f.path->renderingPath());
    EXPECT_NEAR(placed.map(QPointF(0, 0)).x(), 120, 1e-9);
    EXPECT_NEAR(placed.map(QPointF(0, 0)).y(), kLineY + 4, 1e-9);
    EXPECT_NEAR(placed.map(QPointF(1, 0)).x(), 119, 1e-9);

    f.undo->undo();
    EXPECT_DOUBLE_EQ(adornment->lateralOffset(), 0);
    EXPECT_FALSE(adornment->reversed());
    f.undo->undo();
    EXPECT_TRUE(f.path->adornments().isEmpty());
    EXPECT_FALSE(adornment->container());
    f.undo->redo();
    ASSERT_EQ(f.path->adornments().size(), 1);
    EXPECT_EQ(f.path->adornments().first()->object(), object);

    // Removing a selected adornment deselects it; undo puts it back in its place.
    f.path->setSelectedAdornments({adornment});
    f.path->removeAdornment(adornment.get());
    EXPECT_TRUE(f.path->selectedAdornments().isEmpty());
    f.endStep();
    f.undo->undo();
    EXPECT_EQ(f.path->adornments(), QList<VXQAdornmentPtr>{adornment});
}

TEST(MultiStylePath, ArchiveKeepsStylesOverlaysShimsAdornmentsAndLabels)
{
    platform::ClassRegistry::registerClass<PathLabelStandIn>();
    PathFixture f;
    f.white->setName(QStringLiteral("Minor Road"));
    f.splitAtMiddle();
    f.path->setShimBlending(kZQShimBlendWidthAndColour);
    f.path->setSelectionRange(ZQMakeAbsoluteStyleRange(30, 20));
    EXPECT_DOUBLE_EQ(f.path->locationForAddingTextLabel(), 40) << "the middle of the selection";
    f.path->insertCutting(nullptr);
    f.path->setStyleDisplayNameAsAuxiliaryStyle(drawingtest::strokeStyle(Qt::blue, 2), QStringLiteral("Cycle Lane"), true);
    const VXQAdornmentPtr adornment =
        f.path->addAdornmentWithObjectAtPositionDisplayName(marker(), 140, QStringLiteral("Milestone"));
    adornment->setAngleInDegrees(30);
    adornment->setIgnoresAngle(true);
    auto label = std::make_shared<PathLabelStandIn>();
    label->text = QStringLiteral("High Street");
    f.path->setTextLabels({label});
    f.path->setLabelsHidden(true);
    f.path->setDynamicLabelTemplatesEnabled(true);

    const auto copy = testsupport::roundTrip<ZQMultiStylePath>(*f.path);
    ASSERT_TRUE(copy);
    EXPECT_EQ(platform::KeyedArchiver::archivedDataWithRootObject(copy.get()),
              platform::KeyedArchiver::archivedDataWithRootObject(f.path.get()));
    ASSERT_EQ(copy->styles().size(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(ZQEqualStyleRanges(copy->styles().at(i)->range(), f.path->styles().at(i)->range()));
    EXPECT_EQ(copy->styles().first()->style(), copy->style()); // one style object, shared again
    EXPECT_EQ(copy->styles().first()->style()->name(), QStringLiteral("Minor Road"));
    EXPECT_DOUBLE_EQ(copy->widestStrokeWidth(), 12);
    ASSERT_EQ(copy->shims().size(), 1);
    EXPECT_TRUE(ZQEqualStyleRanges(copy->shims().first()->range(), f.path->shims().first()->range()));
    EXPECT_EQ(copy->shimBlending(), kZQShimBlendWidthAndColour);
    ASSERT_EQ(copy->overlays().size(), 2);
    EXPECT_EQ(copy->overlays().at(0)->placement(), ZQOverlayPlacement::Below);
    EXPECT_TRUE(ZQEqualStyleRanges(copy->overlays().at(0)->range(), ZQMakeAbsoluteStyleRange(30, 20)));
    EXPECT_EQ(copy->overlays().at(1)->displayName(), QStringLiteral("Cycle Lane"));
    ASSERT_EQ(copy->adornments().size(), 1);
    const VXQAdornmentPtr decoded = copy->adornments().first();
    EXPECT_EQ(decoded->container(), copy.get());
    EXPECT_DOUBLE_EQ(decoded->position(), 140);
    EXPECT_DOUBLE_EQ(decoded->angleInDegrees(), 30);
    EXPECT_TRUE(decoded->ignoresAngle());
    EXPECT_EQ(decoded->displayName(), QStringLiteral("Milestone"));
    ASSERT_TRUE(decoded->object());
    ASSERT_EQ(copy->textLabels().size(), 1);
    EXPECT_TRUE(copy->labelsHidden());
    EXPECT_TRUE(copy->dynamicLabelTemplatesEnabled());
    EXPECT_DOUBLE_EQ(copy->locationForAddingTextLabel(), 100) << "not archived: the middle of the path";
    copy->setLocationForAddingTextLabel(30);
    EXPECT_DOUBLE_EQ(copy->locationForAddingTextLabel(), 30);
    EXPECT_EQ(copy->searchableString(), QStringLiteral("Minor Road Cutting Cycle Lane Milestone High Street"));

    // Copies share the original's styles, as other drawables do.
    const auto duplicate = std::dynamic_pointer_cast<ZQMultiStylePath>(f.path->copyDrawable());
    ASSERT_TRUE(duplicate);
    EXPECT_EQ(duplicate->styles().at(1)->style(), f.red);
    EXPECT_EQ(duplicate->overlays().at(1)->style(), f.path->overlays().at(1)->style());
    EXPECT_NE(duplicate->adornments().first(), adornment);
    EXPECT_EQ(duplicate->adornments().first()->container(), duplicate.get());
}

TEST(MultiStylePath, DamagedArchivesDecodeToUsablePaths)
{
    testsupport::ArchiveStub stub;
    stub.values.insert(QStringLiteral("multistyles"), QStringLiteral("not a list"));
    stub.values.insert(QStringLiteral("shims"), 42);
    stub.values.insert(QStringLiteral("ZQMultiStylePath_shimBlending"), 99);
    stub.values.insert(QStringLiteral("ZQMultiStylePath_adornments"), QStringLiteral("none"));
    const ZQObjectPtr decoded = platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("ZQMultiStylePath")));
    const auto path = std::dynamic_pointer_cast<ZQMultiStylePath>(decoded);
    ASSERT_TRUE(path);
    EXPECT_TRUE(path->styles().isEmpty());
    EXPECT_TRUE(path->shims().isEmpty());
    EXPECT_EQ(path->shimBlending(), ZQMultiStylePath::defaultShimBlending());
    EXPECT_EQ(path->hitPart({0, 0}), kVXDrawingNoPart);
    paint([&] { path->drawContent(); });

    // A range style with hostile numbers decodes to a defined range.
    testsupport::ArchiveStub rangeStub;
    rangeStub.values.insert(QStringLiteral("ZQRangeDrawingStyle_rangeLocation"), -1e300);
    rangeStub.values.insert(QStringLiteral("ZQRangeDrawingStyle_rangeLength"), 1e300);
    rangeStub.values.insert(QStringLiteral("ZQRangeDrawingStyle_rangeType"), 5);
    const auto rangeStyle = std::dynamic_pointer_cast<ZQRangeDrawingStyle>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(rangeStub.archiveAs(QStringLiteral("ZQRangeDrawingStyle"))));
    ASSERT_TRUE(rangeStyle);
    EXPECT_TRUE(ZQStyleRangeRunsToEnd(rangeStyle->range()));
    EXPECT_EQ(rangeStyle->range().rangeType, kZQAbsoluteStyleRange);
    EXPECT_GE(rangeStyle->range().location, -kZQStyleRangeRunsToEnd);
}

TEST(MultiStylePath, DegeneratePathsGiveDefinedAnswers)
{
    const VXStylePtr style = strokes({{Qt::black, 10}, {Qt::white, 6}});
    platform::BezierPath point;
    point.moveToPoint({30, 30});
    for (const platform::BezierPath& geometry : {platform::BezierPath(), point, polyline({{30, 30}, {30, 30}})}) {
        const ZQMultiStylePathPtr path = ZQMultiStylePath::multiStylePathWithPathStyle(geometry, style);
        EXPECT_EQ(path->styles().size(), 1);
        EXPECT_EQ(path->styleForPositionIncludingShims(5, true), path->styles().first());
        path->setSelectionRange(ZQMakeAbsoluteStyleRange(kNaN, 50));
        EXPECT_FALSE(path->canInsertSpecialItem());
        path->insertBridge(nullptr);
        EXPECT_TRUE(path->overlays().isEmpty());
        EXPECT_TRUE(path->addAdornmentWithObjectAtPositionDisplayName(marker(), kNaN, {}));
        EXPECT_DOUBLE_EQ(path->adornments().first()->position(), 0);
        EXPECT_EQ(path->hitPart({500, 500}), kVXDrawingNoPart);
        paint([&] { path->drawContent(); });
    }

    // Styles beyond the end of the path are kept but draw nothing.
    const ZQMultiStylePathPtr path = ZQMultiStylePath::multiStylePathWithPathStyle(polyline({{0, kLineY}, {200, kLineY}}), style);
    const VXStylePtr red = strokes({{Qt::black, 10}, {Qt::red, 6}});
    path->setStyles({path->styles().first(), ZQRangeDrawingStyle::rangeDrawingStyleWithStyleRange(red, ZQMakeAbsoluteStyleRange(500, 50))});
    ASSERT_EQ(path->styles().size(), 2);
    EXPECT_EQ(path->styleForPositionIncludingShims(199, false)->style(), style);
    const QImage image = paint([&] { path->drawContent(); });
    EXPECT_EQ(image.pixelColor(190, int(kLineY)), QColor(Qt::white));
}

TEST(MultiStylePath, CasingIsABottomStrokeNoneIsWiderThan)
{
    const auto casingOf = [](const VXStylePtr& style) { return ZQRangeDrawingStyle::casingStrokeOfStyle(*style); };
    EXPECT_TRUE(casingOf(strokes({{Qt::black, 10}, {Qt::white, 6}})));
    EXPECT_TRUE(casingOf(strokes({{Qt::black, 6}, {Qt::white, 6}})));
    EXPECT_FALSE(casingOf(strokes({{Qt::black, 4}, {Qt::white, 6}})));
    EXPECT_FALSE(casingOf(strokes({{Qt::black, 8}})));

    // A fill under the strokes means the bottom is not a casing; a disabled stroke does not count.
    auto filled = strokes({{Qt::black, 10}, {Qt::white, 6}});
    filled->insertObjectInRenderListAtIndex(drawingtest::fillStyle(Qt::green)->renderList().first(), 0);
    EXPECT_FALSE(casingOf(filled));
    auto disabled = strokes({{Qt::gray, 20}, {Qt::black, 10}, {Qt::white, 6}});
    disabled->renderList().first()->setEnabled(false);
    EXPECT_EQ(casingOf(disabled), disabled->renderList().at(1));
}

TEST(MultiStylePath, CasingsOfAllPathsGoUnderAllContents)
{
    // A horizontal road crossed by a vertical one.
    const ZQMultiStylePathPtr across = ZQMultiStylePath::multiStylePathWithPathStyle(
        polyline({{0, kLineY}, {200, kLineY}}), strokes({{Qt::black, 10}, {Qt::white, 6}}));
    const ZQMultiStylePathPtr down = ZQMultiStylePath::multiStylePathWithPathStyle(
        polyline({{100, 0}, {100, 100}}), strokes({{Qt::black, 10}, {Qt::red, 6}}));

    const QImage phased = paint([&] {
        across->drawCasing();
        down->drawCasing();
        across->drawContentWithoutCasing();
        down->drawContentWithoutCasing();
    });
    EXPECT_EQ(phased.pixelColor(96, int(kLineY)), QColor(Qt::white)); // the crossing casing lies under
    EXPECT_EQ(phased.pixelColor(100, int(kLineY)), QColor(Qt::red));
    EXPECT_EQ(phased.pixelColor(20, int(kLineY) + 4), QColor(Qt::black));
    EXPECT_EQ(phased.pixelColor(100, 10), QColor(Qt::red));

    // Drawn whole, one after the other, the second road's casing cuts the first.
    const QImage whole = paint([&] {
        across->drawContent();
        down->drawContent();
    });
    EXPECT_EQ(whole.pixelColor(96, int(kLineY)), QColor(Qt::black));
}

#include "MultiStylePathTest.moc"
