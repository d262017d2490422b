// The 25,000-object map scene (support/MapScene25k.h) exported whole by the export operation,
// as a 4000 x 3000 PNG and as a PDF, against rsvg-convert making the same files from the scene
// written as SVG, in the same run.

#include "support/BenchSupport.h"
#include "support/MapScene25k.h"

#include "panels/PanelsClasses.h"
#include "panels/export/ExportFolder.h"
#include "panels/export/VLTMExportOperation.h"
#include "platform/foundation/UserDefaults.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerPanelsClasses();
    QTemporaryDir folder;
    platform::UserDefaults::setStorageLocationForTesting(folder.filePath(QStringLiteral("defaults")));
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(folder.path(), kVLTMExportOptionsFolderURL);

    const VXDrawingPtr drawing = benchscene::makeDrawing(benchscene::makeScene());
    const VLTMExportOperationPtr operation = VLTMExportOperation::exportOperation();
    operation->setDrawing(drawing);
    operation->setSourceType(kVLTMExportDrawing);
    operation->setTransparent(false); // the paper behind, as the SVG's white rectangle
    operation->setOverwriteExisting(true);

    const QString svgPath = folder.filePath(QStringLiteral("scene.svg"));
    QFile svg(svgPath);
    if (!svg.open(QIODevice::WriteOnly) || svg.write(benchscene::svgOf(benchscene::makeScene())) < 0)
        return 1;
    svg.close();
    const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
    if (rsvg.isEmpty()) {
        std::fprintf(stderr, "rsvg-convert not found (Debian librsvg2-bin)\n");
        return 1;
    }
    std::printf("note: export on %d cores\n", QThread::idealThreadCount());
    const QString width = QString::number(benchscene::kCanvas.width());
    const QString height = QString::number(benchscene::kCanvas.height());

    bool written = true;
    operation->setFormat(kVLTMExportPNG);
    const auto [png, pngPeer] = bench::medianSecondsSideBySide(
        3, [&] { written &= operation->writeToFiles(); },
        [&] {
            QProcess::execute(rsvg, {QStringLiteral("-w"), width, QStringLiteral("-h"), height, QStringLiteral("-o"),
                                     folder.filePath(QStringLiteral("peer.png")), svgPath});
        });
    bench::printComparison("export_png_25k", png, pngPeer, 1.0);

    operation->setFormat(kVLTMExportPDF);
    const auto [pdf, pdfPeer] = bench::medianSecondsSideBySide(
        3, [&] { written &= operation->writeToFiles(); },
        [&] {
            QProcess::execute(rsvg, {QStringLiteral("-f"), QStringLiteral("pdf"), QStringLiteral("-o"),
                                     folder.filePath(QStringLiteral("peer.pdf")), svgPath});
        });
    bench::printComparison("export_pdf_25k", pdf, pdfPeer, 1.5);
    return written ? 0 : 1;
}
