#pragma once

// A read-only view of a whole file: memory-mapped where the system allows it, read
// into memory otherwise (empty files and files that cannot be mapped). The bytes stay
// valid for the life of the object.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>

namespace geodata {

class MappedFile {
public:
    // Nullopt when the file cannot be opened, or is larger than `maximumSize` when one is given.
    static std::optional<MappedFile> open(const QString& path, qint64 maximumSize = -1);

    // The file's bytes; they do not own the mapping.
    const QByteArray& bytes() const { return m_bytes; }

private:
    MappedFile() = default;

    std::unique_ptr<QFile> m_file; // keeps the mapping alive
    QByteArray m_bytes;
};

} // namespace geodata
