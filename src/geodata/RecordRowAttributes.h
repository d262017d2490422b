#pragma once

// The attributes a parse hands its records, each dBase row decoded once. Told beforehand
// which rows the records name, in order, it keeps a row that later records name again until
// the last of them has had it, and hands them all copies of one dictionary, shared with the
// one it keeps (AttributeDictionary::isShared) while more records will name it; a row named
// once is decoded, handed over and let go. Records that name rows in ascending order (the
// usual set, one row each) cost nothing beyond the decoding.

#include "geodata/AttributeValue.h"
#include "geodata/DBaseTable.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace geodata {

class RecordRowAttributes {
public:
    // `rows`: the row each record names, in the order they will be asked for.
    RecordRowAttributes(const DBaseTable& table, DBaseTable::TextEncoding encoding, std::vector<qint64> rows);

    struct Row {
        // Null when the row has none (outside the table, deleted, no fields).
        const AttributeDictionary* attributes = nullptr;
        // Of its numbers, those kept as text.
        quint64 numbersKeptAsText = 0;
    };
    // The attributes of the next record, which names `row`. Valid until the next call.
    Row attributesOfRow(qint64 row);

private:
    struct Decoded {
        std::optional<AttributeDictionary> attributes;
        quint64 numbersKeptAsText = 0;
    };
    struct Kept {
        qint64 requestsLeft = 0;
        std::optional<Decoded> decoded;
    };
    Decoded decode(qint64 row) const;
    Row hand(std::optional<AttributeDictionary> attributes, quint64 numbersKeptAsText);

    const DBaseTable& m_table;
    DBaseTable::TextEncoding m_encoding;
    // Rows that more than one record names; a throwing container, so that running out of
    // memory ends the parse rather than the process.
    std::unordered_map<qint64, Kept> m_repeated;
    // What the last call handed over.
    std::optional<AttributeDictionary> m_handed;
};

} // namespace geodata
