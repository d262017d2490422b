// Prints a map of 100,000 paths to a PDF file through QPrinter (fitted to one page, corner crop
// marks, a textured paper that prints) and compares it with the drawing's own one-page PDF.

#include "support/BenchSupport.h"

#include "app/MapPrintOperation.h"
#include "app/VXQMappingLayer.h"
#include "app/ZQTrueQuorvaneDocument.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "windows/WindowsClasses.h"

#include <QApplication>
#include <QPrinter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kPaths = 100000;
constexpr int kVertices = 8;
constexpr int kStyles = 24;
constexpr int kRuns = 5;
constexpr QSizeF kDrawingSize(4000, 3000);

std::shared_ptr<ZQTrueQuorvaneDocument> makeDocument()
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    document->initWithTypeError(kZQMapDocumentType, nullptr);
    const VXDrawingPtr drawing = document->drawing();
    drawing->setDrawingSize(kDrawingSize);
    QImage tile(64, 64, QImage::Format_RGB32);
    tile.fill(QColor(240, 232, 210));
    drawing->setPaperImage(tile);
    drawing->setPaperColourIsPrinted(true);
    auto* layer = dynamic_cast<VXQMappingLayer*>(document->activeLayer());
    QList<VXStylePtr> styles;
    for (int i = 0; i < kStyles; ++i)
        styles << VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor::fromHsv(i * 15, 200, 180),
                                                                      1 + i % 4);
    QRandomGenerator random(20261207);
    QList<VXDrawableObjectPtr> paths;
    paths.reserve(kPaths);
    for (int i = 0; i < kPaths; ++i) {
        platform::BezierPath path;
        QPointF point(random.bounded(kDrawingSize.width()), random.bounded(kDrawingSize.height()));
        path.moveToPoint(point);
        for (int v = 1; v < kVertices; ++v) {
            point += QPointF(random.bounded(40.0) - 20, random.bounded(40.0) - 20);
            path.lineToPoint(point);
        }
        paths << VXDrawablePath::drawablePathWithBezierPathWithStyle(path, styles[i % kStyles]);
    }
    layer->addObjectsFromArray(paths);
    return document;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerWindowsClasses();
    QTemporaryDir folder;
    const auto document = makeDocument();
    const VXDrawingPtr drawing = document->drawing();
    bool ok = true;
    const auto [ours, peer] = bench::medianSecondsSideBySide(
        kRuns,
        [&] {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(folder.filePath(QStringLiteral("printed.pdf")));
            MapPrintOperation operation(drawing, printer);
            operation.setFitToSinglePage(true);
            operation.setCropMarkKind(MapPrintOperation::kCropMarksCorners);
            ok = ok && operation.run();
        },
        [&] { bench::keep(drawing->pdf()); });
    if (!ok) {
        std::fprintf(stderr, "printing failed\n");
        return 1;
    }
    bench::printComparison(QStringLiteral("print_pdf_100000"), ours, peer, 1.3);
    return 0;
}
