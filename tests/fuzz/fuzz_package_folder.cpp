// Opens a map package from a folder, as a document does: the input describes the package folder
// (see ScratchFolder.h), whose members may be links (in and out of the package, to devices),
// pipes, folders, sparse or huge files, with any names. Reading on demand must refuse with a
// reason or answer a tree that holds nothing from outside the package, the same tree reading
// it whole answers, that writes and reads back the same, and that the map document then reads
// or refuses with a reason.
#include "FuzzSupport.h"
#include "ScratchFolder.h"

#include "app/application/AppClasses.h"
#include "app/document/MapDocumentPackage.h"
#include "platform/ui/FileWrapper.h"

#include <algorithm>
#include <cstdint>

using platform::FileWrapper;

namespace {

// Larger trees are neither read whole nor written back, nor larger files given to the map: they
// are zeros past their first bytes, and going through them would be all the run does.
constexpr qint64 kLargestRoundTrip = 16 << 20;

fuzz::ScratchFolder& setUp()
{
    fuzz::startQuietApplication("fuzz_package_folder");
    registerAppClasses();
    static fuzz::ScratchFolder folder(QStringLiteral("Map.qvnl"));
    return folder;
}

// Whether a file of the tree holds `contents` or is read from outside `folder`.
bool holds(const FileWrapper& wrapper, const QByteArray& contents, const QString& folder)
{
    if (wrapper.isRegularFile() && !wrapper.regularFilePath().isEmpty() && !wrapper.regularFilePath().startsWith(folder + u'/'))
        return true;
    if (wrapper.isRegularFile() && wrapper.regularFileSize() <= kLargestRoundTrip)
        return wrapper.readRegularFileContents().value_or(QByteArray()).contains(contents);
    if (wrapper.isRegularFile())
        return false;
    return std::any_of(wrapper.fileWrappers().begin(), wrapper.fileWrappers().end(),
                       [&](const FileWrapper& child) { return holds(child, contents, folder); });
}

void requireSameAfterWriting(const FileWrapper& package, const QString& path)
{
    QuorvaneError error;
    if (!package.writeToPath(path, &error))
        qFatal("a package that read could not be written: %s", qPrintable(error.localizedDescription()));
    std::optional<FileWrapper> again = FileWrapper::readFromPath(path, &error);
    if (!again)
        qFatal("a written package could not be read: %s", qPrintable(error.localizedDescription()));
    again->setFilename(package.filename());
    if (*again != package)
        qFatal("a package read back differently after writing");
}

// The map reads only files at the top of its package.
bool mapFilesFitTheRun(const FileWrapper& package)
{
    return std::all_of(package.fileWrappers().begin(), package.fileWrappers().end(), [](const FileWrapper& file) {
        return !file.isRegularFile() || file.regularFileSize() <= kLargestRoundTrip;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static fuzz::ScratchFolder& folder = setUp();
    const qint64 claimed = folder.write(fuzz::folderEntries(QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size))));
    QuorvaneError error;
    const std::optional<FileWrapper> package = FileWrapper::readFromPath(folder.path(), &error, FileWrapper::Reading::OnDemand);
    if (!package) {
        fuzz::requireReadableError(error, "a package folder");
        return 0;
    }
    if (holds(*package, folder.outsideContents(), folder.path()))
        qFatal("a package read a file outside its folder");
    if (claimed <= kLargestRoundTrip) {
        const std::optional<FileWrapper> whole = FileWrapper::readFromPath(folder.path(), &error);
        if (whole && *whole != *package)
            qFatal("a package read whole differs from the same read on demand");
        requireSameAfterWriting(*package, folder.pathBeside(QStringLiteral("Copy.qvnl")));
    }
    if (mapFilesFitTheRun(*package) && !MapDocumentPackage::read(*package, &error))
        fuzz::requireReadableError(error, "a package");
    return 0;
}
