#pragma once

// Fuzz inputs that describe a folder, and the scratch folder they are written into for a reader
// to open.
//
// An input is a list of entries separated by "\0QF\0". An entry is a kind letter, a name (a path
// inside the folder, "/" between its parts), a NUL and a payload:
//   f  a file holding the payload             d  a folder
//   l  a link to the payload (any path)       p  a named pipe
//   s  a sparse file: a 4-byte big-endian size, then its first bytes
//   c  a file holding the payload that loses its second half when `shrinkFiles` is called
// Any other letter makes a file. An empty name stands for the folder itself, which then is that
// entry and holds nothing. The first entry of a name wins; a name that climbs out of the folder or
// passes through a link or a file is skipped, so nothing is ever written outside the scratch place.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <optional>
#include <vector>

namespace fuzz {

struct FolderEntry {
    enum class Kind { File, Folder, Link, Pipe, Sparse, Shrinking };
    Kind kind = Kind::File;
    QByteArray name;
    QByteArray payload;
};

QList<FolderEntry> folderEntries(QByteArrayView input);

// A folder in a temporary place, with a file beside it whose contents no reader confined to the
// folder can see (links reach it as "../outside"). The place goes when the process ends, however
// it ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const QString& name);

    QString path() const;
    // Another path in the same place, emptied by each `write`.
    QString pathBeside(const QString& name) const;
    const QByteArray& outsideContents() const { return m_outsideContents; }

    // Replaces whatever the place holds by `entries`; answers the size the files claim, sparse
    // sizes included.
    qint64 write(const QList<FolderEntry>& entries);
    // Cuts each shrinking file to half its size, as another program might while it is being read.
    void shrinkFiles();

private:
    std::optional<std::filesystem::path> placeFor(const QByteArray& name) const;
    qint64 make(const std::filesystem::path& path, const FolderEntry& entry);

    QTemporaryDir m_place;
    std::filesystem::path m_root;
    std::filesystem::path m_outside;
    QByteArray m_outsideContents;
    std::vector<std::filesystem::path> m_shrinking;
};

} // namespace fuzz
