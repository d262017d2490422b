#include "platform/vantrix/svg/SVGImageSource.h"

#include "platform/foundation/RegularFile.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

std::optional<QByteArray> SVGImageSource::dataFromURI(QStringView uri)
{
    const qsizetype comma = uri.indexOf(u',');
    if (comma < 0)
        return std::nullopt;
    const QStringView payload = uri.sliced(comma + 1);
    if (!uri.first(comma).endsWith(u";base64"))
        return QByteArray::fromPercentEncoding(payload.toLatin1());
    // Decoded a slice at a time, white space left out: a payload of hundreds of megabytes
    // must not be copied whole on its way.
    constexpr qsizetype kSlice = 1 << 16; // a multiple of 4 characters
    QByteArray decoded;
    decoded.reserve(payload.size() / 4 * 3);
    QByteArray slice;
    slice.reserve(kSlice);
    const auto decodeSlice = [&] {
        const auto bytes = QByteArray::fromBase64Encoding(slice, QByteArray::AbortOnBase64DecodingErrors);
        slice.resize(0);
        if (!bytes)
            return false;
        decoded.append(*bytes);
        return true;
    };
    for (const QChar c : payload) {
        if (c.isSpace())
            continue;
        // Padding may only end the payload: a slice that holds some is the last.
        if (slice.size() == kSlice && (slice.endsWith('=') || !decodeSlice()))
            return std::nullopt;
        slice.append(char(c.unicode() < 0x80 ? c.unicode() : '!'));
    }
    if (!decodeSlice())
        return std::nullopt;
    return decoded;
}

std::optional<QByteArray> SVGImageSource::dataForReference(QStringView reference, const QString& baseFolder,
                                                          QString* reason)
{
    const auto refuse = [reason](const QString& why) -> std::optional<QByteArray> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    if (reference.startsWith(u"data:")) {
        std::optional<QByteArray> data = dataFromURI(reference);
        return data ? data : refuse(QStringLiteral("its data: URI is malformed"));
    }
    const QString path = QDir::cleanPath(reference.toString());
    if (baseFolder.isEmpty())
        return refuse(QStringLiteral("the document has no folder to read images from"));
    if (reference.contains(u':') || QDir::isAbsolutePath(path) || path.startsWith(u"..") || reference.contains(u'\\'))
        return refuse(QStringLiteral("only images in the document's folder are read"));
    const QString base = QFileInfo(baseFolder).canonicalFilePath();
    const QFileInfo file(QDir(base).filePath(path));
    if (!file.exists() && !file.isSymLink())
        return refuse(QStringLiteral("there is no such file"));
    const QString canonical = file.canonicalFilePath();
    // Links may not lead out of the folder either.
    if (base.isEmpty() || !canonical.startsWith(base + u'/'))
        return refuse(QStringLiteral("it leads out of the document's folder"));
    return readRegularFile(canonical, kMaximumFileSize, reason);
}

} // namespace platform
