#include "platform/graphics/AttributedString.h"

#include <algorithm>

namespace platform {

AttributedString::AttributedString(const QString& string, const TextAttributes& attributes)
    : m_string(string)
{
    if (!string.isEmpty())
        m_runs.append({string.size(), attributes});
}

TextRange AttributedString::clipped(TextRange range) const
{
    qsizetype location = range.location, count = std::max<qsizetype>(range.length, 0);
    if (location < 0) {
        count = std::max<qsizetype>(count + location, 0);
        location = 0;
    }
    location = std::min(location, length());
    return {location, std::min(count, length() - location)};
}

qsizetype AttributedString::runIndexAt(qsizetype index, qsizetype* runStart) const
{
    if (index < 0)
        return -1;
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_runs.size(); ++i) {
        if (index < start + m_runs[i].length) {
            *runStart = start;
            return i;
        }
        start += m_runs[i].length;
    }
    return -1;
}

TextAttributes AttributedString::attributesAtIndexEffectiveRange(qsizetype index, TextRange* range) const
{
    qsizetype start = 0;
    const qsizetype i = runIndexAt(index, &start);
    if (range)
        *range = i < 0 ? TextRange{length(), 0} : TextRange{start, m_runs[i].length};
    return i < 0 ? TextAttributes() : m_runs[i].attributes;
}

QVariant AttributedString::attributeAtIndexLongestEffectiveRangeInRange(const QString& name, qsizetype index,
                                                                        TextRange* range, TextRange rangeLimit) const
{
    const TextRange limit = clipped(rangeLimit);
    qsizetype start = 0;
    const qsizetype i = limit.contains(index) ? runIndexAt(index, &start) : -1;
    if (i < 0) {
        if (range)
            *range = {limit.end(), 0};
        return {};
    }
    const QVariant value = m_runs[i].attributes.value(name);
    qsizetype low = start, high = start + m_runs[i].length;
    for (qsizetype j = i - 1; j >= 0 && low > limit.location && m_runs[j].attributes.value(name) == value; --j)
        low -= m_runs[j].length;
    for (qsizetype j = i + 1; j < m_runs.size() && high < limit.end() && m_runs[j].attributes.value(name) == value; ++j)
        high += m_runs[j].length;
    low = std::max(low, limit.location);
    high = std::min(high, limit.end());
    if (range)
        *range = {low, high - low};
    return value;
}

QVariant AttributedString::attributeAtIndexEffectiveRange(const QString& name, qsizetype index, TextRange* range) const
{
    return attributeAtIndexLongestEffectiveRangeInRange(name, index, range, {0, length()});
}

AttributedString AttributedString::attributedSubstringFromRange(TextRange range) const
{
    const TextRange r = clipped(range);
    AttributedString result;
    result.m_string = m_string.mid(r.location, r.length);
    qsizetype start = 0;
    for (const Run& run : m_runs) {
        const qsizetype from = std::max(start, r.location), to = std::min(start + run.length, r.end());
        if (to > from)
            result.m_runs.append({to - from, run.attributes});
        start += run.length;
    }
    return result;
}

qsizetype AttributedString::splitAt(qsizetype position)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_runs.size(); ++i) {
        if (position == start)
            return i;
        if (position < start + m_runs[i].length) {
            Run tail{start + m_runs[i].length - position, m_runs[i].attributes};
            m_runs[i].length = position - start;
            m_runs.insert(i + 1, tail);
            return i + 1;
        }
        start += m_runs[i].length;
    }
    return m_runs.size();
}

void AttributedString::mergeRuns()
{
    QList<Run> merged;
    for (const Run& run : std::as_const(m_runs)) {
        if (run.length == 0)
            continue;
        if (!merged.isEmpty() && merged.last().attributes == run.attributes)
            merged.last().length += run.length;
        else
            merged.append(run);
    }
    m_runs = merged;
}

template <typename Change> void AttributedString::changeAttributes(TextRange range, Change change)
{
    const TextRange r = clipped(range);
    if (r.length == 0)
        return;
    const qsizetype first = splitAt(r.location);
    const qsizetype last = splitAt(r.end());
    for (qsizetype i = first; i < last; ++i)
        change(m_runs[i].attributes);
    mergeRuns();
}

void AttributedString::setAttributesRange(const TextAttributes& attributes, TextRange range)
{
    changeAttributes(range, [&](TextAttributes& a) { a = attributes; });
}

void AttributedString::addAttributeValueRange(const QString& name, const QVariant& value, TextRange range)
{
    changeAttributes(range, [&](TextAttributes& a) { a.insert(name, value); });
}

void AttributedString::addAttributesRange(const TextAttributes& attributes, TextRange range)
{
    changeAttributes(range, [&](TextAttributes& a) { a.insert(attributes); });
}

void AttributedString::removeAttributeRange(const QString& name, TextRange range)
{
    changeAttributes(range, [&](TextAttributes& a) { a.remove(name); });
}

void AttributedString::replaceCharactersInRangeWithString(TextRange range, const QString& string)
{
    const TextRange r = clipped(range);
    const qsizetype source = r.length > 0 ? r.location : std::max<qsizetype>(r.location - 1, 0);
    replaceCharactersInRangeWithAttributedString(r, AttributedString(string, attributesAtIndexEffectiveRange(source)));
}

void AttributedString::replaceCharactersInRangeWithAttributedString(TextRange range,
                                                                    const AttributedString& replacement)
{
    const AttributedString inserted = replacement; // the replacement may be this string
    const TextRange r = clipped(range);
    const qsizetype first = splitAt(r.location);
    const qsizetype last = splitAt(r.end());
    m_runs.remove(first, last - first);
    for (qsizetype i = 0; i < inserted.m_runs.size(); ++i)
        m_runs.insert(first + i, inserted.m_runs[i]);
    m_string.replace(r.location, r.length, inserted.m_string);
    mergeRuns();
}

void AttributedString::insertAttributedStringAtIndex(const AttributedString& string, qsizetype index)
{
    replaceCharactersInRangeWithAttributedString({index, 0}, string);
}

void AttributedString::appendAttributedString(const AttributedString& string)
{
    // Only the runs that meet can merge, so building a text piece by piece stays linear.
    const AttributedString appended = string; // the string may be this one
    m_string += appended.m_string;
    for (const Run& run : appended.m_runs) {
        if (!m_runs.isEmpty() && m_runs.last().attributes == run.attributes)
            m_runs.last().length += run.length;
        else
            m_runs.append(run);
    }
}

void AttributedString::enumerateAttributesInRange(
    TextRange range, const std::function<void(const TextAttributes&, TextRange)>& block) const
{
    const TextRange limit = clipped(range);
    qsizetype start = 0;
    for (const Run& run : m_runs) {
        const qsizetype low = std::max(start, limit.location);
        const qsizetype high = std::min(start + run.length, limit.end());
        if (low < high)
            block(run.attributes, {low, high - low});
        start += run.length;
        if (start >= limit.end())
            break;
    }
}

void AttributedString::deleteCharactersInRange(TextRange range)
{
    replaceCharactersInRangeWithAttributedString(range, AttributedString());
}

} // namespace platform
