// Lists the media browser's file types in a generated tree of 1,000 folders (40 with 24
// subfolders each) holding 20,000 files, from a fresh root node that returns all enclosed
// files, against a recursive QDirIterator walk with the same suffixes. Both answer URLs.
#include "support/BenchSupport.h"

#include "media/MediaClasses.h"
#include "media/folders/ZQFolderInfo.h"
#include "platform/foundation/ZQLog.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

namespace {

constexpr int kTopFolders = 40;
constexpr int kSubFolders = 24;
constexpr int kFilesPerFolder = 20;
constexpr int kRuns = 5;

const QStringList kMediaTypes = {"jpeg", "jpg",  "JPEG", "JPG",  "jfif", "JFIF", "jpe", "JPE", "png", "PNG",
                                 "pdf",  "PDF",  "pntg", "PNTG", "pict", "PICT", "tif", "TIF", "tiff", "TIFF",
                                 "gif",  "GIF",  "svg",  "SVG"};
const QStringList kWrittenSuffixes = {"jpg", "png", "svg", "txt", "JPG", "tiff", "Svg", "gif", "md", "pdf"};

void fillFolder(const QString& folder)
{
    QDir().mkpath(folder);
    for (int index = 0; index < kFilesPerFolder; ++index) {
        QFile file(QStringLiteral("%1/file %2.%3").arg(folder).arg(index).arg(kWrittenSuffixes[index % kWrittenSuffixes.size()]));
        file.open(QIODevice::WriteOnly);
    }
}

void writeTree(const QString& root)
{
    for (int top = 0; top < kTopFolders; ++top) {
        const QString folder = QStringLiteral("%1/Area %2").arg(root).arg(top);
        fillFolder(folder);
        for (int sub = 0; sub < kSubFolders; ++sub)
            fillFolder(QStringLiteral("%1/Sheet %2").arg(folder).arg(sub));
    }
}

QList<QUrl> peerWalk(const QString& root)
{
    const QSet<QString> suffixes(kMediaTypes.begin(), kMediaTypes.end());
    QList<QUrl> found;
    for (QDirIterator entries(root, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories); entries.hasNext();) {
        entries.next();
        if (suffixes.contains(entries.fileInfo().suffix()))
            found.append(QUrl::fromLocalFile(entries.filePath()));
    }
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerMediaClasses();
    platform::Log::setSink([](LogEventKind, const QString&) {});
    QTemporaryDir place;
    const QString root = place.filePath(QStringLiteral("Pictures"));
    writeTree(root);

    std::vector<double> ours, peer;
    qsizetype oursCount = 0, peerCount = 0;
    for (int run = 0; run < kRuns; ++run) {
        ZQFolderInfoPtr node;
        ours.push_back(bench::secondsOf([&] {
            node = ZQFolderInfo::makeWithPath(root);
            node->setReturnsAllEnclosedFiles(true);
            oursCount = node->fileURLsOfTypes(kMediaTypes).size();
        }));
        node.reset();
        QCoreApplication::processEvents();
        peer.push_back(bench::secondsOf([&] { peerCount = peerWalk(root).size(); }));
    }
    if (oursCount != peerCount || oursCount == 0) {
        std::fprintf(stderr, "ours listed %lld files, the walk %lld\n", static_cast<long long>(oursCount),
                     static_cast<long long>(peerCount));
        return 1;
    }
    bench::printComparison(QStringLiteral("folder_enclosed_files_20000"), bench::median(ours), bench::median(peer), 1.5);
    return 0;
}
