// Printing a map to PDF (fitted or tiled at full size), the print options that act on the
// operation and the drawing, and sharing the map's picture through a recording launcher.

#include "app/printing/MapPrintOperation.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "windows/printing/ZQQuorvanePrintAccessoryController.h"
#include "windows/sharing/DocumentSharingMenu.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <utility>
#include <gtest/gtest.h>

namespace {

int pageCountOfPdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

std::shared_ptr<ZQTrueQuorvaneDocument> newDocument()
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, nullptr));
    return document;
}

void printToPdf(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                                      QPageLayout::Point));
}

class RecordingLauncher : public ShareLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override
    {
        started.append(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
        lastArguments = arguments;
        return true;
    }
    bool openUrl(const QUrl& url) override
    {
        opened.append(url);
        return true;
    }
    QStringList started;
    QStringList lastArguments;
    QList<QUrl> opened;
};

} // namespace

TEST(MapPrintTest, PagesFitOrTileTheDrawingAndPrintToPdf)
{
    using Pieces = QList<QRectF>;
    EXPECT_EQ(MapPrintOperation::pagePiecesOfDrawing({1000, 500}, {400, 300}, true), Pieces{QRectF(0, 0, 1000, 500)});
    const Pieces tiled = MapPrintOperation::pagePiecesOfDrawing({1000, 500}, {400, 300}, false);
    ASSERT_EQ(tiled.size(), 6);
    EXPECT_EQ(tiled[1], QRectF(400, 0, 400, 300));
    EXPECT_EQ(tiled[5], QRectF(800, 300, 200, 200));
    EXPECT_TRUE(MapPrintOperation::pagePiecesOfDrawing({1000, 500}, {0, 300}, false).isEmpty());
    EXPECT_TRUE(MapPrintOperation::pagePiecesOfDrawing({1000, 500}, {std::nan(""), 300}, true).isEmpty());

    QTemporaryDir folder;
    auto document = newDocument();
    const VXDrawingPtr drawing = document->drawing();
    drawing->setDrawingSize(QPageSize(QPageSize::A2).size(QPageSize::Point));
    for (const bool fit : {true, false}) {
        QPrinter printer(QPrinter::HighResolution);
        const QString path = folder.filePath(fit ? QStringLiteral("fit.pdf") : QStringLiteral("tiled.pdf"));
        printToPdf(printer, path);
        MapPrintOperation operation(drawing, printer);
        operation.setFitToSinglePage(fit);
        operation.setCropMarkKind(MapPrintOperation::kCropMarksCorners);
        ASSERT_TRUE(operation.run());
        // A2 at full size over A4 pages less margins and mark room: 3 columns by 3 rows.
        EXPECT_EQ(pageCountOfPdf(path), fit ? 1 : 9);
    }

    QPrinter empty(QPrinter::HighResolution);
    printToPdf(empty, folder.filePath(QStringLiteral("none.pdf")));
    empty.setPageLayout(QPageLayout(QPageSize(QSizeF(40, 40), QPageSize::Point), QPageLayout::Portrait,
                                    QMarginsF(10, 10, 10, 10), QPageLayout::Point));
    MapPrintOperation nothing(drawing, empty);
    nothing.setCropMarkKind(MapPrintOperation::kCropMarksEdges);
    EXPECT_FALSE(nothing.run());
}

TEST(MapPrintTest, AMapThatFitsThePaperTakesOneSheetAtFullSizeByDefault)
{
    QTemporaryDir folder;
    auto document = newDocument();
    const VXDrawingPtr drawing = document->drawing();
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Point);
    // Paper less the printer's border is smaller than the map, but the sheet holds it.
    for (const auto& [size, pages] : {std::pair{a4, 1}, std::pair{a4.transposed(), 2}, std::pair{a4 / 2, 1}}) {
        drawing->setDrawingSize(size);
        QPrinter printer(QPrinter::HighResolution);
        const QString path = folder.filePath(QStringLiteral("map.pdf"));
        printToPdf(printer, path);
        MapPrintOperation operation(drawing, printer);
        ASSERT_TRUE(operation.run());
        EXPECT_EQ(pageCountOfPdf(path), pages) << size.width() << " x " << size.height();
    }
}

TEST(PrintOptionsTest, OptionsActOnTheOperationAndTheDrawingAndOutliveOnePrint)
{
    auto& options = *ZQQuorvanePrintAccessoryController::sharedPrintAccessoryController();
    auto document = newDocument();
    const VXDrawingPtr drawing = document->drawing();
    drawing->gridLayer()->setShouldDrawToPrinter(true);
    document->undoManager()->removeAllActions();
    QPrinter printer;
    {
        MapPrintOperation operation(drawing, printer);
        std::unique_ptr<QWidget> tab(options.makeOptionsTabForOperation(operation));
        // Opening the dialog changes nothing; unchecking graph paper turns the grid's printing off for good.
        EXPECT_TRUE(drawing->gridLayer()->shouldDrawToPrinter());
        EXPECT_TRUE(options.printsGraphPaper());
        options.setPrintsGraphPaper(false);
        EXPECT_FALSE(drawing->gridLayer()->shouldDrawToPrinter());
        options.setFitToSinglePage(true);
        options.setCropMarks(MapPrintOperation::kCropMarksEdges);
        options.setPrintsPaperBackground(true);
        EXPECT_TRUE(operation.fitToSinglePage());
        EXPECT_EQ(operation.cropMarkKind(), MapPrintOperation::kCropMarksEdges);
        EXPECT_TRUE(drawing->paperColourIsPrinted());
        const auto summary = options.localizedSummaryItems();
        ASSERT_EQ(summary.size(), 4);
        EXPECT_EQ(summary[0], qMakePair(QStringLiteral("Fit To Page"), QStringLiteral("Yes")));
        EXPECT_EQ(summary[1], qMakePair(QStringLiteral("Crop Marks"), QStringLiteral("Edges")));
        EXPECT_EQ(summary[3], qMakePair(QStringLiteral("Print Paper Background"), QStringLiteral("Yes")));
    }
    EXPECT_EQ(options.printOperation(), nullptr);
    document->undoManager()->closeAutomaticGroup();
    EXPECT_FALSE(document->undoManager()->canUndo());

    // A second print keeps the choices; the paper background follows the drawing.
    drawing->setPaperColourIsPrinted(false);
    drawing->removeLayer(drawing->gridLayer().get());
    MapPrintOperation again(drawing, printer);
    std::unique_ptr<QWidget> tab(options.makeOptionsTabForOperation(again));
    EXPECT_TRUE(again.fitToSinglePage());
    EXPECT_EQ(again.cropMarkKind(), MapPrintOperation::kCropMarksEdges);
    EXPECT_FALSE(options.printsPaperBackground());
    options.setPrintsGraphPaper(true); // no grid: nothing to change, nothing breaks
    options.setCropMarks(9);
    EXPECT_EQ(options.localizedSummaryItems()[1].second, QStringLiteral("None"));
    options.setFitToSinglePage(false);
    options.setCropMarks(0);
    options.setPrintsGraphPaper(false);
}

// A path that counts how often it is drawn (tiles are painted on several threads) and fills
// green where it is drawn into a PDF, so a picture shows which output it came from.
class CountedPath : public VXDrawablePath {
public:
    void drawContent() const override
    {
        ++draws;
        QPainter* painter = platform::GraphicsContext::current()->painter();
        if (painter->paintEngine()->type() == QPaintEngine::Pdf)
            painter->fillPath(path().painterPath(), Qt::green);
        else
            VXDrawablePath::drawContent();
    }
    static inline std::atomic<int> draws{0};
};

TEST(ShareTest, TheSharedPictureIsTheDrawingsPdfPaintedOnce)
{
    auto document = newDocument();
    VXDrawing& drawing = *document->drawing();
    drawing.setDrawingSize({300, 200});
    auto path = std::make_shared<CountedPath>();
    path->setPath(platform::BezierPath::bezierPathWithRect({20, 20, 100, 60}));
    path->setStyle(VXStyle::styleWithFillColourStrokeColour(Qt::red, {}));
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(drawing.activeLayer());
    ASSERT_TRUE(layer);
    layer->addObject(path);

    CountedPath::draws = 0;
    const QImage shared = document->sharableDocumentImage();
    EXPECT_EQ(CountedPath::draws.load(), 1);
    ASSERT_EQ(shared.size(), QSize(600, 400));
    // The path as the PDF holds it, at twice the size, on white paper.
    EXPECT_EQ(shared.pixelColor(140, 100), QColor(Qt::green));
    EXPECT_EQ(shared.pixelColor(400, 300), QColor(Qt::white));
    EXPECT_EQ(shared.pixelColor(20, 20), QColor(Qt::white));
}

TEST(ShareTest, MailViewerAndCopyHandOverTheMapsPicture)
{
    auto launcher = std::make_shared<RecordingLauncher>();
    DocumentSharingMenu::setLauncher(launcher);
    auto document = newDocument();
    document->drawing()->setDrawingSize({300, 200});
    const QImage image = document->sharableDocumentImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(600, 400));

    ASSERT_TRUE(DocumentSharingMenu::mailImage(image));
    ASSERT_EQ(launcher->lastArguments.size(), 2);
    EXPECT_TRUE(launcher->started[0].startsWith(QStringLiteral("xdg-email --attach ")));
    const QImage mailed(launcher->lastArguments[1]);
    EXPECT_EQ(mailed.size(), image.size());
    ASSERT_TRUE(DocumentSharingMenu::openImageInViewer(image));
    ASSERT_EQ(launcher->opened.size(), 1);
    EXPECT_NE(launcher->opened[0].toLocalFile(), launcher->lastArguments[1]);
    EXPECT_EQ(QImage(launcher->opened[0].toLocalFile()).size(), image.size());
    DocumentSharingMenu::copyImage(image);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), image.size());

    QWidget parent;
    QMenu* menu = DocumentSharingMenu::makeMenu(image, &parent);
    QStringList titles;
    for (const QAction* action : menu->actions())
        titles.append(action->text());
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Mail"), QStringLiteral("Open in Image Viewer"),
                                   QStringLiteral("Copy Image")}));
    EXPECT_TRUE(DocumentSharingMenu::writeSharedImage(QImage()).isEmpty());
    DocumentSharingMenu::setLauncher(nullptr);
}
