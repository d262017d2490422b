#include "platform/vantrix/DrawingTestSupport.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/VXLayerGroup.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/labels/VXQTextBlockLabel.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/shapes/VXQLabelledShape.h"
#include "symbols/utilities/SymbolUtilities.h"
#include "tracks/model/VXQTrack.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <gtest/gtest.h>

namespace {

VXDrawableObjectPtr box(QPointF at)
{
    return VXDrawableShape::drawableShapeWithRect({at, QSizeF(10, 10)}, drawingtest::fillStyle(Qt::red));
}

platform::BezierPath line(QPointF from, QPointF to)
{
    platform::BezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    return path;
}

VXDrawableObjectPtr symbolAt(QPointF at) { return VXQSymbolMaster::defaultSymbolMaster()->symbolWithLocation(at); }

} // namespace

TEST(SymbolUtilities, GroupsConvertToSymbolsOnlyWhenEveryMemberDoes)
{
    const VXDrawableObjectPtr shape = box({0, 0});
    const VXQTrackPtr track = VXQTrack::trackWithPathType(line({0, 0}, {50, 0}), kVXQRoadTrackType);
    const ZQMultiStylePathPtr road =
        ZQMultiStylePath::multiStylePathWithPathStyle(line({0, 20}, {80, 20}), drawingtest::strokeStyle(Qt::black, 2));

    EXPECT_TRUE(shape->canBeConvertedToSymbol());
    EXPECT_FALSE(track->canBeConvertedToSymbol());
    EXPECT_FALSE(symbolAt({5, 5})->canBeConvertedToSymbol());
    EXPECT_TRUE(std::make_shared<VXShapeGroup>()->canBeConvertedToSymbol()); // nothing in it says no

    const VXShapeGroupPtr plain = VXShapeGroup::groupWithObjects({box({0, 0}), box({20, 0})});
    EXPECT_TRUE(plain->canBeConvertedToSymbol());
    // A track two groups down still says no for the outer group.
    const VXShapeGroupPtr inner = VXShapeGroup::groupWithObjects({box({0, 40}), track});
    const VXShapeGroupPtr outer = VXShapeGroup::groupWithObjects({box({40, 40}), inner});
    EXPECT_FALSE(outer->canBeConvertedToSymbol());

    // A path carrying a symbol may not become a graphic; one carrying a plain shape may.
    EXPECT_TRUE(road->canBeConvertedToSymbol());
    road->addAdornmentWithObjectAtPositionDisplayName(box({0, 0}), 10, QStringLiteral("box"));
    EXPECT_TRUE(road->canBeConvertedToSymbol());
    road->addAdornmentWithObjectAtPositionDisplayName(symbolAt({0, 0}), 30, QStringLiteral("star"));
    EXPECT_FALSE(road->canBeConvertedToSymbol());

    const VXDrawableObjectPtr first = box({0, 0});
    const VXDrawableObjectPtr last = box({9, 9});
    EXPECT_EQ(validSymbolDonorObjectsFromArray({first, track, outer, symbolAt({1, 1}), plain, nullptr, last}),
              (QList<VXDrawableObjectPtr>{first, plain, last}));
}

TEST(SymbolUtilities, AllSymbolsWalksNestedGroupsAndLayerGroupsInStackingOrder)
{
    const VXDrawableObjectPtr a = symbolAt({10, 10});
    const VXDrawableObjectPtr b = symbolAt({20, 10});
    const VXDrawableObjectPtr c = symbolAt({30, 10});
    const VXShapeGroupPtr nested = VXShapeGroup::groupWithObjects({b, box({0, 0}), c});
    const VXShapeGroupPtr group = VXShapeGroup::groupWithObjects({a, box({50, 50}), nested});
    EXPECT_EQ(allSymbols(*group), (QList<VXDrawableObjectPtr>{a, b, c}));
    EXPECT_TRUE(allSymbols(*VXShapeGroup::groupWithObjects({box({0, 0})})).isEmpty());

    // Two mapping layers, one inside a layer group, and a plain object layer whose symbol is not a map's.
    drawingtest::Fixture f;
    auto top = std::make_shared<VXQMappingLayer>();
    auto below = std::make_shared<VXQMappingLayer>();
    auto folder = std::make_shared<VXLayerGroup>();
    const VXDrawableObjectPtr d = symbolAt({40, 40});
    const VXDrawableObjectPtr e = symbolAt({60, 40});
    below->addObjectsFromArray({group, d});
    top->addObject(e);
    f.layer->addObject(symbolAt({1, 1}));
    folder->addLayer(below);
    f.drawing->addLayer(folder);
    f.drawing->addLayer(top);
    EXPECT_EQ(allSymbols(*f.drawing), (QList<VXDrawableObjectPtr>{e, a, b, c, d}));
    EXPECT_EQ(allSymbols(*folder), (QList<VXDrawableObjectPtr>{a, b, c, d}));
}

TEST(SymbolUtilities, EditingOneMasterRedrawsOnlyTheAreasOfItsOwnSymbols)
{
    const auto starOfRadius = [](double radius) {
        auto star = std::make_shared<VXRegularPolygonPath>();
        star->setIsStar(true);
        star->setRadius(radius);
        star->setStyle(drawingtest::fillStyle(Qt::blue));
        return star;
    };
    drawingtest::Fixture f({400, 400});
    auto layer = std::make_shared<VXQMappingLayer>();
    f.drawing->addLayer(layer);
    const VXQSymbolMasterPtr edited = VXQSymbolMaster::symbolMasterWithObjectName(*starOfRadius(10), QStringLiteral("A"));
    const VXQSymbolMasterPtr other = VXQSymbolMaster::symbolMasterWithObjectName(*starOfRadius(10), QStringLiteral("B"));
    const QList<VXDrawableObjectPtr> mine = {edited->symbolWithLocation({40, 40}), edited->symbolWithLocation({60, 300})};
    const QList<VXDrawableObjectPtr> theirs = {other->symbolWithLocation({300, 40}), other->symbolWithLocation({300, 300}),
                                               other->symbolWithLocation({180, 180})};
    layer->addObjectsFromArray(mine + theirs);
    const auto areaOf = [](const QList<VXDrawableObjectPtr>& symbols) {
        QRectF area;
        for (const VXDrawableObjectPtr& symbol : symbols)
            area |= symbol->bounds();
        return area;
    };
    const QRectF before = areaOf(mine);

    QList<QRectF> redrawn;
    QObject::connect(f.drawing.get(), &VXDrawing::needsDisplayInRect, [&](const QRectF& rect) { redrawn.append(rect); });
    edited->setObject(starOfRadius(16).get());
    const QRectF after = areaOf(mine);
    ASSERT_FALSE(redrawn.isEmpty());
    EXPECT_GT(after.width(), before.width()); // the symbols took the new graphic's size
    for (const QRectF& rect : redrawn) {
        EXPECT_TRUE((before | after).contains(rect)) << rect.x() << "," << rect.y();
        for (const VXDrawableObjectPtr& symbol : theirs)
            EXPECT_FALSE(rect.intersects(symbol->bounds()));
    }
    for (const VXDrawableObjectPtr& symbol : mine) {
        const QRectF bounds = symbol->bounds();
        EXPECT_TRUE(std::any_of(redrawn.cbegin(), redrawn.cend(), [&](const QRectF& rect) { return rect.contains(bounds); }));
    }
}

TEST(SymbolUtilities, ApplyingAMasterToTheSelectionReplacesTheMastersOfItsSymbolsInOneUndoStep)
{
    drawingtest::Fixture f;
    auto layer = std::make_shared<VXQMappingLayer>();
    f.drawing->addLayer(layer);
    const VXQSymbolMasterPtr star = VXQSymbolMaster::defaultSymbolMaster();
    const VXQSymbolPtr first = star->symbolWithLocation({20, 20});
    const VXQSymbolPtr second = star->symbolWithLocation({60, 20});
    const VXQSymbolPtr unselected = star->symbolWithLocation({100, 20});
    layer->addObjectsFromArray({first, box({0, 50}), second, unselected});
    layer->exchangeSelectionWithObjectsFromArray({first, layer->objectInObjectsAtIndex(1), second});
    f.endStep();
    f.undo->removeAllActions();

    const VXQSymbolMasterPtr ring = VXQSymbolMaster::symbolMasterWithObjectName(
        *VXDrawableShape::drawableShapeWithOvalInRect({-5, -5, 10, 10}, drawingtest::strokeStyle(Qt::black, 1)),
        QStringLiteral("Ring"));
    QObject item;
    item.setProperty("representedObject", QVariant::fromValue(ZQObjectPtr(ring)));
    layer->applySymbol(&item);
    f.endStep();
    EXPECT_EQ(first->master(), ring);
    EXPECT_EQ(second->master(), ring);
    EXPECT_EQ(unselected->master(), star);
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Apply Symbol"));
    f.undo->undo();
    EXPECT_EQ(first->master(), star);
    EXPECT_EQ(second->master(), star);
    EXPECT_FALSE(f.undo->canUndo());
}

TEST(SymbolUtilities, APathKnowsWhichCarriedObjectsHaveLabelsOfTheirOwn)
{
    const ZQMultiStylePathPtr road =
        ZQMultiStylePath::multiStylePathWithPathStyle(line({0, 20}, {80, 20}), drawingtest::strokeStyle(Qt::black, 2));
    auto star = std::static_pointer_cast<VXQSymbol>(symbolAt({0, 0}));
    auto sign = std::make_shared<VXQLabelledShape>();
    sign->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({0, 0, 10, 10}));
    const VXQAdornmentPtr boxCarried = road->addAdornmentWithObjectAtPositionDisplayName(box({0, 0}), 10, QStringLiteral("box"));
    const VXQAdornmentPtr starCarried = road->addAdornmentWithObjectAtPositionDisplayName(star, 30, QStringLiteral("star"));
    const VXQAdornmentPtr signCarried = road->addAdornmentWithObjectAtPositionDisplayName(sign, 50, QStringLiteral("sign"));
    EXPECT_FALSE(road->adornmentHasTextLabels());
    EXPECT_FALSE(road->hasTextLabels());

    auto starLabel = VXQTextBlockLabel::label();
    star->setTextLabels({starLabel});
    EXPECT_TRUE(starCarried->hasTextLabels());
    EXPECT_FALSE(boxCarried->hasTextLabels());
    EXPECT_FALSE(signCarried->hasTextLabels());
    EXPECT_TRUE(road->adornmentHasTextLabels());

    star->setTextLabels({});
    sign->setTextLabels({VXQTextBlockLabel::label()});
    EXPECT_TRUE(signCarried->hasTextLabels());
    EXPECT_TRUE(road->adornmentHasTextLabels());
    // A path carried by another says yes for what it carries in turn.
    const ZQMultiStylePathPtr bridge =
        ZQMultiStylePath::multiStylePathWithPathStyle(line({0, 0}, {20, 0}), drawingtest::strokeStyle(Qt::black, 1));
    const VXQAdornmentPtr roadCarried = bridge->addAdornmentWithObjectAtPositionDisplayName(road, 5, QStringLiteral("road"));
    EXPECT_TRUE(roadCarried->hasTextLabels());
    sign->setTextLabels({});
    EXPECT_FALSE(roadCarried->hasTextLabels());
    EXPECT_FALSE(bridge->adornmentHasTextLabels());
}
