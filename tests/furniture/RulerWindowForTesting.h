#pragma once

// A map document shown in its window, its view at actual size with the drawing's origin at the
// view's top left, and the measure tool registered; mouse helpers work in drawing coordinates.

#include "app/document/MapDocumentWindowController.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "furniture/ruler/VXQMeasureTool.h"
#include "furniture/ruler/VXQRuler.h"
#include "platform/vantrix/tools/ToolRegistryScope.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QTest>
#include <gtest/gtest.h>

namespace rulertest {

struct RulerWindow {
    const testsupport::ToolRegistryScope restoreTools;
    std::shared_ptr<ZQTrueQuorvaneDocument> document = std::make_shared<ZQTrueQuorvaneDocument>();
    VXDrawingView* view = nullptr;

    RulerWindow()
    {
        registerMeasureTool(VXToolRegistry::sharedToolRegistry());
        QuorvaneError error;
        EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
        document->makeWindowControllers();
        QWidget* window = document->mapWindowController()->window();
        window->show();
        view = document->mainView();
        view->setScale(1.0);
        view->scrollDrawingPointToViewportPoint({0, 0}, {0, 0});
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    ~RulerWindow() { document->close(); }

    VXQRuler& ruler() const { return *VXQMeasureTool::rulerOfDocument(document.get()); }
    // The pixel nearest the drawing point, and the drawing point it stands for.
    QPoint pixel(QPointF p) const { return view->convertPointFromDrawing(p).toPoint(); }
    QPointF at(QPointF p) const { return view->convertPointToDrawing(pixel(p)); }

    void press(QPointF p) { QTest::mousePress(view->viewport(), Qt::LeftButton, {}, pixel(p)); }
    void move(QPointF p) { QTest::mouseMove(view->viewport(), pixel(p)); }
    void release(QPointF p) { QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, pixel(p)); }
    void drag(QPointF from, QPointF to)
    {
        press(from);
        move((from + to) / 2);
        move(to);
        release(to);
    }
    // As the system delivers one: press, release, double-click, release.
    void doubleClick(QPointF p)
    {
        press(p);
        release(p);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, pixel(p));
        release(p);
    }
    Qt::CursorShape cursor() const { return view->viewport()->cursor().shape(); }
};

} // namespace rulertest
