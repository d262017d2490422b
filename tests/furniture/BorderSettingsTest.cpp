#include "GridOwnerForTesting.h"
#include "furniture/edges/GridSettingsKeys.h"
#include "furniture/edges/VXQGridBorder.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "support/ArchiveTesting.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

QVariantList fieldsOf(const VXQGridBorder& border)
{
    return {border.fillColour(),    border.alternateFillColour(), border.strokeColour(),
            border.width(),         border.offset(),              border.borderEdges(),
            border.isAlternating(), border.extendedMarkers(),     border.ordnanceSurveyStyleEnabled()};
}

VXQGridBorderPtr unusualBorder()
{
    auto border = VXQGridBorder::defaultBorder();
    border->setFillColour(Qt::yellow);
    border->setAlternateFillColour(Qt::darkGreen);
    border->setStrokeColour(Qt::blue);
    border->setWidth(7.25);
    border->setOffset(0.5);
    border->setBorderEdges(kVXQGridEdgeLeft | kVXQGridEdgeBottom);
    border->setIsAlternating(false);
    border->setExtendedMarkers(false);
    border->setOrdnanceSurveyStyleEnabled(true);
    return border;
}

} // namespace

TEST(BorderSettings, RoundTripLeavesTheStrokeColourOut)
{
    const auto original = unusualBorder();
    const QVariantMap settings = original->settings();
    EXPECT_EQ(settings.size(), 11);
    EXPECT_TRUE(settings.value(kVXQMapGridHasLeftBorder).toBool());
    EXPECT_FALSE(settings.value(kVXQMapGridHasTopBorder).toBool());

    auto applied = VXQGridBorder::defaultBorder();
    applied->applySettings(settings);
    QVariantList expected = fieldsOf(*original);
    expected[2] = QColor(Qt::black);
    EXPECT_EQ(fieldsOf(*applied), expected);

    // Missing entries read 0 or NO: no band is left, and the colours stay.
    applied->applySettings({{kVXQMapGridBorderWidth, "wide"}});
    EXPECT_EQ(applied->width(), 0.0);
    EXPECT_EQ(applied->offset(), 0.0);
    EXPECT_EQ(applied->borderEdges(), 0);
    EXPECT_FALSE(applied->isAlternating() || applied->extendedMarkers() || applied->ordnanceSurveyStyleEnabled());
    EXPECT_EQ(applied->fillColour(), QColor(Qt::yellow));
}

TEST(BorderArchive, RoundTripCopyAndDamagedValues)
{
    GridOwnerForTesting owner;
    const auto original = unusualBorder();
    original->setOwner(&owner);
    const auto decoded = testsupport::roundTrip<VXQGridBorder>(*original);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(fieldsOf(*decoded), fieldsOf(*original));
    EXPECT_EQ(decoded->owner(), nullptr);
    const auto copied = std::dynamic_pointer_cast<VXQGridBorder>(original->copy());
    EXPECT_EQ(fieldsOf(*copied), fieldsOf(*original));
    EXPECT_EQ(copied->owner(), nullptr);

    testsupport::ArchiveStub stub;
    stub.values.insert("VXQGridBorder_width", std::nan(""));
    stub.values.insert("VXQGridBorder_offset", -3.0);
    stub.values.insert("VXQGridBorder_edges", 99);
    stub.values.insert("VXQGridBorder_fillColour", "red");
    auto damaged = std::dynamic_pointer_cast<VXQGridBorder>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs("VXQGridBorder")));
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->width(), 5.0);
    EXPECT_EQ(damaged->offset(), 0.0);
    EXPECT_EQ(damaged->borderEdges(), 3);
    EXPECT_EQ(damaged->fillColour(), VXQGridBorder().fillColour());

    stub.values.insert("VXQGridBorder_width", 1e30);
    damaged = std::dynamic_pointer_cast<VXQGridBorder>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs("VXQGridBorder")));
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->width(), VXQGridBorder::kMaximumExtent);
}
