#pragma once

// The metadata values an import gives its objects, one copy for all records whose attributes
// are alike: records that name one dBase row (or rows that hold the same) share it, where one
// copy each would take the row's memory once per record. The values are implicitly shared; an
// object's copy detaches when its own attributes change.

#include "geodata/AttributeValue.h"
#include "platform/vantrix/model/MetadataContainer.h"

#include <QMultiHash>

class SharedAttributeValues {
public:
    platform::MetadataContainer::Values valuesFor(const geodata::AttributeDictionary& attributes);

    static platform::MetadataContainer::Values convert(const geodata::AttributeDictionary& attributes);

private:
    // The reader hands a row read again straight away over as the same copy.
    geodata::AttributeDictionary m_last;
    platform::MetadataContainer::Values m_lastValues;
    // By the hash of the attributes they were made from; the dictionaries are not kept.
    QMultiHash<size_t, platform::MetadataContainer::Values> m_made;
};
