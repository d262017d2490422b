#pragma once

// The value types a search criterion compares with besides numbers, texts and dates: a range
// of integers and a set of them. In an archive each travels as a small object of its own
// (SearchRangeValue, SearchIndexSetValue), since archives know no such values.

#include "platform/foundation/ZQObject.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <limits>

// {location, length}; the end, location + length, is not in the range.
struct SearchRange {
    quint64 location = 0;
    quint64 length = 0;

    // Unsigned arithmetic, so a value below the location is never inside.
    bool contains(quint64 value) const { return value >= location && value - location < length; }
    QString description() const { return QStringLiteral("{%1, %2}").arg(location).arg(length); }
    friend bool operator==(const SearchRange&, const SearchRange&) = default;
};

inline constexpr quint64 kSearchNotFound = std::numeric_limits<qint64>::max();

// A set of non-negative integers kept as sorted, disjoint, non-adjacent ranges.
class SearchIndexSet {
public:
    SearchIndexSet() = default;
    explicit SearchIndexSet(quint64 index) { addRange({index, 1}); }

    void addRange(SearchRange range);
    bool contains(quint64 index) const;
    const QList<SearchRange>& ranges() const { return m_ranges; }
    bool isEmpty() const { return m_ranges.isEmpty(); }
    // "(1 3-5)".
    QString description() const;
    friend bool operator==(const SearchIndexSet&, const SearchIndexSet&) = default;

private:
    QList<SearchRange> m_ranges;
};

Q_DECLARE_METATYPE(SearchRange)
Q_DECLARE_METATYPE(SearchIndexSet)

// A range as an archived object.
class SearchRangeValue : public ZQObject {
    Q_OBJECT

public:
    SearchRange range;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
};

// An index set as an archived object: its ranges as a flat list of locations and lengths.
class SearchIndexSetValue : public ZQObject {
    Q_OBJECT

public:
    SearchIndexSet indexes;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
};

namespace searchvalues {

// What an archive stores for a criterion's value: ranges and index sets boxed, the rest as is.
QVariant archivableValue(const QVariant& value);
// The reverse; boxes become their values.
QVariant unarchivedValue(const QVariant& value);
// A value as logs and descriptions show it; "(null)" for none.
QString descriptionOfValue(const QVariant& value);

} // namespace searchvalues
