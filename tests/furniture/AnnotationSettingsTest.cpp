#include "GridOwnerForTesting.h"
#include "furniture/edges/GridSettingsKeys.h"
#include "furniture/edges/VXQGridAnnotation.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/FontUtilities.h"
#include "support/ArchiveTesting.h"

#include <gtest/gtest.h>
#include <cmath>

// An owner that archives the annotation it holds, so the annotation's conditional
// reference back to it resolves.
class ArchivingGridOwner : public GridOwnerForTesting {
    Q_OBJECT

public:
    VXQGridAnnotationPtr annotation;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override { coder.encodeObject(annotation.get(), "a"); }
    void initWithCoder(platform::KeyedUnarchiver& coder) override
    {
        annotation = coder.decodeObjectOfClass<VXQGridAnnotation>("a");
    }
};

namespace {

// Every field but the owner, in one comparable list.
QVariantList fieldsOf(const VXQGridAnnotation& annotation)
{
    const auto* formatter = annotation.formatter().get();
    return {annotation.textAttributes(),     annotation.placement(),
            annotation.isAlphabetic(),       annotation.startingOffset(),
            annotation.increment(),          annotation.digits(),
            annotation.labelSkipInterval(),  annotation.offset(),
            annotation.orientationIsVertical(), annotation.isRotated(),
            annotation.isReversed(),
            formatter ? QVariant(platform::archivedNumberFormatter(*formatter)) : QVariant()};
}

VXQGridAnnotationPtr unusualAnnotation(bool vertical)
{
    auto annotation = VXQGridAnnotation::defaultAnnotation();
    annotation->setOrientationIsVertical(vertical);
    annotation->setTextAttributes({{platform::kFontAttributeName, *platform::fontWithNameSize("Helvetica", 9)},
                                   {platform::kForegroundColourAttributeName, QColor(Qt::red)}});
    annotation->setPlacement(VXQGridAnnotation::kBetweenLines);
    annotation->setIsAlphabetic(!vertical);
    annotation->setStartingOffset(7);
    annotation->setIncrement(3);
    annotation->setDigits(3);
    annotation->setIsRotated(true);
    annotation->setIsReversed(true);
    return annotation;
}

} // namespace

TEST(AnnotationSettings, RoundTripByOrientationWithOneSharedPlacementKey)
{
    for (const bool vertical : {false, true}) {
        const auto original = unusualAnnotation(vertical);
        const QVariantMap settings = original->settings();
        EXPECT_EQ(settings.size(), 8);
        EXPECT_EQ(settings.value(kVXQMapGridHorizontalAnnotationPlacement).toInt(), 1);
        EXPECT_TRUE(settings.contains(vertical ? kVXQMapGridVerticalDigits : kVXQMapGridHorizontalDigits));
        EXPECT_FALSE(settings.contains(vertical ? kVXQMapGridHorizontalDigits : kVXQMapGridVerticalDigits));

        auto applied = VXQGridAnnotation::defaultAnnotation();
        applied->setOrientationIsVertical(vertical);
        applied->applySettings(settings);
        EXPECT_EQ(fieldsOf(*applied), fieldsOf(*original)) << vertical;
    }

    // Missing and mistyped entries read 0 or NO; attributes that are no dictionary are kept.
    auto annotation = unusualAnnotation(false);
    const auto attributes = annotation->textAttributes();
    annotation->applySettings({{kVXQMapGridHorizontalDigits, "3"}, {kVXQMapGridHorizontalAnnotationTextAttributes, 4}});
    EXPECT_EQ(annotation->startingOffset(), 0u);
    EXPECT_EQ(annotation->increment(), 0u);
    EXPECT_EQ(annotation->digits(), 1u);
    EXPECT_FALSE(annotation->isAlphabetic());
    EXPECT_FALSE(annotation->isRotated());
    EXPECT_FALSE(annotation->isReversed());
    EXPECT_EQ(annotation->placement(), 0);
    EXPECT_EQ(annotation->textAttributes(), attributes);
}

TEST(AnnotationArchive, RoundTripKeepsFieldsFormatterAndOwner)
{
    platform::ClassRegistry::registerClass<ArchivingGridOwner>();
    ArchivingGridOwner owner;
    owner.annotation = unusualAnnotation(true);
    owner.annotation->setOwner(&owner);
    owner.annotation->setLabelSkipInterval(3);
    owner.annotation->setOffset(6.5);
    auto formatter = std::make_shared<platform::NumberFormatter>();
    formatter->setNumberStyle(platform::NumberFormatter::Style::Decimal);
    formatter->setMaximumFractionDigits(2);
    owner.annotation->setFormatter(formatter);

    const auto decoded = testsupport::roundTrip<ArchivingGridOwner>(owner);
    ASSERT_TRUE(decoded && decoded->annotation);
    EXPECT_EQ(fieldsOf(*decoded->annotation), fieldsOf(*owner.annotation));
    EXPECT_EQ(decoded->annotation->owner(), decoded.get());

    // Alone, the annotation is archived without its owner; a copy has none either.
    const auto alone = testsupport::roundTrip<VXQGridAnnotation>(*owner.annotation);
    ASSERT_TRUE(alone);
    EXPECT_EQ(alone->owner(), nullptr);
    EXPECT_EQ(fieldsOf(*alone), fieldsOf(*owner.annotation));
    const auto copied = std::dynamic_pointer_cast<VXQGridAnnotation>(owner.annotation->copy());
    EXPECT_EQ(copied->owner(), nullptr);
    EXPECT_EQ(fieldsOf(*copied), fieldsOf(*owner.annotation));
}

TEST(AnnotationArchive, DamagedValuesReadAsTheSettersStoreThem)
{
    testsupport::ArchiveStub stub;
    stub.values.insert("VXQGridAnnotation_skipInterval", 0);
    stub.values.insert("VXQGridAnnotation_digits", 99);
    stub.values.insert("VXQGridAnnotation_offset", std::nan(""));
    stub.values.insert("VXQGridAnnotation_kind", 7);
    stub.values.insert("VXQGridAnnotation_startOffset", -1);
    stub.values.insert("VXQGridAnnotation_increment", qint64(1) << 40); // no 32-bit int
    stub.values.insert("VXQGridAnnotation_textAttributes", "Helvetica");
    stub.values.insert("VXQGridAnnotation_formatter", 12);
    auto annotation = std::dynamic_pointer_cast<VXQGridAnnotation>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs("VXQGridAnnotation")));
    ASSERT_TRUE(annotation);
    EXPECT_EQ(annotation->labelSkipInterval(), 1u);
    EXPECT_EQ(annotation->digits(), 4u);
    EXPECT_EQ(annotation->offset(), 5.0);
    EXPECT_FALSE(annotation->isAlphabetic());
    EXPECT_EQ(annotation->increment(), 1u);
    EXPECT_EQ(annotation->annotationStringForElementMaxElement(0, 3), "-0001");
    EXPECT_EQ(annotation->textAttributes(), VXQGridAnnotation::defaultTextAttributes());
    EXPECT_EQ(annotation->formatter(), nullptr);
    EXPECT_EQ(annotation->owner(), nullptr);

    stub.values.insert("VXQGridAnnotation_offset", -4.0);
    stub.values.insert("VXQGridAnnotation_digits", 0);
    annotation = std::dynamic_pointer_cast<VXQGridAnnotation>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs("VXQGridAnnotation")));
    ASSERT_TRUE(annotation);
    EXPECT_EQ(annotation->offset(), 0.0);
    EXPECT_EQ(annotation->digits(), 1u);

    // Typed values take the same clamps.
    annotation->setOffset(std::nan(""));
    annotation->setOffset(1e9);
    EXPECT_EQ(annotation->offset(), VXQGridAnnotation::kMaximumOffset);
}

#include "AnnotationSettingsTest.moc"
