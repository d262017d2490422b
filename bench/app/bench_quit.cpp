// Quitting with one empty map open: from the Quit command to the end of the process, the
// application's teardown and the process exit included. Each run is a child process (this
// program with "--child") launched as the executable launches; it prints the monotonic
// clock when it sends Quit, and the parent reads the clock again once the child has gone.

#include "support/BenchSupport.h"

#include "app/application/VLTMAppDelegate.h"
#include "app/application/VLTMApplication.h"
#include "furniture/FurnitureClasses.h"
#include "furniture/scalebar/pane/ScaleBarPaneHost.h"
#include "library/LibraryClasses.h"
#include "platform/ui/DocumentController.h"
#include "symbols/SymbolClasses.h"
#include "terrain/TerrainClasses.h"

#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <time.h>

namespace {

constexpr int kRuns = 7;

qint64 monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The executable's launch, then Quit once the untitled map's window is up.
int runChild(int argc, char** argv)
{
    VLTMApplication app(argc, argv);
    registerSymbolClasses();
    registerFurnitureClasses();
    registerTerrainClasses();
    registerLibraryClasses();
    VLTMAppDelegate delegate;
    platform::Application::setDelegate(&delegate);
    const ScaleBarPaneHost scaleBarPanes;
    if (!delegate.applicationWillFinishLaunching())
        return 1;
    delegate.applicationDidFinishLaunching();
    delegate.applicationOpenUntitledFile();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &VLTMAppDelegate::applicationWillTerminate);
    QTimer::singleShot(200, &delegate, [&delegate] {
        std::printf("quit %lld\n", static_cast<long long>(monotonicNanoseconds()));
        std::fflush(stdout);
        delegate.terminate(nullptr);
    });
    return app.exec();
}

double secondsToQuit(const QString& program)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(program, {QStringLiteral("--child")});
    if (!child.waitForFinished(120000))
        return -1;
    const qint64 finished = monotonicNanoseconds();
    const QByteArray output = child.readAllStandardOutput();
    const qsizetype at = output.indexOf("quit ");
    if (child.exitCode() != 0 || at < 0)
        return -1;
    const qint64 quit = output.mid(at + 5).trimmed().split('\n').first().toLongLong();
    return double(finished - quit) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const double seconds = secondsToQuit(QCoreApplication::applicationFilePath());
        if (seconds < 0) {
            std::fprintf(stderr, "the child did not quit cleanly\n");
            return 1;
        }
        times.push_back(seconds);
    }
    bench::printValue(QStringLiteral("quit_one_empty_map"), bench::median(times), "s", 0.3);
    return 0;
}
