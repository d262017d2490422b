// Importing an SVG file of 250 MiB that is one <text>, and one that is one <image> with a
// data: URI, as a user might open them. Each is refused or read with a reason; the time and
// the peak memory are reported. Run it under an address-space limit (prlimit --as=2000000000)
// to see that neither needs more. Argument: "text" or "data" (default both, one after the other).

#include "support/BenchSupport.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "platform/vantrix/svg/VXSVGImporter.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr qint64 kFileSize = 250LL << 20;

QString writeFile(const QTemporaryDir& folder, const QByteArray& head, char filler, const QByteArray& tail)
{
    const QString path = folder.filePath(QStringLiteral("huge.svg"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(head);
    const QByteArray block(1 << 20, filler);
    for (qint64 written = head.size() + tail.size(); written < kFileSize; written += block.size())
        file.write(block.left(qsizetype(std::min<qint64>(block.size(), kFileSize - written))));
    file.write(tail);
    return path;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

void importCase(const char* name, const QByteArray& head, char filler, const QByteArray& tail)
{
    const QTemporaryDir folder;
    const QString path = writeFile(folder, head, filler, tail);
    QuorvaneError error;
    std::optional<VXSVGImporter::Result> result;
    const double seconds = bench::secondsOf([&] { result = VXSVGImporter::importFile(path, &error); });
    std::printf("%s: %s in %.2f s, peak resident %.0f MB\n", name,
                result ? qPrintable(QStringLiteral("read, %1 objects").arg(result->objects.size()))
                       : qPrintable(QStringLiteral("refused: ") + error.localizedDescription()),
                seconds, peakMegabytes());
    bench::printValue(QStringLiteral("svg_250MiB_%1_import").arg(QLatin1String(name)), seconds, "s", 60);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();
    const QByteArray which = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"400\" height=\"100\">";
    if (which.isEmpty() || which == "text")
        importCase("text", svg + "<text x=\"10\" y=\"50\">", 'x', "</text></svg>");
    if (which.isEmpty() || which == "data")
        importCase("data", svg + "<image width=\"10\" height=\"10\" href=\"data:image/png;base64,", 'A',
                   "\"/></svg>");
    return 0;
}
