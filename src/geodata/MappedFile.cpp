#include "geodata/MappedFile.h"

namespace geodata {

std::optional<MappedFile> MappedFile::open(const QString& path, qint64 maximumSize)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file->size();
    if (maximumSize >= 0 && size > maximumSize)
        return std::nullopt;

    MappedFile mapped;
    if (uchar* memory = size > 0 ? file->map(0, size) : nullptr) {
        mapped.m_bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(memory), size);
    } else {
        // Pipes and special files report no size; read them, but never beyond the limit.
        mapped.m_bytes = maximumSize >= 0 ? file->read(maximumSize + 1) : file->readAll();
        if (maximumSize >= 0 && mapped.m_bytes.size() > maximumSize)
            return std::nullopt;
    }
    mapped.m_file = std::move(file);
    return mapped;
}

} // namespace geodata
