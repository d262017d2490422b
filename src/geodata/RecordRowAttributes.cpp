#include "geodata/RecordRowAttributes.h"

#include <algorithm>

namespace geodata {

RecordRowAttributes::RecordRowAttributes(const DBaseTable& table, DBaseTable::TextEncoding encoding,
                                         std::vector<qint64> rows)
    : m_table(table), m_encoding(encoding)
{
    if (std::adjacent_find(rows.begin(), rows.end(), std::greater_equal<>()) == rows.end())
        return; // every row named once
    std::sort(rows.begin(), rows.end());
    for (auto run = rows.begin(); run != rows.end();) {
        const auto end = std::upper_bound(run, rows.end(), *run);
        if (end - run > 1)
            m_repeated[*run].requestsLeft = end - run;
        run = end;
    }
}

RecordRowAttributes::Decoded RecordRowAttributes::decode(qint64 row) const
{
    Decoded decoded;
    decoded.attributes = m_table.attributesOfRow(row, m_encoding, &decoded.numbersKeptAsText);
    return decoded;
}

RecordRowAttributes::Row RecordRowAttributes::hand(std::optional<AttributeDictionary> attributes,
                                                   quint64 numbersKeptAsText)
{
    m_handed = std::move(attributes);
    return {m_handed ? &*m_handed : nullptr, numbersKeptAsText};
}

RecordRowAttributes::Row RecordRowAttributes::attributesOfRow(qint64 row)
{
    const auto repeated = m_repeated.find(row);
    if (repeated == m_repeated.end()) {
        Decoded decoded = decode(row);
        return hand(std::move(decoded.attributes), decoded.numbersKeptAsText);
    }
    Kept& kept = repeated->second;
    if (!kept.decoded)
        kept.decoded = decode(row);
    const quint64 numbersKeptAsText = kept.decoded->numbersKeptAsText;
    if (--kept.requestsLeft > 0)
        return hand(kept.decoded->attributes, numbersKeptAsText);
    // Its last record: handed over from here, no longer kept.
    std::optional<AttributeDictionary> last = std::move(kept.decoded->attributes);
    m_repeated.erase(repeated);
    return hand(std::move(last), numbersKeptAsText);
}

} // namespace geodata
