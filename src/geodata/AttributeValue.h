#pragma once

// The attributes of an imported record, as the drawing's metadata items will hold them:
// each value carries the metadata item's type code, so it maps onto an item one to one.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <variant>

namespace geodata {

class AttributeValue {
public:
    enum Type { String = 0, Integer = 1, Real = 2, Boolean = 3, Date = 9 };

    AttributeValue() = default;
    static AttributeValue string(QString value) { return AttributeValue(std::move(value)); }
    static AttributeValue integer(qint64 value) { return AttributeValue(value); }
    static AttributeValue real(double value) { return AttributeValue(value); }
    static AttributeValue boolean(bool value) { return AttributeValue(value); }
    static AttributeValue date(QDate value) { return AttributeValue(value); }

    Type type() const;
    QVariant value() const;

    bool operator==(const AttributeValue&) const = default;
    size_t hash(size_t seed = 0) const;

private:
    using Storage = std::variant<QString, qint64, double, bool, QDate>;
    explicit AttributeValue(Storage value) : m_value(std::move(value)) {}

    Storage m_value;
};

// Attributes keyed by lower-cased field name, kept sorted by key in one flat list: a record
// has a handful of them, and an import makes one dictionary per record.
class AttributeDictionary {
public:
    using Entry = std::pair<QString, AttributeValue>;

    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    bool contains(const QString& key) const;
    // The value under `key`, or an empty string value when there is none.
    AttributeValue value(const QString& key) const;
    QStringList keys() const;
    // Adds or replaces the value under `key`.
    void insert(const QString& key, AttributeValue value);
    void reserve(qsizetype size) { m_entries.reserve(size); }

    QList<Entry>::const_iterator begin() const { return m_entries.begin(); }
    QList<Entry>::const_iterator end() const { return m_entries.end(); }

    bool operator==(const AttributeDictionary&) const = default;
    // Whether the two are copies of one dictionary, as a row read once and handed on is.
    bool isSharedWith(const AttributeDictionary& other) const { return m_entries.isSharedWith(other.m_entries); }
    // Whether other copies of this one exist; never for an empty one.
    bool isShared() const { return !m_entries.isEmpty() && !m_entries.isDetached(); }
    // The same for all copies of one dictionary, and no other's while one of them lives.
    const void* identity() const { return m_entries.constData(); }

private:
    QList<Entry>::const_iterator find(const QString& key) const;

    QList<Entry> m_entries;
};

size_t qHash(const AttributeDictionary& attributes, size_t seed = 0);

} // namespace geodata
