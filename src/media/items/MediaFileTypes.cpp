#include "media/items/MediaFileTypes.h"

namespace media {

const QStringList& imageFileTypes()
{
    static const QStringList types{
        QStringLiteral("jpeg"), QStringLiteral("jpg"),  QStringLiteral("JPEG"), QStringLiteral("JPG"),
        QStringLiteral("jfif"), QStringLiteral("JFIF"), QStringLiteral("jpe"),  QStringLiteral("JPE"),
        QStringLiteral("png"),  QStringLiteral("PNG"),  QStringLiteral("pdf"),  QStringLiteral("PDF"),
        QStringLiteral("pntg"), QStringLiteral("PNTG"), QStringLiteral("pict"), QStringLiteral("PICT"),
        QStringLiteral("tif"),  QStringLiteral("TIF"),  QStringLiteral("tiff"), QStringLiteral("TIFF"),
        QStringLiteral("gif"),  QStringLiteral("GIF"),
    };
    return types;
}

const QStringList& svgFileTypes()
{
    static const QStringList types{QStringLiteral("svg"), QStringLiteral("SVG")};
    return types;
}

const QStringList& browsableFileTypes()
{
    static const QStringList types = imageFileTypes() + svgFileTypes();
    return types;
}

bool isSVGFileType(const QString& extension)
{
    return svgFileTypes().contains(extension);
}

} // namespace media
