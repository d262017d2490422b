#include "platform/foundation/OrderedDictionary.h"

namespace platform {

void OrderedDictionary::insert(const QString& key, const QVariant& value)
{
    const auto found = m_index.constFind(key);
    if (found != m_index.cend()) {
        m_entries[*found].second = value;
        return;
    }
    m_index.insert(key, m_entries.size());
    m_entries.append({key, value});
}

QVariant OrderedDictionary::value(const QString& key, const QVariant& fallback) const
{
    const auto found = m_index.constFind(key);
    return found == m_index.cend() ? fallback : m_entries[*found].second;
}

QStringList OrderedDictionary::keys() const
{
    QStringList keys;
    keys.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        keys.append(entry.first);
    return keys;
}

QVariantMap OrderedDictionary::toMap() const
{
    QVariantMap map;
    for (const auto& entry : m_entries)
        map.insert(entry.first, entry.second);
    return map;
}

} // namespace platform
