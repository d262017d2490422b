#include "inspectors/attributes/AttributeTables.h"

#include "platform/foundation/Markers.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/graphics/ColourUtilities.h"

#include <QCoreApplication>
#include <QLocale>
#include <QUrl>
#include <cmath>

namespace attributetables {

namespace {

constexpr int kTypeOfIndex[kTypeIndexCount] = {kVXMetadataTypeBoolean, kVXMetadataTypeInteger, kVXMetadataTypeReal,
                                               kVXMetadataTypeString,  kVXMetadataTypeDate,    kVXMetadataTypeColour,
                                               kVXMetadataTypeURL};

// The text as a number in the C locale or the user's.
std::optional<double> realOfText(const QString& text)
{
    bool ok = false;
    double number = text.trimmed().toDouble(&ok);
    if (!ok)
        number = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

std::optional<qint64> integerOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::ULong) {
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return qint64(value.toULongLong());
    }
    if (platform::isIntegralVariant(value))
        return value.toLongLong();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    std::optional<double> number;
    if (value.typeId() == QMetaType::QString) {
        bool ok = false;
        const qint64 whole = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return whole;
        number = realOfText(value.toString());
    } else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        number = value.toDouble();
    }
    // Only whole numbers an integer can hold: 2.5 is no integer, 1e30 is out of range.
    if (!number || !std::isfinite(*number) || std::trunc(*number) != *number || *number < -0x1p63 || *number >= 0x1p63)
        return std::nullopt;
    return qint64(*number);
}

std::optional<double> realOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return realOfText(value.toString());
    if (platform::isIntegralVariant(value) || value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        const double number = value.toDouble();
        return std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<bool> truthOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (platform::isIntegralVariant(value))
        return value.toLongLong() != 0;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        for (const char* yes : {"yes", "true", "1", "on"})
            if (text == QLatin1String(yes))
                return true;
        for (const char* no : {"no", "false", "0", "off"})
            if (text == QLatin1String(no))
                return false;
    }
    return std::nullopt;
}

std::optional<QDateTime> dateOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().isValid() ? std::optional<QDateTime>(value.toDateTime()) : std::nullopt;
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().isValid() ? std::optional<QDateTime>(value.toDate().startOfDay()) : std::nullopt;
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString().trimmed();
    QDateTime date = QDateTime::fromString(text, Qt::ISODate);
    if (!date.isValid())
        date = QDate::fromString(text, Qt::ISODate).startOfDay();
    if (!date.isValid())
        date = QLocale().toDate(text, QLocale::ShortFormat).startOfDay();
    if (!date.isValid())
        date = QLocale().toDateTime(text, QLocale::ShortFormat);
    return date.isValid() ? std::optional<QDateTime>(date) : std::nullopt;
}

std::optional<QColor> colourOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QColor)
        return value.value<QColor>().isValid() ? std::optional<QColor>(value.value<QColor>()) : std::nullopt;
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString().trimmed();
    QColor colour = platform::colorWithHexString(text);
    if (!colour.isValid())
        colour = QColor::fromString(text);
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}

std::optional<QUrl> urlOf(const QVariant& value)
{
    const QUrl url = value.typeId() == QMetaType::QUrl ? value.toUrl()
                     : value.typeId() == QMetaType::QString ? QUrl(value.toString().trimmed(), QUrl::StrictMode)
                                                            : QUrl();
    return url.isValid() && !url.isEmpty() ? std::optional<QUrl>(url) : std::nullopt;
}

template <class T> std::optional<QVariant> asVariant(const std::optional<T>& value)
{
    return value ? std::optional<QVariant>(QVariant::fromValue(*value)) : std::nullopt;
}

} // namespace

int indexForType(int type)
{
    for (int index = 0; index < kTypeIndexCount; ++index) {
        if (kTypeOfIndex[index] == type)
            return index;
    }
    return kNoTypeIndex;
}

int typeForIndex(int index)
{
    return index >= 0 && index < kTypeIndexCount ? kTypeOfIndex[index] : kNoType;
}

QString titleForIndex(int index)
{
    return VXMetadataItem::localizedDisplayNameForType(typeForIndex(index));
}

KeyedItem newItemForIndex(int index)
{
    switch (index) {
    case kBooleanIndex: return {QStringLiteral("bool"), VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeBoolean, true)};
    case kIntegerIndex: return {QStringLiteral("val"), VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeInteger, 0)};
    case kRealIndex: return {QStringLiteral("rval"), VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeReal, 0.0)};
    case kDateIndex:
        return {QStringLiteral("date"),
                VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeDate, QDate::currentDate().startOfDay())};
    case kColourIndex:
        return {QStringLiteral("color"), VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeColour, QColor(Qt::red))};
    case kURLIndex: return {QStringLiteral("url"), VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeURL, QUrl(kNewURLAddress))};
    default: return {QStringLiteral("str"), VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeString, QString())};
    }
}

std::optional<KeyedItem> predefinedAttributeForTag(int tag)
{
    const auto integer = [](const char* key, int value) {
        return KeyedItem{QString::fromLatin1(key), VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeInteger, value)};
    };
    const auto text = [](const QString& key) {
        return KeyedItem{key, VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeString, QString())};
    };
    switch (tag) {
    case 0: return text(QStringLiteral("name"));
    case 1: return integer("route_num", 1);
    case 2: return integer("QVNL_SEQUENCE_NUMBER", 1);
    case 3: return integer("QVNL_SEQUENCE_CARD", 1);
    case 4: return text(QStringLiteral("QVNL_SEQUENCE_INFO").toLower());
    case 5: return integer("bus_route", 19);
    default: return std::nullopt;
    }
}

QString titleForFindOption(int option)
{
    switch (option) {
    case kKeyContains: return QCoreApplication::translate("VXQAttributeController", "Key Contains");
    case kKeyBeginsWith: return QCoreApplication::translate("VXQAttributeController", "Key Begins With");
    case kTypeNameBeginsWith: return QCoreApplication::translate("VXQAttributeController", "Type Begins With");
    case kKeyEndsWith: return QCoreApplication::translate("VXQAttributeController", "Key Ends With");
    case kValueContains: return QCoreApplication::translate("VXQAttributeController", "Value Contains");
    case kValueBeginsWith: return QCoreApplication::translate("VXQAttributeController", "Value Begins With");
    default: return {};
    }
}

std::optional<QVariant> valueOfType(const QVariant& value, int type)
{
    if (!value.isValid() || platform::isNull(value))
        return std::nullopt;
    switch (type) {
    case kVXMetadataTypeInteger: return asVariant(integerOf(value));
    case kVXMetadataTypeUnsignedInteger: {
        const std::optional<qint64> number = integerOf(value);
        return number && *number >= 0 ? asVariant(number) : std::nullopt;
    }
    case kVXMetadataTypeReal: return asVariant(realOf(value));
    case kVXMetadataTypeBoolean: return asVariant(truthOf(value));
    case kVXMetadataTypeDate: return asVariant(dateOf(value));
    case kVXMetadataTypeColour: return asVariant(colourOf(value));
    case kVXMetadataTypeURL: return asVariant(urlOf(value));
    default: return VXMetadataItem::convertedValueForType(value, kVXMetadataTypeString);
    }
}

} // namespace attributetables
