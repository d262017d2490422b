// Laying out one paragraph of unbroken characters (no spaces) in a box 200 points wide and
// at its natural width, the same length in words, and importing an SVG <text> of the
// unbroken characters, at growing lengths. A linear layout keeps the time per character flat
// as the line grows.

#include "support/BenchSupport.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/svg/VXSVGImporter.h"

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

double importSeconds(const QString& text)
{
    const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"400\" height=\"100\"><text x=\"10\" y=\"50\">"
                           + text.toUtf8() + "</text></svg>";
    return bench::medianSeconds(kRuns, [&] {
        const auto imported = VXSVGImporter::importData(svg, QString());
        bench::keep(imported);
    });
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();
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
        const double imported = importSeconds(unbroken);
        if (kib == 16)
            shortest = boxed;
        std::printf("%5d KiB: unbroken in a box %.3f s, at natural width %.3f s; in words %.3f s; SVG import %.3f s\n",
                    kib, boxed, natural, inWords, imported);
        bench::printValue(QStringLiteral("svg_text_unbroken_%1KiB_import").arg(kib), imported, "s", 0.5 * kib / 256.0);
        bench::printValue(QStringLiteral("text_unbroken_%1KiB_box").arg(kib), boxed, "s", 0.5 * kib / 256.0);
        bench::printValue(QStringLiteral("text_unbroken_%1KiB_per_16KiB").arg(kib), boxed / shortest * 16 / kib, "ratio", 2);
    }
    return 0;
}
