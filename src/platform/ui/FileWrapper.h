#pragma once

// A file or a folder of files: how package documents are read and written.
//
// A directory wrapper holds named children, sorted by name; a regular-file wrapper holds
// bytes, or, read on demand, the path of a file on disk whose bytes are read only when asked
// for and are copied file to file when the wrapper is written (a package's files that its
// document never reads cost no memory). Reading follows no symbolic links and skips special
// files (each with a log line). It counts a tree's entries before it reads any file, so a tree
// deeper or more crowded than the limits below is refused unread; read whole, a tree is also
// measured first, and one larger than the memory available is refused unread. Any file is
// read only within the memory this process may take (see AvailableMemory). Writing is atomic:
// the tree is written beside the target under a short hidden name, which then takes the
// target's place in one step; a failed write leaves the old file or folder as it was.
//
// Failures are errors 101 that name the document and give the reason apart (see
// DocumentError): the system's own where it has one.

#include "platform/foundation/QuorvaneError.h"

#include <QByteArray>
#include <QMap>
#include <QString>
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

    static FileWrapper regularFile(const QByteArray& contents, const QString& filename = {});
    static FileWrapper directory(const QString& filename = {});
    // A regular file read on demand from `path`, measured at `size` bytes.
    static FileWrapper regularFileOnDisk(const QString& path, qint64 size, const QString& filename);

    Kind kind() const { return m_kind; }
    bool isDirectory() const { return m_kind == Kind::Directory; }
    bool isRegularFile() const { return m_kind == Kind::RegularFile; }

    QString filename() const { return m_filename; }
    void setFilename(const QString& filename) { m_filename = filename; }

    // The bytes held: empty for a directory and for a file read on demand.
    const QByteArray& regularFileContents() const { return m_contents; }
    // The file a regular file read on demand is read from; empty when the bytes are held.
    const QString& regularFilePath() const { return m_path; }
    // The bytes held, or the file's read now: nullopt with `reason` ("it takes 3 GB, more than
    // the memory available") when it cannot be read within the memory this process may take.
    std::optional<QByteArray> readRegularFileContents(QString* reason = nullptr) const;
    // The size of the bytes held, or of the file when it was read on demand.
    qint64 regularFileSize() const { return m_path.isEmpty() ? m_contents.size() : m_size; }
    // Points each file read on demand at its place in the copy of this tree at `path` (where a
    // save has written it), so that the tree no longer depends on where it was read.
    void relocateTo(const QString& path);

    // Children of a directory, sorted by name (none for a regular file).
    const std::vector<FileWrapper>& fileWrappers() const { return m_children; }
    const FileWrapper* fileWrapperNamed(const QString& name) const;
    // Adds a named child, replacing one of the same name. Adding to a regular file or adding
    // an unnamed child is a programming error.
    void addFileWrapper(FileWrapper child);
    void addRegularFileWithContentsFilename(const QByteArray& contents, const QString& filename);
    bool removeFileWrapperNamed(const QString& name);

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
    // when it fails, leaving what was at `path` untouched.
    bool writeToPath(const QString& path, QuorvaneError* error = nullptr) const;

    // The same files and folders (the bytes of files read on demand are read to compare);
    // what reading left out does not count.
    bool operator==(const FileWrapper& other) const;

private:
    explicit FileWrapper(Kind kind) : m_kind(kind) {}

    Kind m_kind = Kind::Directory;
    QString m_filename;
    QByteArray m_contents;
    QString m_path;
    qint64 m_size = 0;
    std::vector<FileWrapper> m_children;
    QMap<QString, QString> m_leftOut;
};

} // namespace platform
