// The 225 x 225 colour picker at device pixel ratio 2, shown in a window: 300 drag moves round
// the wheel, 300 across the swatches and 100 brightness steps of the scroll wheel. Each is
// handled from its event and its dirty area painted through the window's backing store at
// once. Reports the 95th percentile of the times per move, the worst of the three; the wheel
// image must not be recomputed during the moves.

#include "support/BenchSupport.h"
#include "widgets/colour/ColourWheel.h"
#include "widgets/colour/ZQColourPickerView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>
#include <numbers>

namespace {

constexpr int kMoves = 300;
constexpr int kScrollSteps = 100;

void send(QWidget& view, QEvent::Type type, QPointF at)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

void paintNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

std::vector<double> drag(ZQColourPickerView& view, const std::function<QPointF(int)>& path)
{
    std::vector<double> times;
    send(view, QEvent::MouseButtonPress, path(0));
    paintNow();
    for (int step = 1; step <= kMoves; ++step) {
        const QPointF at = path(step);
        times.push_back(bench::secondsOf([&] {
            send(view, QEvent::MouseMove, at);
            paintNow();
        }));
    }
    send(view, QEvent::MouseButtonRelease, path(kMoves));
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    ZQColourPickerView view;
    view.setShowsInfo(false);
    view.setAction("noSuchAction"); // nobody answers: the moves measure the picker alone
    view.show();
    QCoreApplication::processEvents();
    paintNow();
    const int imagesBefore = ColourWheel::imagesComputed();

    const QPointF centre(112.5, 112.5);
    const std::vector<double> wheel = drag(view, [&](int step) {
        const double angle = 2 * std::numbers::pi * step / kMoves;
        const double reach = 20 + 80 * (step % 50) / 50.0;
        return centre + reach * QPointF(std::cos(angle), std::sin(angle));
    });

    std::vector<double> scroll;
    for (int step = 0; step < kScrollSteps; ++step) {
        const int delta = step < kScrollSteps / 2 ? 120 : -120;
        QWheelEvent event(centre, view.mapToGlobal(centre), QPoint(), QPoint(0, delta * 10), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        scroll.push_back(bench::secondsOf([&] {
            QApplication::sendEvent(&view, &event);
            paintNow();
        }));
    }

    view.setMode(ZQColourPickerView::SwatchMode);
    paintNow();
    const std::vector<double> swatches = drag(view, [](int step) {
        return QPointF(2 + (step * 37) % 221, 2 + (step * 13) % 221);
    });

    const double worst = std::max({bench::percentile(wheel, 0.95), bench::percentile(swatches, 0.95),
                                   bench::percentile(scroll, 0.95)});
    std::fprintf(stderr, "device pixel ratio %.1f, wheel images computed during the moves: %d\n",
                 view.devicePixelRatioF(), ColourWheel::imagesComputed() - imagesBefore);
    bench::printValue(QStringLiteral("colour_picker_drag"), worst * 1000, "ms", 16);
    return ColourWheel::imagesComputed() == imagesBefore ? 0 : 1;
}
