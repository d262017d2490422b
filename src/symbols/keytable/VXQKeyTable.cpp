#include "symbols/keytable/VXQKeyTable.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "symbols/keytable/VXQKeyTableDatasource.h"
#include "symbols/keytable/VXQKeyTableTextShape.h"

#include <QColor>
#include <QScopedValueRollback>
#include <vector>

using platform::AttributedString;
using platform::TextAttributes;
using platform::TextRange;

namespace {

const QString kTextShapeKey = QStringLiteral("VXQKeyTable_textShape");
const QString kColumnsKey = QStringLiteral("VXQKeyTable_numberOfColumns");
constexpr double kCellPadding = 4.0;
constexpr double kColumnWidth = 250.0;
constexpr double kTableHeight = 150.0;
constexpr qsizetype kMaximumColumns = 1000;

// The row a run's attributes name; kNotFound for text outside the cells (or a damaged value).
qsizetype itemOf(const TextAttributes& attributes)
{
    const QVariant value = attributes.value(kVXQKeyTableItemIndexAttributeName);
    bool ok = false;
    const qint64 item = value.isValid() ? value.toLongLong(&ok) : -1;
    return ok && item >= 0 ? qsizetype(item) : VXQKeyTable::kNotFound;
}

// A stretch of text of one row, or of text outside the cells (item kNotFound).
struct Segment {
    qsizetype item;
    TextRange range;
    TextAttributes attributes; // those of its first character
};

// One walk over the runs; neighbouring runs of one row make one segment.
std::vector<Segment> segmentsOf(const AttributedString& text)
{
    std::vector<Segment> segments;
    text.enumerateAttributesInRange({0, text.length()}, [&](const TextAttributes& attributes, TextRange run) {
        const qsizetype item = itemOf(attributes);
        if (!segments.empty() && segments.back().item == item && item != VXQKeyTable::kNotFound)
            segments.back().range.length += run.length;
        else
            segments.push_back({item, run, attributes});
    });
    return segments;
}

// The table of the first text block in the attributes' paragraph style; none without one.
std::shared_ptr<platform::TextTable> tableOf(const TextAttributes& attributes)
{
    const QVariant style = attributes.value(platform::kParagraphStyleAttributeName);
    if (style.metaType() != QMetaType::fromType<platform::ParagraphStyle>())
        return nullptr;
    const QList<platform::TextTableBlock> blocks = style.value<platform::ParagraphStyle>().textBlocks;
    return blocks.isEmpty() ? nullptr : blocks.first().table;
}

// The text with the cells' own attributes: those of the whole text stay with the adornment.
const AttributedString& textOf(const VXTextShape& shape)
{
    return shape.textAdornment()->labelText();
}

} // namespace

VXQKeyTable::VXQKeyTable() = default;
VXQKeyTable::~VXQKeyTable() = default;

void VXQKeyTable::setDatasource(QObject* datasource)
{
    ZQ_ASSERT(!datasource || dynamic_cast<VXQKeyTableDatasource*>(datasource),
              QStringLiteral("%1 does not conform to the VXQKeyTableDatasource protocol")
                  .arg(datasource ? QString::fromLatin1(datasource->metaObject()->className()) : QString()));
    m_datasourceObject = datasource;
}

VXQKeyTableDatasource* VXQKeyTable::source() const
{
    return dynamic_cast<VXQKeyTableDatasource*>(m_datasourceObject.data());
}

void VXQKeyTable::setTextShape(const VXTextShapePtr& shape)
{
    m_textShape = shape;
    if (auto* keyShape = qobject_cast<VXQKeyTableTextShape*>(shape.get()))
        keyShape->setKeyTable(this);
    reloadData();
}

void VXQKeyTable::setNumberOfColumns(qsizetype columns)
{
    if (columns < 1 || columns == m_numberOfColumns)
        return;
    m_numberOfColumns = std::min(columns, kMaximumColumns);
    reloadData();
}

QSizeF VXQKeyTable::tableSize() const
{
    return {double(m_numberOfColumns) * kColumnWidth, kTableHeight};
}

void VXQKeyTable::reloadData()
{
    // Without data (a table just read, before its owner links it) the text stays as it is.
    if (m_isEditing || !m_textShape || !source())
        return;
    const AttributedString text = tableString();
    // The text follows the data; undoing the data's change rebuilds it.
    const platform::UndoSuspension suspension(m_textShape->undoManager());
    m_textShape->textAdornment()->setLabel(text);
}

TextAttributes VXQKeyTable::textAttributesForTableCells()
{
    const QFont font = platform::fontWithNameSize(QStringLiteral("Helvetica Bold"), 14).value_or(platform::systemFontOfSize(14));
    return {{platform::kFontAttributeName, QVariant::fromValue(font)},
            {platform::kForegroundColourAttributeName, QVariant::fromValue(QColor(Qt::black))}};
}

AttributedString VXQKeyTable::cellText(const QString& string, qsizetype item, TextAttributes attributes,
                                       const std::shared_ptr<platform::TextTable>& table) const
{
    platform::ParagraphStyle style;
    const QVariant existing = attributes.value(platform::kParagraphStyleAttributeName);
    if (existing.metaType() == QMetaType::fromType<platform::ParagraphStyle>())
        style = existing.value<platform::ParagraphStyle>();
    platform::TextTableBlock block;
    block.table = table;
    block.startingRow = int(item / m_numberOfColumns);
    block.startingColumn = int(item % m_numberOfColumns);
    block.padding = kCellPadding;
    style.textBlocks = {block};
    attributes.insert(platform::kParagraphStyleAttributeName, QVariant::fromValue(style));
    attributes.insert(kVXQKeyTableItemIndexAttributeName, qint64(item));
    return AttributedString(string + QLatin1Char('\n'), attributes);
}

AttributedString VXQKeyTable::tableString() const
{
    AttributedString text = m_textShape ? textOf(*m_textShape) : AttributedString();
    if (text.isEmpty())
        text = AttributedString(QStringLiteral("\n"));
    VXQKeyTableDatasource* data = source();
    const qsizetype rows = data ? std::max<qsizetype>(data->numberOfRowsInKeyTable(*this), 0) : 0;
    const std::vector<Segment> segments = segmentsOf(text);

    // Every cell joins one table, and new cells take the first cell's look.
    TextAttributes look = textAttributesForTableCells();
    std::shared_ptr<platform::TextTable> table;
    for (const Segment& segment : segments) {
        if (segment.item != 0)
            continue;
        look = segment.attributes;
        table = tableOf(segment.attributes);
        break;
    }
    if (!table || table->numberOfColumns != m_numberOfColumns) {
        table = std::make_shared<platform::TextTable>();
        table->numberOfColumns = int(m_numberOfColumns);
    }

    // Cells past the rows, and a row's cell met twice, go; missing rows are appended.
    AttributedString rebuilt;
    std::vector<bool> placed(size_t(rows), false);
    for (const Segment& segment : segments) {
        if (segment.item == kNotFound)
            rebuilt.appendAttributedString(text.attributedSubstringFromRange(segment.range));
        else if (segment.item < rows && !placed[size_t(segment.item)]) {
            placed[size_t(segment.item)] = true;
            rebuilt.appendAttributedString(
                cellText(data->keyTableStringValueForRowAtIndex(*this, segment.item), segment.item, segment.attributes, table));
        }
    }
    qsizetype appended = 0;
    for (qsizetype row = 0; row < rows; ++row) {
        if (placed[size_t(row)])
            continue;
        rebuilt.appendAttributedString(cellText(data->keyTableStringValueForRowAtIndex(*this, row), row, look, table));
        ++appended;
    }
    if (appended > 0)
        ZQLogObjCMethod(QStringLiteral("appended %1 cells to the table").arg(appended));
    return rebuilt;
}

void VXQKeyTable::textDidEditCharacterAtIndex(const AttributedString& text, qsizetype index)
{
    const QScopedValueRollback editing(m_isEditing, true);
    // With the caret after the last character, the character before it tells the cell.
    if (index == text.length() && index > 0)
        --index;
    const qsizetype item = itemIndexInTextAtCharacterIndex(text, index);
    VXQKeyTableDatasource* data = source();
    if (item == kNotFound || !data)
        return;
    const TextRange range = rangeOfTextForItemIndex(text, item);
    QString string = text.string().mid(range.location, range.length);
    if (string.endsWith(QLatin1Char('\n')))
        string.chop(1);
    data->keyTableSetStringValueForRowAtIndex(*this, string, item);
}

TextRange VXQKeyTable::rangeOfTextForItemIndex(const AttributedString& text, qsizetype item)
{
    for (const Segment& segment : segmentsOf(text))
        if (segment.item == item && item != kNotFound)
            return segment.range;
    return {kNotFound, 0};
}

qsizetype VXQKeyTable::itemIndexInTextAtCharacterIndex(const AttributedString& text, qsizetype index)
{
    if (index < 0 || index >= text.length())
        return kNotFound;
    return itemOf(text.attributesAtIndexEffectiveRange(index));
}

std::shared_ptr<platform::TextTable> VXQKeyTable::tableInTextForItemIndex(const AttributedString& text, qsizetype item)
{
    const TextRange range = rangeOfTextForItemIndex(text, item);
    if (range.location == kNotFound)
        return nullptr;
    return tableOf(text.attributesAtIndexEffectiveRange(range.location));
}

void VXQKeyTable::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeObject(m_textShape.get(), kTextShapeKey);
    coder.encodeInt(m_numberOfColumns, kColumnsKey);
}

void VXQKeyTable::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    m_numberOfColumns = reader.integer(kColumnsKey, 1, 1, kMaximumColumns);
    if (auto shape = reader.object<VXTextShape>(kTextShapeKey))
        setTextShape(shape);
    else
        ZQLog(QStringLiteral("a key table without its text shape was read"));
}
