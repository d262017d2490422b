// Reads the files of a symbol library that come from disk: the input's first byte chooses the
// category file ("<name>.categories", even) or an item's "__info" (odd), the rest is its content.
// Loading must answer a library or leave it empty; nothing outside the library folder is read
// or written, what the library writes back reads again, and a category file that does not read
// is kept aside untouched.
#include "FuzzSupport.h"

#include "library/LibraryClasses.h"
#include "library/items/LibraryItemPackage.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/PropertyList.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

struct Place {
    QTemporaryDir root;
    QString userFolder() const { return root.filePath(QStringLiteral("user")); }
    QString libraryFolder() const { return userFolder() + QStringLiteral("/Fuzz.symlibrary"); }
    QString categoryFile() const { return libraryFolder() + QStringLiteral("/Fuzz.categories"); }
    QString infoFile() const { return libraryFolder() + QStringLiteral("/Road.libitem/__info"); }
    QByteArray goodCategories;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, QByteArrayView bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), bytes.size()) != bytes.size())
        qFatal("the scratch library could not be written");
}

Place& setUp()
{
    fuzz::startQuietApplication<QApplication>("fuzz_library_files");
    registerLibraryClasses();
    static Place place;
    VXQLibrary::setUserLibrariesFolder(place.userFolder());
    VXQLibrary::setFactoryLibrariesFolder(place.root.filePath(QStringLiteral("factory")));
    VXQLibraryItem::setLoadsImagesUsingThread(false);
    VXQLibraryItem::setNameErrorHandler({});
    VXQLibraryPtr library = VXQLibrary::libraryWithPath(place.libraryFolder());
    VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black);
    style->setName(QStringLiteral("Road"));
    library->addItem(VXQLibraryItem::itemWithLibraryObject(style));
    library->writeCategoryFile();
    place.goodCategories = readAll(place.categoryFile());
    return place;
}

void requireConfined(const Place& place)
{
    const QStringList top = QDir(place.root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    if (top != QStringList{QStringLiteral("user")})
        qFatal("a library wrote outside its folder");
    const QStringList user = QDir(place.userFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    if (user != QStringList{QStringLiteral("Fuzz.symlibrary")})
        qFatal("a library wrote beside its folder");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static Place& place = setUp();
    if (size == 0)
        return 0;
    const QByteArrayView content(reinterpret_cast<const char*>(bytes) + 1, qsizetype(size - 1));
    const bool categories = bytes[0] % 2 == 0;
    writeAll(place.categoryFile(), categories ? QByteArrayView(place.goodCategories) : QByteArrayView());
    if (categories)
        writeAll(place.categoryFile(), content);
    else
        writeAll(place.infoFile(), content);
    {
        VXQLibraryPtr library = VXQLibrary::libraryWithPath(place.libraryFolder());
        if (library->itemCount() > 1)
            qFatal("a library of one package listed more items");
        for (const VXQLibraryItemPtr& item : library->items()) {
            item->info();
            item->locked();
            item->creationDate();
            item->originalSize();
            item->userDescription();
        }
        library->setNeedsUpdateOnDisk();
        library->writeCategoryFile();
    }
    // A category file that did not read is kept aside as it was, and the library never writes over it.
    const QString aside = place.categoryFile() + QStringLiteral(".damaged");
    if (QFile::exists(aside)) {
        if (readAll(aside) != (categories ? content.toByteArray() : QByteArray()))
            qFatal("a damaged category file was not kept as it was");
        if (QFile::exists(place.categoryFile()))
            qFatal("a library that did not load wrote its category file");
        QFile::remove(aside);
    } else if (!platform::PropertyList::fromData(readAll(place.categoryFile()))) {
        qFatal("a category file the library wrote does not read");
    }
    requireConfined(place);
    writeAll(place.infoFile(), {});
    return 0;
}
