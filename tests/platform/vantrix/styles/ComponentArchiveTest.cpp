#include "platform/vantrix/styles/ComponentTestSupport.h"

#include "support/ArchiveTesting.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/styles/VXArrowStroke.h"
#include "platform/vantrix/styles/VXBlendGroup.h"
#include "platform/vantrix/styles/VXCIFilterTypeBlurGroup.h"
#include "platform/vantrix/styles/VXFillPattern.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXHatching.h"
#include "platform/vantrix/styles/VXImageAdornment.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"
#include "platform/vantrix/styles/VXRoughStroke.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/styles/VXTilingFill.h"
#include "platform/vantrix/styles/VXZigZagFill.h"
#include "platform/vantrix/styles/VXZigZagStroke.h"

#include <QMetaProperty>

namespace {

// An opaque image with a different colour in every pixel, so any change shows.
QImage motif(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 40, y * 40, 200));
    return image;
}

void setDecoratorKeys(VXPathDecorator& decorator)
{
    decorator.setImage(motif(5, 3));
    decorator.setInterval(12.5);
    decorator.setScale(1.5);
    decorator.setScaleRandomness(0.25);
    decorator.setLateralOffset(-3);
    decorator.setLateralOffsetAlternates(true);
    decorator.setNormalToPath(false);
    decorator.setLeadInAndOutLengthProportion(0.2);
    decorator.setUsesChainMethod(true);
    decorator.setWobblyness(0.3);
    decorator.setClipping(kVXClipOutsidePath);
}

template <class ZigZag>
std::shared_ptr<ZigZag> zigZag()
{
    auto component = std::make_shared<ZigZag>();
    component->setAmplitude(4.5);
    component->setWavelength(11);
    component->setSpread(0.4);
    component->setClosed(!component->closed());
    return component;
}

// One of every component, each key set away from its default.
QList<VXRasterizerPtr> everyComponent()
{
    auto hatching = std::make_shared<VXHatching>();
    hatching->setColour(QColor(10, 20, 30, 40));
    hatching->setWidth(2.5);
    hatching->setSpacing(5);
    hatching->setLeadInProportion(0.3);
    hatching->setAngleInDegrees(30);
    hatching->setRoughness(0.2);
    hatching->setWobblyness(0.1);
    hatching->setLineCapStyle(1);
    hatching->setLineJoinStyle(2);
    hatching->setDash(VXStrokeDash::dashWithPatternPhase({3, 1}, 0.5));
    hatching->setAngleIsRelativeToObject(true);

    auto arrow = std::make_shared<VXArrowStroke>();
    arrow->setArrowHeadAtStart(VXArrowStroke::kArrowHeadRound);
    arrow->setArrowHeadAtEnd(VXArrowStroke::kArrowHeadInflected);
    arrow->setArrowHeadWidth(9.5);
    arrow->setArrowHeadLength(14);
    arrow->setOutlineColour(Qt::yellow);
    arrow->setOutlineWidth(1.5);
    arrow->setDimensioningLineOptions(VXArrowStroke::kDimensionTextBelowLine);
    arrow->setDimensionTextKind(VXArrowStroke::kDimensionTextLengthAndUnits);
    arrow->setDimensionToleranceOption(1);
    arrow->setDimensionTolerance(0.25);

    auto rough = std::make_shared<VXRoughStroke>();
    rough->setRoughness(0.75);

    auto image = std::make_shared<VXImageAdornment>();
    image->setImage(motif(4, 6));
    image->setClipping(kVXNoClipping);
    image->setScale(0.5);
    image->setOpacity(0.8);
    image->setAngleInDegrees(-15);
    image->setFittingOption(VXImageAdornment::kScaleBy);
    image->setOperation(QPainter::CompositionMode_Darken);

    auto decorator = std::make_shared<VXPathDecorator>();
    setDecoratorKeys(*decorator);

    auto pattern = std::make_shared<VXFillPattern>();
    setDecoratorKeys(*pattern);
    pattern->setAngleInDegrees(20);
    pattern->setMotifAngleInDegrees(45);
    pattern->setMotifAngleRandomness(10);
    pattern->setAngleIsRelativeToObject(true);
    pattern->setDrawingOfClippedElementsSupressed(true);
    pattern->setPatternAlternateYOffset(0.5);
    pattern->setAutoTile(true);

    auto tiling = std::make_shared<VXTilingFill>();
    tiling->setImage(motif(3, 3));
    tiling->setOpacity(0.6);

    auto repeat = std::make_shared<VXRepeatTransformGroup>();
    repeat->setDeltaX(-2);
    repeat->setDeltaY(7);
    repeat->setScaleX(0.9);
    repeat->setScaleY(1.1);
    repeat->setDeltaAngle(0.2);
    repeat->setNumberOfRepeats(6);
    repeat->setAngleIsRelative(true);
    repeat->setReversed(true);
    repeat->setBlendColour(Qt::cyan);
    repeat->addRenderer(VXStroke::strokeWithWidthColour(3, Qt::darkRed));

    auto filter = std::make_shared<VXCIFilterRastGroup>();
    filter->setClipping(kVXClipInsidePath);

    auto blur = std::make_shared<VXCIFilterTypeBlurGroup>();
    blur->setBlurAmount(2.5);
    blur->setBlurAngle(60);
    blur->setBlurType(VXCIFilterTypeBlurGroup::kMotionBlur);
    blur->setClipping(kVXClipOutsidePath);
    blur->addRenderer(VXFill::fillWithColour(Qt::green));

    auto gloom = std::make_shared<VXGloomGroup>();
    gloom->setRadius(3);
    gloom->setIntensity(2);
    gloom->setType(VXGloomGroup::kBloom);
    gloom->setClipping(kVXClipInsidePath);
    gloom->addRenderer(std::static_pointer_cast<VXRasterizer>(rough->copy()));

    auto blend = std::make_shared<VXBlendGroup>();
    blend->setBlendMode(QPainter::CompositionMode_Screen);
    blend->setClipping(kVXClipInsidePath);

    return {hatching, arrow, zigZag<VXZigZagStroke>(), zigZag<VXZigZagFill>(), rough, image, decorator, pattern,
            tiling, repeat, filter, blur, gloom, blend};
}

// The keys a component adds to the core stroke, fill and group.
QList<QMetaProperty> componentKeys(const VXRasterizer& component)
{
    const QList<const QMetaObject*> core{&VXRasterizer::staticMetaObject, &VXRastGroup::staticMetaObject,
                                         &VXStroke::staticMetaObject, &VXFill::staticMetaObject};
    QList<QMetaProperty> keys;
    const QMetaObject* meta = component.metaObject();
    for (int i = ZQObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.isStored() && !core.contains(property.enclosingMetaObject()))
            keys.append(property);
    }
    return keys;
}

} // namespace

TEST(ComponentArchive, EveryComponentSurvivesAnArchiveWithEveryKey)
{
    const QList<VXRasterizerPtr> components = everyComponent();
    VXStyle style;
    for (const VXRasterizerPtr& component : components) {
        // The test data leaves no key at its default, so every key is seen to survive.
        const auto fresh =
            std::dynamic_pointer_cast<VXRasterizer>(platform::ClassRegistry::create(component->className()));
        ASSERT_TRUE(fresh) << qPrintable(component->className());
        const QList<QMetaProperty> keys = componentKeys(*component);
        EXPECT_FALSE(keys.isEmpty()) << qPrintable(component->className());
        for (const QMetaProperty& key : keys)
            EXPECT_NE(key.read(component.get()), key.read(fresh.get()))
                << qPrintable(component->className()) << "." << key.name();
        style.addRenderer(component);
    }

    const auto decoded = testsupport::roundTrip<VXStyle>(style);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->countOfRenderList(), components.size());
    for (int i = 0; i < components.size(); ++i) {
        const VXRasterizerPtr back = decoded->objectInRenderListAtIndex(i);
        EXPECT_STREQ(back->metaObject()->className(), components[i]->metaObject()->className());
        EXPECT_TRUE(back->isEqualToRasterizer(*components[i])) << qPrintable(components[i]->className());
        EXPECT_TRUE(std::static_pointer_cast<VXRasterizer>(components[i]->copy())->isEqualToRasterizer(*components[i]))
            << qPrintable(components[i]->className());
    }
    // Images come back pixel for pixel.
    EXPECT_EQ(decoded->renderersOfClass<VXTilingFill>().first()->image(), motif(3, 3));
    EXPECT_EQ(decoded->renderersOfClass<VXRepeatTransformGroup>().first()->countOfRenderList(), 1);
}

TEST(ComponentArchive, OutOfRangeArchivedValuesAreClampedOrRefused)
{
    testsupport::ArchiveStub stub;
    stub.values = {{"VXCIFilterTypeBlurGroup_blurType", 99},
                   {"VXCIFilterTypeBlurGroup_blurAmount", -5.0},
                   {"VXCIFilterRastGroup_clipping", -1}};
    QuorvaneError error;
    auto blur = std::dynamic_pointer_cast<VXCIFilterTypeBlurGroup>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs("VXCIFilterTypeBlurGroup"), &error));
    ASSERT_TRUE(blur);
    EXPECT_EQ(blur->blurType(), VXCIFilterTypeBlurGroup::kGaussianBlur);
    EXPECT_DOUBLE_EQ(blur->blurAmount(), 0);
    EXPECT_EQ(blur->clipping(), kVXNoClipping);

    stub.values = {{"VXRepeatTransformGroup_numberOfRepeats", 2000000000}, {"VXRepeatTransformGroup_scaleX", 1e300}};
    auto repeat = std::dynamic_pointer_cast<VXRepeatTransformGroup>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs("VXRepeatTransformGroup"), &error));
    ASSERT_TRUE(repeat);
    EXPECT_EQ(repeat->numberOfRepeats(), VXRepeatTransformGroup::kMaximumNumberOfRepeats);
    EXPECT_DOUBLE_EQ(repeat->scaleX(), VXRepeatTransformGroup::kMaximumScale);
}
