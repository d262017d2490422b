#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/render/DrawingRenderer.h"

#include <QPainter>

using viewtest::ViewFixture;

TEST(ViewOverlay, DrawsOnScreenOnlyAndGoesWithItsOwner)
{
    ViewFixture f({200, 200}, {400, 400});
    const QRectF square(40, 40, 20, 20);
    auto owner = std::make_unique<QObject>();
    QList<bool> onScreen;
    QList<bool> neededSquare;
    f.view.setOverlay(owner.get(), [&](QPainter& painter, const QRectF&) {
        painter.fillRect(square, Qt::blue);
        onScreen.append(platform::GraphicsContext::current()->isDrawingToScreen());
        neededSquare.append(f.view.needsToDrawRect(square));
    });
    const auto shownAt = [&](QPointF p) {
        return f.view.viewport()->grab().toImage().pixelColor(f.view.convertPointFromDrawing(p).toPoint());
    };
    EXPECT_TRUE(drawingtest::near(shownAt({50, 50}), Qt::blue));
    ASSERT_FALSE(onScreen.isEmpty());
    EXPECT_TRUE(onScreen.last());
    EXPECT_TRUE(neededSquare.last());
    EXPECT_FALSE(f.view.needsToDrawRect(square)); // not painting now

    // Output never shows it.
    const QImage image = platform::DrawingRenderer::imageOfDrawing(*f.drawing, {0, 0, 200, 200}, {200, 200}, Qt::white);
    EXPECT_TRUE(drawingtest::near(image.pixelColor(50, 50), Qt::white));

    // A second overlay of the same owner replaces the first; the owner's end removes it.
    f.view.setOverlay(owner.get(), [&](QPainter& painter, const QRectF&) { painter.fillRect(square, Qt::green); });
    EXPECT_TRUE(drawingtest::near(shownAt({50, 50}), Qt::green));
    owner.reset();
    f.view.viewport()->update();
    EXPECT_TRUE(drawingtest::near(shownAt({50, 50}), Qt::white));
}

TEST(ViewOverlay, ContextsKnowWhetherTheyPaintTheScreen)
{
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    platform::GraphicsContext::Scope scope(&painter);
    EXPECT_FALSE(scope.context().isDrawingToScreen());
}
