#include "geodata/DBaseTable.h"

#include "geodata/NumberText.h"

#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <QLocale>
#include <QtEndian>
#include <algorithm>
#include <type_traits>
#include <variant>

namespace geodata {
namespace {

constexpr qint64 kDescriptorsOffset = 32;
constexpr qint64 kDescriptorLength = 32;
constexpr quint32 kMaximumRecordLength = 32768;
// A kept value: a map node holding its key (shared text) and a typed variant, with the
// allocator's share.
constexpr qint64 kBytesPerKeptValue = 112;

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; };
    qsizetype begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString decodedText(QByteArrayView bytes, DBaseTable::TextEncoding encoding)
{
    return encoding == DBaseTable::TextEncoding::Utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

std::optional<QDate> dateFromDigits(QByteArrayView text)
{
    text = trimmedBlanks(text);
    if (text.size() != 8)
        return std::nullopt;
    int parts[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    qsizetype at = 0;
    for (int p = 0; p < 3; ++p) {
        for (int i = 0; i < widths[p]; ++i, ++at) {
            if (text[at] < '0' || text[at] > '9')
                return std::nullopt;
            parts[p] = parts[p] * 10 + (text[at] - '0');
        }
    }
    const QDate date(parts[0], parts[1], parts[2]);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

// Numbers as the file wrote them: identifiers stay exact and measures take the double the
// writer printed. Text that is no number at all keeps its leading number, as blanks and "****"
// give 0; only a number beyond a double's range stays text, counted in `keptAsText`.
AttributeValue numericValue(QByteArrayView text, quint64* keptAsText)
{
    return std::visit(
        [&](const auto& number) {
            using Number = std::decay_t<decltype(number)>;
            if constexpr (std::is_same_v<Number, qint64>)
                return AttributeValue::integer(number);
            else if constexpr (std::is_same_v<Number, double>)
                return AttributeValue::real(number);
            else if constexpr (std::is_same_v<Number, QByteArrayView>) {
                if (keptAsText)
                    ++*keptAsText;
                return AttributeValue::string(QString::fromLatin1(number));
            } else
                return AttributeValue::real(leadingDouble(text));
        },
        numberOfText(text));
}

bool isTrue(char c) { return c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == '1'; }

} // namespace

std::optional<DBaseTable> DBaseTable::read(QByteArrayView data, QString* damage)
{
    const auto damaged = [damage](const QString& why) {
        if (damage)
            *damage = why;
        return std::nullopt;
    };
    const QLocale locale;
    if (data.size() < kDescriptorsOffset)
        return damaged(QCoreApplication::translate("DBaseTable", "it holds %1 bytes, fewer than the %2 of a header")
                           .arg(data.size())
                           .arg(kDescriptorsOffset));
    DBaseTable table;
    table.m_data = data;
    table.m_recordCount = qFromLittleEndian<quint32>(data.data() + 4);
    table.m_headerLength = qFromLittleEndian<quint16>(data.data() + 8);
    table.m_recordLength = qFromLittleEndian<quint16>(data.data() + 10);
    if (table.m_recordLength == 0)
        return damaged(QCoreApplication::translate("DBaseTable", "its header gives its rows no length"));
    if (table.m_recordLength > kMaximumRecordLength)
        return damaged(QCoreApplication::translate("DBaseTable",
                                                   "its header gives rows of %1 bytes, more than the %2 a table may have")
                           .arg(locale.toString(table.m_recordLength), locale.toString(kMaximumRecordLength)));
    const qint64 needed = qint64(table.m_recordCount) * table.m_recordLength + table.m_headerLength;
    if (needed > data.size())
        return damaged(QCoreApplication::translate("DBaseTable", "its header declares %1 rows of %2 bytes, which "
                                                                 "would take %3 bytes, but the file holds %4")
                           .arg(locale.toString(table.m_recordCount), locale.toString(table.m_recordLength),
                                locale.toString(needed), locale.toString(data.size())));

    const qint64 descriptorsEnd = std::min<qint64>(table.m_headerLength, data.size());
    quint32 offset = 0;
    qint64 at = kDescriptorsOffset;
    for (; at + kDescriptorLength <= descriptorsEnd && data[at] != 0x0D; at += kDescriptorLength) {
        const char* descriptor = data.data() + at;
        const quint32 length = quint8(descriptor[16]);
        const QString name = QString::fromLatin1(descriptor, qstrnlen(descriptor, 11));
        // The deletion flag takes the row's first byte.
        if (offset + length > table.m_recordLength - 1) {
            table.m_fieldsLeftOut =
                QCoreApplication::translate("DBaseTable", "The fields from “%1” on run past the table's rows of %2 "
                                                          "bytes and were not read.")
                    .arg(name)
                    .arg(table.m_recordLength);
            ZQLog(QStringLiteral("shapefile: the dBase fields run past the record length %1; "
                                 "the fields from #%2 on are not read")
                      .arg(table.m_recordLength)
                      .arg(table.m_fields.size()));
            break;
        }
        table.m_fields.removeIf([&](const ZQDBaseFieldInfo& field) { return field.name() == name; });
        table.m_fields.append(ZQDBaseFieldInfo(descriptor[11], length, offset, name));
        offset += length;
    }
    // A header that ends within a descriptor cuts that field and any after it off.
    if (table.m_fieldsLeftOut.isEmpty() && at < descriptorsEnd && data[at] != 0x0D) {
        const char* descriptor = data.data() + at;
        const QString name = QString::fromLatin1(descriptor, qstrnlen(descriptor, std::min<qint64>(11, data.size() - at)));
        table.m_fieldsLeftOut = QCoreApplication::translate("DBaseTable", "Its header of %1 bytes ends within the "
                                                                          "description of the field “%2”; the fields "
                                                                          "from it on were not read.")
                                    .arg(table.m_headerLength)
                                    .arg(name);
    }
    // Columns in key order, so that rows fill their dictionaries by appending; of fields
    // whose lower-cased names collide, the later one wins.
    for (const ZQDBaseFieldInfo& field : table.m_fields) {
        const QString key = field.name().toLower();
        table.m_columns.removeIf([&](const Column& column) { return column.key == key; });
        table.m_columns.append({field, key});
    }
    std::sort(table.m_columns.begin(), table.m_columns.end(),
              [](const Column& a, const Column& b) { return a.key < b.key; });
    return table;
}

std::optional<AttributeDictionary> DBaseTable::attributesOfRow(qint64 index, TextEncoding encoding,
                                                               quint64* numbersKeptAsText) const
{
    if (m_recordCount == 0 || m_columns.isEmpty() || index < 0 || index >= m_recordCount)
        return std::nullopt;
    const QByteArrayView row = m_data.sliced(m_headerLength + index * m_recordLength, m_recordLength);
    if (row[0] != ' ')
        return std::nullopt;

    AttributeDictionary attributes;
    attributes.reserve(m_columns.size());
    for (const Column& column : m_columns) {
        const QByteArrayView text = row.sliced(1 + column.info.fieldOffset(), column.info.length());
        if (std::optional<AttributeValue> value = decode(column, text, index, encoding, numbersKeptAsText))
            attributes.insert(column.key, *std::move(value));
    }
    return attributes;
}

qint64 DBaseTable::attributeBytesOfRows(quint64 rows) const
{
    qint64 perRow = 0;
    for (const Column& column : m_columns)
        perRow += kBytesPerKeptValue + (column.info.type() == 'C' ? 2 * qint64(column.info.length()) : 0);
    // At most 2^32 rows of at most 2048 fields of at most 255 characters: well within 64 bits.
    return qint64(std::min<quint64>(rows, m_recordCount)) * perRow;
}

std::optional<AttributeValue> DBaseTable::decode(const Column& column, QByteArrayView text, qint64 row,
                                                 TextEncoding encoding, quint64* numbersKeptAsText) const
{
    switch (column.info.type()) {
    case 'C':
        return AttributeValue::string(decodedText(trimmedBlanks(text), encoding).trimmed());
    case 'D':
        if (const std::optional<QDate> date = dateFromDigits(text))
            return AttributeValue::date(*date);
        return std::nullopt;
    case 'F':
    case 'N':
        return numericValue(text, numbersKeptAsText);
    case 'I':
        if (text.size() < 4)
            return std::nullopt;
        return AttributeValue::integer(qFromLittleEndian<qint32>(text.data()));
    case 'L':
        return AttributeValue::boolean(!text.isEmpty() && isTrue(text[0]));
    default:
        ZQLog(QStringLiteral("shapefile: a type '%1' was detected but wasn't parsed (record #%2, fieldname = %3)")
                  .arg(QChar::fromLatin1(column.info.type()))
                  .arg(row)
                  .arg(column.info.name()));
        return std::nullopt;
    }
}

} // namespace geodata
