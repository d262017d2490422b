#pragma once

// What a user can search for under one display name: the key path a criterion reads from each
// object and the data type of its values. Properties made from an object's attributes are
// marked as metadata.

#include "platform/foundation/ZQObject.h"

#include <QMap>

class VXMetadataItem;
class ZQSearchableProperty;
using ZQSearchablePropertyPtr = std::shared_ptr<ZQSearchableProperty>;
// Display name -> property; a later entry under a name replaces the earlier one.
using SearchablePropertyTable = QMap<QString, ZQSearchablePropertyPtr>;

class ZQSearchableProperty : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString identifier READ identifier)
    Q_PROPERTY(int dataType READ dataType)
    Q_PROPERTY(bool propertyIsMetadata READ propertyIsMetadata WRITE setPropertyIsMetadata)

public:
    ZQSearchableProperty();

    static ZQSearchablePropertyPtr propertyWithIdentifierDataType(const QString& identifier, int dataType);
    void initWithIdentifierDataType(const QString& identifier, int dataType);

    // The search data type of an attribute type; -1 for types that cannot be searched
    // (URLs, colours and the codes between).
    static int dataTypeForMetadataType(int metadataType);
    static int dataTypeForMetadataItem(const VXMetadataItem& item);

    QString identifier() const { return m_identifier; }
    int dataType() const { return m_dataType; }
    bool propertyIsMetadata() const { return m_propertyIsMetadata; }
    void setPropertyIsMetadata(bool isMetadata) { m_propertyIsMetadata = isMetadata; }

private:
    QString m_identifier;
    int m_dataType = 0;
    bool m_propertyIsMetadata = false;
};
