// Opens a library of 5,000 items in 40 categories (8, each with 4 sub-categories) from disk:
// the category file parsed and every item made unloaded, no "__data" read.
#include "support/BenchSupport.h"

#include "library/LibraryClasses.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/ZQLog.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QUuid>

namespace {

constexpr int kItems = 5000;
constexpr int kTopCategories = 8;
constexpr int kSubCategories = 4;

QVariantMap itemEntry(int index)
{
    return {{QStringLiteral("name"), QStringLiteral("Style %1").arg(index)},
            {QStringLiteral("id"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
            {QStringLiteral("cc"), 1 + index % 2}};
}

QVariantMap categoryEntry(const QString& name, const QVariantList& items)
{
    return {{QStringLiteral("class"), QStringLiteral("VXQLibraryCategory")}, {QStringLiteral("name"), name},
            {QStringLiteral("items"), items}, {QStringLiteral("readonly"), false},
            {QStringLiteral("deletable"), true}, {QStringLiteral("no_rename"), false}};
}

// The folder: one empty package per item (opening only looks at them) and the category file.
void writeLibrary(const QString& folder)
{
    QDir().mkpath(folder);
    QVariantList allItems;
    for (int i = 0; i < kItems; ++i) {
        allItems.append(itemEntry(i));
        QDir().mkpath(folder + QStringLiteral("/Style %1.libitem").arg(i));
    }
    QVariantList categories;
    const int perSub = kItems / (kTopCategories * kSubCategories);
    for (int top = 0; top < kTopCategories; ++top) {
        QVariantList subs;
        for (int sub = 0; sub < kSubCategories; ++sub) {
            const int first = (top * kSubCategories + sub) * perSub;
            subs.append(categoryEntry(QStringLiteral("Sub %1").arg(sub), allItems.mid(first, perSub)));
        }
        categories.append(categoryEntry(QStringLiteral("Category %1").arg(top), subs));
    }
    const QVariantMap file{{QStringLiteral("allitems"), allItems}, {QStringLiteral("categories"), categories},
                           {QStringLiteral("checksum"), quint64(kItems)}, {QStringLiteral("contX"), true},
                           {QStringLiteral("catX"), true}, {QStringLiteral("version"), 2}};
    platform::PropertyList::writeFile(file, folder + QStringLiteral("/Big.categories"), platform::PropertyList::Format::Binary);
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerLibraryClasses();
    platform::Log::setSink([](LogEventKind, const QString&) {});
    QTemporaryDir place;
    VXQLibrary::setUserLibrariesFolder(place.filePath(QStringLiteral("user")));
    VXQLibrary::setFactoryLibrariesFolder(place.filePath(QStringLiteral("factory")));
    const QString folder = place.filePath(QStringLiteral("user/Big.symlibrary"));
    writeLibrary(folder);

    qint64 items = 0;
    const double seconds = bench::medianSeconds(7, [&] {
        VXQLibraryPtr library = VXQLibrary::libraryWithPath(folder);
        items = library->itemCount();
        bench::keep(library);
    });
    if (items != kItems) {
        std::fprintf(stderr, "opened %lld items, not %d\n", static_cast<long long>(items), kItems);
        return 1;
    }
    bench::printValue(QStringLiteral("library_open_5000"), seconds * 1000.0, "ms", 150);
    return 0;
}
