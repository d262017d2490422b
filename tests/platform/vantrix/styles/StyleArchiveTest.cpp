#include "support/ArchiveTesting.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "platform/vantrix/styles/VXArrowStroke.h"
#include "platform/vantrix/styles/VXBlendGroup.h"
#include "platform/vantrix/styles/VXCIFilterTypeBlurGroup.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXFillPattern.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/styles/VXHatching.h"
#include "platform/vantrix/styles/VXImageAdornment.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"
#include "platform/vantrix/styles/VXRoughStroke.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/styles/VXStyleRegistry.h"
#include "platform/vantrix/styles/VXTilingFill.h"
#include "platform/vantrix/styles/VXZigZagFill.h"
#include "platform/vantrix/styles/VXZigZagStroke.h"
#include "support/SettingScope.h"

#include <QMetaProperty>
#include <QMimeData>
#include <gtest/gtest.h>

using platform::KeyedArchiver;
using platform::KeyedUnarchiver;
using platform::PlistUid;
using platform::PropertyList;

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

// A style with the core components and every key set away from its default.
VXStylePtr everyComponentStyle()
{
    auto style = std::make_shared<VXStyle>();
    style->setName("Coastline");
    style->setOpacity(0.75);
    style->setStyleSharable(!style->styleSharable());

    auto fill = VXFill::fillWithColour(QColor(10, 20, 30, 200));
    fill->setShadow(VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(2, -3), 5, QColor(0, 0, 80, 100)));
    style->addRenderer(fill);

    auto gradient = VXGradientFill::gradientFillWithGradient(
        VXGradient::gradientWithColourStops({{Qt::red, 0}, {QColor(0, 255, 0, 128), 0.3}, {Qt::blue, 1}}));
    gradient->setGradientType(VXGradientFill::kRadialGradient);
    gradient->setGradientAngle(0.5);
    gradient->setStartingLocation(QPointF(-0.25, 0.125));
    gradient->setEndingLocation(QPointF(0.5, -0.5));
    gradient->setStartingRadius(0.1);
    gradient->setEndingRadius(0.9);
    gradient->setAngleIsRelative(true);
    gradient->setRadialParametersAreRelative(false);
    style->addRenderer(gradient);

    auto group = std::make_shared<VXRastGroup>();
    group->addRenderer(VXStroke::strokeWithWidthColour(12, Qt::darkGreen));
    group->objectInRenderListAtIndex(0)->setEnabled(false);
    style->addRenderer(group);

    auto stroke = VXStroke::strokeWithWidthColour(2.5, QColor("#333333"));
    stroke->setLineCapStyle(2);
    stroke->setLineJoinStyle(1);
    auto dash = VXStrokeDash::dashWithPatternPhase({6, 2, 1, 2}, 1.5);
    dash->setScalesToLineWidth(false);
    stroke->setDash(dash);
    stroke->setLateralOffset(-1.25);
    stroke->setShadow(VXStyle::defaultShadow());
    stroke->setClipping(kVXClipOutsidePath);
    stroke->setLocked(true);
    style->addRenderer(stroke);
    return style;
}

// The archive as a property list, to damage it the way a hostile file would.
class ArchiveSurgery {
public:
    explicit ArchiveSurgery(const QByteArray& archive)
        : m_root(PropertyList::fromData(archive)->toMap())
        , m_objects(m_root.value("$objects").toList())
    {
    }

    // Index in "$objects" of the first object of the class.
    int objectOfClass(const QString& className) const
    {
        for (int c = 0; c < m_objects.size(); ++c) {
            if (m_objects[c].toMap().value("$classname") != className)
                continue;
            for (int i = 0; i < m_objects.size(); ++i)
                if (m_objects[i].toMap().value("$class").value<PlistUid>().value == quint64(c))
                    return i;
        }
        return -1;
    }
    void set(int object, const QString& key, const QVariant& value)
    {
        QVariantMap entry = m_objects[object].toMap();
        if (value.isValid())
            entry.insert(key, value);
        else
            entry.remove(key);
        m_objects[object] = entry;
    }
    QVariant get(int object, const QString& key) const { return m_objects[object].toMap().value(key); }
    int append(const QVariant& value)
    {
        m_objects.append(value);
        return int(m_objects.size() - 1);
    }
    void renameClass(const QString& from, const QString& to)
    {
        for (QVariant& object : m_objects)
            if (QVariantMap entry = object.toMap(); entry.value("$classname") == from) {
                entry.insert("$classname", to);
                object = entry;
            }
    }
    QByteArray data()
    {
        m_root.insert("$objects", m_objects);
        return *PropertyList::toData(m_root, PropertyList::Format::Binary);
    }

private:
    QVariantMap m_root;
    QVariantList m_objects;
};

QVariant uid(int index)
{
    return QVariant::fromValue(PlistUid{quint64(index)});
}

} // namespace

TEST(StyleArchive, EveryComponentSurvivesTheRoundTripWithEveryKey)
{
    const VXStylePtr original = everyComponentStyle();
    for (const VXRasterizerPtr& component : everyComponent()) {
        // The test data leaves no key at its default, so every key is seen to survive.
        const auto fresh =
            std::dynamic_pointer_cast<VXRasterizer>(platform::ClassRegistry::create(component->className()));
        ASSERT_TRUE(fresh) << qPrintable(component->className());
        const QList<QMetaProperty> keys = componentKeys(*component);
        EXPECT_FALSE(keys.isEmpty()) << qPrintable(component->className());
        for (const QMetaProperty& key : keys)
            EXPECT_NE(key.read(component.get()), key.read(fresh.get()))
                << qPrintable(component->className()) << "." << key.name();
        original->addRenderer(component);
    }

    const auto decoded = testsupport::roundTrip<VXStyle>(*original);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqualToStyle(original.get()));
    EXPECT_EQ(decoded->uniqueKey(), original->uniqueKey());
    EXPECT_EQ(decoded->name(), "Coastline");
    EXPECT_EQ(decoded->styleSharable(), original->styleSharable());
    EXPECT_DOUBLE_EQ(decoded->lastModificationTimestamp(), original->lastModificationTimestamp());
    ASSERT_EQ(decoded->countOfRenderList(), original->countOfRenderList());
    for (int i = 0; i < original->countOfRenderList(); ++i) {
        const VXRasterizerPtr component = original->objectInRenderListAtIndex(i);
        const VXRasterizerPtr back = decoded->objectInRenderListAtIndex(i);
        EXPECT_STREQ(back->metaObject()->className(), component->metaObject()->className());
        EXPECT_TRUE(back->isEqualToRasterizer(*component)) << qPrintable(component->className());
        EXPECT_TRUE(std::static_pointer_cast<VXRasterizer>(component->copy())->isEqualToRasterizer(*component))
            << qPrintable(component->className());
    }
    const auto stroke = std::dynamic_pointer_cast<VXStroke>(decoded->objectInRenderListAtIndex(3));
    ASSERT_TRUE(stroke && stroke->dash());
    EXPECT_TRUE(stroke->locked());
    EXPECT_EQ(stroke->dash()->dashPattern(), (QList<double>{6, 2, 1, 2}));
    EXPECT_FALSE(stroke->dash()->scalesToLineWidth());
    const auto gradient = decoded->renderersOfClass<VXGradientFill>().first();
    EXPECT_EQ(gradient->endingLocation(), QPointF(0.5, -0.5));
    EXPECT_EQ(gradient->colourAtStopIndex(1), QColor(0, 255, 0, 128));
    const auto inner = decoded->renderersOfClass<VXStroke>().first();
    EXPECT_FALSE(inner->enabled());
    EXPECT_EQ(inner->style(), decoded.get()); // containers are linked again
    // Images come back pixel for pixel, groups with their members.
    EXPECT_EQ(decoded->renderersOfClass<VXTilingFill>().first()->image(), motif(3, 3));
    EXPECT_EQ(decoded->renderersOfClass<VXRepeatTransformGroup>().first()->countOfRenderList(), 1);

    // Any difference is seen.
    decoded->renderersOfClass<VXFill>().first()->shadow()->setOffset(QSizeF(2, -2));
    EXPECT_FALSE(decoded->isEqualToStyle(original.get()));
}

namespace {
// Knows one style by its key.
class OneStyleRegistry : public VXStyleRegistry {
public:
    explicit OneStyleRegistry(VXStylePtr style) : m_style(std::move(style)) {}
    VXStylePtr styleForKey(const QString& key) const override { return containsKey(key) ? m_style : nullptr; }
    bool containsKey(const QString& key) const override { return key == m_style->uniqueKey(); }
    void addObjectForKeyToCategoriesCreateCategories(const VXStylePtr&, const QString&, const QStringList&, bool) override {}
    QString uniqueNameForName(const QString& name) const override { return name; }
    QStringList styleNames() const override { return {m_style->name()}; }
    void setRecentlyAddedListEnabled(bool) override {}
    void setNeedsUIUpdate() override {}

private:
    VXStylePtr m_style;
};
} // namespace

TEST(StyleArchive, PasteboardCarriesStylesComponentsAndKeysOfRegisteredStyles)
{
    const VXStylePtr original = everyComponentStyle();
    QMimeData mime;
    EXPECT_FALSE(VXStyle::canInitWithPasteboard(&mime));
    EXPECT_EQ(VXStyle::styleFromPasteboard(&mime), nullptr);
    EXPECT_EQ(VXRasterizer::rasterizerFromPasteboard(&mime), nullptr);

    original->copyToPasteboard(&mime);
    EXPECT_TRUE(VXStyle::canInitWithPasteboard(&mime));
    const VXStylePtr pasted = VXStyle::styleFromPasteboard(&mime);
    ASSERT_TRUE(pasted);
    EXPECT_TRUE(pasted->isEqualToStyle(original.get()));
    EXPECT_EQ(QString::fromUtf8(mime.data(kVXStyleKeyPasteboardType)), original->uniqueKey());

    const VXRasterizerPtr stroke = original->renderList().last();
    stroke->copyToPasteboard(&mime);
    const VXRasterizerPtr pastedStroke = VXRasterizer::rasterizerFromPasteboard(&mime);
    ASSERT_TRUE(pastedStroke);
    EXPECT_EQ(pastedStroke->className(), "VXStroke");
    EXPECT_TRUE(pastedStroke->isEqualToRasterizer(*stroke));
    EXPECT_EQ(pastedStroke->container(), nullptr);

    QMimeData garbage;
    garbage.setData(kVXStylePasteboardType, "bplist00 not really");
    garbage.setData(VXRasterizer::pasteboardType(), QByteArray(40, '\xff'));
    EXPECT_EQ(VXStyle::styleFromPasteboard(&garbage), nullptr);
    EXPECT_EQ(VXRasterizer::rasterizerFromPasteboard(&garbage), nullptr);

    // A key alone is resolved through the registry, when there is one.
    mime.clear();
    mime.setData(kVXStyleKeyPasteboardType, original->uniqueKey().toUtf8());
    EXPECT_FALSE(VXStyle::canInitWithPasteboard(&mime));
    OneStyleRegistry registry(original);
    const testsupport::SettingScope registryScope(&VXStyleRegistry::styleRegistry, &VXStyleRegistry::setStyleRegistry,
                                                  &registry);
    EXPECT_TRUE(VXStyle::canInitWithPasteboard(&mime));
    EXPECT_EQ(VXStyle::styleFromPasteboard(&mime), original);
    mime.setData(kVXStyleKeyPasteboardType, "someone else's key");
    EXPECT_FALSE(VXStyle::canInitWithPasteboard(&mime));
    EXPECT_EQ(VXStyle::styleFromPasteboard(&mime), nullptr);
}

TEST(StyleArchive, DamagedValuesFallBackToDefaults)
{
    ArchiveSurgery surgery(KeyedArchiver::archivedDataWithRootObject(everyComponentStyle().get()));
    const int style = surgery.objectOfClass("VXStyle");
    const int stroke = surgery.objectOfClass("VXStroke"); // the disabled one inside the group
    const int fill = surgery.objectOfClass("VXFill");
    const int gradient = surgery.objectOfClass("VXGradient");
    ASSERT_GE(style, 0);
    ASSERT_GE(stroke, 0);
    surgery.set(stroke, "VXStroke_width", "wide");
    surgery.set(stroke, "VXStroke_colour", {});
    surgery.set(stroke, "VXStroke_dash", uid(fill));     // an object of another class
    surgery.set(stroke, "VXStroke_lineCapStyle", 99);    // out of range
    surgery.set(stroke, "VXStroke_lateralOffset", qQNaN());
    surgery.set(style, "VXStyle_opacity", "half");
    surgery.set(style, "VXStyle_uniqueKey", 42);
    // The first colour stop becomes a string.
    const int stops = surgery.get(gradient, "VXGradient_stops").value<PlistUid>().value;
    QVariantList stopEntries = surgery.get(stops, "objects").toList();
    stopEntries[0] = uid(surgery.append(QStringLiteral("red at zero")));
    surgery.set(stops, "objects", stopEntries);

    QuorvaneError error;
    const auto decoded = std::dynamic_pointer_cast<VXStyle>(KeyedUnarchiver::unarchiveObjectWithData(surgery.data(), &error));
    ASSERT_TRUE(decoded) << error.localizedDescription().toStdString();
    const auto decodedStroke = decoded->renderersOfClass<VXStroke>().first();
    EXPECT_DOUBLE_EQ(decodedStroke->width(), 1.0);
    EXPECT_EQ(decodedStroke->colour(), QColor(Qt::black));
    EXPECT_EQ(decodedStroke->dash(), nullptr);
    EXPECT_EQ(decodedStroke->lineCapStyle(), 0);
    EXPECT_DOUBLE_EQ(decodedStroke->lateralOffset(), 0.0);
    EXPECT_FALSE(decodedStroke->enabled()); // untouched keys keep their archived values
    EXPECT_DOUBLE_EQ(decoded->opacity(), 1.0);
    EXPECT_FALSE(decoded->uniqueKey().isEmpty());
    EXPECT_EQ(decoded->name(), "Coastline");
    const auto decodedGradient = decoded->renderersOfClass<VXGradientFill>().first();
    ASSERT_EQ(decodedGradient->numberOfColours(), 2);
    EXPECT_EQ(decodedGradient->colourAtStopIndex(0), QColor(0, 255, 0, 128));
}

TEST(StyleArchive, DamagedStructureIsSkippedOrRefused)
{
    const VXStylePtr original = everyComponentStyle();
    const QByteArray archive = KeyedArchiver::archivedDataWithRootObject(original.get());
    {
        // An unknown component class drops that component only.
        ArchiveSurgery surgery(archive);
        surgery.renameClass("VXFill", "VXNoSuchFill");
        const auto decoded = std::dynamic_pointer_cast<VXStyle>(KeyedUnarchiver::unarchiveObjectWithData(surgery.data()));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->countOfRenderList(), original->countOfRenderList() - 1);
        EXPECT_FALSE(decoded->hasFill());
    }
    {
        // A group listing its own style, and an entry that is no component: both left out.
        ArchiveSurgery surgery(archive);
        const int style = surgery.objectOfClass("VXStyle");
        const int group = surgery.objectOfClass("VXRastGroup");
        const int groupList = surgery.get(group, "VXRastGroup_renderList").value<PlistUid>().value;
        QVariantList members = surgery.get(groupList, "objects").toList();
        members << uid(style) << uid(surgery.append(QStringLiteral("not a component"))) << uid(group);
        surgery.set(groupList, "objects", members);
        const auto decoded = std::dynamic_pointer_cast<VXStyle>(KeyedUnarchiver::unarchiveObjectWithData(surgery.data()));
        ASSERT_TRUE(decoded);
        const auto decodedGroup = decoded->renderersOfClass<VXRastGroup>();
        ASSERT_EQ(decodedGroup.size(), 1);
        EXPECT_EQ(decodedGroup.first()->countOfRenderList(), 1);
        EXPECT_EQ(decoded->container(), nullptr);
    }
    {
        QuorvaneError error;
        EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(archive.left(archive.size() / 2), &error), nullptr);
        EXPECT_EQ(error.code(), 101);
    }
}

TEST(StyleArchive, OutOfRangeComponentValuesAreClampedOrRefused)
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
