#include "RulerWindowForTesting.h"

#include "furniture/ruler/VXQRuler.h"
#include "mapscale/VXQMapScale.h"
#include "platform/measurement/ZQMeasurement.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/CursorStack.h"
#include "support/PaintRecorder.h"

#include <QApplication>

using rulertest::RulerWindow;

TEST(RulerTool, KeyMShowsTheRulerWhichTheDocumentMadeAndMarksFromItsGrid)
{
    RulerWindow w;
    ASSERT_NE(VXQMeasureTool::rulerOfDocument(w.document.get()), nullptr);
    EXPECT_EQ(w.ruler().delegate(), w.document.get());
    ASSERT_TRUE(w.document->mapGrid());
    const double division = w.document->mapGrid()->divisionDistance();
    VXQRuler expected;
    expected.setMarksDistanceStepUpRatioStepDownRatio(division, 10, 5);
    EXPECT_DOUBLE_EQ(w.ruler().markDistance(), expected.markDistance());
    EXPECT_EQ(w.ruler().stepUpRatio(), 10);
    EXPECT_EQ(w.ruler().stepDownRatio(), 5);

    EXPECT_FALSE(w.document->rulerVisible());
    QTest::keyClick(w.view, Qt::Key_M);
    EXPECT_EQ(w.view->toolController()->drawingTool()->registeredName(), kVXQMeasureToolName);
    EXPECT_TRUE(w.document->rulerVisible());
    EXPECT_EQ(w.cursor(), Qt::CrossCursor);
    w.view->toolController()->setDrawingTool(nullptr);
    EXPECT_FALSE(w.document->rulerVisible());
}

TEST(RulerTool, DragsMakeMoveAndStretchTheRulerWithoutUndoSteps)
{
    RulerWindow w;
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    w.document->undoManager()->removeAllActions();

    // Off the ruler: a new one from the press to the release.
    w.drag({100, 100}, {300, 100});
    EXPECT_EQ(w.ruler().startPoint(), w.at({100, 100}));
    EXPECT_EQ(w.ruler().endPoint(), w.at({300, 100}));
    const double length = w.ruler().length();
    // Drawn in the view, labelled by the document.
    w.view->viewport()->grab();
    EXPECT_EQ(w.ruler().annotation().string(), w.document->distanceLabelForLength(length));
    EXPECT_FALSE(w.ruler().annotation().string().isEmpty());

    // The right end alone.
    w.drag({304, 110}, {354, 110});
    EXPECT_EQ(w.ruler().startPoint(), w.at({100, 100}));
    EXPECT_NEAR(w.ruler().endPoint().x() - w.at({300, 100}).x(), 50, 1e-9);
    // The body: both ends.
    w.drag({200, 110}, {200, 160});
    EXPECT_NEAR(w.ruler().startPoint().y() - w.at({100, 100}).y(), 50, 1e-9);
    EXPECT_NEAR(w.ruler().endPoint().y() - w.at({100, 100}).y(), 50, 1e-9);
    EXPECT_NEAR(w.ruler().length(), length + 50, 1e-9);
    EXPECT_FALSE(w.document->undoManager()->canUndo());
    EXPECT_FALSE(w.document->isDocumentEdited());
}

TEST(RulerTool, TheLabelIsInTheDisplayUnitsAndSaysWhenItMeasuresPaper)
{
    RulerWindow w;
    // 1:5,000: a centimetre of paper stands for 50 m.
    w.document->setMapScale(VXQMapScale::makeWithReferenceMeasurementRepresentedMeasurement(
        ZQMeasurement::make(1, ZQUnitLength::centimeters()), ZQMeasurement::make(50, ZQUnitLength::meters())));
    const double points = 9.21 * 72 / 2.54;
    const QString paper = w.document->drawing()->formattedConvertedLength(points);
    EXPECT_EQ(w.document->distanceLabelForLength(points), paper + QStringLiteral(" on paper"));
    w.document->setUnitDisplayOption(ZQQuorvaneDocument::kPointsDisplayOption);
    EXPECT_EQ(w.document->distanceLabelForLength(points), QStringLiteral("261.07 pt"));
    w.document->setUnitDisplayOption(ZQQuorvaneDocument::kMapUnitsDisplayOption);
    EXPECT_EQ(w.document->distanceLabelForLength(points), QStringLiteral("460.50 m"));

    // The ruler drawn shows it.
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    w.drag({100, 100}, {100 + points, 100});
    w.view->viewport()->grab();
    EXPECT_EQ(w.ruler().annotation().string(), w.document->distanceLabelForLength(w.ruler().length()));
    EXPECT_TRUE(w.ruler().annotation().string().endsWith(QStringLiteral(" m")));
}

TEST(RulerTool, HoverCursorsShowWhatAPressWouldDoAndComeBack)
{
    RulerWindow w;
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    w.drag({100, 100}, {300, 100});
    w.move({200, 110});
    EXPECT_EQ(w.cursor(), Qt::OpenHandCursor);
    w.move({304, 110});
    EXPECT_EQ(w.cursor(), Qt::SizeHorCursor);
    w.move({200, 300});
    EXPECT_EQ(w.cursor(), Qt::CrossCursor);
    // The body taken shows the closed hand until the release.
    w.move({200, 110});
    w.press({200, 110});
    w.move({210, 120});
    EXPECT_EQ(w.cursor(), Qt::ClosedHandCursor);
    w.release({210, 120});
    EXPECT_EQ(w.cursor(), Qt::CrossCursor);
    // Leaving the tool while hovering leaves no hover cursor behind.
    w.move({304, 120});
    w.view->toolController()->setDrawingTool(nullptr);
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    w.move({200, 400});
    EXPECT_EQ(w.cursor(), Qt::CrossCursor);
}

TEST(RulerTool, LeavingTheToolOverAnOverlaidViewPutsBackItsCursorOnly)
{
    RulerWindow w;
    // The repositioning overlay covers the view as the view's first child.
    auto* overlay = new QWidget(w.view->viewport());
    overlay->setCursor(Qt::PointingHandCursor);
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    w.drag({100, 100}, {300, 100});
    w.move({304, 110});
    EXPECT_EQ(w.cursor(), Qt::SizeHorCursor);
    w.view->toolController()->setDrawingTool(nullptr);
    EXPECT_EQ(platform::CursorStack::depth(w.view->viewport()), 0);
    EXPECT_EQ(overlay->cursor().shape(), Qt::PointingHandCursor);
}

TEST(RulerTool, ADragRedrawsOnlyTheOldAndNewBounds)
{
    RulerWindow w;
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    w.drag({100, 100}, {200, 100});
    QApplication::sendPostedEvents();
    const QRectF before = w.ruler().bounds();

    testsupport::PaintRecorder recorder;
    w.press({150, 110});
    QApplication::sendPostedEvents();
    recorder.watch(w.view->viewport());
    w.move({150, 310});
    QApplication::sendPostedEvents();
    recorder.stopWatching(w.view->viewport());
    w.release({150, 310});
    const QRectF after = w.ruler().bounds();

    EXPECT_TRUE(recorder.painted.contains(w.view->convertRectFromDrawing(before).toAlignedRect()));
    EXPECT_TRUE(recorder.painted.contains(w.view->convertRectFromDrawing(after).toAlignedRect()));
    EXPECT_FALSE(recorder.painted.contains(w.pixel({150, 210}))); // between them
    EXPECT_FALSE(recorder.painted.contains(w.pixel({400, 110})));
}

TEST(RulerTool, OutputNeverShowsTheRuler)
{
    RulerWindow w;
    w.view->toolController()->selectDrawingToolByName(kVXQMeasureToolName);
    w.drag({100, 100}, {300, 100});
    ASSERT_TRUE(w.document->rulerVisible());
    const QPointF middle = (w.ruler().startPoint() + w.ruler().endPoint()) / 2 + QPointF(0, 10);
    // On screen the body covers the paper...
    const QImage shown = w.view->viewport()->grab().toImage();
    EXPECT_NE(shown.pixelColor(w.pixel(middle)), QColor(Qt::white));

    // ... but images and PDF show the drawing alone, as with the ruler hidden.
    const VXDrawing& drawing = *w.document->drawing();
    const QRectF area(middle - QPointF(50, 50), QSizeF(100, 100));
    const QImage image = platform::DrawingRenderer::imageOfDrawing(drawing, area, {100, 100}, Qt::white);
    EXPECT_EQ(image.pixelColor(50, 50), QColor(Qt::white));
    const QByteArray visible = platform::DrawingRenderer::pdfOfDrawingRect(drawing, drawing.bounds());
    w.document->setRulerVisible(false);
    const QByteArray hidden = platform::DrawingRenderer::pdfOfDrawingRect(drawing, drawing.bounds());
    // Equal but for the creation time, which keeps its length.
    EXPECT_EQ(visible.size(), hidden.size());
}
