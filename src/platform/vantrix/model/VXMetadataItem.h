#pragma once

// One attribute value of a drawable or layer, with a type that decides how it is shown,
// edited, searched and converted. Changing the type converts the value; a value set on an
// item is converted to the item's type, so an item's value always has its type.

#include "platform/foundation/ZQObject.h"

#include <QColor>
#include <QDateTime>
#include <QMap>
#include <QUrl>

class QMimeData;
class VXMetadataItem;
using VXMetadataItemPtr = std::shared_ptr<VXMetadataItem>;

enum VXMetadataType {
    kVXMetadataTypeString = 0,
    kVXMetadataTypeInteger = 1,
    kVXMetadataTypeReal = 2,
    kVXMetadataTypeBoolean = 3,
    kVXMetadataTypeUnsignedInteger = 4,
    kVXMetadataTypeURL = 8,
    kVXMetadataTypeDate = 9,
    kVXMetadataTypeColour = 10,
};

inline const QString VXSingleMetadataItemPBoardType = QStringLiteral("application/x-quorvane.metadata-item");
inline const QString VXMultipleMetadataItemsPBoardType = QStringLiteral("application/x-quorvane.metadata-items");

// An item's type and value without the object: what drawables and layers keep, so that an
// attribute costs no QObject (an import makes millions of them).
struct VXMetadataValue {
    int type = kVXMetadataTypeString;
    QVariant value = QString();

    // `value` converted to `type`; an unknown type makes a string.
    static VXMetadataValue withTypeValue(int type, const QVariant& value);
    // The type follows the value, as for VXMetadataItem::metadataItemWithValue.
    static VXMetadataValue withValue(const QVariant& value);

    bool operator==(const VXMetadataValue& other) const { return type == other.type && value == other.value; }
    quint32 checksum() const;
    // The value as text, as VXMetadataItem::stringValue gives it; none for a null value.
    QString stringValue() const;
};

class VXMetadataItem : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QVariant value READ value WRITE setValue)
    Q_PROPERTY(int type READ type WRITE setType)
    Q_PROPERTY(QString stringValue READ stringValue STORED false)

public:
    VXMetadataItem();

    // The type follows the value: strings, integers, reals, booleans, URLs, dates, colours;
    // anything else becomes its string.
    static VXMetadataItemPtr metadataItemWithValue(const QVariant& value);
    static VXMetadataItemPtr metadataItemWithTypeValue(int type, const QVariant& value);
    static VXMetadataItemPtr metadataItemWithMetadataValue(const VXMetadataValue& value);
    VXMetadataValue metadataValue() const { return {m_type, m_value}; }

    int type() const { return m_type; }
    // An unknown type code makes a string item.
    void setType(int type);
    QVariant value() const { return m_value; }
    void setValue(const QVariant& value);

    QString stringValue() const;
    qint64 intValue() const;
    double realValue() const;
    bool boolValue() const;
    QColor colourValue() const;

    bool isEqual(const VXMetadataItem& other) const;
    quint32 checksum() const;

    static QString localizedDisplayNameForType(int type);
    static bool isKnownType(int type);
    // `value` converted to `type`; a value that does not convert gives the type's empty value.
    static QVariant convertedValueForType(const QVariant& value, int type);

    // Items travel as a keyed archive of a dictionary key -> item.
    static void writeMetadataItemsForKeysToPasteboard(const QList<VXMetadataItemPtr>& items, const QStringList& keys,
                                                      QMimeData* pasteboard);
    static QMap<QString, VXMetadataItemPtr> metadataItemsWithPasteboard(const QMimeData* pasteboard);

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    // What encodeWithCoder writes for an item of `value`, with no item made.
    static void encodeValueWithCoder(const VXMetadataValue& value, platform::KeyedArchiver& coder);
    // What initWithCoder reads, with no item made.
    static VXMetadataValue decodeValueWithCoder(platform::KeyedUnarchiver& coder);
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    int m_type = kVXMetadataTypeString;
    QVariant m_value = QString();
};
