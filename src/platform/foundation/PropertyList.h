#pragma once

// Property lists (XML and binary) to and from QVariant, through libplist.
//
// Mapping: dictionary <-> QVariantMap (or OrderedDictionary, which keeps key order),
// array <-> QVariantList, string <-> QString (UTF-8), data <-> QByteArray,
// date <-> QDateTime (UTC), integer <-> qint64 (unsigned values above INT64_MAX <-> quint64),
// real <-> double, boolean <-> bool, UID <-> PlistUid.
// Writing also takes QVariantHash (keys sorted), QStringList, the other integer types,
// float, QDate (midnight UTC) and QByteArray.
//
// XML keeps dates to the second and writes a UID as the dictionary {"CF$UID": n}, which
// reading turns back into a PlistUid.

#include "platform/foundation/QuorvaneError.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace platform {

// A keyed-archive reference ("CF$UID").
struct PlistUid {
    quint64 value = 0;
    friend bool operator==(PlistUid a, PlistUid b) { return a.value == b.value; }
};

// A dictionary that keeps its keys in insertion order. Inserting an existing key replaces
// its value in place.
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

class PropertyList {
public:
    enum class Format { Xml, Binary };
    enum class DictionaryType { Map, Ordered };

    // Containers nested deeper than this are refused, reading and writing.
    static constexpr int kMaximumDepth = 512;
    // Larger inputs are refused before parsing.
    static constexpr qint64 kMaximumInputSize = qint64(1) << 30;

    // Reads XML or binary (detected from the bytes). Damaged input answers nullopt and sets
    // `error` (code 101); it never crashes, hangs or allocates without bound.
    static std::optional<QVariant> fromData(const QByteArray& data, QuorvaneError* error = nullptr,
                                            DictionaryType dictionaries = DictionaryType::Map);
    // Values of other types are refused with an error.
    static std::optional<QByteArray> toData(const QVariant& value, Format format, QuorvaneError* error = nullptr);

    static std::optional<QVariant> readFile(const QString& path, QuorvaneError* error = nullptr,
                                            DictionaryType dictionaries = DictionaryType::Map);
    // Writes atomically: a failed write leaves the old file.
    static bool writeFile(const QVariant& value, const QString& path, Format format, QuorvaneError* error = nullptr);

    // Whether toData would accept the value's types (a cheap walk, nothing is encoded).
    static bool isPropertyListValue(const QVariant& value);
};

} // namespace platform

Q_DECLARE_METATYPE(platform::PlistUid)
Q_DECLARE_METATYPE(platform::OrderedDictionary)
