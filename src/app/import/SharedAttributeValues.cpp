#include "app/import/SharedAttributeValues.h"

#include <algorithm>

platform::MetadataContainer::Values SharedAttributeValues::convert(const geodata::AttributeDictionary& attributes)
{
    platform::MetadataContainer::Values values;
    for (const auto& [key, value] : attributes)
        values.insert(key, VXMetadataValue::withTypeValue(value.type(), value.value()));
    return values;
}

platform::MetadataContainer::Values SharedAttributeValues::valuesFor(const geodata::AttributeDictionary& attributes)
{
    if (!m_last.isEmpty() && attributes.isSharedWith(m_last))
        return m_lastValues;
    platform::MetadataContainer::Values values = convert(attributes);
    const size_t hash = qHash(attributes);
    const auto [first, last] = m_made.equal_range(hash);
    if (const auto same = std::find(first, last, values); same != last)
        values = *same;
    else
        m_made.insert(hash, values);
    m_last = attributes;
    m_lastValues = values;
    return values;
}
