// The library manager on a user library of 20,000 items, every one selected: the time of one
// keystroke in the search field (the list narrowed, the selection of what still matches kept,
// the browser repainted), typed and erased letter by letter.
#include "support/BenchSupport.h"
#include "support/BigLibrary.h"

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/manager/VXQLibraryManagerWindowController.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

constexpr int kItems = 20000;

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    QTemporaryDir place;
    VXQLibrary* big = benchscene::openBigLibrary(place, 0, {}, kItems);
    if (!big)
        return 1;

    std::vector<double> keystrokes;
    {
        VXQLibraryManagerWindowController manager;
        QWidget* window = manager.window();
        manager.selectLibrary(big);
        window->show();
        benchscene::paintWindow(window);
        const QString typed = QStringLiteral("style 1");
        for (int round = 0; round < 3; ++round) {
            // Everything chosen before each round: the selection is what the keystrokes keep.
            manager.searchField()->setText({});
            JXIndexSet all;
            for (qint64 index = 0; index < kItems; ++index)
                all.insert(all.end(), index);
            manager.itemBrowser()->selectItemsAtIndexes(all);
            benchscene::paintWindow(window);
            benchscene::typeAndErase(manager.searchField(), window, typed, keystrokes);
        }
    }
    VXQLibraryCatalogue::applicationWillQuit();
    bench::printValue(QStringLiteral("library_search_typing_20000"), bench::median(keystrokes) * 1000.0, "ms", 50);
    std::printf("(slowest keystroke %.1f ms, p95 %.1f ms)\n", bench::percentile(keystrokes, 1.0) * 1000.0,
                bench::percentile(keystrokes, 0.95) * 1000.0);
    return 0;
}
