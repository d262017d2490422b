#pragma once

// The metadata values an import gives its objects, one copy for all records whose attributes
// are alike: records that name one dBase row (or rows that hold the same) share it, where one
// copy each would take the row's memory once per record. The values are implicitly shared; an
// object's copy detaches when its own attributes change.
//
// A row handed over again as a copy of the dictionary it came in (as the reader hands a row
// that several records name) is found by that alone: neither converted nor compared again.
// Rows are compared by content until many in a row have all differed, as they do in a table
// with a field of its own for each row (an identifier, a name): from then on each is converted
// alone, as comparing would only cost time and memory.

#include "geodata/AttributeValue.h"
#include "platform/vantrix/model/MetadataContainer.h"

#include <unordered_map>
#include <utility>

class SharedAttributeValues {
public:
    platform::MetadataContainer::Values valuesFor(const geodata::AttributeDictionary& attributes);

    static platform::MetadataContainer::Values convert(const geodata::AttributeDictionary& attributes);
    // Rows compared, none alike another, before the rest are taken as all different.
    static constexpr qsizetype kDifferentRowsBeforeGivingUp = 4096;

private:
    // Whether `values` are what `attributes` convert to.
    static bool holdsSame(const platform::MetadataContainer::Values& values,
                          const geodata::AttributeDictionary& attributes);
    platform::MetadataContainer::Values valuesAlikeOrNew(const geodata::AttributeDictionary& attributes);

    // The reader hands a row read again straight away over as the same copy.
    geodata::AttributeDictionary m_last;
    platform::MetadataContainer::Values m_lastValues;
    // Dictionaries that were shared when handed over, so will come again, by identity; each
    // kept, so that no other takes its identity.
    std::unordered_map<const void*, std::pair<geodata::AttributeDictionary, platform::MetadataContainer::Values>>
        m_handedAgain;
    // By the hash of the attributes they were made from; the dictionaries are not kept. The
    // containers throw when memory runs out, which ends the parse, not the process.
    std::unordered_multimap<size_t, platform::MetadataContainer::Values> m_made;
    bool m_foundAlike = false;
    bool m_comparesContent = true;
};
