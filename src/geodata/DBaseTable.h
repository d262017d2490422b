#pragma once

// The attribute table of a shapefile (.dbf), read in place. The header is checked once
// against the buffer (in 64 bits); every field kept then lies inside a row, and every row
// inside the buffer, so decoding a row needs no further checks.

#include "geodata/AttributeValue.h"
#include "geodata/ZQDBaseFieldInfo.h"

#include <QByteArrayView>
#include <QList>
#include <optional>

namespace geodata {

class DBaseTable {
public:
    enum class TextEncoding { Latin1, Utf8 };

    // Nullopt when the header is damaged: shorter than 32 bytes, a record length of 0 or
    // above 32768, or rows that run past the end of the buffer; `damage` then says which,
    // as a clause ("its header ..."). Descriptors are read up to the 0x0D terminator or the
    // header's end; a field that does not fit in the row, or whose description the header's
    // end cuts, ends the field list there, and fieldsLeftOut() tells of it.
    static std::optional<DBaseTable> read(QByteArrayView data, QString* damage = nullptr);

    quint32 recordCount() const { return m_recordCount; }
    quint32 headerLength() const { return m_headerLength; }
    quint32 recordLength() const { return m_recordLength; }
    // Every field in file order; a repeated name keeps the later field.
    const QList<ZQDBaseFieldInfo>& fields() const { return m_fields; }
    // Why fields the header describes were not read, as a sentence; empty when all were.
    const QString& fieldsLeftOut() const { return m_fieldsLeftOut; }

    // The attributes of row `index` keyed by lower-cased field name, or nullopt when the
    // table has no rows or no fields, the index is outside the table or the row is deleted.
    // Numbers beyond a double's range stay text and are added to `numbersKeptAsText`.
    std::optional<AttributeDictionary> attributesOfRow(qint64 index, TextEncoding encoding,
                                                       quint64* numbersKeptAsText = nullptr) const;

    // About the memory the attributes of `rows` rows take once read and kept with their
    // records: each value under its key, and the text of character fields.
    qint64 attributeBytesOfRows(quint64 rows) const;

private:
    struct Column {
        ZQDBaseFieldInfo info;
        QString key; // lower-cased name, shared by every row's dictionary
    };

    std::optional<AttributeValue> decode(const Column& column, QByteArrayView text, qint64 row,
                                         TextEncoding encoding, quint64* numbersKeptAsText) const;

    QByteArrayView m_data;
    quint32 m_recordCount = 0;
    quint32 m_headerLength = 0;
    quint32 m_recordLength = 0;
    QList<ZQDBaseFieldInfo> m_fields;
    QString m_fieldsLeftOut;
    QList<Column> m_columns; // sorted by key
};

} // namespace geodata
