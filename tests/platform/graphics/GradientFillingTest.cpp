// Gradients in PDF keep their transparency: the painter's opacity and stops of differing
// alpha, read back through an independent PDF reader over a black band on white paper.

#include "platform/graphics/GradientFilling.h"
#include "platform/graphics/ImageWriter.h"
#include "support/PdfRaster.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr QSizeF kPage(400, 100);
const QRectF kBand(0, 40, 400, 20);
constexpr int kOnPaper = 25;
constexpr int kOnBand = 50;

// `fill` on a one-point-per-pixel PDF page over the band, read back.
QImage pdfPageOf(const std::function<void(QPainter&)>& fill, QByteArray* pdf = nullptr)
{
    const QByteArray bytes = ImageWriter::pdfRepresentation(kPage, [&](QPainter& painter) {
        painter.fillRect(kBand, Qt::black);
        fill(painter);
    });
    if (pdf)
        *pdf = bytes;
    return testsupport::rasterisedPdfPage(bytes);
}

// Red at `alpha` over white paper and over the black band.
QColor redOverWhite(double alpha)
{
    const int other = int(std::lround(255 * (1 - alpha)));
    return QColor(255, other, other);
}

QColor redOverBlack(double alpha)
{
    return QColor(int(std::lround(255 * alpha)), 0, 0);
}

::testing::AssertionResult near(const QColor& seen, const QColor& expected, int tolerance = 8)
{
    if (std::abs(seen.red() - expected.red()) <= tolerance && std::abs(seen.green() - expected.green()) <= tolerance
        && std::abs(seen.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "saw " << seen.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

QPainterPath rectPath(const QRectF& rect)
{
    QPainterPath path;
    path.addRect(rect);
    return path;
}

} // namespace

TEST(GradientFilling, OpacityReachesGradientsOfOneAlphaAndTheyStayVector)
{
    if (!testsupport::canRasterisePdf())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const QRectF cell(10, 10, 100, 80);
    QLinearGradient gradient(cell.topLeft(), cell.topRight());
    gradient.setColorAt(0, QColor(255, 0, 0));
    gradient.setColorAt(1, QColor(255, 0, 0));
    QByteArray pdf;
    const QImage page = pdfPageOf(
        [&](QPainter& painter) {
            painter.setOpacity(0.5);
            fillPathWithGradient(painter, rectPath(cell), gradient);
            // Stops already translucent take the opacity on top of their own alpha.
            QLinearGradient translucent(gradient);
            translucent.setStops({{0, QColor(255, 0, 0, 128)}, {1, QColor(255, 0, 0, 128)}});
            fillPathWithGradient(painter, rectPath(cell.translated(130, 0)), translucent);
        },
        &pdf);
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(near(page.pixelColor(60, kOnPaper), redOverWhite(0.5)));
    EXPECT_TRUE(near(page.pixelColor(60, kOnBand), redOverBlack(0.5)));
    EXPECT_TRUE(near(page.pixelColor(190, kOnPaper), redOverWhite(0.25)));
    EXPECT_TRUE(near(page.pixelColor(190, kOnBand), redOverBlack(0.25)));
    EXPECT_EQ(testsupport::imageObjectsInPdf(pdf), 0);
}

TEST(GradientFilling, StopsOfDifferingAlphaFadeAcrossTheFillInsideItsOutline)
{
    if (!testsupport::canRasterisePdf())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    // Opaque to clear from left to right, laid out through the brush transform.
    const QRectF cell(10, 10, 100, 80);
    QLinearGradient unit(QPointF(0, 0), QPointF(1, 0));
    unit.setColorAt(0, QColor(255, 0, 0, 255));
    unit.setColorAt(1, QColor(255, 0, 0, 0));
    QBrush linear(unit);
    linear.setTransform(QTransform::fromScale(cell.width(), 1) * QTransform::fromTranslate(cell.left(), 0));
    // Opaque at the centre of a circle to clear well beyond its rim, at half opacity.
    const QRectF circle(200, 0, 100, 100);
    QRadialGradient radial(circle.center(), 100);
    radial.setColorAt(0, QColor(255, 0, 0, 255));
    radial.setColorAt(1, QColor(255, 0, 0, 0));
    QPainterPath disc;
    disc.addEllipse(circle);

    const QImage page = pdfPageOf([&](QPainter& painter) {
        fillPathWithGradient(painter, rectPath(cell), linear);
        painter.setOpacity(0.5);
        fillPathWithGradient(painter, disc, radial);
    });
    ASSERT_FALSE(page.isNull());
    for (const int x : {15, 35, 60, 85, 105}) {
        const double alpha = 1 - (x + 0.5 - cell.left()) / cell.width();
        EXPECT_TRUE(near(page.pixelColor(x, kOnPaper), redOverWhite(alpha))) << x;
        EXPECT_TRUE(near(page.pixelColor(x, kOnBand), redOverBlack(alpha))) << x;
    }
    EXPECT_TRUE(near(page.pixelColor(250, kOnBand), redOverBlack(0.5)));
    EXPECT_TRUE(near(page.pixelColor(225, kOnBand), redOverBlack(0.5 * (1 - 25.5 / 100))));
    // The image behind the gradient is square; the circle's outline clips it.
    EXPECT_TRUE(near(page.pixelColor(203, 3), Qt::white, 2));
    EXPECT_TRUE(near(page.pixelColor(120, kOnPaper), Qt::white, 2));
}

TEST(GradientFilling, OtherDevicesFillAsThePainterDoes)
{
    QImage expected(40, 20, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::black);
    QImage seen = expected;
    QLinearGradient gradient(0, 0, 40, 0);
    gradient.setColorAt(0, QColor(255, 0, 0, 255));
    gradient.setColorAt(1, QColor(0, 0, 255, 30));
    const QPainterPath path = rectPath(QRectF(5, 5, 30, 10));
    {
        QPainter painter(&expected);
        painter.setOpacity(0.6);
        painter.fillPath(path, gradient);
    }
    {
        QPainter painter(&seen);
        painter.setOpacity(0.6);
        fillPathWithGradient(painter, path, gradient);
    }
    EXPECT_EQ(seen, expected);
}
