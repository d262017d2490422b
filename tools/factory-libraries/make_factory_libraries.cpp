// Writes the factory libraries the application carries in its resources, and the resource list
// that compiles them in: "Tracks" (the track tools' styles) and "Text Styles" (the predefined
// text styles this machine's fonts can make). Run by the build: make_factory_libraries OUT_DIR.

#include "library/LibraryClasses.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/store/VXQLibrary.h"
#include "tracks/styles/FactoryTrackStyles.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {

// A library with nothing to hold is left out.
bool writeLibrary(const QString& folder, const QString& name, const QList<VXQLibraryItemPtr>& items, const QString& category)
{
    if (items.isEmpty())
        return true;
    VXQLibraryPtr library = VXQLibrary::libraryWithPath(folder + u'/' + name + QStringLiteral(".symlibrary"));
    if (!library->hasPresenceOnDisk())
        return false;
    library->setCreator(QStringLiteral("Veltrum"));
    VXQLibraryCategory* grouping = library->addCategoryWithName(category);
    for (const VXQLibraryItemPtr& item : items) {
        library->addItem(item);
        if (grouping)
            grouping->addItem(item);
    }
    library->setNeedsUpdateOnDisk();
    return library->updateOnDisk() && library->itemCount() == items.size();
}

QList<VXQLibraryItemPtr> trackItems()
{
    QList<ZQObjectPtr> styles{factoryRoadStyle(), factoryRailStyle(), factoryRiverStyle()};
    for (const ZQObjectPtr& style : styles)
        std::static_pointer_cast<VXStyle>(style)->setLocked(true);
    return VXQLibraryItem::libraryItemsWithObjects(styles);
}

bool writeResourceList(const QString& folder)
{
    QSaveFile list(folder + QStringLiteral("/factory_libraries.qrc"));
    if (!list.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&list);
    out << "<RCC>\n  <qresource prefix=\"/bundle\">\n";
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList paths;
    while (files.hasNext()) {
        const QString path = QDir(folder).relativeFilePath(files.next());
        if (path.contains(QStringLiteral(".symlibrary/")))
            paths.append(path);
    }
    paths.sort();
    for (const QString& path : std::as_const(paths))
        out << "    <file>" << path.toHtmlEscaped() << "</file>\n";
    out << "  </qresource>\n</RCC>\n";
    out.flush();
    return list.commit();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_factory_libraries OUT_DIR\n");
        return 2;
    }
    registerLibraryClasses();
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    // Written as user libraries; no user folder of the machine that builds is touched.
    QTemporaryDir scratch;
    VXQLibrary::setUserLibrariesFolder(scratch.path());
    VXQLibrary::setFactoryLibrariesFolder(scratch.path() + QStringLiteral("/none"));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const bool written = writeLibrary(folder, QStringLiteral("Tracks"), trackItems(), QStringLiteral("Tracks"))
        && writeLibrary(folder, QStringLiteral("Text Styles"), VXQLibraryItem::predefinedFontStyleItems(),
                        QStringLiteral("Text"))
        && writeResourceList(folder);
    if (!written)
        std::fprintf(stderr, "make_factory_libraries: could not write the libraries in %s\n", argv[1]);
    return written ? 0 : 1;
}
