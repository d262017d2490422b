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

using Keys = QList<std::pair<const char*, QVariant>>;

// A component with the keys set in order through key-value coding, as the style panes set them.
template <class Component>
std::shared_ptr<Component> with(const Keys& keys)
{
    auto component = std::make_shared<Component>();
    for (const auto& [key, value] : keys)
        component->setValueForKey(value, QString::fromLatin1(key));
    return component;
}

// An opaque image with a different colour in every pixel, so any change shows.
QImage motif(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 40, y * 40, 200));
    return image;
}

// One of every component, each key set away from its default.
QList<VXRasterizerPtr> everyComponent()
{
    const Keys zigZag{{"amplitude", 4.5}, {"wavelength", 11}, {"spread", 0.4}};
    const Keys decorator{{"image", motif(5, 3)}, {"interval", 12.5}, {"scale", 1.5}, {"scaleRandomness", 0.25},
                         {"lateralOffset", -3}, {"lateralOffsetAlternates", true}, {"normalToPath", false},
                         {"leadInAndOutLengthProportion", 0.2}, {"usesChainMethod", true}, {"wobblyness", 0.3},
                         {"clipping", kVXClipOutsidePath}};
    const auto rough = with<VXRoughStroke>({{"roughness", 0.75}});
    const auto repeat = with<VXRepeatTransformGroup>(
        {{"deltaX", -2}, {"deltaY", 7}, {"scaleX", 0.9}, {"scaleY", 1.1}, {"deltaAngle", 0.2}, {"numberOfRepeats", 6},
         {"angleIsRelative", true}, {"reversed", true}, {"blendColour", QColor(Qt::cyan)}});
    repeat->addRenderer(VXStroke::strokeWithWidthColour(3, Qt::darkRed));
    const auto blur = with<VXCIFilterTypeBlurGroup>({{"blurAmount", 2.5}, {"blurAngle", 60},
                                                     {"blurType", VXCIFilterTypeBlurGroup::kMotionBlur},
                                                     {"clipping", kVXClipOutsidePath}});
    blur->addRenderer(VXFill::fillWithColour(Qt::green));
    const auto gloom = with<VXGloomGroup>(
        {{"radius", 3}, {"intensity", 2}, {"type", VXGloomGroup::kBloom}, {"clipping", kVXClipInsidePath}});
    gloom->addRenderer(std::static_pointer_cast<VXRasterizer>(rough->copy()));
    return {
        with<VXHatching>({{"colour", QColor(10, 20, 30, 40)}, {"width", 2.5}, {"spacing", 5}, {"leadInProportion", 0.3},
                          {"angleInDegrees", 30}, {"roughness", 0.2}, {"wobblyness", 0.1}, {"lineCapStyle", 1},
                          {"lineJoinStyle", 2}, {"angleIsRelativeToObject", true},
                          {"dash", QVariant::fromValue(VXStrokeDash::dashWithPatternPhase({3, 1}, 0.5))}}),
        with<VXArrowStroke>({{"arrowHeadAtStart", VXArrowStroke::kArrowHeadRound},
                             {"arrowHeadAtEnd", VXArrowStroke::kArrowHeadInflected}, {"arrowHeadWidth", 9.5},
                             {"arrowHeadLength", 14}, {"outlineColour", QColor(Qt::yellow)}, {"outlineWidth", 1.5},
                             {"dimensioningLineOptions", VXArrowStroke::kDimensionTextBelowLine},
                             {"dimensionTextKind", VXArrowStroke::kDimensionTextLengthAndUnits},
                             {"dimensionToleranceOption", 1}, {"dimensionTolerance", 0.25}}),
        with<VXZigZagStroke>(zigZag + Keys{{"closed", true}}),
        with<VXZigZagFill>(zigZag + Keys{{"closed", false}}),
        rough,
        with<VXImageAdornment>({{"image", motif(4, 6)}, {"clipping", kVXNoClipping}, {"scale", 0.5}, {"opacity", 0.8},
                                {"angleInDegrees", -15}, {"fittingOption", VXImageAdornment::kScaleBy},
                                {"operation", QPainter::CompositionMode_Darken}}),
        with<VXPathDecorator>(decorator),
        with<VXFillPattern>(decorator
                            + Keys{{"angleInDegrees", 20}, {"motifAngleInDegrees", 45}, {"motifAngleRandomness", 10},
                                   {"angleIsRelativeToObject", true}, {"drawingOfClippedElementsSupressed", true},
                                   {"patternAlternateYOffset", 0.5}, {"autoTile", true}}),
        with<VXTilingFill>({{"image", motif(3, 3)}, {"opacity", 0.6}}),
        repeat,
        with<VXCIFilterRastGroup>({{"clipping", kVXClipInsidePath}}),
        blur,
        gloom,
        with<VXBlendGroup>({{"blendMode", QPainter::CompositionMode_Screen}, {"clipping", kVXClipInsidePath}}),
    };
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
