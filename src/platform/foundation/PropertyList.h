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

#include "platform/foundation/OrderedDictionary.h"
#include "platform/foundation/QuorvaneError.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <optional>

namespace platform {

// A keyed-archive reference ("CF$UID").
struct PlistUid {
    quint64 value = 0;
    friend bool operator==(PlistUid a, PlistUid b) { return a.value == b.value; }
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

    // Only a regular file (a link is followed) is read: a pipe or a device is refused at once.
    static std::optional<QVariant> readFile(const QString& path, QuorvaneError* error = nullptr,
                                            DictionaryType dictionaries = DictionaryType::Map);
    // Writes atomically: a failed write leaves the old file. A link or special file in the
    // place is refused, never written through.
    static bool writeFile(const QVariant& value, const QString& path, Format format, QuorvaneError* error = nullptr);

    // Whether toData would accept the value's types (a cheap walk, nothing is encoded).
    static bool isPropertyListValue(const QVariant& value);
};

} // namespace platform

Q_DECLARE_METATYPE(platform::PlistUid)
