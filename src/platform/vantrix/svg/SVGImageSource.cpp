#include "platform/vantrix/svg/SVGImageSource.h"

#include "platform/foundation/RegularFile.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

std::optional<QByteArray> SVGImageSource::dataFromURI(const QString& uri)
{
    const qsizetype comma = uri.indexOf(u',');
    if (comma < 0)
        return std::nullopt;
    const QByteArray payload = uri.sliced(comma + 1).toLatin1();
    if (!uri.first(comma).endsWith(u";base64"))
        return QByteArray::fromPercentEncoding(payload);
    const auto decoded = QByteArray::fromBase64Encoding(payload.simplified().replace(' ', ""),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? std::optional<QByteArray>(*decoded) : std::nullopt;
}

std::optional<QByteArray> SVGImageSource::dataForReference(const QString& reference, const QString& baseFolder)
{
    if (reference.startsWith(u"data:"))
        return dataFromURI(reference);
    const QString path = QDir::cleanPath(reference);
    if (baseFolder.isEmpty() || reference.contains(u':') || QDir::isAbsolutePath(reference)
        || path.startsWith(u"..") || reference.contains(u'\\'))
        return std::nullopt;
    const QString base = QFileInfo(baseFolder).canonicalFilePath();
    const QFileInfo file(QDir(base).filePath(path));
    const QString canonical = file.canonicalFilePath();
    // Links may not lead out of the folder either.
    if (base.isEmpty() || !canonical.startsWith(base + u'/'))
        return std::nullopt;
    return readRegularFile(canonical, kMaximumFileSize);
}

} // namespace platform
