// Rendering: objects where they belong, paper, layer visibility, alpha and printing, and the
// outputs (PDF, bitmaps of PDFs, extracted drawings) and redraw requests.

#include "platform/vantrix/DrawingTestSupport.h"
#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/styles/VXStroke.h"

#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

using namespace drawingtest;

namespace {

// What a poppler tool ("pdfinfo", "pdffonts") prints about the PDF.
QString popplerReport(const QString& tool, const QByteArray& pdf)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("out.pdf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    QProcess process;
    process.start(tool, {file.fileName()});
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfInfo(const QByteArray& pdf)
{
    return popplerReport(QStringLiteral("pdfinfo"), pdf).simplified();
}

} // namespace

TEST(DrawingRender, ObjectsDrawWhereTheyAreOnThePaper)
{
    Fixture f({200, 100});
    f.drawing->setPaperColour(QColor(250, 240, 200));
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 30, 20), fillStyle(Qt::red)));
    auto oval = VXDrawableShape::drawableShapeWithOvalInRect(QRectF(100, 20, 60, 60), fillStyle(Qt::blue));
    f.layer->addObject(oval);

    const QImage image = render(*f.drawing, 2.0);
    ASSERT_EQ(image.size(), QSize(400, 200));
    EXPECT_TRUE(near(pixel(image, 50, 40), Qt::red));
    EXPECT_TRUE(near(pixel(image, 19, 40), QColor(250, 240, 200))); // just outside the rectangle
    EXPECT_TRUE(near(pixel(image, 260, 100), Qt::blue));            // the oval's centre
    EXPECT_TRUE(near(pixel(image, 205, 45), QColor(250, 240, 200))); // its bounding box corner

    oval->setAngle(M_PI / 4);
    oval->setSize({120, 20}); // a thin diagonal ellipse
    const QImage turned = render(*f.drawing, 2.0);
    EXPECT_TRUE(near(pixel(turned, 260 + 60, 100 + 60), Qt::blue));
    EXPECT_TRUE(near(pixel(turned, 260 + 60, 100 - 60), QColor(250, 240, 200)));
}

TEST(DrawingRender, ViewsShowObjectsOffThePaperWholeWhicheverAreaIsRepainted)
{
    viewtest::ViewFixture f({200, 200}, {400, 400});
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect({-60, 20, 40, 40}, fillStyle(Qt::red)));  // in the margin
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect({180, 100, 40, 20}, fillStyle(Qt::blue))); // across the edge
    const QPoint offPaper = f.at({-40, 40}), inside = f.at({190, 110}), outside = f.at({210, 110});
    const QImage whole = f.view.viewport()->grab().toImage();
    EXPECT_TRUE(near(whole.pixelColor(offPaper), Qt::red));
    EXPECT_TRUE(near(whole.pixelColor(inside), Qt::blue));
    EXPECT_TRUE(near(whole.pixelColor(outside), Qt::blue));

    // Areas of the margin alone repaint what the whole view shows there.
    for (const QPoint p : {offPaper, outside}) {
        const QRect margin(p - QPoint(5, 5), QSize(10, 10));
        QImage part(whole.size(), QImage::Format_ARGB32_Premultiplied);
        part.fill(Qt::green);
        f.view.viewport()->render(&part, margin.topLeft(), QRegion(margin));
        EXPECT_EQ(part.pixelColor(p), whole.pixelColor(p)) << p.x();
    }
}

TEST(DrawingRender, LayersHideFadeAndStack)
{
    Fixture f({100, 100});
    auto top = std::make_shared<VXObjectDrawingLayer>();
    f.drawing->addLayer(top); // above the fixture's layer
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 100, 100), fillStyle(Qt::blue)));
    top->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 50, 100), fillStyle(Qt::red)));
    // Two overlapping objects in one faded layer fade together, not through each other.
    top->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(25, 0, 50, 100), fillStyle(Qt::red)));

    EXPECT_TRUE(near(pixel(render(*f.drawing), 10, 50), Qt::red));
    top->setAlpha(0.5);
    const QImage faded = render(*f.drawing);
    EXPECT_TRUE(near(pixel(faded, 10, 50), QColor(128, 0, 127), 3));
    EXPECT_EQ(pixel(faded, 40, 50), pixel(faded, 10, 50));
    EXPECT_TRUE(near(pixel(faded, 90, 50), Qt::blue));

    top->setVisible(false);
    EXPECT_TRUE(near(pixel(render(*f.drawing), 10, 50), Qt::blue));
    f.drawing->moveLayerToIndex(top.get(), 1);
    top->setVisible(true);
    top->setAlpha(1);
    EXPECT_TRUE(near(pixel(render(*f.drawing), 10, 50), Qt::blue)); // now underneath
}

TEST(DrawingRender, OutputLeavesOutWhatDoesNotPrint)
{
    Fixture f({100, 100});
    f.drawing->setPaperColour(Qt::yellow);
    auto grid = std::make_shared<VXGridLayer>();
    f.drawing->addLayer(grid);
    grid->setSpanDivisionsMajorsRulerSteps(10, 1, 1, 1);
    grid->setGridThemeColour(Qt::black);
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(40, 40, 20, 20), fillStyle(Qt::red)));

    // On screen the grid and the paper show; in output neither does.
    const QImage screen = render(*f.drawing, 4.0);
    EXPECT_FALSE(near(pixel(screen, 4 * 30, 4 * 25 + 2), Qt::yellow, 10)); // a grid line at x = 30
    const QImage output = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), {100, 100}, {});
    EXPECT_EQ(pixel(output, 30, 20).alpha(), 0);
    EXPECT_TRUE(near(pixel(output, 50, 50), Qt::red));
    f.drawing->setPaperColourIsPrinted(true);
    grid->setShouldDrawToPrinter(true);
    const QImage printed = platform::DrawingRenderer::imageOfDrawing(*f.drawing, f.drawing->bounds(), {100, 100}, {});
    EXPECT_TRUE(near(pixel(printed, 35, 25), Qt::yellow));
    EXPECT_FALSE(near(pixel(printed, 30, 25), Qt::yellow, 10));
}

TEST(DrawingRender, PDFHasThePageSizeAndRasterisesFromItsSource)
{
    Fixture f({300, 150});
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(100, 50, 100, 50), fillStyle(Qt::green)));
    auto label = VXTextShape::textShapeWithStringInRect(QStringLiteral("Harbour"), QRectF(10, 10, 120, 30));
    f.layer->addObject(label);

    const QByteArray pdf = f.drawing->pdf();
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    const QString info = pdfInfo(pdf);
    EXPECT_TRUE(info.contains(QStringLiteral("Page size: 300 x 150 pts"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Pages: 1 ")));

    // Every font (the label's) is embedded: the fifth column from the right of each line after the heading.
    const QStringList fonts = popplerReport(QStringLiteral("pdffonts"), pdf).split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts)
        EXPECT_EQ(font.simplified().split(u' ').end()[-5], QStringLiteral("yes")) << font.toStdString();

    const QByteArray region = f.drawing->pdfDataWithMediaBox(QRectF(100, 50, 100, 50));
    EXPECT_TRUE(pdfInfo(region).contains(QStringLiteral("100 x 50 pts")));

    // The bitmap of the PDF's right half at two pixels per point, over white.
    const QByteArray png = f.drawing->imageDataWithFormatOptionsPdfDataColourspaceSourceRectDestSizeBackgroundColor(
        platform::ImageFileType::PNG, {}, pdf, QColorSpace(), QRectF(150, 0, 150, 150), QSize(300, 300), Qt::white);
    const QImage image = QImage::fromData(png);
    ASSERT_EQ(image.size(), QSize(300, 300));
    EXPECT_TRUE(near(pixel(image, 20, 150), Qt::green));
    EXPECT_TRUE(near(pixel(image, 120, 150), Qt::white));

    EXPECT_TRUE(pdfInfo(f.layer->pdf()).contains(QStringLiteral("300 x 150 pts")));
    EXPECT_TRUE(pdfInfo(label->pdf()).contains(QStringLiteral("120 x 30 pts")));
    const QImage swatch = f.layer->objectInObjectsAtIndex(0)->swatchImageWithSize({32, 32});
    EXPECT_TRUE(near(pixel(swatch, 16, 16), Qt::green));
    EXPECT_EQ(pixel(swatch, 16, 2).alpha(), 0); // letterboxed: the rectangle is twice as wide as high
}

TEST(DrawingRender, PrintingFitsTheDrawingToThePage)
{
    Fixture f({1000, 500});
    f.layer->addObject(VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 500, 500), fillStyle(Qt::red)));
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(QStringLiteral("printed.pdf")));
    printer.setPageSize(QPageSize(QPageSize::A4));
    f.drawing->printDrawingWithPrinter(printer);
    QFile file(printer.outputFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString info = pdfInfo(file.readAll());
    EXPECT_TRUE(info.contains(QStringLiteral("Pages: 1 "))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("595 x 842 pts (A4)"))) << info.toStdString();
    // The drawing spans the page's printable width: its left half is red, its right half paper.
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-png"),
                                              printer.outputFileName(), folder.filePath(QStringLiteral("page"))});
    raster.waitForFinished(10000);
    const QImage page(folder.filePath(QStringLiteral("page-1.png")));
    ASSERT_FALSE(page.isNull());
    const QRectF paintable = printer.pageLayout().paintRect(QPageLayout::Point);
    const int y = int((paintable.top() + paintable.width() / 4) / 2); // 36 dpi: half a pixel per point
    EXPECT_TRUE(near(page.pixelColor(int((paintable.left() + paintable.width() * 0.25) / 2), y), Qt::red, 10));
    EXPECT_TRUE(near(page.pixelColor(int((paintable.left() + paintable.width() * 0.75) / 2), y), Qt::white, 10));
}

TEST(DrawingRender, ExtractionCopiesWhatLiesInTheRectangle)
{
    Fixture f({200, 200});
    auto inside = VXDrawableShape::drawableShapeWithRect(QRectF(110, 110, 20, 20), fillStyle(Qt::red));
    auto outside = VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 20, 20), fillStyle(Qt::blue));
    f.layer->addObjectsFromArray({inside, outside});
    const VXDrawingPtr extract = f.drawing->drawingByExtractingFromRectOptions(QRectF(100, 100, 50, 50), 0);
    EXPECT_EQ(extract->drawingSize(), QSizeF(50, 50));
    const auto layer = extract->firstLayerOfClass<VXObjectDrawingLayer>();
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->countOfObjects(), 1);
    EXPECT_EQ(layer->objectInObjectsAtIndex(0)->logicalBounds(), QRectF(10, 10, 20, 20));
    EXPECT_TRUE(near(pixel(render(*extract), 20, 20), Qt::red));
    EXPECT_EQ(inside->logicalBounds(), QRectF(110, 110, 20, 20)); // the source is untouched
}

TEST(DrawingRender, ChangesAskViewsToRedrawTheAreasTheyTouch)
{
    Fixture f({200, 200});
    auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 20, 20), fillStyle(Qt::red));
    f.layer->addObject(shape);
    QList<QRectF> requests;
    QObject::connect(f.drawing.get(), &VXDrawing::needsDisplayInRect,
                     [&](const QRectF& rect) { requests.append(rect); });
    shape->setLocation({100, 100});
    QRectF covered;
    for (const QRectF& rect : requests)
        covered = covered.united(rect);
    EXPECT_TRUE(covered.contains(QRectF(10, 10, 20, 20)));
    EXPECT_TRUE(covered.contains(QRectF(90, 90, 20, 20)));
    // A far move redraws both places, not the square spanning them.
    ASSERT_EQ(requests.size(), 2);
    EXPECT_FALSE(requests[0].intersects(requests[1]));

    // A drag step overlaps where the object was: one request covers both.
    requests.clear();
    shape->setLocation({102, 101});
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests[0].contains(QRectF(92, 91, 20, 20)));
    EXPECT_TRUE(requests[0].contains(QRectF(90, 90, 20, 20)));

    requests.clear();
    shape->setVisible(false);
    shape->setLocation({0, 0}); // hidden objects move without redrawing
    EXPECT_EQ(requests.size(), 1);

    // Within a batch, however nested, the requests go out once, covering them all, when the
    // outermost closes.
    shape->setVisible(true);
    auto other = VXDrawableShape::drawableShapeWithRect(QRectF(150, 150, 10, 10), fillStyle(Qt::red));
    f.layer->addObject(other);
    requests.clear();
    QRectF touched = shape->bounds() | other->bounds();
    {
        const VXDrawing::DisplayBatch outer(f.drawing.get());
        {
            const VXDrawing::DisplayBatch inner(f.drawing.get());
            shape->setLocation({20, 20});
        }
        other->setLocation({160, 160});
        EXPECT_TRUE(requests.isEmpty());
    }
    touched |= shape->bounds() | other->bounds();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests[0].contains(touched));
    // Nothing asked for, nothing sent.
    requests.clear();
    { const VXDrawing::DisplayBatch empty(f.drawing.get()); }
    EXPECT_TRUE(requests.isEmpty());
}

TEST(DrawingRender, AStyleChangeAsksEachDrawingOnceForAllItsObjects)
{
    // One style on objects in two drawings: a change of it asks each drawing's views once,
    // covering every object of that drawing as it was and as it is.
    const VXStylePtr shared = strokeStyle(Qt::black, 1);
    Fixture first({200, 200}), second({200, 200});
    QList<VXDrawableObjectPtr> firstObjects, secondObjects;
    for (int i = 0; i < 30; ++i) {
        firstObjects.append(VXDrawableShape::drawableShapeWithRect(QRectF(i * 3, i * 2, 4, 4), shared));
        if (i % 3 == 0)
            secondObjects.append(VXDrawableShape::drawableShapeWithRect(QRectF(120 + i, 120 + i * 2, 6, 3), shared));
    }
    first.layer->addObjectsFromArray(firstObjects);
    second.layer->addObjectsFromArray(secondObjects);
    QList<QRectF> firstRequests, secondRequests;
    QObject::connect(first.drawing.get(), &VXDrawing::needsDisplayInRect, [&](const QRectF& r) { firstRequests.append(r); });
    QObject::connect(second.drawing.get(), &VXDrawing::needsDisplayInRect, [&](const QRectF& r) { secondRequests.append(r); });
    const auto area = [](const QList<VXDrawableObjectPtr>& objects) {
        QRectF covered;
        for (const VXDrawableObjectPtr& object : objects)
            covered |= object->bounds();
        return covered;
    };
    const QRectF firstBefore = area(firstObjects), secondBefore = area(secondObjects);
    shared->renderersOfClass<VXStroke>().first()->setWidth(6);
    ASSERT_EQ(firstRequests.size(), 1);
    ASSERT_EQ(secondRequests.size(), 1);
    EXPECT_TRUE(firstRequests[0].contains(firstBefore | area(firstObjects)));
    EXPECT_TRUE(secondRequests[0].contains(secondBefore | area(secondObjects)));
    EXPECT_FALSE(firstRequests[0].contains(secondBefore)) << "a drawing is asked for its own objects only";

    // A drawing's own batch open around it keeps the area until it closes.
    firstRequests.clear();
    {
        const VXDrawing::DisplayBatch batch(first.drawing.get());
        shared->renderersOfClass<VXStroke>().first()->setWidth(2);
        EXPECT_TRUE(firstRequests.isEmpty());
    }
    EXPECT_EQ(firstRequests.size(), 1);
    // A drawing that goes while its area is held is passed over.
    secondRequests.clear();
    {
        const VXDrawing::ThreadDisplayBatch batch;
        secondObjects.first()->setLocation({20, 20});
        second.layer.reset();
        second.drawing.reset();
    }
    EXPECT_TRUE(secondRequests.isEmpty());
}

TEST(DrawingRender, ImageShapesDrawTheirImageUnderTheStyle)
{
    Fixture f({100, 100});
    auto image = VXImageShape::imageShapeWithImageData(pngData(filledImage({4, 4}, Qt::green)));
    ASSERT_TRUE(image);
    image->setSize({50, 50});
    image->setLocation({50, 50});
    image->setStyle(strokeStyle(Qt::black, 4));
    f.layer->addObject(image);
    const QImage drawn = render(*f.drawing);
    EXPECT_TRUE(near(pixel(drawn, 50, 50), Qt::green));
    EXPECT_TRUE(near(pixel(drawn, 25, 50), Qt::black));
    image->setImageOpacity(0);
    EXPECT_TRUE(near(pixel(render(*f.drawing), 50, 50), Qt::white));
    EXPECT_EQ(VXImageShape::imageShapeWithImageData(QByteArray("not an image")), nullptr);
}
