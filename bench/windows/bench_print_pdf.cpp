// Prints a map of 100,000 paths to a PDF file through QPrinter (fitted to one page, corner crop
// marks, a textured paper that prints) and compares it with the drawing's own one-page PDF.

#include "support/BenchSupport.h"
#include "support/PathMap100k.h"

#include "app/printing/MapPrintOperation.h"
#include "windows/WindowsClasses.h"

#include <QApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kRuns = 5;

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerWindowsClasses();
    QTemporaryDir folder;
    const auto document = benchscene::makePathMapDocument(20261207);
    benchscene::givePrintedPaperTexture(*document->drawing());
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
