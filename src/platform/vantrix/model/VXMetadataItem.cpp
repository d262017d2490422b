#include "platform/vantrix/model/VXMetadataItem.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QMimeData>
#include <cmath>

namespace {

const QString kTypeKey = QStringLiteral("VXMetadataItem_type");
const QString kValueKey = QStringLiteral("VXMetadataItem_value");
const QString kItemsKey = QStringLiteral("items");

int typeOfValue(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool: return kVXMetadataTypeBoolean;
    case QMetaType::Double:
    case QMetaType::Float: return kVXMetadataTypeReal;
    case QMetaType::QUrl: return kVXMetadataTypeURL;
    case QMetaType::QDateTime:
    case QMetaType::QDate: return kVXMetadataTypeDate;
    case QMetaType::QColor: return kVXMetadataTypeColour;
    default: return platform::isIntegralVariant(value) ? kVXMetadataTypeInteger : kVXMetadataTypeString;
    }
}

QString textOf(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QColor: return platform::hexString(value.value<QColor>());
    case QMetaType::QDateTime: return value.toDateTime().toString(Qt::ISODate);
    case QMetaType::QUrl: return value.toUrl().toString();
    case QMetaType::Double: return QString::number(value.toDouble(), 'g', 15);
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("YES") : QStringLiteral("NO");
    default: return platform::isNull(value) ? QString() : value.toString();
    }
}

double numberOf(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QString) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(number) ? number : 0.0;
    }
    if (value.metaType().id() == QMetaType::QColor || !value.canConvert<double>())
        return 0.0;
    const double number = value.toDouble();
    return std::isfinite(number) ? number : 0.0;
}

bool truthOf(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        return text == QLatin1String("yes") || text == QLatin1String("true") || numberOf(value) != 0;
    }
    return numberOf(value) != 0;
}

qint64 integerOf(const QVariant& value)
{
    if (platform::isIntegralVariant(value))
        return value.toLongLong();
    const double number = std::trunc(numberOf(value));
    return number >= -0x1p63 && number < 0x1p63 ? qint64(number) : 0;
}

} // namespace

VXMetadataValue VXMetadataValue::withTypeValue(int type, const QVariant& value)
{
    const int known = VXMetadataItem::isKnownType(type) ? type : int(kVXMetadataTypeString);
    return {known, VXMetadataItem::convertedValueForType(value, known)};
}

VXMetadataValue VXMetadataValue::withValue(const QVariant& value)
{
    return withTypeValue(typeOfValue(value), value);
}

quint32 VXMetadataValue::checksum() const
{
    const QByteArray text = QByteArray::number(type) + '\x1f' + textOf(value).toUtf8();
    return qChecksum(text);
}

QString VXMetadataValue::stringValue() const
{
    return textOf(value);
}

VXMetadataItem::VXMetadataItem() = default;

VXMetadataItemPtr VXMetadataItem::metadataItemWithValue(const QVariant& value)
{
    return metadataItemWithMetadataValue(VXMetadataValue::withValue(value));
}

VXMetadataItemPtr VXMetadataItem::metadataItemWithTypeValue(int type, const QVariant& value)
{
    return metadataItemWithMetadataValue(VXMetadataValue::withTypeValue(type, value));
}

VXMetadataItemPtr VXMetadataItem::metadataItemWithMetadataValue(const VXMetadataValue& value)
{
    auto item = std::make_shared<VXMetadataItem>();
    item->m_type = value.type;
    item->m_value = value.value;
    return item;
}

bool VXMetadataItem::isKnownType(int type)
{
    switch (type) {
    case kVXMetadataTypeString:
    case kVXMetadataTypeInteger:
    case kVXMetadataTypeReal:
    case kVXMetadataTypeBoolean:
    case kVXMetadataTypeUnsignedInteger:
    case kVXMetadataTypeURL:
    case kVXMetadataTypeDate:
    case kVXMetadataTypeColour: return true;
    default: return false;
    }
}

QVariant VXMetadataItem::convertedValueForType(const QVariant& value, int type)
{
    switch (type) {
    case kVXMetadataTypeInteger: return integerOf(value);
    case kVXMetadataTypeUnsignedInteger: return std::max<qint64>(0, integerOf(value));
    case kVXMetadataTypeReal: return numberOf(value);
    case kVXMetadataTypeBoolean: return truthOf(value);
    case kVXMetadataTypeURL: return value.metaType().id() == QMetaType::QUrl ? value : QVariant(QUrl(textOf(value)));
    case kVXMetadataTypeDate: {
        if (value.metaType().id() == QMetaType::QDateTime)
            return value;
        if (value.metaType().id() == QMetaType::QDate)
            return QDateTime(value.toDate(), QTime(0, 0));
        const QDateTime date = QDateTime::fromString(textOf(value), Qt::ISODate);
        return date.isValid() ? date : QDateTime();
    }
    case kVXMetadataTypeColour: {
        if (value.metaType().id() == QMetaType::QColor)
            return value;
        const QString text = textOf(value).trimmed();
        QColor colour = platform::colorWithHexString(text);
        if (!colour.isValid())
            colour = QColor::fromString(text);
        return colour.isValid() ? colour : QColor(Qt::black);
    }
    default: return textOf(value);
    }
}

void VXMetadataItem::setType(int type)
{
    if (!isKnownType(type))
        type = kVXMetadataTypeString;
    if (type == m_type)
        return;
    m_value = convertedValueForType(m_value, type);
    m_type = type;
}

void VXMetadataItem::setValue(const QVariant& value)
{
    m_value = convertedValueForType(value, m_type);
}

QString VXMetadataItem::stringValue() const
{
    return textOf(m_value);
}

qint64 VXMetadataItem::intValue() const
{
    return integerOf(m_value);
}

double VXMetadataItem::realValue() const
{
    return numberOf(m_value);
}

bool VXMetadataItem::boolValue() const
{
    return truthOf(m_value);
}

QColor VXMetadataItem::colourValue() const
{
    return convertedValueForType(m_value, kVXMetadataTypeColour).value<QColor>();
}

bool VXMetadataItem::isEqual(const VXMetadataItem& other) const
{
    return m_type == other.m_type && m_value == other.m_value;
}

quint32 VXMetadataItem::checksum() const
{
    return metadataValue().checksum();
}

QString VXMetadataItem::localizedDisplayNameForType(int type)
{
    switch (type) {
    case kVXMetadataTypeString: return QCoreApplication::translate("VXMetadataItem", "Text");
    case kVXMetadataTypeInteger: return QCoreApplication::translate("VXMetadataItem", "Integer");
    case kVXMetadataTypeReal: return QCoreApplication::translate("VXMetadataItem", "Real Number");
    case kVXMetadataTypeBoolean: return QCoreApplication::translate("VXMetadataItem", "Yes/No");
    case kVXMetadataTypeUnsignedInteger: return QCoreApplication::translate("VXMetadataItem", "Positive Integer");
    case kVXMetadataTypeURL: return QCoreApplication::translate("VXMetadataItem", "URL");
    case kVXMetadataTypeDate: return QCoreApplication::translate("VXMetadataItem", "Date");
    case kVXMetadataTypeColour: return QCoreApplication::translate("VXMetadataItem", "Colour");
    default: return QCoreApplication::translate("VXMetadataItem", "Unknown");
    }
}

void VXMetadataItem::writeMetadataItemsForKeysToPasteboard(const QList<VXMetadataItemPtr>& items,
                                                           const QStringList& keys, QMimeData* pasteboard)
{
    if (!pasteboard || items.size() != keys.size() || items.isEmpty())
        return;
    QVariantMap archived;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i])
            archived.insert(keys[i], QVariant::fromValue(ZQObjectPtr(items[i])));
    }
    platform::KeyedArchiver coder;
    coder.encodeObject(QVariant(archived), kItemsKey);
    pasteboard->setData(items.size() == 1 ? VXSingleMetadataItemPBoardType : VXMultipleMetadataItemsPBoardType,
                        coder.finishEncoding());
}

QMap<QString, VXMetadataItemPtr> VXMetadataItem::metadataItemsWithPasteboard(const QMimeData* pasteboard)
{
    QMap<QString, VXMetadataItemPtr> items;
    if (!pasteboard)
        return items;
    const QString type = pasteboard->hasFormat(VXMultipleMetadataItemsPBoardType) ? VXMultipleMetadataItemsPBoardType
                                                                                  : VXSingleMetadataItemPBoardType;
    platform::KeyedUnarchiver coder(pasteboard->data(type));
    if (!coder.isValid())
        return items;
    const QVariantMap archived = coder.decodeValue(kItemsKey).toMap();
    for (auto it = archived.cbegin(); it != archived.cend(); ++it) {
        if (auto item = std::dynamic_pointer_cast<VXMetadataItem>(it.value().value<ZQObjectPtr>()))
            items.insert(it.key().toLower(), item);
    }
    return items;
}

std::shared_ptr<ZQObject> VXMetadataItem::copy() const
{
    auto item = std::make_shared<VXMetadataItem>();
    item->m_type = m_type;
    item->m_value = m_value;
    return item;
}

void VXMetadataItem::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    encodeValueWithCoder(metadataValue(), coder);
}

void VXMetadataItem::encodeValueWithCoder(const VXMetadataValue& value, platform::KeyedArchiver& coder)
{
    coder.encodeInt(value.type, kTypeKey);
    // URLs travel as text; every other type is an archivable value.
    coder.encodeObject(value.type == kVXMetadataTypeURL ? QVariant(value.stringValue()) : value.value, kValueKey);
}

void VXMetadataItem::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const VXMetadataValue value = decodeValueWithCoder(coder);
    m_type = value.type;
    m_value = value.value;
}

VXMetadataValue VXMetadataItem::decodeValueWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    const int read = int(reader.integer(kTypeKey, kVXMetadataTypeString, 0, 1000));
    const int type = isKnownType(read) ? read : int(kVXMetadataTypeString);
    return {type, convertedValueForType(coder.decodeValue(kValueKey), type)};
}
