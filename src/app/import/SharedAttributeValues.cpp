#include "app/import/SharedAttributeValues.h"

using Values = platform::MetadataContainer::Values;

Values SharedAttributeValues::convert(const geodata::AttributeDictionary& attributes)
{
    Values values;
    for (const auto& [key, value] : attributes)
        values.insert(values.cend(), key, VXMetadataValue::withTypeValue(value.type(), value.value()));
    return values;
}

// Both are in key order.
bool SharedAttributeValues::holdsSame(const Values& values, const geodata::AttributeDictionary& attributes)
{
    if (values.size() != attributes.size())
        return false;
    auto made = values.cbegin();
    for (const auto& [key, value] : attributes) {
        if (made.key() != key || made.value() != VXMetadataValue::withTypeValue(value.type(), value.value()))
            return false;
        ++made;
    }
    return true;
}

Values SharedAttributeValues::valuesAlikeOrNew(const geodata::AttributeDictionary& attributes)
{
    if (!m_comparesContent)
        return convert(attributes);
    const size_t hash = qHash(attributes);
    const auto [first, last] = m_made.equal_range(hash);
    for (auto made = first; made != last; ++made) {
        if (holdsSame(made->second, attributes)) {
            m_foundAlike = true;
            return made->second;
        }
    }
    if (!m_foundAlike && qsizetype(m_made.size()) >= kDifferentRowsBeforeGivingUp) {
        m_comparesContent = false;
        m_made.clear();
        return convert(attributes);
    }
    return m_made.emplace(hash, convert(attributes))->second;
}

Values SharedAttributeValues::valuesFor(const geodata::AttributeDictionary& attributes)
{
    if (!m_last.isEmpty() && attributes.isSharedWith(m_last))
        return m_lastValues;
    Values values;
    if (const auto again = m_handedAgain.find(attributes.identity());
        again != m_handedAgain.end() && again->second.first.isSharedWith(attributes)) {
        values = again->second.second;
    } else {
        values = valuesAlikeOrNew(attributes);
        if (attributes.isShared())
            m_handedAgain.insert_or_assign(attributes.identity(), std::pair(attributes, values));
    }
    m_last = attributes;
    m_lastValues = values;
    return values;
}
