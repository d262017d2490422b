// Laying out one paragraph of unbroken characters (no spaces) in a box 200 points wide and
// at its natural width, and the same length in words, at growing lengths. A linear layout
// keeps the time per character flat as the line grows.

#include "support/BenchSupport.h"

#include "platform/graphics/AttributedStringLayout.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

constexpr int kRuns = 3;

double layOutSeconds(const QString& text, double width)
{
    const platform::AttributedString string(text);
    return bench::medianSeconds(kRuns, [&] {
        const platform::AttributedStringLayout layout(string, width);
        bench::keep(layout.size());
    });
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    double shortest = 0;
    for (const int kib : {16, 64, 256, 1024}) {
        const qsizetype length = qsizetype(kib) * 1024;
        const QString unbroken(length, QLatin1Char('x'));
        QString words;
        while (words.size() < length)
            words += QStringLiteral("central park ");
        words.truncate(length);
        const double boxed = layOutSeconds(unbroken, 200);
        const double natural = layOutSeconds(unbroken, 0);
        const double inWords = layOutSeconds(words, 200);
        if (kib == 16)
            shortest = boxed;
        std::printf("%5d KiB: unbroken in a box %.3f s, at natural width %.3f s; in words %.3f s\n", kib, boxed,
                    natural, inWords);
        bench::printValue(QStringLiteral("text_unbroken_%1KiB_box").arg(kib), boxed, "s", 0.5 * kib / 256.0);
        bench::printValue(QStringLiteral("text_unbroken_%1KiB_per_16KiB").arg(kib), boxed / shortest * 16 / kib, "ratio", 2);
    }
    return 0;
}
