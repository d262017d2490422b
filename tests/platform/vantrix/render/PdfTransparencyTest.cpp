// Transparency in PDF output and printing: translucent colours, faded styles and layers,
// shadows and gradients let a black band beneath them show through once a reader draws the PDF.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXGradient.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/styles/VXShadow.h"
#include "support/PdfRaster.h"
#include "support/SettingScope.h"

#include <QPrinter>
#include <QTemporaryDir>

using namespace drawingtest;

namespace {

constexpr double kSceneWidth = 700;
constexpr double kBandTop = 40;
constexpr double kBandBottom = 60;
constexpr double kOnPaper = 25;
constexpr double kOnBand = 50;

// A drawing with a black band across it and, above the band, one 100-point cell per case:
// translucent red, red in a style at half opacity, red in a half-faded layer, red fading from
// opaque to clear left to right, an opaque gradient in a style at half opacity; then two half
// transparent styles whose opaque blue shadows, one sharp and one blurred, fall half under
// their red rectangle and half onto the band.
struct TranslucentScene {
    Fixture f{QSizeF(kSceneWidth, 100)};

    static QRectF cell(int index) { return QRectF(index * 100 + 5, 10, 90, 80); }

    TranslucentScene()
    {
        const QRectF band(0, kBandTop, kSceneWidth, kBandBottom - kBandTop);
        f.layer->addObject(VXDrawableShape::drawableShapeWithRect(band, fillStyle(Qt::black)));
        addCell(0, fillStyle(QColor(255, 0, 0, 128)));
        addCell(1, halfOpaque(fillStyle(Qt::red)));
        auto faded = std::make_shared<VXObjectDrawingLayer>();
        f.drawing->addLayer(faded);
        faded->setAlpha(0.5);
        faded->addObject(VXDrawableShape::drawableShapeWithRect(cell(2), fillStyle(Qt::red)));
        addCell(3, gradientStyle(QColor(255, 0, 0, 255), QColor(255, 0, 0, 0)));
        addCell(4, halfOpaque(gradientStyle(Qt::red, Qt::red)));
        for (const int index : {5, 6}) {
            auto shadowed = fillStyle(Qt::red);
            shadowed->renderersOfClass<VXFill>().first()->setShadow(
                VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(0, 20), index == 5 ? 0 : 2, Qt::blue));
            f.layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(index * 100 + 5, 10, 90, 40),
                                                                      halfOpaque(shadowed)));
        }
    }

    void addCell(int index, const VXStylePtr& style)
    {
        f.layer->addObject(VXDrawableShape::drawableShapeWithRect(cell(index), style));
    }
    static VXStylePtr halfOpaque(VXStylePtr style)
    {
        style->setOpacity(0.5);
        return style;
    }
    static VXStylePtr gradientStyle(const QColor& from, const QColor& to)
    {
        auto style = std::make_shared<VXStyle>();
        style->addRenderer(
            VXGradientFill::gradientFillWithGradient(VXGradient::gradientWithStartingColourEndingColour(from, to)));
        return style;
    }

    // The red alpha a reader should show at a place in a cell (a point of the drawing).
    static double expectedAlpha(int index, double x)
    {
        const double across = (x - cell(index).left()) / cell(index).width();
        return index == 3 ? 1 - across : 0.5;
    }
};

QColor redOverWhite(double alpha)
{
    const int other = int(std::lround(255 * (1 - alpha)));
    return QColor(255, other, other);
}

QColor redOverBlack(double alpha)
{
    return QColor(int(std::lround(255 * alpha)), 0, 0);
}

// Checks every red cell of the scene in `page`, where drawing point p is at page pixel
// origin + p * scale.
void expectTranslucentCells(const QImage& page, QPointF origin, double scale)
{
    const auto at = [&](double x, double y) {
        return page.pixelColor(QPointF(origin + QPointF(x, y) * scale).toPoint());
    };
    for (int index = 0; index < 5; ++index) {
        for (const double across : {0.2, 0.5, 0.8}) {
            const double x = TranslucentScene::cell(index).left() + across * TranslucentScene::cell(index).width();
            const double alpha = TranslucentScene::expectedAlpha(index, x);
            EXPECT_TRUE(near(at(x, kOnPaper), redOverWhite(alpha), 10)) << "cell " << index << " at " << x;
            EXPECT_TRUE(near(at(x, kOnBand), redOverBlack(alpha), 10)) << "cell " << index << " at " << x;
        }
    }
    // Shadows fade with their style and stay hidden under its opaque fill.
    for (const double x : {550, 650}) {
        EXPECT_TRUE(near(at(x, kOnPaper), redOverWhite(0.5), 10)) << x;
        EXPECT_TRUE(near(at(x, 45), redOverBlack(0.5), 10)) << x;
        EXPECT_TRUE(near(at(x, 55), QColor(0, 0, 128), 10)) << x;
    }
}

} // namespace

TEST(PdfTransparency, ExportedPdfShowsWhatLiesBeneathEveryTranslucentPart)
{
    if (!testsupport::canRasterisePdf())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    TranslucentScene scene;
    const QImage page = testsupport::rasterisedPdfPage(scene.f.drawing->pdf());
    ASSERT_EQ(page.size(), QSize(int(kSceneWidth), 100));
    expectTranslucentCells(page, QPointF(0.5, 0.5), 1);

    // Only the fading gradient became an image (with its mask); the rest stays vector.
    const QByteArray gradientCell = scene.f.drawing->pdfDataWithMediaBox(TranslucentScene::cell(3));
    EXPECT_EQ(testsupport::imageObjectsInPdf(gradientCell), 2);
    EXPECT_EQ(testsupport::imageObjectsInPdf(scene.f.drawing->pdfDataWithMediaBox(TranslucentScene::cell(4))), 0);
}

TEST(PdfTransparency, PrintingShowsWhatLiesBeneathAtThePrintersScale)
{
    if (!testsupport::canRasterisePdf())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    TranslucentScene scene;
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(QStringLiteral("printed.pdf")));
    printer.setPageSize(QPageSize(QPageSize::A4));
    scene.f.drawing->printDrawingWithPrinter(printer);
    QFile file(printer.outputFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // The drawing is fitted to the printable width; read at two pixels per point.
    const QImage page = testsupport::rasterisedPdfPage(file.readAll(), 144);
    ASSERT_FALSE(page.isNull());
    const QRectF paintable = printer.pageLayout().paintRect(QPageLayout::Point);
    const double pointsPerUnit = paintable.width() / kSceneWidth;
    expectTranslucentCells(page, paintable.topLeft() * 2, pointsPerUnit * 2);
}

TEST(PdfTransparency, WithoutTheWorkaroundFadingGradientsStayAsDrawn)
{
    TranslucentScene scene;
    const testsupport::SettingScope workaround(&VXGradientFill::pdfTransparencyWorkaround,
                                               &VXGradientFill::setPdfTransparencyWorkaround, false);
    EXPECT_EQ(testsupport::imageObjectsInPdf(scene.f.drawing->pdfDataWithMediaBox(TranslucentScene::cell(3))), 0);
    // Opacity still reaches gradients of one alpha.
    if (!testsupport::canRasterisePdf())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const QImage page = testsupport::rasterisedPdfPage(scene.f.drawing->pdf());
    EXPECT_TRUE(near(page.pixelColor(450, int(kOnBand)), redOverBlack(0.5), 10));
}
