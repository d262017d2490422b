// A 480 x 320 host at device pixel ratio 2 holding a slider, a dial and two radial controls
// (shadows on) in one cluster, over a gradient of its own: 300 drag steps on the dial's knob
// and 300 on a radial control's tab. Each step is routed from a mouse event through the host,
// sets the value, repaints the dirty rectangles through the window's backing store and moves
// the info floater. Reports the 95th percentile of the step times.

#include "support/BenchSupport.h"
#include "widgets/minicontrols/ZQMiniControlHost.h"
#include "widgets/minicontrols/ZQMiniRadialControl2.h"
#include "widgets/minicontrols/ZQMiniSlider.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cmath>
#include <numbers>

namespace {

constexpr int kSteps = 300;

class HostView : public QWidget {
public:
    HostView()
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        resize(480, 320);
        auto cluster = std::make_shared<ZQMiniControlCluster>();
        host = new ZQMiniControlHost(this, cluster);
        makeMiniControl<ZQMiniSlider>(cluster.get(), QRectF(20, 280, 200, 20));
        dial = makeMiniControl<ZQMiniCircularSlider>(cluster.get(), QRectF(20, 20, 120, 120)).get();
        first = makeMiniControl<ZQMiniRadialControl2>(cluster.get(), QRectF(160, 20, 300, 280)).get();
        first->setBounds(QRectF(160, 20, 300, 280));
        first->setRadius(40);
        auto second = makeMiniControl<ZQMiniRadialControl2>(cluster.get(), QRectF(160, 20, 300, 280));
        second->setCentre(QPointF(380, 220));
    }

    ZQMiniControlHost* host = nullptr;
    ZQMiniCircularSlider* dial = nullptr;
    ZQMiniRadialControl2* first = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.setClipRegion(event->region());
        QLinearGradient background(0, 0, 480, 320);
        background.setColorAt(0, QColor(40, 90, 200));
        background.setColorAt(1, QColor(240, 180, 60));
        painter.fillRect(rect(), background);
        host->draw(painter);
    }
};

void send(QWidget& view, QEvent::Type type, QPointF at)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// Presses at `start`, drags along `path` for kSteps steps, releases; the step times.
std::vector<double> drag(HostView& view, QPointF start, const std::function<QPointF(int)>& path)
{
    std::vector<double> steps;
    send(view, QEvent::MouseButtonPress, start);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    for (int step = 0; step < kSteps; ++step) {
        const QPointF at = path(step);
        steps.push_back(bench::secondsOf([&] {
            send(view, QEvent::MouseMove, at);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        }));
    }
    send(view, QEvent::MouseButtonRelease, path(kSteps - 1));
    return steps;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HostView view;
    view.show();
    QCoreApplication::processEvents();

    const QPointF dialCentre = view.dial->circleBounds().center();
    const double dialRadius = view.dial->circleBounds().width() / 2;
    std::vector<double> times = drag(view, view.dial->knobRect().center(), [&](int step) {
        const double angle = 2 * std::numbers::pi * step / kSteps;
        return dialCentre + dialRadius * QPointF(std::cos(angle), std::sin(angle));
    });
    const QPointF radialCentre = view.first->centre();
    const std::vector<double> tab = drag(view, view.first->tabPath().boundingRect().center(), [&](int step) {
        const double angle = -std::numbers::pi / 4 + std::numbers::pi / 2 * step / kSteps;
        return radialCentre + 70 * QPointF(std::cos(angle), std::sin(angle));
    });
    times.insert(times.end(), tab.begin(), tab.end());
    std::fprintf(stderr, "device pixel ratio %.1f, final radius %.1f\n", view.devicePixelRatioF(), view.first->radius());
    bench::printValue(QStringLiteral("minicontrols_drag"), bench::percentile(times, 0.95) * 1000, "ms", 8);
    return 0;
}
