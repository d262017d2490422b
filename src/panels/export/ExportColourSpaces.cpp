#include "panels/export/ExportColourSpaces.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QPainter>
#include <array>

namespace exportcolour {

namespace {

struct Space {
    QString identifier;
    const char* name;
    QColorSpace::NamedColorSpace named; // unused for grey
};

const std::array<Space, 6>& spaces()
{
    static const std::array<Space, 6> table{{
        {kSRGB, QT_TRANSLATE_NOOP("VLTMExportOperation", "sRGB IEC61966-2.1"), QColorSpace::SRgb},
        {QStringLiteral("sRGB Linear"), QT_TRANSLATE_NOOP("VLTMExportOperation", "Linear sRGB"), QColorSpace::SRgbLinear},
        {QStringLiteral("Adobe RGB"), QT_TRANSLATE_NOOP("VLTMExportOperation", "Adobe RGB (1998)"), QColorSpace::AdobeRgb},
        {QStringLiteral("Display P3"), QT_TRANSLATE_NOOP("VLTMExportOperation", "Display P3"), QColorSpace::DisplayP3},
        {QStringLiteral("ProPhoto RGB"), QT_TRANSLATE_NOOP("VLTMExportOperation", "ProPhoto RGB"), QColorSpace::ProPhotoRgb},
        {kGrey, QT_TRANSLATE_NOOP("VLTMExportOperation", "Generic Gray"), QColorSpace::SRgb},
    }};
    return table;
}

const Space* find(const QString& identifier)
{
    for (const Space& space : spaces())
        if (space.identifier == identifier)
            return &space;
    return nullptr;
}

} // namespace

QStringList identifiers()
{
    QStringList list;
    for (const Space& space : spaces())
        list.append(space.identifier);
    return list;
}

bool isKnown(const QString& identifier) { return find(identifier) != nullptr; }

QString displayName(const QString& identifier)
{
    const Space* space = find(identifier);
    return space ? QCoreApplication::translate("VLTMExportOperation", space->name) : QString();
}

QImage convertedImage(QImage image, const QString& identifier)
{
    const Space* space = find(identifier);
    if (!space || identifier == kSRGB || image.isNull())
        return image;
    if (identifier == kGrey) {
        // Grey has no alpha: what was transparent becomes white, as on paper.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.setDotsPerMeterX(image.dotsPerMeterX());
        flat.setDotsPerMeterY(image.dotsPerMeterY());
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, image);
        return flat.convertToFormat(QImage::Format_Grayscale8);
    }
    image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    image.convertToColorSpace(QColorSpace(space->named));
    return image;
}

} // namespace exportcolour
