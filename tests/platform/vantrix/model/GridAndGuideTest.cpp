// Grids and guides: where grid lines draw and which crowd out, margins fitted to spans,
// and guides added and removed with undo.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXGuideLayer.h"

#include <QWidget>
#include <functional>
#include <tuple>

using namespace drawingtest;

namespace {

// A grid with spans of 40 points cut into 4 divisions, major lines every 2 spans, in black.
std::shared_ptr<VXGridLayer> addGrid(Fixture& f)
{
    auto grid = std::make_shared<VXGridLayer>();
    f.drawing->addLayer(grid);
    grid->setSpanDivisionsMajorsRulerSteps(40, 4, 2, 2);
    grid->setDivisionColour(Qt::green);
    grid->setSpanColour(Qt::blue);
    grid->setMajorColour(Qt::red);
    return grid;
}

// Where in a row of the image the ink of a colour lies (its reddest, bluest... pixels).
QList<int> columnsOf(const QImage& image, int y, const std::function<bool(const QColor&)>& test)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x)
        if (test(image.pixelColor(x, y)))
            columns.append(x);
    return columns;
}

} // namespace

TEST(Grid, LinesDrawAtDivisionsSpansAndMajorsAndCrowdedOnesAreLeftOut)
{
    Fixture f({200, 200});
    f.drawing->setMarginsLeftTopRightBottom(20, 20, 20, 20);
    auto grid = addGrid(f);
    const QImage image = render(*f.drawing, 4.0); // division lines are 0.4 px: faint but present
    const int row = 4 * 50;
    auto reddish = [](const QColor& c) { return c.red() > 150 && c.green() < 120 && c.blue() < 120; };
    auto bluish = [](const QColor& c) { return c.blue() > c.red() + 20 && c.blue() > c.green() + 20; };
    auto greenish = [](const QColor& c) { return c.green() > c.red() + 20 && c.green() > c.blue() + 20; };
    const QList<int> majors = columnsOf(image, row, reddish);
    ASSERT_FALSE(majors.isEmpty());
    // Majors every 80 points from the interior's left edge at 20: x = 20, 100, (180 is the edge).
    EXPECT_NEAR(majors.first(), 4 * 20, 2);
    EXPECT_TRUE(majors.contains(4 * 100) || majors.contains(4 * 100 - 1));
    const QList<int> spans = columnsOf(image, row, bluish);
    EXPECT_TRUE(spans.contains(4 * 60) || spans.contains(4 * 60 - 1));
    EXPECT_FALSE(spans.contains(4 * 100)); // a major line is not also a span line
    EXPECT_FALSE(columnsOf(image, row, greenish).isEmpty());
    EXPECT_TRUE(near(image.pixelColor(4 * 10, row), Qt::white)); // margins stay bare

    // Divisions one pixel apart would cover the page: only the span lines, 4 pixels apart, draw.
    grid->setSpanDivisionsMajorsRulerSteps(4, 4, 100, 2);
    const QImage crowded = render(*f.drawing, 1.0);
    int green = 0, blue = 0;
    for (int y = 30; y < 170; y += 17) {
        green += int(columnsOf(crowded, y, greenish).size());
        blue += int(columnsOf(crowded, y, bluish).size());
    }
    EXPECT_EQ(green, 0);
    EXPECT_GT(blue, 100);
}

TEST(Grid, MarginsFitWholeSpansAndSettersClampAndUndo)
{
    Fixture f({210, 170});
    auto grid = addGrid(f);
    grid->tweakDrawingMargins();
    EXPECT_EQ(f.drawing->interior(), QRectF(5, 5, 200, 160));
    EXPECT_EQ(grid->nearestGridIntersectionToPoint({17, 33}), QPointF(15, 35)); // from the interior's corner

    f.endStep();
    grid->setDivisions(0);
    grid->setMajors(-3);
    grid->setSpanDistance(std::nan(""));
    grid->setSpanMultiplier(-1);
    EXPECT_EQ(grid->divisions(), 1);
    EXPECT_EQ(grid->majors(), 1);
    EXPECT_DOUBLE_EQ(grid->spanDistance(), 40);
    EXPECT_DOUBLE_EQ(grid->spanMultiplier(), 1);
    f.endStep();
    f.undo->undo();
    EXPECT_EQ(grid->divisions(), 4);
    EXPECT_EQ(grid->majors(), 2);
}

namespace {

// A grid that answers as an index grid would: not the master, its border line left out.
class SecondaryGrid : public VXGridLayer {
public:
    bool isMasterGrid() const override { return false; }
    void drawBorderInContext(const QRectF&) const override { ++borderCalls; }
    mutable int borderCalls = 0;
};

} // namespace

TEST(Grid, BorderLineHiddenDivisionsAndTheMasterGrid)
{
    Fixture f({200, 200});
    f.drawing->setMarginsLeftTopRightBottom(30, 30, 30, 30);
    auto grid = addGrid(f);
    grid->setSpanDivisionsMajorsRulerSteps(40, 4, 100, 2); // no major line inside the interior
    auto reddish = [](const QColor& c) { return c.red() > 150 && c.green() < 120 && c.blue() < 120; };
    auto greenish = [](const QColor& c) { return c.green() > c.red() + 20 && c.green() > c.blue() + 20; };
    // The border line outlines the interior in the major colour, on all four sides.
    const QImage image = render(*f.drawing, 4.0);
    EXPECT_FALSE(columnsOf(image, 4 * 100, reddish).isEmpty());
    EXPECT_NEAR(columnsOf(image, 4 * 100, reddish).first(), 4 * 30, 2);
    EXPECT_NEAR(columnsOf(image, 4 * 100, reddish).last(), 4 * 170, 2);
    EXPECT_FALSE(columnsOf(image, 4 * 30, reddish).isEmpty()); // the top side
    EXPECT_FALSE(columnsOf(image, 4 * 100, greenish).isEmpty());

    f.endStep();
    grid->setDivisionsHidden(true);
    EXPECT_TRUE(columnsOf(render(*f.drawing, 4.0), 4 * 100, greenish).isEmpty());
    auto copy = std::dynamic_pointer_cast<VXGridLayer>(grid->copy());
    EXPECT_TRUE(copy->divisionsHidden());
    f.endStep();
    f.undo->undo();
    EXPECT_FALSE(grid->divisionsHidden());

    // Spans of more units are longer: 40 points per unit stay.
    grid->setSpanMultiplier(2.5);
    EXPECT_DOUBLE_EQ(grid->spanDistance(), 100);
    EXPECT_DOUBLE_EQ(grid->gridDistanceForQuartzDistance(40), 1);
    f.endStep();
    f.undo->undo();
    EXPECT_DOUBLE_EQ(grid->spanDistance(), 40);
    EXPECT_DOUBLE_EQ(grid->spanMultiplier(), 1);

    // A subclass draws its own border line, and the drawing snaps to the master grid even
    // when another grid lies above it.
    auto secondary = std::make_shared<SecondaryGrid>();
    f.drawing->addLayer(secondary);
    EXPECT_EQ(f.drawing->gridLayer(), grid);
    render(*f.drawing);
    EXPECT_EQ(secondary->borderCalls, 1);
    f.drawing->removeLayer(grid.get());
    EXPECT_EQ(f.drawing->gridLayer(), secondary);
}

namespace {

// Paints the drawing's part `source` at `scale` pixels per point, as a view paints it on screen.
class ScreenOfDrawing : public QWidget {
public:
    ScreenOfDrawing(const VXDrawing& drawing, QRectF source, double scale)
        : m_drawing(drawing), m_source(source), m_scale(scale)
    {
        resize((source.size() * scale).toSize());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.scale(m_scale, m_scale);
        painter.translate(-m_source.topLeft());
        platform::DrawingRenderer::drawDrawing(m_drawing, painter, m_source, {});
    }

private:
    const VXDrawing& m_drawing;
    QRectF m_source;
    double m_scale;
};

} // namespace

TEST(Grid, ZoomedInOnScreenLinesStayThinWhileOutputKeepsTheirWidths)
{
    Fixture f({200, 200});
    f.drawing->setMarginsLeftTopRightBottom(20, 20, 20, 20);
    addGrid(f); // majors at x = 20, 100, 180; spans at 60 and 140; divisions every 10
    auto reddish = [](const QColor& c) { return c.red() > 150 && c.green() < 120 && c.blue() < 120; };
    auto bluish = [](const QColor& c) { return c.blue() > c.red() + 20 && c.blue() > c.green() + 20; };
    auto greenish = [](const QColor& c) { return c.green() > c.red() + 20 && c.green() > c.blue() + 20; };
    // Around the major line at x = 100, the span line at 60 and a division line at 90, 50 pixels a point.
    for (const auto& [x, test, points, onScreenMaximum] :
         {std::tuple{100.0, std::function<bool(const QColor&)>(reddish), 0.6, 3},
          std::tuple{60.0, std::function<bool(const QColor&)>(bluish), 0.3, 2},
          std::tuple{90.0, std::function<bool(const QColor&)>(greenish), 0.1, 1}}) {
        const double scale = 50;
        const QRectF source(x - 3, 93, 6, 4); // clear of the horizontal lines at 90 and 100
        const int row = 2 * int(scale);
        const QList<int> output = columnsOf(render(*f.drawing, scale, source), row, test);
        EXPECT_NEAR(output.size(), points * scale, 3) << x;
        const QImage screen = ScreenOfDrawing(*f.drawing, source, scale).grab().toImage();
        const QList<int> shown = columnsOf(screen, row, test);
        EXPECT_GE(shown.size(), 1) << x;
        EXPECT_LE(shown.size(), onScreenMaximum + 1) << x; // one more for antialiasing
        if (!shown.isEmpty()) {
            EXPECT_NEAR((shown.first() + shown.last()) / 2.0, 3 * scale, 2) << x;
        }
    }
}

TEST(Guides, AddingRemovingAndClearingUndoAndNotify)
{
    Fixture f;
    auto guides = std::make_shared<VXGuideLayer>();
    f.drawing->addLayer(guides);
    f.endStep();
    NotificationRecorder added(kVXGuideLayerDidAddGuide, guides.get());
    NotificationRecorder removed(kVXGuideLayerDidRemoveGuide, guides.get());
    guides->addGuide({30, true});
    guides->addGuide({30, true}); // already there
    guides->addGuide({std::nan(""), true});
    guides->addGuide({30, false});
    f.endStep();
    guides->removeGuide({30, true});
    guides->removeGuide({99, true}); // not there
    f.endStep();
    EXPECT_EQ(added.received.size(), 2);
    ASSERT_EQ(removed.received.size(), 1);
    EXPECT_EQ(removed.received[0].userInfo.value(QStringLiteral("guide")).value<platform::Guide>(),
              (platform::Guide{30, true}));
    EXPECT_EQ(guides->horizontalGuides(), QList<double>{30});
    f.undo->undo();
    EXPECT_EQ(guides->verticalGuides(), QList<double>{30});
    f.undo->undo();
    EXPECT_TRUE(guides->guides().isEmpty());
    EXPECT_EQ(removed.received.size(), 3);
    f.undo->redo();
    guides->clearGuides();
    f.endStep();
    EXPECT_TRUE(guides->guides().isEmpty());
    f.undo->undo();
    EXPECT_EQ(guides->guides().size(), 2);

    guides->setSnapTolerance(2);
    EXPECT_EQ(guides->snapPointToGuide({33, 0}), QPointF(33, 0));
    EXPECT_EQ(guides->snapPointToGuide({31.5, 0}), QPointF(30, 0));
    // Guides draw across the drawing on screen and not in output.
    EXPECT_FALSE(near(render(*f.drawing).pixelColor(30, 100), Qt::white, 20));
    const QImage output = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), {200, 200},
                                                                    Qt::white);
    EXPECT_TRUE(near(output.pixelColor(30, 100), Qt::white));
}
