#include "symbols/transformers/editor/BinPasteboard.h"

#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/transformers/BinDataType.h"

#include <QMimeData>

namespace binpasteboard {

QStringList acceptedMimeTypes()
{
    QStringList types{kVXStylePasteboardType, kVXStyleKeyPasteboardType};
    for (const QString& type : {platform::kPasteboardTypeColor, kFontPasteboardType, platform::kPasteboardTypeString})
        types.append(platform::mimeTypeForPasteboardType(type));
    return types;
}

namespace {

std::optional<QVariant> presentObject(const QVariant& value)
{
    return value.isValid() ? std::optional<QVariant>(value) : std::nullopt;
}

} // namespace

std::optional<QVariant> objectForDataType(const platform::Pasteboard& pasteboard, int dataType)
{
    switch (dataType) {
    case bindata::Style:
        if (const VXStylePtr style = pasteboard.mimeData() ? VXStyle::styleFromPasteboard(pasteboard.mimeData()) : nullptr)
            return QVariant::fromValue(style);
        return std::nullopt;
    case bindata::Colour:
        if (const QColor colour = pasteboard.color(); colour.isValid())
            return QVariant(colour);
        return std::nullopt;
    case bindata::Image:
        if (const QImage image = pasteboard.image(); !image.isNull())
            return QVariant(image);
        return std::nullopt;
    case bindata::Text:
        if (const QString text = pasteboard.stringForType(platform::kPasteboardTypeString); !text.isNull())
            return QVariant(text);
        return std::nullopt;
    case bindata::Value: {
        bool isNumber = false;
        const float value = pasteboard.stringForType(platform::kPasteboardTypeString).trimmed().toFloat(&isNumber);
        return isNumber ? presentObject(double(value)) : std::nullopt;
    }
    case bindata::Font: {
        QFont font;
        const QString text = pasteboard.stringForType(kFontPasteboardType);
        return !text.isEmpty() && font.fromString(text) ? presentObject(font) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

bool writeFont(platform::Pasteboard& pasteboard, const QFont& font)
{
    pasteboard.declareTypes({kFontPasteboardType, platform::kPasteboardTypeString});
    return pasteboard.setStringForType(font.toString(), kFontPasteboardType)
        && pasteboard.setStringForType(font.family(), platform::kPasteboardTypeString);
}

} // namespace binpasteboard
