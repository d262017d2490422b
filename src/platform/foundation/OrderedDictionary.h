#pragma once

// A dictionary that keeps its keys in insertion order, for property lists whose order
// matters. Inserting an existing key replaces its value in place.

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {

class OrderedDictionary {
public:
    void insert(const QString& key, const QVariant& value);
    QVariant value(const QString& key, const QVariant& fallback = {}) const;
    bool contains(const QString& key) const { return m_index.contains(key); }
    QStringList keys() const;
    qsizetype size() const { return m_entries.size(); }
    const QList<QPair<QString, QVariant>>& entries() const { return m_entries; }
    QVariantMap toMap() const;
    friend bool operator==(const OrderedDictionary& a, const OrderedDictionary& b)
    {
        return a.m_entries == b.m_entries;
    }

private:
    QList<QPair<QString, QVariant>> m_entries;
    QHash<QString, qsizetype> m_index; // key -> position in m_entries
};

} // namespace platform

Q_DECLARE_METATYPE(platform::OrderedDictionary)
