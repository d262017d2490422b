#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/ui/ZQInfoFloater.h"
#include "platform/vantrix/model/VXLayerMouseEvent.h"

#include <QApplication>
#include <QMouseEvent>

using viewtest::ViewFixture;

namespace {

// A layer that takes the mouse and logs what it is handed.
struct MouseLayer : VXLayer {
    QStringList events;
    bool wants = true;

    bool wantsMouseEvents() const override { return wants; }
    QCursor cursor() const override { return Qt::CrossCursor; }
    void log(const char* what, const VXLayerMouseEvent& event)
    {
        events << QStringLiteral("%1 %2,%3 x%4%5")
                      .arg(QLatin1String(what))
                      .arg(event.point.x())
                      .arg(event.point.y())
                      .arg(event.clickCount)
                      .arg(event.optionKeyDown() ? " option" : "");
    }
    void mouseDownInView(const VXLayerMouseEvent& e, VXDrawingView*) override { log("down", e); }
    void mouseDraggedInView(const VXLayerMouseEvent& e, VXDrawingView*) override { log("dragged", e); }
    void mouseUpInView(const VXLayerMouseEvent& e, VXDrawingView*) override { log("up", e); }
    void mouseMovedInView(const VXLayerMouseEvent& e, VXDrawingView*) override { log("moved", e); }
};

struct LayerMouseFixture : ViewFixture {
    std::shared_ptr<MouseLayer> mouseLayer = std::make_shared<MouseLayer>();
    VXDrawableObjectPtr square = VXDrawableShape::drawableShapeWithRect({10, 10, 30, 30}, drawingtest::fillStyle(Qt::red));

    LayerMouseFixture()
    {
        layer->addObject(square);
        drawing->addLayer(mouseLayer);
        drawing->setActiveLayer(mouseLayer.get());
        forgetEdits();
    }
};

} // namespace

TEST(LayerMouse, AnActiveLayerThatWantsTheMouseGetsTheSelectionToolsGesturesWithClicksAndModifiers)
{
    LayerMouseFixture f;
    f.move({50, 60});
    f.press({20, 20});
    f.move({30, 25});
    f.release({30, 25}, Qt::AltModifier);
    const QPointF pixel = f.at({12, 14});
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, pixel, f.view.viewport()->mapToGlobal(pixel), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.view.viewport(), &doubleClick);
    QMouseEvent release(QEvent::MouseButtonRelease, pixel, f.view.viewport()->mapToGlobal(pixel), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.view.viewport(), &release);
    EXPECT_EQ(f.mouseLayer->events, QStringList({"moved 50,60 x1", "down 20,20 x1", "dragged 30,25 x1",
                                                 "up 30,25 x1 option", "down 12,14 x2", "up 12,14 x1"}));
    EXPECT_EQ(f.view.viewport()->cursor().shape(), Qt::CrossCursor);
    // The object under the pointer on the other layer was never selected, and nothing was recorded.
    EXPECT_TRUE(f.layer->selection().isEmpty());
    EXPECT_FALSE(f.undo->canUndo());
}

TEST(LayerMouse, TheToolKeepsTheMouseForOtherToolsLockedLayersAndLayersThatDoNotWantIt)
{
    LayerMouseFixture f;
    f.mouseLayer->setLocked(true);
    f.click({20, 20});
    f.mouseLayer->setLocked(false);
    f.mouseLayer->wants = false;
    f.click({20, 20});
    f.mouseLayer->wants = true;
    f.useTool(QStringLiteral("Rectangle"));
    f.click({20, 20});
    EXPECT_TRUE(f.mouseLayer->events.isEmpty());
}

TEST(LayerMouse, TheInfoWindowShowsItsTextBesideThePointInTheHandlingViewUntilHidden)
{
    LayerMouseFixture f;
    struct ReadoutLayer : MouseLayer {
        void mouseDownInView(const VXLayerMouseEvent& e, VXDrawingView*) override
        {
            showInfoWindowWithStringAtPoint(QStringLiteral("h: 3.50 m"), e.point);
        }
        void mouseUpInView(const VXLayerMouseEvent&, VXDrawingView*) override { hideInfoWindow(); }
    };
    auto readout = std::make_shared<ReadoutLayer>();
    f.drawing->addLayer(readout);
    f.drawing->setActiveLayer(readout.get());
    EXPECT_EQ(readout->infoWindow(), nullptr);
    f.press({50, 40});
    ASSERT_NE(readout->infoWindow(), nullptr);
    EXPECT_TRUE(readout->infoWindow()->isVisible());
    EXPECT_EQ(readout->infoWindow()->stringValue(), QStringLiteral("h: 3.50 m"));
    const QPoint expected = f.view.viewport()->mapToGlobal(f.at({50, 40})) + ZQInfoFloater::kDefaultWindowOffset;
    EXPECT_EQ(readout->infoWindow()->pos(), expected);
    f.release({50, 40});
    EXPECT_FALSE(readout->infoWindow()->isVisible());
}
