#include "panels/search/SearchValues.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/ZQLog.h"

#include <QDateTime>
#include <algorithm>

namespace {

// An archived set holds at most this many ranges, so a damaged archive cannot ask for gigabytes.
constexpr qsizetype kMaximumArchivedRanges = 100000;

quint64 rangeEnd(SearchRange range)
{
    return range.location + std::min(range.length, std::numeric_limits<quint64>::max() - range.location);
}

} // namespace

void SearchIndexSet::addRange(SearchRange range)
{
    if (range.length == 0)
        return;
    quint64 start = range.location;
    quint64 end = rangeEnd(range);
    // Ranges that touch or overlap the new one merge with it.
    auto first = std::lower_bound(m_ranges.begin(), m_ranges.end(), start,
                                  [](SearchRange r, quint64 value) { return rangeEnd(r) < value; });
    auto last = first;
    while (last != m_ranges.end() && last->location <= end) {
        start = std::min(start, last->location);
        end = std::max(end, rangeEnd(*last));
        ++last;
    }
    const qsizetype at = first - m_ranges.begin();
    m_ranges.erase(first, last);
    m_ranges.insert(at, {start, end - start});
}

bool SearchIndexSet::contains(quint64 index) const
{
    const auto it = std::upper_bound(m_ranges.cbegin(), m_ranges.cend(), index,
                                     [](quint64 value, SearchRange r) { return value < r.location; });
    return it != m_ranges.cbegin() && std::prev(it)->contains(index);
}

QString SearchIndexSet::description() const
{
    QStringList parts;
    for (const SearchRange range : m_ranges)
        parts.append(range.length == 1 ? QString::number(range.location)
                                       : QStringLiteral("%1-%2").arg(range.location).arg(rangeEnd(range) - 1));
    return QLatin1Char('(') + parts.join(QLatin1Char(' ')) + QLatin1Char(')');
}

void SearchRangeValue::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeInt(qint64(range.location), QStringLiteral("location"));
    coder.encodeInt(qint64(range.length), QStringLiteral("length"));
}

void SearchRangeValue::initWithCoder(platform::KeyedUnarchiver& coder)
{
    range = {quint64(coder.decodeInt(QStringLiteral("location"))), quint64(coder.decodeInt(QStringLiteral("length")))};
}

void SearchIndexSetValue::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    QVariantList flat;
    for (const SearchRange range : indexes.ranges())
        flat << qint64(range.location) << qint64(range.length);
    coder.encodeObject(QVariant(flat), QStringLiteral("ranges"));
}

void SearchIndexSetValue::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const QVariantList flat = coder.decodeValue(QStringLiteral("ranges")).toList();
    if (flat.size() > 2 * kMaximumArchivedRanges) {
        ZQLogObjCMethod(QStringLiteral("index set with %1 values is too large, read as empty").arg(flat.size()));
        return;
    }
    for (qsizetype i = 0; i + 1 < flat.size(); i += 2) {
        if (!platform::isNumericVariant(flat[i]) || !platform::isNumericVariant(flat[i + 1]))
            continue;
        indexes.addRange({quint64(flat[i].toLongLong()), quint64(flat[i + 1].toLongLong())});
    }
}

namespace searchvalues {

QVariant archivableValue(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<SearchRange>()) {
        auto box = std::make_shared<SearchRangeValue>();
        box->range = value.value<SearchRange>();
        return QVariant::fromValue<ZQObjectPtr>(box);
    }
    if (value.metaType() == QMetaType::fromType<SearchIndexSet>()) {
        auto box = std::make_shared<SearchIndexSetValue>();
        box->indexes = value.value<SearchIndexSet>();
        return QVariant::fromValue<ZQObjectPtr>(box);
    }
    return value;
}

QVariant unarchivedValue(const QVariant& value)
{
    const ZQObject* object = platform::objectFromVariant(value);
    if (const auto* range = qobject_cast<const SearchRangeValue*>(object))
        return QVariant::fromValue(range->range);
    if (const auto* set = qobject_cast<const SearchIndexSetValue*>(object))
        return QVariant::fromValue(set->indexes);
    return value;
}

QString descriptionOfValue(const QVariant& value)
{
    if (platform::isNull(value))
        return QStringLiteral("(null)");
    if (value.metaType() == QMetaType::fromType<SearchRange>())
        return value.value<SearchRange>().description();
    if (value.metaType() == QMetaType::fromType<SearchIndexSet>())
        return value.value<SearchIndexSet>().description();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(Qt::ISODate);
    if (const ZQObject* object = platform::objectFromVariant(value))
        return object->description();
    return value.toString();
}

} // namespace searchvalues
