// The library manager on a user library of 5,000 items (two thirds styles, one third symbols,
// in 8 categories): the time from making the manager to its first screen painted with the
// library chosen, and the time of each keystroke of a search typed and erased again (the item
// list filtered, sorted and handed to the browser).
#include "support/BenchSupport.h"
#include "support/BigLibrary.h"

#include "library/manager/VXQLibraryManagerWindowController.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

constexpr int kCategories = 8;

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    QTemporaryDir place;
    VXQLibrary* big = benchscene::openBigLibrary(place, kCategories);
    if (!big)
        return 1;

    const double openSeconds = bench::medianSeconds(5, [&] {
        VXQLibraryManagerWindowController manager;
        QWidget* window = manager.window();
        manager.selectLibrary(big);
        window->show();
        benchscene::paintWindow(window);
    });

    std::vector<double> keystrokes;
    {
        VXQLibraryManagerWindowController manager;
        QWidget* window = manager.window();
        manager.selectLibrary(big);
        window->show();
        benchscene::paintWindow(window);
        const QString typed = QStringLiteral("road style 12");
        for (int round = 0; round < 3; ++round) {
            benchscene::typeAndErase(manager.searchField(), window, typed, keystrokes);
        }
    }
    // Libraries go while the application still exists.
    VXQLibraryCatalogue::applicationWillQuit();
    bench::printValue(QStringLiteral("library_manager_open_5000"), openSeconds, "s", 0.3);
    bench::printValue(QStringLiteral("library_filter_5000"), bench::percentile(keystrokes, 0.95) * 1000.0, "ms", 50);
    return 0;
}
