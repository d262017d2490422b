#pragma once

// A file or a folder of files: how package documents are read and written.
//
// A directory wrapper holds named children, sorted by name; a regular-file wrapper holds
// bytes, or, read on demand, the place of a file in a folder held open (see HeldFolder, so
// the folder may be renamed or moved meanwhile), whose bytes are read only when asked for
// and are copied file to file, with their mode and times, when the wrapper is written (a
// package's files that its document never reads cost no memory). Such a file that can no
// longer be read when it is written (gone, or a link or a folder now) is left out of the
// write and reported; one in the very folder the write replaces is linked into the new tree
// rather than copied, since the old one goes. Reading follows no symbolic links and skips special
// files (each with a log line). It counts a tree's entries before it reads any file, so a tree
// deeper or more crowded than the limits below is refused unread; read whole, a tree is also
// measured first, and one larger than the memory available is refused unread. Any file is
// read only within the memory this process may take (see AvailableMemory). Writing is atomic:
// the tree is written beside the target under a short hidden name, which then takes the
// target's place in one step; a failed write leaves the old file or folder as it was.
//
// Failures are errors 101 that name the document and give the reason apart (see
// DocumentError): the system's own where it has one.

#include "platform/foundation/HeldFolder.h"
#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/RegularFile.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class FileWrapper {
public:
    enum class Kind { RegularFile, Directory };

    // How reading treats the regular files inside a folder (a single file is always read whole).
    enum class Reading { Whole, OnDemand };

    static constexpr int kMaximumDepth = 64;
    static constexpr qsizetype kMaximumEntryCount = 10000;

    // A file read on demand that a write could not carry over: its path in the tree
    // ("QuickLook/Credits.txt") and why ("No such file or directory").
    struct FileLeftOut {
        QString path;
        QString reason;
        bool operator==(const FileLeftOut&) const = default;
    };
    // Told the fraction written; answers false to stop.
    using Proceed = std::function<bool(double fraction)>;

    static FileWrapper regularFile(const QByteArray& contents, const QString& filename = {});
    static FileWrapper directory(const QString& filename = {});
    // A regular file read on demand from `relativePath` in `folder`, measured at `size` bytes.
    static FileWrapper regularFileInFolder(std::shared_ptr<HeldFolder> folder, const QString& relativePath,
                                           qint64 size, const QString& filename);

    Kind kind() const { return m_kind; }
    bool isDirectory() const { return m_kind == Kind::Directory; }
    bool isRegularFile() const { return m_kind == Kind::RegularFile; }

    QString filename() const { return m_filename; }
    void setFilename(const QString& filename) { m_filename = filename; }

    // The bytes held: empty for a directory and for a file read on demand.
    const QByteArray& regularFileContents() const { return m_contents; }
    // Where the file a regular file read on demand is read from is now; empty when the bytes are held.
    QString regularFilePath() const;
    // The folder a regular file read on demand lies in; null when the bytes are held.
    const HeldFolder* regularFileFolder() const { return m_folder.get(); }
    // The file read on demand, opened now; nullopt with `reason` when it can no longer be.
    std::optional<RegularFile> openRegularFileOnDisk(qint64 maximumSize, QString* reason) const;
    // The bytes held, or the file's read now: nullopt with `reason` ("it takes 3 GB, more than
    // the memory available") when it cannot be read within the memory this process may take.
    std::optional<QByteArray> readRegularFileContents(QString* reason = nullptr) const;
    // The size of the bytes held, or of the file when it was read on demand.
    qint64 regularFileSize() const { return m_folder ? m_size : m_contents.size(); }
    // Points each file read on demand at its place in the copy of this tree at `path` (where a
    // save has written it), so that the tree no longer depends on the folder it was read from.
    void relocateTo(const QString& path);

    // Children of a directory, sorted by name (none for a regular file).
    const std::vector<FileWrapper>& fileWrappers() const { return m_children; }
    const FileWrapper* fileWrapperNamed(const QString& name) const;
    // Adds a named child, replacing one of the same name. Adding to a regular file or adding
    // an unnamed child is a programming error.
    void addFileWrapper(FileWrapper child);
    void addRegularFileWithContentsFilename(const QByteArray& contents, const QString& filename);
    bool removeFileWrapperNamed(const QString& name);
    // Removes the file or folder at `path` in the tree ("QuickLook/Credits.txt").
    bool removeFileWrapperAtPath(const QString& path);

    // Why reading left out the entry `name` of this folder ("it is a symbolic link"); empty
    // for an entry it read or one that was not there.
    QString reasonEntryWasLeftOut(const QString& name) const { return m_leftOut.value(name); }
    void noteEntryLeftOut(const QString& name, const QString& reason) { m_leftOut.insert(name, reason); }

    // Whether a name can be written as one entry of a folder ("/", NUL, "." and ".." cannot).
    static bool isValidFilename(const QString& name);

    // Reads the file or folder at `path` (the wrapper takes its name). Failures answer
    // nullopt with an error.
    static std::optional<FileWrapper> readFromPath(const QString& path, QuorvaneError* error = nullptr,
                                                   Reading reading = Reading::Whole);
    // Writes atomically to `path` (its folder must exist); answers false with an error
    // when it fails or is stopped (error 103), leaving what was at `path` untouched. Files
    // read on demand from the folder it replaces are read from the new one afterwards.
    bool writeToPath(const QString& path, QuorvaneError* error = nullptr, QList<FileLeftOut>* leftOut = nullptr,
                     const Proceed& proceed = {}) const;

    // The same files and folders (the bytes of files read on demand are read to compare);
    // what reading left out does not count.
    bool operator==(const FileWrapper& other) const;

private:
    explicit FileWrapper(Kind kind) : m_kind(kind) {}
    void relocateTo(const std::shared_ptr<HeldFolder>& folder);
    void followReplacedFolder(const HeldFolder::Identity& replaced, const QString& path) const;

    Kind m_kind = Kind::Directory;
    QString m_filename;
    QByteArray m_contents;
    std::shared_ptr<HeldFolder> m_folder;
    QString m_path; // in m_folder
    qint64 m_size = 0;
    std::vector<FileWrapper> m_children;
    QMap<QString, QString> m_leftOut;
};

} // namespace platform
