// Traces a 2,000 x 2,000 scan of dark ink on paper (antialiased strokes, discs and rings
// with sensor noise, so the image holds many near-duplicate colours) into 8 colour levels,
// and the same scan into 8 grey levels.

#include "platform/vantrix/tracing/ImageTracing.h"
#include "support/BenchSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kSide = 2000;
constexpr int kStrokes = 400;
constexpr int kDiscs = 150;
constexpr int kNoise = 12;

QImage scan()
{
    QImage image(kSide, kSide, QImage::Format_ARGB32);
    image.fill(QColor(246, 242, 232));
    QRandomGenerator random(2024);
    const auto anywhere = [&] { return QPointF(random.bounded(double(kSide)), random.bounded(double(kSide))); };
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor ink(28, 30, 40);
        for (int i = 0; i < kStrokes; ++i) {
            painter.setPen(QPen(ink, 2 + random.bounded(10.0), Qt::SolidLine, Qt::RoundCap));
            const QPointF start = anywhere();
            painter.drawLine(start, start + QPointF(random.bounded(400.0) - 200, random.bounded(400.0) - 200));
        }
        for (int i = 0; i < kDiscs; ++i) {
            const double radius = 5 + random.bounded(60.0);
            painter.setPen(i % 2 ? QPen(ink, 6) : Qt::NoPen);
            painter.setBrush(i % 2 ? QBrush() : QBrush(ink));
            painter.drawEllipse(anywhere(), radius, radius);
        }
    }
    for (int y = 0; y < kSide; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kSide; ++x) {
            const int n = random.bounded(2 * kNoise + 1) - kNoise;
            const auto channel = [n](int value) { return std::clamp(value + n, 0, 255); };
            line[x] = qRgb(channel(qRed(line[x])), channel(qGreen(line[x])), channel(qBlue(line[x])));
        }
    }
    return image;
}

double traceSeconds(const QImage& image, int colourMode, int* levelCount)
{
    QVariantMap parameters = platform::defaultTracingParameters();
    parameters.insert(kVXTracingParam_colourmode, colourMode);
    parameters.insert(kVXTracingParam_levels, 3); // 2^3 levels
    return bench::medianSeconds(3, [&] { *levelCount = int(tracedLevelsWithParameters(image, parameters).size()); });
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QImage image = scan();
    int colourLevels = 0;
    int greyLevels = 0;
    const double colour = traceSeconds(image, 0, &colourLevels);
    const double grey = traceSeconds(image, 1, &greyLevels);
    std::printf("colour levels traced: %d, grey levels traced: %d\n", colourLevels, greyLevels);
    bench::printValue("trace_2000x2000_8levels", colour, "s", 5);
    bench::printValue("trace_grey_2000x2000_8levels", grey, "s", 5);
    return 0;
}
