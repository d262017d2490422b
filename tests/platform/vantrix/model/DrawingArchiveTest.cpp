// Archiving: a drawing with every kind of layer and object survives a round trip (geometry,
// keys, attributes, shared styles); damaged archives give defaults or errors, never crashes.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/model/VXIsometricGridLayer.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"

using namespace drawingtest;

namespace {

// A drawing holding one of everything.
struct Sample {
    Fixture f{QSizeF(400, 300)};
    VXStylePtr shared = VXStyle::styleWithFillColourStrokeColourStrokeWidth(Qt::yellow, Qt::darkGreen, 2.5);

    Sample()
    {
        f.drawing->setMarginsLeftTopRightBottom(10, 20, 30, 40);
        f.drawing->setPaperColour(QColor(240, 250, 255));
        f.drawing->setUnitsUnitToPointsConversionFactor(ZQUnitLength::kilometers(), 113.4);
        f.drawing->setDrawingInfo({{QStringLiteral("title"), QStringLiteral("Harbour")},
                                   {QStringLiteral("revision"), 3}});
        auto grid = std::make_shared<VXIsometricGridLayer>();
        f.drawing->addLayer(grid);
        grid->setSpanDivisionsMajorsRulerSteps(40, 4, 3, 2);
        f.drawing->moveLayerToIndex(grid.get(), 1);
        auto guides = std::make_shared<VXGuideLayer>();
        f.drawing->addLayer(guides);
        guides->addGuide({55, true});
        guides->addGuide({66, false});
        auto group = std::make_shared<VXLayerGroup>();
        group->setLayerName(QStringLiteral("Folder"));
        group->setAlpha(0.5);
        f.drawing->addLayer(group);
        auto nested = std::make_shared<VXObjectDrawingLayer>();
        nested->setLayerName(QStringLiteral("Nested"));
        nested->setVisible(false);
        group->addLayer(nested);
        nested->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(1, 2, 3, 4), shared));

        auto shape = VXDrawableShape::drawableShapeWithOvalInRect(QRectF(20, 30, 80, 40), shared);
        shape->setAngle(0.3);
        shape->setOffset({0.25, -0.1});
        shape->assignUserNameWithFlag(QStringLiteral("Lake"), true);
        shape->setMetadataItemValueForKey(QStringLiteral("fresh"), QStringLiteral("Water"));
        shape->setMetadataItemValueForKey(12.5, QStringLiteral("depth"));
        auto round = VXRoundRectShape::roundRectInRectCornerRadiusStyle(QRectF(200, 20, 60, 30), 7, fillStyle(Qt::gray));
        round->setCornerFlags(platform::kRoundedCornerMaxXMaxY);
        auto text = VXTextShape::textShapeWithStringInRect(QStringLiteral("Pier"), QRectF(300, 20, 60, 20));
        text->setAlignment(2);
        text->setTextColour(Qt::darkBlue);
        auto image = VXImageShape::imageShapeWithImageData(pngData(filledImage({3, 2}, Qt::magenta)));
        image->setImageOpacity(0.4);
        image->setImageDrawsOnTop(true);
        platform::BezierPath curve;
        curve.moveToPoint({10, 200});
        curve.curveToPointControlPoint1ControlPoint2({200, 200}, {60, 120}, {150, 280});
        auto path = VXDrawablePath::drawablePathWithBezierPathWithStyle(curve, shared);
        path->setLocked(true);
        auto star = std::make_shared<VXRegularPolygonPath>();
        star->setNumberOfSides(7);
        star->setIsStar(true);
        star->setTipSpread(0.3);
        star->setLocation({300, 200});
        auto arc = std::make_shared<VXArcPath>();
        arc->setArcType(VXArcPath::kVXArcPathCircleSegment);
        arc->setStartAngle(30);
        arc->setEndAngle(300);
        auto textPath = VXTextPath::textPathWithStringOnPath(QStringLiteral("River Road"), curve);
        auto a = VXDrawableShape::drawableShapeWithRect(QRectF(0, 250, 10, 10), shared);
        auto b = VXDrawableShape::drawableShapeWithRect(QRectF(30, 250, 10, 10), fillStyle(Qt::cyan));
        auto members = VXShapeGroup::groupWithObjects({a, b});
        members->setAngle(0.5);
        members->setMetadataItemValueForKey(true, QStringLiteral("grouped"));
        f.layer->addObjectsFromArray({shape, round, text, image, path, star, arc, textPath, members});
        f.layer->exchangeSelectionWithObjectsFromArray({round, star});
        f.layer->setMetadataItemValueForKey(QStringLiteral("survey"), QStringLiteral("source"));
        f.layer->setAlpha(0.8);
    }
};

VXDrawingPtr unarchived(const QByteArray& archive, QuorvaneError* error = nullptr)
{
    return std::dynamic_pointer_cast<VXDrawing>(platform::KeyedUnarchiver::unarchiveObjectWithData(archive, error));
}

// The sample's object layer, third from the top.
std::shared_ptr<VXObjectDrawingLayer> objectLayerOf(const VXDrawing& drawing)
{
    return std::dynamic_pointer_cast<VXObjectDrawingLayer>(drawing.objectInLayersAtIndex(2));
}

void expectSameObject(const VXDrawableObject& a, const VXDrawableObject& b)
{
    SCOPED_TRACE(a.className().toStdString());
    EXPECT_EQ(a.className(), b.className());
    EXPECT_EQ(a.uniqueKey(), b.uniqueKey());
    EXPECT_EQ(a.name(), b.name());
    EXPECT_EQ(a.locked(), b.locked());
    EXPECT_EQ(a.metadataChecksum(), b.metadataChecksum());
    EXPECT_TRUE(a.renderingPath().painterPath() == b.renderingPath().painterPath());
    EXPECT_EQ(a.location(), b.location());
    EXPECT_EQ(a.size(), b.size());
    EXPECT_DOUBLE_EQ(a.angle(), b.angle());
    ASSERT_EQ(bool(a.style()), bool(b.style()));
    if (a.style()) {
        EXPECT_TRUE(a.style()->isEqualToStyle(b.style().get()));
        EXPECT_EQ(a.style()->uniqueKey(), b.style()->uniqueKey());
    }
}

// The archive with its object entries edited by `edit`, through the property list.
QByteArray edited(const QByteArray& archive, const std::function<void(QVariantList&)>& edit)
{
    QVariantMap root = platform::PropertyList::fromData(archive)->toMap();
    QVariantList objects = root.value(QStringLiteral("$objects")).toList();
    edit(objects);
    root.insert(QStringLiteral("$objects"), objects);
    return *platform::PropertyList::toData(root, platform::PropertyList::Format::Binary);
}

// Rewrites every archived entry holding `key` with `value`; an invalid value removes the key.
QByteArray withEntries(const QByteArray& archive, const QString& key, const QVariant& value)
{
    return edited(archive, [&](QVariantList& objects) {
        for (QVariant& entry : objects) {
            QVariantMap map = entry.toMap();
            if (!map.contains(key))
                continue;
            value.isValid() ? void(map.insert(key, value)) : void(map.remove(key));
            entry = map;
        }
    });
}

// Makes the first entry holding `listKey` list itself among its members: a group inside itself.
QByteArray withSelfReference(const QByteArray& archive, const QString& listKey)
{
    return edited(archive, [&](QVariantList& objects) {
        for (qsizetype i = 0; i < objects.size(); ++i) {
            if (!objects[i].toMap().contains(listKey))
                continue;
            const auto list = qsizetype(objects[i].toMap().value(listKey).value<platform::PlistUid>().value);
            QVariantMap members = objects[list].toMap();
            members.insert(QStringLiteral("objects"), members.value(QStringLiteral("objects")).toList()
                                                          << QVariant::fromValue(platform::PlistUid{quint64(i)}));
            objects[list] = members;
            return;
        }
    });
}

} // namespace

TEST(DrawingArchive, EveryKindOfObjectSurvivesARoundTrip)
{
    Sample sample;
    const VXDrawing& original = *sample.f.drawing;
    QuorvaneError error;
    const VXDrawingPtr copy = unarchived(platform::KeyedArchiver::archivedDataWithRootObject(&original), &error);
    ASSERT_TRUE(copy) << error.localizedDescription().toStdString();

    EXPECT_EQ(copy->drawingSize(), original.drawingSize());
    EXPECT_EQ(copy->interior(), original.interior());
    EXPECT_EQ(copy->paperColour(), original.paperColour());
    EXPECT_EQ(copy->abbreviatedDrawingUnits(), QStringLiteral("km"));
    EXPECT_DOUBLE_EQ(copy->unitToPointsConversionFactor(), 113.4);
    EXPECT_EQ(copy->drawingInfo(), original.drawingInfo());
    ASSERT_EQ(copy->flattenedLayers(true).size(), original.flattenedLayers(true).size());
    for (qsizetype i = 0; i < original.flattenedLayers(true).size(); ++i) {
        const VXLayerPtr a = original.flattenedLayers(true)[i];
        const VXLayerPtr b = copy->flattenedLayers(true)[i];
        EXPECT_EQ(a->className(), b->className());
        EXPECT_EQ(a->layerName(), b->layerName());
        EXPECT_EQ(a->visible(), b->visible());
        EXPECT_DOUBLE_EQ(a->alpha(), b->alpha());
        EXPECT_EQ(a->selectionColour(), b->selectionColour());
    }
    EXPECT_EQ(copy->activeLayer()->layerName(), QStringLiteral("Objects"));
    EXPECT_EQ(copy->guideLayer()->verticalGuides(), QList<double>{55});
    EXPECT_EQ(copy->guideLayer()->horizontalGuides(), QList<double>{66});
    EXPECT_DOUBLE_EQ(copy->gridLayer()->divisionDistance(), 10);
    EXPECT_TRUE(qobject_cast<VXIsometricGridLayer*>(copy->gridLayer().get()));

    const auto layer = objectLayerOf(*copy);
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->countOfObjects(), sample.f.layer->countOfObjects());
    for (int i = 0; i < layer->countOfObjects(); ++i)
        expectSameObject(*sample.f.layer->objectInObjectsAtIndex(i), *layer->objectInObjectsAtIndex(i));
    EXPECT_EQ(layer->metadataValueForKey(QStringLiteral("source")), QVariant(QStringLiteral("survey")));
    EXPECT_EQ(layer->countOfSelection(), 2);
    EXPECT_TRUE(layer->objectInObjectsAtIndex(0)->hasUserAssignedName());

    // One style used by several objects is still one style.
    EXPECT_EQ(layer->objectInObjectsAtIndex(0)->style(), layer->objectInObjectsAtIndex(4)->style());
    const auto group = std::dynamic_pointer_cast<VXShapeGroup>(layer->objectInObjectsAtIndex(8));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->groupObjects()[0]->style(), layer->objectInObjectsAtIndex(0)->style());
    const auto originalGroup = std::static_pointer_cast<VXShapeGroup>(sample.f.layer->objectInObjectsAtIndex(8));
    EXPECT_EQ(group->groupObjects()[1]->logicalBounds(), originalGroup->groupObjects()[1]->logicalBounds());

    // The copy draws exactly as the original: image pixels and opacity, text and its colour too.
    EXPECT_EQ(render(*copy), render(original));
}

TEST(DrawingArchive, DamageCostsOnlyWhatIsDamaged)
{
    Sample sample;
    const QByteArray archive = platform::KeyedArchiver::archivedDataWithRootObject(sample.f.drawing.get());
    QuorvaneError error;
    EXPECT_FALSE(platform::KeyedUnarchiver::unarchiveObjectWithData(archive.left(archive.size() / 2), &error));
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);

    // Values of the wrong type, out of range or missing read as the defaults.
    QByteArray damaged = withEntries(archive, QStringLiteral("VXLayer_alpha"), QStringLiteral("opaque"));
    damaged = withEntries(damaged, QStringLiteral("VXDrawableShape_size"), 17);
    damaged = withEntries(damaged, QStringLiteral("VXDrawableShape_angle"), QVariant());
    damaged = withEntries(damaged, QStringLiteral("VXDrawing_unitToPointsConversionFactor"), -4.0);
    damaged = withEntries(damaged, QStringLiteral("VXRegularPolygonPath_numberOfSides"), qint64(1) << 40);
    damaged = withEntries(damaged, QStringLiteral("VXGridLayer_divisions"), 0);
    damaged = withEntries(damaged, QStringLiteral("VXDrawing_size"), QStringLiteral("{nan, 3}"));
    const VXDrawingPtr copy = unarchived(damaged, &error);
    ASSERT_TRUE(copy) << error.localizedDescription().toStdString();
    for (const VXLayerPtr& layer : copy->flattenedLayers(true))
        EXPECT_DOUBLE_EQ(layer->alpha(), 1.0);
    EXPECT_EQ(copy->drawingSize(), QSizeF(595, 842));
    EXPECT_DOUBLE_EQ(copy->unitToPointsConversionFactor(), ZQUnitLength::kilometers()->conversionFactorForPoints());
    EXPECT_EQ(copy->gridLayer()->divisions(), 10);
    const auto layer = objectLayerOf(*copy);
    ASSERT_TRUE(layer);
    const auto shape = std::dynamic_pointer_cast<VXDrawableShape>(layer->objectInObjectsAtIndex(0));
    EXPECT_EQ(shape->size(), QSizeF(100, 100));
    EXPECT_DOUBLE_EQ(shape->angle(), 0);
    EXPECT_EQ(std::dynamic_pointer_cast<VXRegularPolygonPath>(layer->objectInObjectsAtIndex(5))->numberOfSides(), 6);
    render(*copy); // draws without trouble

    // An object list that is not a list, and a selection naming a stranger, lose only themselves.
    const auto listless = unarchived(withEntries(archive, QStringLiteral("VXObjectOwnerLayer_objects"), "many"));
    ASSERT_TRUE(listless && objectLayerOf(*listless));
    EXPECT_EQ(listless->flattenedLayers(true).size(), sample.f.drawing->flattenedLayers(true).size());
    EXPECT_EQ(objectLayerOf(*listless)->countOfObjects(), 0);
    EXPECT_EQ(objectLayerOf(*listless)->countOfSelection(), 0);
}

TEST(DrawingArchive, ContainersThatHoldThemselvesAreBroken)
{
    Sample sample;
    const QByteArray archive = platform::KeyedArchiver::archivedDataWithRootObject(sample.f.drawing.get());
    for (const QString key : {"VXShapeGroup_objects", "VXLayerGroup_layers"}) {
        SCOPED_TRACE(key.toStdString());
        const QByteArray cyclic = withSelfReference(archive, key);
        ASSERT_NE(cyclic, archive);
        const VXDrawingPtr copy = unarchived(cyclic);
        ASSERT_TRUE(copy && objectLayerOf(*copy));
        // Everything that was sound is there, and walking, measuring and drawing ends.
        EXPECT_EQ(copy->flattenedLayers(true).size(), sample.f.drawing->flattenedLayers(true).size());
        const auto group = std::dynamic_pointer_cast<VXShapeGroup>(objectLayerOf(*copy)->objectInObjectsAtIndex(8));
        ASSERT_TRUE(group);
        EXPECT_EQ(group->groupObjects().size(), 2);
        EXPECT_GT(group->bounds().width(), 0);
        render(*copy);
    }
}
