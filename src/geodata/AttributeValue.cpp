#include "geodata/AttributeValue.h"

#include <QHashFunctions>
#include <algorithm>

namespace geodata {

AttributeValue::Type AttributeValue::type() const
{
    static constexpr Type kTypes[] = {String, Integer, Real, Boolean, Date};
    return kTypes[m_value.index()];
}

QVariant AttributeValue::value() const
{
    return std::visit([](const auto& value) { return QVariant::fromValue(value); }, m_value);
}

size_t AttributeValue::hash(size_t seed) const
{
    return std::visit(
        [seed](const auto& value) {
            using ::qHash; // not the dictionary's, which hides it here
            return qHash(value, seed);
        },
        m_value);
}

size_t qHash(const AttributeDictionary& attributes, size_t seed)
{
    for (const auto& [key, value] : attributes)
        seed = value.hash(::qHash(key, seed));
    return seed;
}

QList<AttributeDictionary::Entry>::const_iterator AttributeDictionary::find(const QString& key) const
{
    return std::lower_bound(m_entries.begin(), m_entries.end(), key,
                            [](const Entry& entry, const QString& k) { return entry.first < k; });
}

bool AttributeDictionary::contains(const QString& key) const
{
    const auto at = find(key);
    return at != m_entries.end() && at->first == key;
}

AttributeValue AttributeDictionary::value(const QString& key) const
{
    const auto at = find(key);
    return at != m_entries.end() && at->first == key ? at->second : AttributeValue();
}

QStringList AttributeDictionary::keys() const
{
    QStringList list;
    list.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        list.append(entry.first);
    return list;
}

void AttributeDictionary::insert(const QString& key, AttributeValue value)
{
    // Rows insert in key order, so the common case appends.
    if (m_entries.isEmpty() || m_entries.constLast().first < key) {
        m_entries.emplaceBack(key, std::move(value));
        return;
    }
    const qsizetype at = find(key) - m_entries.begin();
    if (m_entries[at].first == key)
        m_entries[at].second = std::move(value);
    else
        m_entries.insert(at, Entry(key, std::move(value)));
}

} // namespace geodata
