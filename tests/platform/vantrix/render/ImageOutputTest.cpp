// Images of drawings and objects are painted on a pool thread: the pixels must be those of
// painting on the caller's thread, failures must reach the caller, and a caller that is
// itself a pool thread must not wait on the pool.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStrokeDash.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "support/LogCapture.h"

#include <QRandomGenerator>
#include <QSemaphore>
#include <QThreadPool>

using namespace drawingtest;

namespace {

constexpr QSize kPixels(300, 200);

// Many small translucent areas, some dashed outlines and curved lines: what takes the
// painting through the blending paths that differ between threads.
void addMap(Fixture& f)
{
    QRandomGenerator random(7);
    for (int i = 0; i < 120; ++i) {
        const QPointF at(random.bounded(180.0), random.bounded(120.0));
        const QColor fill = QColor::fromHsv(random.bounded(360), 120, 220, 60 + random.bounded(150));
        auto area = VXDrawableShape::drawableShapeWithOvalInRect(QRectF(at, QSizeF(8 + random.bounded(20.0), 6 + random.bounded(14.0))),
                                                                 VXStyle::styleWithFillColourStrokeColourStrokeWidth(fill, Qt::darkGray, 0.7));
        f.layer->addObject(area);
        platform::BezierPath line;
        line.moveToPoint(at);
        line.curveToPointControlPoint1ControlPoint2(at + QPointF(25, 4), at + QPointF(8, -10), at + QPointF(16, 14));
        VXStylePtr style = strokeStyle(QColor(30, 60, 200, i % 3 ? 255 : 140), 1.5);
        if (i % 4 == 0) {
            auto stroke = VXStroke::strokeWithWidthColour(1.2, Qt::black);
            stroke->setDash(VXStrokeDash::dashWithPatternPhase({3, 2}, 1));
            style->addRenderer(stroke);
        }
        f.layer->addObject(VXDrawablePath::drawablePathWithBezierPathWithStyle(line, style));
    }
}

QImage paintedHere(const VXDrawing& drawing)
{
    QImage image(kPixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(kPixels.width() / drawing.bounds().width(), kPixels.height() / drawing.bounds().height());
    platform::DrawingRenderer::Options options;
    options.printing = true;
    platform::DrawingRenderer::drawDrawing(drawing, painter, drawing.bounds(), options);
    return image;
}

// Runs `work` on a pool thread and waits a bounded time for it.
bool finishesOnPoolThread(const std::function<void()>& work)
{
    QSemaphore done;
    QThreadPool::globalInstance()->start([&] {
        work();
        done.release();
    });
    return done.tryAcquire(1, 20000);
}

class FailingShape : public VXDrawableShape {
public:
    void drawContent() const override { ZQ_ASSERT(false, QStringLiteral("drawing failed")); }
};

} // namespace

TEST(ImageOutput, PoolThreadPaintsWhatTheCallersThreadPaints)
{
    Fixture f({300, 200});
    f.drawing->setPaperColour(QColor(250, 248, 240));
    addMap(f);
    const QImage expected = paintedHere(*f.drawing);

    const QImage image = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), kPixels, QColor());
    ASSERT_EQ(image.size(), kPixels);
    EXPECT_EQ(image.convertToFormat(QImage::Format_ARGB32_Premultiplied), expected);

    // Asked from a pool thread, the image is painted there and then.
    QImage fromPool;
    QThreadPool* pool = QThreadPool::globalInstance();
    const int maximum = pool->maxThreadCount();
    pool->setMaxThreadCount(1);
    const bool finished = finishesOnPoolThread([&] {
        fromPool = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), kPixels, QColor());
    });
    pool->setMaxThreadCount(maximum);
    ASSERT_TRUE(finished);
    EXPECT_EQ(fromPool, image);
}

TEST(ImageOutput, FailureWhilePaintingIsLoggedAndGivesNoImage)
{
    auto shape = std::make_shared<FailingShape>();
    shape->setPath(platform::BezierPath::bezierPathWithRect(QRectF(0, 0, 20, 10)));
    const testsupport::LogCapture log;
    QImage failed;
    EXPECT_NO_THROW(failed = platform::DrawingRenderer::imageOfObjectWithSize(*shape, QSizeF(40, 20)));
    EXPECT_TRUE(failed.isNull());
    EXPECT_TRUE(log.contains("painting failed: drawing failed"));

    // The pool thread survives to paint the next image.
    auto plain = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 20, 10), fillStyle(Qt::red));
    const QImage image = platform::DrawingRenderer::imageOfObjectWithSize(*plain, QSizeF(40, 20));
    ASSERT_EQ(image.size(), QSize(40, 20));
    EXPECT_TRUE(near(pixel(image, 20, 10), Qt::red));
}
