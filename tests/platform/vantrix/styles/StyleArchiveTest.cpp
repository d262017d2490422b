#include "support/ArchiveTesting.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/styles/VXStyleRegistry.h"

#include <QMimeData>
#include <gtest/gtest.h>

using platform::KeyedArchiver;
using platform::KeyedUnarchiver;
using platform::PlistUid;
using platform::PropertyList;

namespace {

// A style with one of every component and every key set away from its default.
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

TEST(StyleArchive, EveryComponentSurvivesTheRoundTrip)
{
    const VXStylePtr original = everyComponentStyle();
    const auto decoded = testsupport::roundTrip<VXStyle>(*original);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->isEqualToStyle(original.get()));
    EXPECT_EQ(decoded->uniqueKey(), original->uniqueKey());
    EXPECT_EQ(decoded->name(), "Coastline");
    EXPECT_EQ(decoded->styleSharable(), original->styleSharable());
    EXPECT_DOUBLE_EQ(decoded->lastModificationTimestamp(), original->lastModificationTimestamp());

    const auto stroke = decoded->renderList().last().get();
    EXPECT_TRUE(stroke->isEqualToRasterizer(*original->renderList().last()));
    EXPECT_TRUE(stroke->locked());
    const auto dash = static_cast<const VXStroke*>(stroke)->dash();
    ASSERT_TRUE(dash);
    EXPECT_EQ(dash->dashPattern(), (QList<double>{6, 2, 1, 2}));
    EXPECT_FALSE(dash->scalesToLineWidth());

    const auto gradient = decoded->renderersOfClass<VXGradientFill>().first();
    EXPECT_EQ(gradient->endingLocation(), QPointF(0.5, -0.5));
    EXPECT_EQ(gradient->colourAtStopIndex(1), QColor(0, 255, 0, 128));
    const auto inner = decoded->renderersOfClass<VXStroke>().first();
    EXPECT_FALSE(inner->enabled());
    EXPECT_EQ(inner->style(), decoded.get()); // containers are linked again

    // Any difference is seen.
    decoded->renderersOfClass<VXFill>().first()->shadow()->setOffset(QSizeF(2, -2));
    EXPECT_FALSE(decoded->isEqualToStyle(original.get()));
}

TEST(StyleArchive, PasteboardCarriesStylesAndComponents)
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

TEST(StyleArchive, AKeyAloneIsResolvedThroughTheRegistry)
{
    const VXStylePtr registered = everyComponentStyle();
    QMimeData mime;
    mime.setData(kVXStyleKeyPasteboardType, registered->uniqueKey().toUtf8());
    EXPECT_FALSE(VXStyle::canInitWithPasteboard(&mime)); // no registry installed

    OneStyleRegistry registry(registered);
    VXStyleRegistry::setStyleRegistry(&registry);
    EXPECT_TRUE(VXStyle::canInitWithPasteboard(&mime));
    EXPECT_EQ(VXStyle::styleFromPasteboard(&mime), registered);
    mime.setData(kVXStyleKeyPasteboardType, "someone else's key");
    EXPECT_FALSE(VXStyle::canInitWithPasteboard(&mime));
    EXPECT_EQ(VXStyle::styleFromPasteboard(&mime), nullptr);
    VXStyleRegistry::setStyleRegistry(nullptr);
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
