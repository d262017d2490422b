#include "media/icons/ExifDateTime.h"

#include <QByteArray>
#include <QIODevice>
#include <QtEndian>

namespace {

constexpr quint16 kExifIFDPointerTag = 0x8769;
constexpr quint16 kDateTimeOriginalTag = 0x9003;
constexpr quint16 kASCIIType = 2;
constexpr int kMaximumSegments = 64;

// A TIFF structure in memory, read with its own byte order; every read is bounds-checked.
class TiffBlock {
public:
    explicit TiffBlock(QByteArray bytes)
        : m_bytes(std::move(bytes))
        , m_bigEndian(m_bytes.startsWith("MM"))
    {
    }

    bool isValid() const { return (m_bytes.startsWith("II") || m_bytes.startsWith("MM")) && read16(2) == 42; }
    std::optional<quint32> firstDirectory() const { return read32(4); }

    // The value field's offset of the entry with that tag in the directory at `offset`.
    std::optional<quint64> findEntry(quint64 offset, quint16 tag) const
    {
        const std::optional<quint16> count = read16(offset);
        if (!count)
            return std::nullopt;
        for (quint32 index = 0; index < *count; ++index) {
            const quint64 entry = offset + 2 + 12 * quint64(index);
            const std::optional<quint16> entryTag = read16(entry);
            if (!entryTag)
                return std::nullopt;
            if (*entryTag == tag)
                return entry;
        }
        return std::nullopt;
    }

    std::optional<quint16> read16(quint64 offset) const
    {
        if (offset + 2 > quint64(m_bytes.size()))
            return std::nullopt;
        const auto* at = reinterpret_cast<const uchar*>(m_bytes.constData() + offset);
        return m_bigEndian ? qFromBigEndian<quint16>(at) : qFromLittleEndian<quint16>(at);
    }
    std::optional<quint32> read32(quint64 offset) const
    {
        if (offset + 4 > quint64(m_bytes.size()))
            return std::nullopt;
        const auto* at = reinterpret_cast<const uchar*>(m_bytes.constData() + offset);
        return m_bigEndian ? qFromBigEndian<quint32>(at) : qFromLittleEndian<quint32>(at);
    }
    std::optional<QString> readASCII(quint64 entry) const
    {
        const std::optional<quint16> type = read16(entry + 2);
        const std::optional<quint32> count = read32(entry + 4);
        if (!type || !count || *type != kASCIIType)
            return std::nullopt;
        // Up to four bytes sit in the entry itself, more at the offset it gives.
        const std::optional<quint64> at =
            *count <= 4 ? std::optional<quint64>(entry + 8) : std::optional<quint64>(read32(entry + 8));
        if (!at || *at + *count > quint64(m_bytes.size()))
            return std::nullopt;
        QByteArray text = m_bytes.mid(qsizetype(*at), qsizetype(*count));
        text.truncate(qsizetype(qstrnlen(text.constData(), size_t(text.size()))));
        return QString::fromLatin1(text);
    }

private:
    QByteArray m_bytes;
    bool m_bigEndian;
};

std::optional<QString> dateTimeOriginal(const TiffBlock& tiff)
{
    if (!tiff.isValid())
        return std::nullopt;
    const std::optional<quint32> first = tiff.firstDirectory();
    const std::optional<quint64> pointer = first ? tiff.findEntry(*first, kExifIFDPointerTag) : std::nullopt;
    const std::optional<quint32> exif = pointer ? tiff.read32(*pointer + 8) : std::nullopt;
    const std::optional<quint64> entry = exif ? tiff.findEntry(*exif, kDateTimeOriginalTag) : std::nullopt;
    return entry ? tiff.readASCII(*entry) : std::nullopt;
}

} // namespace

std::optional<QString> exifDateTimeOriginal(QIODevice& jpeg)
{
    if (jpeg.read(2) != QByteArray("\xFF\xD8", 2))
        return std::nullopt;
    for (int segment = 0; segment < kMaximumSegments; ++segment) {
        const QByteArray header = jpeg.read(4);
        if (header.size() < 4 || uchar(header[0]) != 0xFF)
            return std::nullopt;
        const uchar marker = uchar(header[1]);
        const int length = qFromBigEndian<quint16>(header.constData() + 2);
        // The image data starts at SOS; no metadata lies beyond it.
        if (marker == 0xDA || marker == 0xD9 || length < 2)
            return std::nullopt;
        if (marker != 0xE1) {
            if (!jpeg.seek(jpeg.pos() + length - 2))
                return std::nullopt;
            continue;
        }
        const QByteArray payload = jpeg.read(length - 2);
        if (payload.startsWith(QByteArray("Exif\0\0", 6)))
            return dateTimeOriginal(TiffBlock(payload.mid(6)));
    }
    return std::nullopt;
}
