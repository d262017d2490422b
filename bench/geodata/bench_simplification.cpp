// Douglas-Peucker on 1,000,000-point polylines with tolerances that keep about a tenth of
// the points: a random walk (a coastline-like line), and a smooth curve inside a band of
// noise as wide as the tolerance, which makes the splits least balanced.

#include "support/BenchSupport.h"

#include "geodata/PathSimplification.h"

#include <QCoreApplication>
#include <cmath>

namespace {

constexpr int kPoints = 1'000'000;

class Noise {
public:
    // Uniform in [-0.5, 0.5).
    double next() { return double((m_state = m_state * 6364136223846793005ull + 1) >> 40) / double(1 << 24) - 0.5; }

private:
    quint64 m_state = 7;
};

QPainterPath randomWalk()
{
    Noise noise;
    QPainterPath line(QPointF(0, 0));
    line.reserve(kPoints);
    double y = 0;
    for (int i = 1; i < kPoints; ++i)
        line.lineTo(i * 0.1, y += noise.next());
    return line;
}

QPainterPath noisyCurve()
{
    Noise noise;
    QPainterPath line(QPointF(0, 0));
    line.reserve(kPoints);
    for (int i = 1; i < kPoints; ++i) {
        const double x = i * 0.1;
        line.lineTo(x, 200 * std::sin(x / 300) + 30 * std::sin(x / 17) + noise.next());
    }
    return line;
}

void measure(const QString& name, const QPainterPath& line, double tolerance)
{
    int kept = 0;
    std::vector<double> times;
    for (int run = 0; run < 7; ++run)
        times.push_back(bench::secondsOf([&] {
            kept = geodata::simplifyUsingDouglasPeuckerWithAmount(line, tolerance).elementCount();
        }));
    std::printf("%s: kept %d of %d points (%.1f %%)\n", qPrintable(name), kept, kPoints, 100.0 * kept / kPoints);
    bench::printValue(name, bench::median(times) * 1000, "ms", 100);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    measure(QStringLiteral("douglas_peucker_1000000_point_random_walk"), randomWalk(), 0.6);
    measure(QStringLiteral("douglas_peucker_1000000_point_noisy_curve"), noisyCurve(), 0.5);
    return 0;
}
