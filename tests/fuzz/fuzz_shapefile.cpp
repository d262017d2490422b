// Reads arbitrary bytes as a shapefile set. The input is split into the set's files:
// a flags byte, a 32-bit length and the .shp, a 16-bit length and the .prj, and the rest
// as the .dbf. Flag bits: 1 fixes the .shp's length word so that the records are walked,
// 2 supplies the .dbf, 4 a "UTF-8" code page, 8 the .prj, 16 the .prj's bytes as the index
// (.shx) instead, its file code set.
#include "ShapefileReading.h"

#include "geodata/ZQESRIFile.h"

#include "platform/foundation/ZQLog.h"

#include <QtEndian>
#include <cstdint>

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_bytes(reinterpret_cast<const char*>(data), qsizetype(size)) {}

    quint32 number(int width)
    {
        quint32 value = 0;
        for (int i = 0; i < width && m_at < m_bytes.size(); ++i)
            value = value << 8 | quint8(m_bytes[m_at++]);
        return value;
    }
    QByteArray take(quint32 length)
    {
        const qsizetype count = std::min<qsizetype>(length, m_bytes.size() - m_at);
        const QByteArray part = m_bytes.sliced(m_at, count).toByteArray();
        m_at += count;
        return part;
    }
    QByteArray rest() { return take(quint32(m_bytes.size() - m_at)); }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    platform::Log::setSink([](LogEventKind, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input input(data, size);
    const quint32 flags = input.number(1);
    QByteArray shp = input.take(input.number(4));
    const QByteArray prj = input.take(input.number(2));
    const QByteArray dbf = input.rest();
    if (flags & 1 && shp.size() >= 28)
        qToBigEndian(quint32(shp.size() / 2), shp.data() + 24);

    ZQESRIFile file;
    std::optional<QByteArray> index;
    if (flags & 16) {
        index = prj;
        if (index->size() >= 4)
            qToBigEndian(quint32(9994), index->data());
    }
    file.initWithContents({shp, flags & 2 ? std::optional(dbf) : std::nullopt,
                           flags & 4 ? std::optional(QByteArray("UTF-8")) : std::nullopt,
                           flags & 8 && !(flags & 16) ? std::optional(prj) : std::nullopt, index});
    fuzz::readWholeSet(file);
    return 0;
}
