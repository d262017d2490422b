#pragma once

// A read-only view of a whole regular file, mapped rather than copied. Another program may
// cut the file short while it is mapped: the pages it no longer has then read as zeros
// instead of raising a bus error, and changed() says so, so that whatever was read from the
// file can be called an error. Files that cannot be mapped are read into memory.

#include <QByteArray>
#include <QString>
#include <optional>

namespace geodata {

class MappedFile {
public:
    // Nullopt with `reason` for anything but a regular file of at most `maximumSize` bytes.
    static std::optional<MappedFile> open(const QString& path, qint64 maximumSize, QString* reason = nullptr);

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    ~MappedFile();

    // The file's bytes; valid for the life of the object.
    const QByteArray& bytes() const { return m_bytes; }
    // Whether the file was cut short under the mapping.
    bool changed() const;

private:
    MappedFile() = default;

    QByteArray m_bytes;
    void* m_mapping = nullptr;
    qsizetype m_mappedLength = 0;
    int m_watch = -1; // the mapping's place among the watched ones
};

} // namespace geodata
