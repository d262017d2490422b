// Exports a library of 5,000 item packages as a zip archive (deflate 9, the folder as the one top
// entry) against Info-ZIP's `zip -r -9 -q` on the same folder. Every package is a copy of one
// real style item's files (archive, info, thumbnail, preview), each file compressed on its own.
#include "support/BenchSupport.h"

#include "library/LibraryClasses.h"
#include "library/archiving/FolderZipWriter.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QApplication>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int kItems = 5000;

bool copyPackage(const QString& from, const QString& to)
{
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(source);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source, target))
            return false;
    }
    return true;
}

// A library with one real item, whose package is then copied under 4,999 more names.
bool writeLibrary(const QString& folder)
{
    VXQLibraryPtr library = VXQLibrary::libraryWithPath(folder);
    VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(QColor(0x3a, 0x7d, 0x44), Qt::black);
    style->setName(QStringLiteral("Style 0"));
    library->addItem(VXQLibraryItem::itemWithLibraryObject(style));
    library->updateOnDisk();
    const QString model = folder + QStringLiteral("/Style 0.libitem");
    for (int i = 1; i < kItems; ++i)
        if (!copyPackage(model, folder + QStringLiteral("/Style %1.libitem").arg(i)))
            return false;
    return true;
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
    if (!writeLibrary(folder)) {
        std::fprintf(stderr, "could not write the library\n");
        return 1;
    }
    const QString ours = place.filePath(QStringLiteral("ours.zip"));
    const QString peer = place.filePath(QStringLiteral("peer.zip"));
    bool failed = false;
    const auto [oursSeconds, peerSeconds] = bench::medianSecondsSideBySide(
        5,
        [&] { failed |= !FolderZipWriter::writeArchive(folder, ours); },
        [&] {
            // zip updates an archive in place: each run starts from none, as ours does.
            QFile::remove(peer);
            QProcess zip;
            zip.setWorkingDirectory(QFileInfo(folder).path());
            zip.start(QStringLiteral("zip"), {QStringLiteral("-r"), QStringLiteral("-9"), QStringLiteral("-q"), peer,
                                              QFileInfo(folder).fileName()});
            failed |= !zip.waitForFinished(-1) || zip.exitCode() != 0;
        });
    if (failed) {
        std::fprintf(stderr, "an archive could not be written\n");
        return 1;
    }
    std::fprintf(stderr, "archive sizes: ours %lld, peer %lld bytes\n", static_cast<long long>(QFileInfo(ours).size()),
                 static_cast<long long>(QFileInfo(peer).size()));
    bench::printComparison(QStringLiteral("library_zip_5000"), oursSeconds, peerSeconds, 1.25);
    return 0;
}
