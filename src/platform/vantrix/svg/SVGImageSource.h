#pragma once

// The bytes an SVG image reference names. Only data: URIs and relative paths to files
// inside the base folder are read: never absolute paths, URLs, paths leading out of the
// folder, or links whose targets lie outside it.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace platform {

class SVGImageSource {
public:
    // Image files larger than this are not read.
    static constexpr qint64 kMaximumFileSize = 256LL * 1024 * 1024;

    // Nothing, with `reason` ("it is a pipe, not a file"), when the reference is not allowed
    // or cannot be read; an empty base folder allows data: URIs only.
    static std::optional<QByteArray> dataForReference(QStringView reference, const QString& baseFolder,
                                                      QString* reason = nullptr);
    // The payload of a data: URI, base64 or percent-encoded.
    static std::optional<QByteArray> dataFromURI(QStringView uri);
};

} // namespace platform
