#include "platform/vantrix/styles/StyleTestSupport.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/styles/VXStroke.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using styletest::colourNear;
using styletest::PathRenderable;
using styletest::render;

namespace {

const PathRenderable kAcross = PathRenderable::line(QPointF(0, 50), QPointF(100, 50));

// Which of the pixels x = 0, 5, 10, ... on the line are drawn ('#') or not ('.').
QString drawnAlongTheLine(const QImage& image)
{
    QString marks;
    for (int x = 0; x < image.width(); x += 5)
        marks += image.pixelColor(x, 50).red() < 128 ? QLatin1Char('#') : QLatin1Char('.');
    return marks;
}

VXStrokePtr dashedStroke(const QList<double>& pattern, double width, bool scales, double phase = 0)
{
    auto stroke = VXStroke::strokeWithWidthColour(width, Qt::black);
    auto dash = VXStrokeDash::dashWithPatternPhase(pattern, phase);
    dash->setScalesToLineWidth(scales);
    stroke->setDash(dash);
    return stroke;
}

class DashRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(VXStrokeDash::registeredDashesFilePath());
        VXStrokeDash::reloadRegisteredDashes();
    }
    void TearDown() override { SetUp(); }
};

} // namespace

TEST(Dash, PatternIsCappedCleanedComparedAndScaledToTheLineWidth)
{
    const auto dash = VXStrokeDash::dashWithPatternPhase({1, -2, 3, qQNaN(), 5, 6, 7, 8, 9, 10}, 2);
    EXPECT_EQ(dash->dashPattern(), (QList<double>{1, 0, 3, 0, 5, 6, 7, 8}));
    EXPECT_DOUBLE_EQ(dash->length(), 30);
    EXPECT_TRUE(dash->isValid());
    EXPECT_FALSE(VXStrokeDash::dashWithPatternPhase({0, 0})->isValid());
    EXPECT_FALSE(VXStrokeDash::dashWithPatternPhase({})->isValid());
    const auto same = VXStrokeDash::dashWithPatternPhase({1, 0, 3, 0, 5, 6, 7, 8}, 2);
    EXPECT_TRUE(dash->isEqualToDash(same.get()));
    same->setScalesToLineWidth(false);
    EXPECT_FALSE(dash->isEqualToDash(same.get()));
    EXPECT_FALSE(dash->isEqualToDash(nullptr));

    platform::BezierPath path;
    path.setLineWidth(3);
    const auto scaled = VXStrokeDash::dashWithPatternPhase({4, 2}, 1);
    scaled->applyToPath(path);
    EXPECT_EQ(path.lineDash().lengths, (QList<double>{12, 6}));
    EXPECT_DOUBLE_EQ(path.lineDash().phase, 3);
    scaled->setScalesToLineWidth(false);
    scaled->applyToPath(path);
    EXPECT_EQ(path.lineDash().lengths, (QList<double>{4, 2}));
    VXStrokeDash::dashWithPatternPhase({0, 0})->applyToPath(path);
    EXPECT_TRUE(path.lineDash().isEmpty());
}

TEST(Dash, StrokesAndSwatchesLeaveGapsWhereThePatternSays)
{
    EXPECT_EQ(drawnAlongTheLine(render(*dashedStroke({10, 10}, 4, false), kAcross)), "##..##..##..##..##..");
    EXPECT_EQ(drawnAlongTheLine(render(*dashedStroke({2, 2}, 4, true), kAcross)), "##..#..#..##.##.##..");
    // A phase of 5 starts half way through the first dash.
    EXPECT_EQ(drawnAlongTheLine(render(*dashedStroke({10, 10}, 4, false, 5), kAcross)), "#..##..##..##..##..#");
    EXPECT_EQ(drawnAlongTheLine(render(*dashedStroke({0, 0, 0, 0}, 4, false), kAcross)), QString(20, '#'));
    // Far too many tiny dashes for the line are drawn solid, so the dasher never repeats
    // them billions of times; a pattern repeated tens of thousands of times stays dashed.
    platform::BezierPath longLine;
    longLine.moveToPoint({0, 50});
    longLine.lineToPoint({1e6, 50});
    VXStrokeDash::dashWithPatternPhase({1e-7, 1e-7})->applyToPath(longLine);
    EXPECT_EQ(longLine.penWithColour(Qt::black).style(), Qt::SolidLine);
    VXStrokeDash::dashWithPatternPhase({10, 10})->applyToPath(longLine);
    EXPECT_EQ(longLine.penWithColour(Qt::black).style(), Qt::CustomDashLine);
    render(*dashedStroke({1e-7, 1e-7}, 4, false), PathRenderable::line(QPointF(0, 50), QPointF(1e6, 50)));

    const QImage swatch =
        VXStrokeDash::dashWithPatternPhase({4, 4})->dashSwatchImageWithSizeStrokeWidth(QSizeF(64, 20), 3);
    ASSERT_EQ(swatch.size(), QSize(64, 20));
    EXPECT_TRUE(colourNear(swatch.pixelColor(5, 10), Qt::black, 0));  // 0..12 drawn
    EXPECT_EQ(swatch.pixelColor(17, 10).alpha(), 0);                   // 12..24 skipped
    EXPECT_TRUE(colourNear(swatch.pixelColor(30, 10), Qt::black, 0)); // 24..36 drawn
    EXPECT_EQ(swatch.pixelColor(5, 2).alpha(), 0);
}

TEST_F(DashRegistry, RegisteredDashesAndEditsToThemPersist)
{
    const QList<VXStrokeDashPtr> builtIn = VXStrokeDash::registeredDashes();
    ASSERT_FALSE(builtIn.isEmpty());
    const auto custom = VXStrokeDash::dashWithPatternPhase({7, 1, 2, 1}, 0.5);
    custom->setScalesToLineWidth(false);
    custom->setIsBeingEdited(true);
    EXPECT_TRUE(VXStrokeDash::registerDashWithName(*custom, "Railway"));
    EXPECT_FALSE(VXStrokeDash::registerDashWithName(*custom, "Again")); // an equal dash is there
    EXPECT_FALSE(VXStrokeDash::registerDashWithName(*VXStrokeDash::dashWithPatternPhase({0, 0})));
    EXPECT_TRUE(QFile::exists(VXStrokeDash::registeredDashesFilePath()));

    VXStrokeDash::reloadRegisteredDashes();
    const QList<VXStrokeDashPtr> reread = VXStrokeDash::registeredDashes();
    ASSERT_EQ(reread.size(), builtIn.size() + 1);
    EXPECT_TRUE(reread.last()->isEqualToDash(custom.get()));
    EXPECT_FALSE(reread.last()->isBeingEdited());
    EXPECT_EQ(VXStrokeDash::nameOfRegisteredDash(*custom), "Railway");

    // A registered dash edited in place is written when the table is saved.
    reread.first()->setDashPattern({9, 4});
    ASSERT_TRUE(VXStrokeDash::saveRegisteredDashes());
    VXStrokeDash::reloadRegisteredDashes();
    EXPECT_EQ(VXStrokeDash::registeredDashes().first()->dashPattern(), QList<double>({9, 4}));
}

TEST_F(DashRegistry, DamagedSavedDashesAreSkipped)
{
    const QVariantList saved{
        QVariantMap{{"name", "Good"}, {"pattern", QVariantList{3, 3}}, {"phase", 0}, {"scalesToLineWidth", true}},
        QVariantMap{{"name", "Text"}, {"pattern", QVariantList{"three", 3}}},
        QVariantMap{{"name", "Empty"}, {"pattern", QVariantList{0, 0}}},
        QVariantMap{{"name", "No pattern"}},
        QStringLiteral("not a dash"),
    };
    ASSERT_TRUE(QDir().mkpath(QFileInfo(VXStrokeDash::registeredDashesFilePath()).absolutePath()));
    ASSERT_TRUE(platform::PropertyList::writeFile(saved, VXStrokeDash::registeredDashesFilePath(),
                                                  platform::PropertyList::Format::Xml));
    const QList<VXStrokeDashPtr> dashes = VXStrokeDash::registeredDashes();
    ASSERT_EQ(dashes.size(), 1);
    EXPECT_EQ(dashes.first()->dashPattern(), (QList<double>{3, 3}));

    QFile file(VXStrokeDash::registeredDashesFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<plist>garbage");
    file.close();
    VXStrokeDash::reloadRegisteredDashes();
    EXPECT_EQ(VXStrokeDash::registeredDashes().size(), 5); // the built-in ones
}
