// Drawables: geometry through the generic setter (undo, observation, locks), transforms
// of shapes, paths and groups, area and centroid, and degenerate geometry.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include "platform/graphics/PathMeasure.h"
#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "support/StyleUse.h"

#include <QScopeGuard>

using namespace drawingtest;

namespace {

void expectRectNear(const QRectF& actual, const QRectF& expected, double tolerance = 1e-6)
{
    EXPECT_NEAR(actual.left(), expected.left(), tolerance);
    EXPECT_NEAR(actual.top(), expected.top(), tolerance);
    EXPECT_NEAR(actual.width(), expected.width(), tolerance);
    EXPECT_NEAR(actual.height(), expected.height(), tolerance);
}

VXDrawablePathPtr polyline(const QList<QPointF>& points)
{
    platform::BezierPath path;
    path.appendBezierPathWithPoints(QPolygonF(points));
    return VXDrawablePath::drawablePathWithBezierPath(path);
}

} // namespace

TEST(Drawable, GeometrySettersUndoObserveRefuseNonFiniteValuesAndRespectTheLocks)
{
    Fixture f;
    auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 40, 20), fillStyle(Qt::red));
    f.layer->addObject(shape);
    f.endStep();
    const quint64 checksum = shape->geometryChecksum();
    shape->setLocation({std::nan(""), 3});
    shape->setAngle(std::numeric_limits<double>::infinity());
    shape->setSize({std::nan(""), 1});
    EXPECT_EQ(shape->location(), QPointF(20, 10));
    EXPECT_EQ(shape->geometryChecksum(), checksum);

    QStringList changed;
    for (const QString key : {"location", "xLocation", "width", "angleInDegrees", "bounds"})
        shape->observeKeyPath(key, platform::KeyValueObservingOptionNew, nullptr,
                              [&changed, key](const platform::KeyValueChange&) { changed.append(key); });
    shape->setValueForKey(120.0, QStringLiteral("xLocation"));
    shape->setValueForKey(80.0, QStringLiteral("width"));
    shape->setValueForKey(90.0, QStringLiteral("angleInDegrees"));
    f.endStep();
    EXPECT_TRUE(changed.contains(QStringLiteral("xLocation")));
    EXPECT_TRUE(changed.contains(QStringLiteral("bounds")));
    EXPECT_EQ(shape->location(), QPointF(120, 10));
    EXPECT_NEAR(shape->angle(), M_PI / 2, 1e-12);
    expectRectNear(shape->logicalBounds(), QRectF(110, -30, 20, 80)); // turned upright
    EXPECT_NE(shape->geometryChecksum(), checksum);

    shape->setLocked(true);
    shape->setLocation({0, 0});
    shape->setStyle(fillStyle(Qt::blue));
    EXPECT_EQ(shape->location(), QPointF(120, 10));
    EXPECT_EQ(shape->style()->fillColour(), QColor(Qt::red));
    shape->setLocked(false);
    f.endStep();

    f.undo->undo(); // the lock round trip
    f.undo->undo(); // x, width and angle together
    EXPECT_EQ(shape->location(), QPointF(20, 10));
    EXPECT_EQ(shape->size(), QSizeF(40, 20));
    EXPECT_DOUBLE_EQ(shape->angle(), 0);
    f.undo->redo();
    EXPECT_EQ(shape->size(), QSizeF(80, 20));
    shape->setAspectRatioLocked(true);
    shape->setWidth(160);
    EXPECT_EQ(shape->size(), QSizeF(160, 40));
}

TEST(Drawable, ShapesMirrorTurnAndPivotInPlaceAndHitWhereTheyShow)
{
    Fixture f;
    // Moves leave a turned shape's angle and size exactly as they were, however many a drag makes.
    auto turned = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 30, 7), nullptr);
    turned->setAngle(0.7);
    const QSizeF turnedSize = turned->size();
    for (int i = 0; i < 200; ++i)
        turned->applyTransform(QTransform::fromTranslate(0.3, -0.1));
    EXPECT_EQ(turned->angle(), 0.7);
    EXPECT_EQ(turned->size(), turnedSize);
    expectRectNear(turned->logicalBounds(), turned->renderingPath().bounds());

    auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 40, 20), nullptr);
    shape->applyTransform(QTransform::fromScale(-1, 1)); // a mirror flips the shape in place
    expectRectNear(shape->logicalBounds(), QRectF(-40, 0, 40, 20));
    EXPECT_EQ(shape->location(), QPointF(-20, 10));

    shape->applyTransform(platform::RotationTransform(M_PI / 2, shape->location()));
    expectRectNear(shape->logicalBounds(), QRectF(-30, -10, 20, 40));

    // With the offset at the top-left corner, turning pivots about that corner.
    auto pivoted = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 40, 20), nullptr);
    pivoted->setOffset({-0.5, -0.5});
    pivoted->setLocation({0, 0});
    expectRectNear(pivoted->logicalBounds(), QRectF(0, 0, 40, 20));
    pivoted->setAngle(M_PI);
    expectRectNear(pivoted->logicalBounds(), QRectF(-40, -20, 40, 20));
    EXPECT_EQ(pivoted->locationIgnoringOffset().toPoint(), QPoint(-20, -10));

    auto bar = VXDrawableShape::drawableShapeWithRect(QRectF(50, 95, 100, 10), fillStyle(Qt::red));
    bar->setAngle(M_PI / 4);
    f.layer->addObject(bar);
    EXPECT_EQ(f.layer->hitTest({130, 130}), bar);   // along the diagonal
    EXPECT_EQ(f.layer->hitTest({130, 70}), nullptr); // inside the bounds, off the bar
    EXPECT_TRUE(bar->bounds().contains(QPointF(130, 70)));
}

// An application's own shape class, made wherever the framework makes plain shapes.
class LabelledTestShape : public VXDrawableShape {
    Q_OBJECT
    Q_CLASSINFO("displayName", "Labelled Shape")
};

TEST(Drawable, ShapesAreMadeAsTheSubstituteClass)
{
    platform::ClassRegistry::registerClass<LabelledTestShape>();
    platform::ClassRegistry::setSubstituteClass(QStringLiteral("VXDrawableShape"), QStringLiteral("LabelledTestShape"));
    const auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), nullptr);
    platform::ClassRegistry::setSubstituteClass(QStringLiteral("VXDrawableShape"), QString());
    EXPECT_TRUE(qobject_cast<LabelledTestShape*>(shape.get()));
    EXPECT_EQ(shape->displayName(), QStringLiteral("Labelled Shape"));
    EXPECT_EQ(VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), nullptr)->displayName(),
              QStringLiteral("Shape"));
    // The substitute survives archiving as itself.
    const QByteArray data = platform::KeyedArchiver::archivedDataWithRootObject(shape.get());
    EXPECT_TRUE(qobject_cast<LabelledTestShape*>(platform::KeyedUnarchiver::unarchiveObjectWithData(data).get()));
}

// A style class that counts the styles made, to see which copies decode styles.
class CountedStyle : public VXStyle {
    Q_OBJECT

public:
    CountedStyle() { ++made; }
    static inline int made = 0;
};

TEST(Drawable, CopiesOfObjectsAndLayersShareTheStylesWithoutDecodingThem)
{
    Fixture f;
    const VXStylePtr red = fillStyle(Qt::red);
    auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), red);
    auto group = VXShapeGroup::groupWithObjects(
        {shape, VXDrawableShape::drawableShapeWithRect(QRectF(20, 0, 10, 10), fillStyle(Qt::blue))});
    f.layer->addObject(group);
    platform::ClassRegistry::registerClass<CountedStyle>();
    const auto noSubstitute = qScopeGuard([] { platform::ClassRegistry::setSubstituteClass("VXStyle", {}); });
    platform::ClassRegistry::setSubstituteClass("VXStyle", "CountedStyle");
    CountedStyle::made = 0;

    const auto copy = std::dynamic_pointer_cast<VXShapeGroup>(group->copyDrawable());
    const auto layerCopy = std::dynamic_pointer_cast<VXObjectOwnerLayer>(f.layer->copy());
    EXPECT_EQ(CountedStyle::made, 0);
    ASSERT_TRUE(copy && layerCopy);
    EXPECT_EQ(copy->groupObjects()[0]->style(), red);
    const auto copiedGroup = std::dynamic_pointer_cast<VXShapeGroup>(layerCopy->objects().value(0));
    ASSERT_TRUE(copiedGroup);
    EXPECT_EQ(copiedGroup->groupObjects()[0]->style(), red);
    expectRectNear(copiedGroup->groupObjects()[1]->logicalBounds(), QRectF(20, 0, 10, 10));
    // Copied together through one archive: each copy in its original's place, its own key.
    const auto line = polyline({{0, 50}, {30, 60}});
    line->setStyle(red);
    const QList<VXDrawableObjectPtr> originals{line, group, shape};
    const QList<VXDrawableObjectPtr> copies = VXDrawableObject::copyDrawables(originals);
    EXPECT_EQ(CountedStyle::made, 0);
    ASSERT_EQ(copies.size(), 3);
    for (qsizetype i = 0; i < copies.size(); ++i) {
        EXPECT_NE(copies[i], originals[i]);
        EXPECT_EQ(copies[i]->metaObject(), originals[i]->metaObject());
        EXPECT_EQ(copies[i]->bounds(), originals[i]->bounds());
        EXPECT_NE(copies[i]->uniqueKey(), originals[i]->uniqueKey());
    }
    EXPECT_EQ(copies[0]->style(), red);
    EXPECT_EQ(std::dynamic_pointer_cast<VXShapeGroup>(copies[1])->groupObjects()[0]->style(), red);

    // An archive to keep still holds the style: what is decoded from it has one of its own.
    const auto decoded = std::dynamic_pointer_cast<VXDrawableObject>(platform::KeyedUnarchiver::unarchiveObjectWithData(
        platform::KeyedArchiver::archivedDataWithRootObject(shape.get())));
    ASSERT_TRUE(decoded && decoded->style());
    EXPECT_EQ(CountedStyle::made, 1);
    EXPECT_NE(decoded->style(), red);
    EXPECT_EQ(decoded->style()->fillColour(), QColor(Qt::red));
}

TEST(Drawable, AStrokeWidthSharedByShapesAndPathsMovesTheirBoundsIndexAndPixelsAsFreshObjectsWouldAndUndoes)
{
    const auto objectsWith = [](const VXStylePtr& style) {
        auto turned = VXDrawableShape::drawableShapeWithOvalInRect(QRectF(120, 20, 50, 30), style);
        turned->setAngle(0.6);
        auto line = polyline({{110, 110}, {180, 130}, {150, 180}});
        line->setStyle(style);
        return QList<VXDrawableObjectPtr>{
            VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 40, 20), style), turned,
            VXRoundRectShape::roundRectInRectCornerRadiusStyle(QRectF(20, 120, 60, 40), 8, style), line};
    };
    const auto styleOfWidth = [](double width) {
        return VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(230, 200, 120), Qt::black, width);
    };
    Fixture f;
    const VXStylePtr shared = styleOfWidth(1);
    const QList<VXDrawableObjectPtr> objects = objectsWith(shared);
    f.layer->addObjectsFromArray(objects);
    f.endStep();
    QList<QRectF> before;
    QList<quint64> checksums;
    for (const VXDrawableObjectPtr& object : objects) {
        object->prepareToDraw(); // paths cached before the edit
        before << object->bounds();
        checksums << object->geometryChecksum();
    }
    const QImage original = render(*f.drawing, 2);

    shared->renderersOfClass<VXStroke>().first()->setWidth(9);
    f.endStep();
    Fixture fresh;
    const QList<VXDrawableObjectPtr> expected = objectsWith(styleOfWidth(9));
    fresh.layer->addObjectsFromArray(expected);
    for (qsizetype i = 0; i < objects.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(objects[i]->bounds(), expected[i]->bounds());
        EXPECT_EQ(objects[i]->renderingPath().painterPath(), expected[i]->renderingPath().painterPath());
        EXPECT_NE(objects[i]->geometryChecksum(), checksums[i]); // what draws at random draws anew
        // Found in the index by the band the wider stroke added.
        const QRectF outer = objects[i]->bounds();
        EXPECT_TRUE(f.layer->objectsInRect(QRectF(outer.left(), outer.center().y(), 0.5, 0.5)).contains(objects[i].get()));
    }
    EXPECT_EQ(render(*f.drawing, 2), render(*fresh.drawing, 2));

    f.undo->undo();
    for (qsizetype i = 0; i < objects.size(); ++i)
        EXPECT_EQ(objects[i]->bounds(), before[i]) << i;
    EXPECT_EQ(render(*f.drawing, 2), original);
}

TEST(Drawable, PathsMoveScaleMeasureAndMeetRectsAlongTheirLine)
{
    Fixture f;
    auto line = polyline({{0, 0}, {30, 40}});
    f.layer->addObject(line);
    f.endStep();
    EXPECT_TRUE(line->isSimpleStraightLine());
    EXPECT_DOUBLE_EQ(line->length(), 50);
    line->setValueForKey(100.0, QStringLiteral("length"));
    EXPECT_NEAR(line->length(), 100, 1e-9);
    line->setLocation({0, 0});
    EXPECT_EQ(line->location(), QPointF(0, 0));
    line->setAngle(1.0); // a path has no angle to set
    EXPECT_EQ(line->path().currentPoint(), QPointF(30, 40));
    line->setSize({30, 40});
    expectRectNear(line->logicalBounds(), QRectF(-15, -20, 30, 40));
    f.endStep();
    f.undo->undo();
    EXPECT_NEAR(line->length(), 50, 1e-9);
    EXPECT_EQ(line->path().currentPoint(), QPointF(30, 40));

    auto bent = polyline({{0, 0}, {10, 0}, {10, 10}});
    EXPECT_FALSE(bent->isSimpleStraightLine());
    bent->setLength(5); // only straight lines take a length
    EXPECT_DOUBLE_EQ(bent->length(), 20);
    EXPECT_GT(bent->strokedPathWithStrokeWidth(4).area(), 70);

    // Marquee selection meets an open path where its line runs, not inside its closing.
    auto vee = polyline({{0, 0}, {50, 100}, {100, 0}});
    EXPECT_TRUE(vee->intersectsRect({20, 30, 10, 10}));
    EXPECT_TRUE(vee->intersectsRect({45, 90, 10, 20}));
    EXPECT_FALSE(vee->intersectsRect({80, 80, 10, 10}));
}

TEST(Drawable, PathsAndFiguresMeasureOnceUntilTheirGeometryChanges)
{
    using platform::PathMeasure;
    platform::BezierPath curve;
    curve.moveToPoint({0, 0});
    curve.curveToPointControlPoint1ControlPoint2({100, 0}, {30, 60}, {70, -60});
    const double expected = platform::BezierPath(curve).length();
    const auto river = VXDrawablePath::drawablePathWithBezierPath(curve);
    VXArcPath arc;
    arc.setRadius(10);
    for (VXDrawablePath* path : {static_cast<VXDrawablePath*>(river.get()), static_cast<VXDrawablePath*>(&arc)}) {
        SCOPED_TRACE(path->metaObject()->className());
        const quint64 before = PathMeasure::measuresBuilt();
        const double length = path->length();
        for (int i = 0; i < 50; ++i) { // lengths, hit tests and points along the path share one measure
            EXPECT_EQ(path->length(), length);
            EXPECT_GE(path->path().lengthForPoint(path->path().pointOnPathAtLengthSlope(length / 3)), 0);
        }
        EXPECT_EQ(PathMeasure::measuresBuilt() - before, 1u);
        path->applyTransform(QTransform::fromScale(2, 2));
        EXPECT_NEAR(path->length(), 2 * length, 0.01); // a new geometry, measured anew
        EXPECT_EQ(PathMeasure::measuresBuilt() - before, 2u);
    }
    EXPECT_NEAR(river->length(), 2 * expected, 0.01);
    EXPECT_NEAR(arc.length(), 2 * M_PI * 20 * arc.subtendedAngle() / 360, 0.05);
}

TEST(Drawable, PolygonsArcsAndRoundRectsFollowTheirParameters)
{
    VXRegularPolygonPath hexagon;
    int pathChanges = 0;
    hexagon.observeKeyPath(QStringLiteral("path"), {}, nullptr, [&](const platform::KeyValueChange&) { ++pathChanges; });
    hexagon.setRadius(10);
    hexagon.setLocation({50, 50});
    EXPECT_EQ(hexagon.path().elementCount(), 7); // six corners and the closing line
    EXPECT_EQ(pathChanges, 2); // parameters announce the path they change
    EXPECT_NEAR(hexagon.path().area(), 1.5 * std::sqrt(3.0) * 100, 1e-6);
    hexagon.setIsStar(true);
    hexagon.setInnerRadius(0.5);
    EXPECT_LT(hexagon.path().area(), 1.5 * std::sqrt(3.0) * 100);
    hexagon.setNumberOfSides(1000);
    EXPECT_EQ(hexagon.numberOfSides(), VXRegularPolygonPath::kMaximumSides);
    hexagon.setPath(platform::BezierPath::bezierPathWithRect({0, 0, 1, 1})); // ignored: the parameters rule
    EXPECT_NEAR(hexagon.logicalBounds().center().x(), 50, 1);

    VXArcPath wedge;
    wedge.setRadius(10);
    wedge.setArcType(VXArcPath::kVXArcPathWedge);
    wedge.setStartAngle(0);
    wedge.setEndAngle(90);
    EXPECT_NEAR(wedge.path().area(), M_PI * 100 / 4, 0.05);
    EXPECT_DOUBLE_EQ(wedge.subtendedAngle(), 90);
    wedge.setStartAngle(-90);
    EXPECT_DOUBLE_EQ(wedge.startAngle(), 270);
    EXPECT_DOUBLE_EQ(wedge.subtendedAngle(), 180);
    wedge.applyTransform(QTransform::fromScale(2, 2));
    EXPECT_DOUBLE_EQ(wedge.radius(), 20);

    auto shape = VXRoundRectShape::roundRectInRectCornerRadiusStyle(QRectF(0, 0, 200, 20), 10, nullptr);
    // The corner is a quarter circle of radius 10, not stretched across 200 points.
    EXPECT_FALSE(shape->renderingPath().containsPoint({1, 1}));
    EXPECT_TRUE(shape->renderingPath().containsPoint({11, 1}));
    EXPECT_TRUE(shape->renderingPath().containsPoint({189, 1}));
    shape->setCornerFlags(platform::kRoundedCornerMinXMinY);
    EXPECT_TRUE(shape->renderingPath().containsPoint({199, 1}));
}

TEST(Drawable, GroupsPlaceAndStretchTheirMembersThroughNestingAndUngroupWhereTheyShow)
{
    Fixture f;
    auto leaf = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), fillStyle(Qt::red));
    auto bar = VXDrawableShape::drawableShapeWithRect(QRectF(0, 40, 30, 10), fillStyle(Qt::blue));
    auto inner = VXShapeGroup::groupWithObjects({leaf, VXDrawableShape::drawableShapeWithRect(QRectF(20, 0, 10, 10), nullptr)});
    auto outer = VXShapeGroup::groupWithObjects({inner, bar});
    f.layer->addObject(outer);
    expectRectNear(leaf->logicalBounds(), QRectF(0, 0, 10, 10)); // members stay put on the page
    EXPECT_EQ(leaf->layer(), f.layer.get());
    EXPECT_EQ(outer->allStyles().size(), 2);
    EXPECT_TRUE(testsupport::usesExactlyTheStylesItLists(*outer, {leaf->style(), bar->style(), fillStyle(Qt::green)}));

    outer->setLocation(outer->location() + QPointF(100, 0));
    expectRectNear(leaf->logicalBounds(), QRectF(100, 0, 10, 10));
    inner->setSize({60, 10}); // the inner group doubles in width about its centre
    expectRectNear(leaf->logicalBounds(), QRectF(85, 0, 20, 10));
    expectRectNear(outer->logicalBounds(), QRectF(85, 0, 60, 50));
    EXPECT_EQ(f.layer->hitTest({90, 5}), outer); // the stretched leaf hits for the whole
    EXPECT_EQ(f.layer->hitTest({110, 5}), nullptr);
    EXPECT_NEAR(outer->areaInBaseUnits(), 200 + 200 + 300, 1e-6);

    outer->resizeWidthByHeightBy(2, 1);
    const QList<VXDrawableObjectPtr> freed = outer->ungroupObjects();
    ASSERT_EQ(freed.size(), 2);
    expectRectNear(freed[1]->logicalBounds(), QRectF(85, 40, 60, 10));
    EXPECT_EQ(freed[1]->container(), nullptr);
    EXPECT_EQ(bar->container(), outer.get()); // the group stays whole for undo

    // Moving a member moves the group's bounds in the layer's index.
    leaf->setLocation({300, 300});
    EXPECT_EQ(f.layer->objectsInRect({290, 290, 20, 20}).size(), 1);
}

TEST(Drawable, AGroupTakesTheSizeOfAMemberStretchedInsideItAndScalesFromThatSize)
{
    Fixture f;
    auto left = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), fillStyle(Qt::red));
    auto right = VXDrawableShape::drawableShapeWithRect(QRectF(20, 0, 10, 10), fillStyle(Qt::red));
    auto group = VXShapeGroup::groupWithObjects({left, right});
    f.layer->addObject(group);
    group->setSize({60, 10}); // twice as wide about x = 15: left -15...5, right 25...45
    f.endStep();
    QStringList heard;
    group->observeKeyPath("size", platform::KeyValueObservingOptionNew, nullptr,
                          [&heard](const platform::KeyValueChange&) { heard.append("size"); });

    right->setSize({30, 10}); // in the group's own units: right becomes 5...65 on the page
    f.endStep();
    EXPECT_EQ(heard, QStringList{"size"});
    expectRectNear(left->logicalBounds(), QRectF(-15, 0, 20, 10)); // the other member stays put
    expectRectNear(right->logicalBounds(), QRectF(5, 0, 60, 10));
    EXPECT_EQ(group->size(), QSizeF(80, 10));
    EXPECT_EQ(group->location(), QPointF(25, 5));

    const auto copy = std::dynamic_pointer_cast<VXShapeGroup>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(platform::KeyedArchiver::archivedDataWithRootObject(group.get())));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->size(), QSizeF(80, 10));
    expectRectNear(copy->groupObjects().value(1)->logicalBounds(), QRectF(5, 0, 60, 10));

    group->setSize({40, 10}); // halved about the members' centre, x = 25
    f.endStep();
    expectRectNear(left->logicalBounds(), QRectF(5, 0, 10, 10));
    expectRectNear(right->logicalBounds(), QRectF(15, 0, 30, 10));
    expectRectNear(group->logicalBounds(), QRectF(5, 0, 40, 10));

    f.undo->undo();
    expectRectNear(left->logicalBounds(), QRectF(-15, 0, 20, 10));
    f.undo->undo(); // the stretch: the group's size follows back
    EXPECT_EQ(group->size(), QSizeF(60, 10));
    EXPECT_EQ(group->location(), QPointF(15, 5));
    expectRectNear(right->logicalBounds(), QRectF(25, 0, 20, 10));
    f.undo->redo();
    EXPECT_EQ(group->size(), QSizeF(80, 10));
}

TEST(Drawable, GroupsOfHundredsOfThousandsOfMembersGroupAndDecodeEachMemberOnceInLinearTime)
{
    constexpr int kMembers = 200'000;
    const VXStylePtr style = fillStyle(Qt::red);
    QList<VXDrawableObjectPtr> members;
    for (int i = 0; i < kMembers; ++i)
        members.append(VXDrawableShape::drawableShapeWithRect(QRectF(i % 1000, i / 1000, 1, 1), style));
    members.append(members.first());
    // Checking each member against the others took minutes; the duplicate still goes.
    const VXShapeGroupPtr group = VXShapeGroup::groupWithObjects(members);
    ASSERT_EQ(group->groupObjects().size(), kMembers);
    EXPECT_EQ(group->allStyles(), QList<VXStylePtr>{style});
    const QByteArray archive = platform::KeyedArchiver::archivedDataWithRootObject(group.get());
    const auto copy =
        std::dynamic_pointer_cast<VXShapeGroup>(platform::KeyedUnarchiver::unarchiveObjectWithData(archive));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->groupObjects().size(), kMembers);
    expectRectNear(copy->groupBoundingRect(), QRectF(0, 0, 1000, 200));
}

TEST(Drawable, AreaAndCentroidInDrawingUnits)
{
    Fixture f;
    f.drawing->setUnits(ZQUnitLength::inches());
    auto rectangle = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 72, 144), nullptr);
    f.layer->addObject(rectangle);
    EXPECT_DOUBLE_EQ(rectangle->areaInBaseUnits(), 72 * 144);
    EXPECT_DOUBLE_EQ(rectangle->area(), 2.0);
    EXPECT_EQ(rectangle->areaUnits(), QStringLiteral("in \u00B2"));
    EXPECT_EQ(rectangle->centroidInBaseUnits(), QPointF(36, 72));
    EXPECT_EQ(rectangle->centroid(), QPointF(0.5, 1));
    EXPECT_DOUBLE_EQ(rectangle->valueForKey(QStringLiteral("area")).toDouble(), 2.0);

    // A ring: the hole does not count, and the centroid stays at the centre.
    platform::BezierPath ring = platform::BezierPath::bezierPathWithRect({0, 0, 144, 144});
    ring.appendBezierPathWithRect({36, 36, 72, 72});
    ring.setWindingRule(platform::WindingRule::EvenOdd);
    auto framed = VXDrawablePath::drawablePathWithBezierPath(ring);
    f.layer->addObject(framed);
    EXPECT_DOUBLE_EQ(framed->area(), 3.0);
    EXPECT_EQ(framed->centroid(), QPointF(1, 1));
}

TEST(Drawable, DegenerateGeometryIsHarmless)
{
    Fixture f;
    auto empty = VXDrawablePath::drawablePathWithBezierPath({});
    auto flat = VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 0, 0), fillStyle(Qt::red));
    auto vertical = polyline({{50, 10}, {50, 90}});
    vertical->setStyle(strokeStyle(Qt::black, 2));
    f.layer->addObjectsFromArray({empty, flat, vertical});
    EXPECT_EQ(empty->area(), 0);
    EXPECT_EQ(empty->hitPart({0, 0}), kVXDrawingNoPart);
    EXPECT_EQ(flat->hitPart({10, 10}), kVXDrawingNoPart);
    EXPECT_EQ(f.layer->hitTest({50.5, 50}), vertical); // a zero-width box still hits
    EXPECT_EQ(f.layer->objectsInRect({49, 0, 0.5, 100}).size(), 1);
    const QImage image = render(*f.drawing);
    EXPECT_TRUE(near(pixel(image, 10, 10), Qt::white));
    EXPECT_TRUE(near(pixel(image, 50, 50), Qt::black, 60));
}

TEST(Drawable, HundredThousandPointPathDrawsAndHitTests)
{
    Fixture f({1000, 1000});
    QList<QPointF> points;
    for (int i = 0; i < 100000; ++i)
        points.append({i / 100.0, 500 + 100 * std::sin(i / 1000.0)});
    auto wave = polyline(points);
    wave->setStyle(strokeStyle(Qt::black, 3));
    f.layer->addObject(wave);
    EXPECT_NEAR(wave->logicalBounds().width(), 999.99, 1e-6);
    EXPECT_EQ(f.layer->hitTest({500, 500 + 100 * std::sin(50.0)}), wave);
    EXPECT_EQ(f.layer->hitTest({500, 300}), nullptr);
    const QImage image = render(*f.drawing, 0.5);
    EXPECT_TRUE(near(pixel(image, 250, 250 + int(50 * std::sin(50.0))), Qt::black, 90));
}

#include "DrawableTest.moc"
