// Reads a shapefile set from files, as an import does: the input describes the set's folder
// (see ScratchFolder.h), each entry's name being the suffix of a file "set.<name>" ("shp",
// "dbf", "prj", "cpg", ...). Companions may be missing, links, pipes, folders, sparse or huge, and
// files marked as shrinking lose half their bytes between opening the set and reading it.
// A regular .shp has its length word set to its size, so that its records are walked.
#include "ScratchFolder.h"
#include "ShapefileReading.h"

#include "geodata/ZQESRIFile.h"

#include "platform/foundation/ZQLog.h"

#include <QtEndian>
#include <cstdint>

using fuzz::FolderEntry;

namespace {

fuzz::ScratchFolder& scratchFolder()
{
    platform::Log::setSink([](LogEventKind, const QString&) {});
    static fuzz::ScratchFolder folder(QStringLiteral("set"));
    return folder;
}

QList<FolderEntry> setEntries(QByteArrayView input)
{
    QList<FolderEntry> entries = fuzz::folderEntries(input);
    for (FolderEntry& entry : entries) {
        const bool hasRecords = entry.kind == FolderEntry::Kind::File || entry.kind == FolderEntry::Kind::Shrinking;
        if (entry.name == "shp" && hasRecords && entry.payload.size() >= 28)
            qToBigEndian(quint32(entry.payload.size() / 2), entry.payload.data() + 24);
        entry.name.prepend("set.");
    }
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::ScratchFolder& folder = scratchFolder();
    folder.write(setEntries(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size))));
    ZQESRIFile file;
    file.initWithFile(folder.path() + QStringLiteral("/set.shp"));
    folder.shrinkFiles();
    fuzz::readWholeSet(file);
    return 0;
}
