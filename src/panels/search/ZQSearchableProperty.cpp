#include "panels/search/ZQSearchableProperty.h"

#include "panels/search/MPSearchCriterion.h"
#include "platform/vantrix/model/VXMetadataItem.h"

ZQSearchableProperty::ZQSearchableProperty() = default;

ZQSearchablePropertyPtr ZQSearchableProperty::propertyWithIdentifierDataType(const QString& identifier, int dataType)
{
    auto property = std::make_shared<ZQSearchableProperty>();
    property->initWithIdentifierDataType(identifier, dataType);
    return property;
}

void ZQSearchableProperty::initWithIdentifierDataType(const QString& identifier, int dataType)
{
    m_identifier = identifier;
    m_dataType = dataType;
}

int ZQSearchableProperty::dataTypeForMetadataType(int metadataType)
{
    switch (metadataType) {
    case kVXMetadataTypeString: return kMPStringType;
    case kVXMetadataTypeInteger:
    case kVXMetadataTypeUnsignedInteger: return kMPIntegerType;
    case kVXMetadataTypeReal: return kMPFloatType;
    case kVXMetadataTypeBoolean: return kMPBooleanType;
    case kVXMetadataTypeDate: return kMPDateType;
    default: return -1;
    }
}

int ZQSearchableProperty::dataTypeForMetadataItem(const VXMetadataItem& item)
{
    return dataTypeForMetadataType(item.type());
}
