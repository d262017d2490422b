// The library manager on a user library of 5,000 items (two thirds styles, one third symbols,
// in 8 categories): the time from making the manager to its first screen painted with the
// library chosen, and the time of each keystroke of a search typed and erased again (the item
// list filtered, sorted and handed to the browser).
#include "support/BenchSupport.h"

#include "library/LibraryClasses.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/manager/VXQLibraryManagerWindowController.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

namespace {

constexpr int kItems = 5000;
constexpr int kCategories = 8;

// The folder: an empty package per item (previews are asked for only by cells that show) and
// the category file.
void writeLibrary(const QString& folder)
{
    QDir().mkpath(folder);
    QVariantList allItems;
    for (int i = 0; i < kItems; ++i) {
        const QString name = QStringLiteral("%1 %2").arg(i % 3 == 0 ? QStringLiteral("Symbol") : QStringLiteral("Road Style")).arg(i);
        allItems.append(QVariantMap{{QStringLiteral("name"), name},
                                    {QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
                                    {QStringLiteral("cc"), i % 3 == 0 ? 2 : 1}});
        QDir().mkpath(folder + u'/' + name + QStringLiteral(".libitem"));
    }
    QVariantList categories;
    for (int c = 0; c < kCategories; ++c)
        categories.append(QVariantMap{{QStringLiteral("class"), QStringLiteral("VXQLibraryCategory")},
                                      {QStringLiteral("name"), QStringLiteral("Category %1").arg(c)},
                                      {QStringLiteral("items"), allItems.mid(c * (kItems / kCategories), kItems / kCategories)}});
    const QVariantMap file{{QStringLiteral("allitems"), allItems}, {QStringLiteral("categories"), categories},
                           {QStringLiteral("checksum"), quint64(kItems)}, {QStringLiteral("contX"), true},
                           {QStringLiteral("catX"), true}, {QStringLiteral("version"), 2}};
    platform::PropertyList::writeFile(file, folder + QStringLiteral("/Big.categories"), platform::PropertyList::Format::Binary);
}

void paint(QWidget* window)
{
    QApplication::processEvents();
    bench::keep(window->grab());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir place;
    QStandardPaths::setTestModeEnabled(true);
    platform::UserDefaults::setStorageLocationForTesting(place.filePath(QStringLiteral("defaults")));
    registerLibraryClasses();
    platform::Log::setSink([](LogEventKind, const QString&) {});
    VXQLibrary::setUserLibrariesFolder(place.filePath(QStringLiteral("user")));
    VXQLibrary::setFactoryLibrariesFolder(place.filePath(QStringLiteral("factory")));
    writeLibrary(place.filePath(QStringLiteral("user/Big.symlibrary")));
    VXQLibraryCatalogue::initialize();
    VXQLibrary* big = VXQLibraryCatalogue::libraryWithName(QStringLiteral("Big"));
    if (!big || big->itemCount() != kItems) {
        std::fprintf(stderr, "the library did not open with %d items\n", kItems);
        return 1;
    }

    const double openSeconds = bench::medianSeconds(5, [&] {
        VXQLibraryManagerWindowController manager;
        QWidget* window = manager.window();
        manager.selectLibrary(big);
        window->show();
        paint(window);
    });

    std::vector<double> keystrokes;
    {
        VXQLibraryManagerWindowController manager;
        QWidget* window = manager.window();
        manager.selectLibrary(big);
        window->show();
        paint(window);
        const QString typed = QStringLiteral("road style 12");
        for (int round = 0; round < 3; ++round) {
            for (qsizetype length = 1; length <= typed.size(); ++length)
                keystrokes.push_back(bench::secondsOf([&] {
                    manager.searchField()->setText(typed.left(length));
                    paint(window);
                }));
            for (qsizetype length = typed.size() - 1; length >= 0; --length)
                keystrokes.push_back(bench::secondsOf([&] {
                    manager.searchField()->setText(typed.left(length));
                    paint(window);
                }));
        }
    }
    // Libraries go while the application still exists.
    VXQLibraryCatalogue::applicationWillQuit();
    bench::printValue(QStringLiteral("library_manager_open_5000"), openSeconds, "s", 0.3);
    bench::printValue(QStringLiteral("library_filter_5000"), bench::percentile(keystrokes, 0.95) * 1000.0, "ms", 50);
    return 0;
}
