#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "tracks/styles/FactoryTrackStyles.h"
#include "tracks/styles/StyleLibraryCoding.h"
#include "tracks/model/VXQTrack.h"
#include "tracks/styles/ZQRangeDrawingStyle.h"

using namespace StyleLibraryCoding;

TEST(StyleLibraryCoding, FileDataRoundTripsAStyleWithItsKey)
{
    for (const VXStylePtr& style : {factoryRoadStyle(), factoryRailStyle(), factoryRiverStyle()}) {
        SCOPED_TRACE(style->name().toStdString());
        const VXStylePtr back = libraryObjectWithFileData(fileData(*style));
        ASSERT_TRUE(back);
        EXPECT_TRUE(back->isEqualToStyle(style.get()));
        EXPECT_EQ(back->name(), style->name());
        EXPECT_EQ(back->uniqueKey(), style->uniqueKey());
    }
}

TEST(StyleLibraryCoding, DamagedOrForeignDataGivesNoStyle)
{
    const QByteArray good = fileData(*factoryRoadStyle());
    QByteArray flipped = good;
    for (qsizetype i = flipped.size() / 3; i < flipped.size(); i += 7)
        flipped[i] = char(flipped[i] ^ 0x5a);
    const QByteArray stroke = platform::KeyedArchiver::archivedDataWithRootObject(VXStroke::strokeWithWidthColour(2, Qt::red).get());
    for (const QByteArray& data :
         {QByteArray(), QByteArray("bplist00"), good.left(good.size() / 2), flipped, QByteArray(4096, '\xff'), stroke}) {
        EXPECT_EQ(libraryObjectWithFileData(data), nullptr);
    }
}

TEST(StyleLibraryCoding, SearchableTextIsWhatTheTextComponentsDraw)
{
    auto shape = VXDrawableShape::drawableShapeWithRect({0, 0, 40, 20}, nullptr);
    shape->addMetadata({{"name", "Ash Lane"}});
    VXStylePtr style = factoryRoadStyle();
    EXPECT_EQ(searchableStringForObject(*style, *shape), "");
    style->addRenderer(VXTextAdornment::textAdornmentWithText("%%name"));
    style->addRenderer(VXTextAdornment::textAdornmentWithText("B1234"));
    EXPECT_EQ(searchableStringForObject(*style, *shape), "Ash Lane B1234 ");
}

TEST(FactoryTrackStyles, RoadsDrawALightFillOnADarkCasingAndRailsAlternate)
{
    const VXStylePtr road = factoryRoadStyle();
    const VXStrokePtr casing = ZQRangeDrawingStyle::casingStrokeOfStyle(*road);
    ASSERT_TRUE(casing);
    EXPECT_DOUBLE_EQ(casing->width(), kFactoryRoadCasingWidth);
    EXPECT_DOUBLE_EQ(road->maxStrokeWidth(), kFactoryRoadCasingWidth);
    EXPECT_FALSE(ZQRangeDrawingStyle::casingStrokeOfStyle(*factoryRiverStyle()));
    EXPECT_NE(factoryRoadStyle()->uniqueKey(), road->uniqueKey());

    drawingtest::Fixture f;
    platform::BezierPath line;
    line.moveToPoint({20, 100});
    line.lineToPoint({180, 100});
    VXQTrackPtr track = VXQTrack::trackWithPathType(line, kVXQRoadTrackType);
    track->setStyle(road);
    f.layer->addObject(track);
    const QImage image = drawingtest::render(*f.drawing, 2.0);
    const QColor fill = drawingtest::pixel(image, 200, 200);
    const QColor edge = drawingtest::pixel(image, 200, 208); // y = 104.0 .. 104.5
    EXPECT_TRUE(drawingtest::near(fill, QColor(0xf6, 0xd8, 0x8a))) << fill.name().toStdString();
    EXPECT_TRUE(drawingtest::near(edge, QColor(0x4a, 0x3f, 0x35))) << edge.name().toStdString();
    EXPECT_EQ(drawingtest::pixel(image, 200, 212), drawingtest::pixel(image, 200, 20)); // paper

    // Rail dashes of 6 from the start of the line: white over 20..26, dark over 26..32.
    line.transformUsingAffineTransform(QTransform::fromTranslate(0, -50));
    f.layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(line, factoryStyleForTrackType(kVXQRailTrackType)));
    const QImage rails = drawingtest::render(*f.drawing, 2.0);
    EXPECT_TRUE(drawingtest::near(drawingtest::pixel(rails, 46, 100), Qt::white));
    EXPECT_TRUE(drawingtest::near(drawingtest::pixel(rails, 58, 100), QColor(0x30, 0x30, 0x30)));
}
