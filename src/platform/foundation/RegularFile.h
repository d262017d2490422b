#pragma once

// Opening a file a user chose, or one that came with it, and replacing one safely. Only a regular file within a size
// limit is opened: a device may never end, a pipe may block for ever, and whoever reads the
// file reads it at the size found here, never at the size the file claims inside.

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

enum class SymbolicLinks { Follow, Refuse };

class RegularFile {
public:
    // Nullopt with `reason` saying why in a few words that read after the file's name: "it is
    // a pipe, not a file", "it is larger than 1 GB", or the system's own ("Permission denied");
    // a link to nothing is named as a link, with its target.
    static std::optional<RegularFile> open(const QString& path, qint64 maximumSize, QString* reason = nullptr,
                                           SymbolicLinks links = SymbolicLinks::Follow);
    // The entry `name` of the open folder `folder`, as open refusing links would answer it.
    static std::optional<RegularFile> openInFolder(int folder, const QByteArray& name, qint64 maximumSize,
                                                   QString* reason = nullptr);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    ~RegularFile();

    int descriptor() const { return m_descriptor; }
    // The size when it was opened.
    qint64 size() const { return m_size; }

    // The whole file, read at its size into memory: another program changing it afterwards
    // cannot disturb whoever parses the bytes. Nullopt with `reason` when the read fails or
    // the file's size changed meanwhile ("it changed while it was being read").
    std::optional<QByteArray> readAll(QString* reason = nullptr) const;

private:
    RegularFile(int descriptor, qint64 size) : m_descriptor(descriptor), m_size(size) {}
    // Takes `descriptor` (which may be -1 after a failed open) if it is a regular file within the limit.
    static std::optional<RegularFile> adopt(int descriptor, qint64 maximumSize, QString* reason);

    int m_descriptor = -1;
    qint64 m_size = 0;
};

// Why the entry at `path` (a symbolic link not followed) is no regular file, in the words of
// open's reasons ("it is a pipe, not a file"); empty when it is one or cannot be looked at.
QString reasonIsNotRegularFile(const QString& path);

// Writes `data` in place of the regular file at `path` (or a new one) atomically: beside it,
// then renamed over it. Refuses what is no regular file, with a reason in open's words: a
// symbolic link would have its target replaced, and a device would become a plain file.
bool writeRegularFileAtomically(const QString& path, const QByteArray& data, QString* reason = nullptr);

// Keeps a file that could not be used out of the way under the first free name of
// "<path>.<suffix>", "<path>.<suffix>-2", ...; answers that path, or empty when it could not move.
QString moveAside(const QString& path, const QString& suffix);

// Opens and reads in one step. Paths of the program's own resources (":/...") are read as they are.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maximumSize, QString* reason = nullptr,
                                          SymbolicLinks links = SymbolicLinks::Follow);

} // namespace platform
