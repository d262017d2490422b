#include "platform/graphics/AttributedStringLayout.h"

#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/TextFormatDigest.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextCharFormat>
#include <QTextOption>
#include <map>

namespace platform {

namespace {

// Wide enough for any line, small enough for QTextLayout's fixed-point widths.
constexpr double kUnlimitedWidth = 1e6;

template <typename T> std::optional<T> attribute(const TextAttributes& attributes, const QString& name)
{
    const QVariant value = attributes.value(name);
    if (value.metaType() == QMetaType::fromType<T>())
        return value.value<T>();
    if (value.isValid() && value.canConvert<T>())
        return value.value<T>();
    return std::nullopt;
}

QTextCharFormat charFormat(const TextAttributes& attributes, const QFont& defaultFont)
{
    QTextCharFormat format;
    format.setProperty(kAttributesDigestProperty, attributesDigest(attributes));
    const QFont font = attribute<QFont>(attributes, kFontAttributeName).value_or(defaultFont);
    format.setFont(font, QTextCharFormat::FontPropertiesAll);
    format.setForeground(attribute<QColor>(attributes, kForegroundColourAttributeName).value_or(Qt::black));
    if (const auto background = attribute<QColor>(attributes, kBackgroundColourAttributeName))
        format.setBackground(*background);
    format.setFontUnderline(attribute<int>(attributes, kUnderlineStyleAttributeName).value_or(0) != 0);
    format.setFontStrikeOut(attribute<int>(attributes, kStrikethroughStyleAttributeName).value_or(0) != 0);
    if (const auto kern = attribute<double>(attributes, kKernAttributeName)) {
        format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        format.setFontLetterSpacing(*kern);
    }
    const int superscript = attribute<int>(attributes, kSuperscriptAttributeName).value_or(0);
    if (superscript != 0)
        format.setVerticalAlignment(superscript > 0 ? QTextCharFormat::AlignSuperScript
                                                    : QTextCharFormat::AlignSubScript);
    // Qt offsets the baseline by a percentage of the font size.
    if (const auto offset = attribute<double>(attributes, kBaselineOffsetAttributeName); offset && font.pointSizeF() > 0)
        format.setBaselineOffset(*offset / font.pointSizeF() * 100);
    return format;
}

QTextOption textOption(const ParagraphStyle& style)
{
    QTextOption option;
    switch (style.alignment) {
    case TextAlignment::Left: option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    case TextAlignment::Right: option.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case TextAlignment::Centre: option.setAlignment(Qt::AlignHCenter); break;
    case TextAlignment::Justified: option.setAlignment(Qt::AlignJustify); break;
    case TextAlignment::Natural: option.setAlignment(Qt::AlignLeft); break;
    }
    switch (style.lineBreakMode) {
    case LineBreakMode::WordWrapping: option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere); break;
    case LineBreakMode::CharWrapping: option.setWrapMode(QTextOption::WrapAnywhere); break;
    default: option.setWrapMode(QTextOption::NoWrap); break;
    }
    return option;
}

std::optional<Qt::TextElideMode> elideMode(LineBreakMode mode)
{
    switch (mode) {
    case LineBreakMode::TruncatingHead: return Qt::ElideLeft;
    case LineBreakMode::TruncatingMiddle: return Qt::ElideMiddle;
    case LineBreakMode::TruncatingTail: return Qt::ElideRight;
    default: return std::nullopt;
    }
}

const TextTableBlock* tableBlock(const ParagraphStyle& style)
{
    return !style.textBlocks.isEmpty() && style.textBlocks.first().table ? &style.textBlocks.first() : nullptr;
}

int columnCount(const TextTableBlock& block)
{
    return std::max({block.table->numberOfColumns, block.startingColumn + block.columnSpan, 1});
}

QList<TextRange> paragraphRanges(const QString& text)
{
    QList<TextRange> ranges;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n') || text[i] == QChar::ParagraphSeparator) {
            ranges.append({start, i - start});
            start = i + 1;
        }
    }
    // A final separator ends the last paragraph rather than starting an empty one.
    if (start < text.size())
        ranges.append({start, text.size() - start});
    return ranges;
}

// Runs past kLongestScannedRun get a zero-width break opportunity between their characters,
// which breaks them where the line is full, as breaking anywhere would, in linear time.
constexpr QChar kZeroWidthSpace(0x200B);

bool isBreakable(QChar c)
{
    return c.isSpace() || c == kZeroWidthSpace;
}

// Between two characters of one run, unless they make one grapheme together.
bool mayBreakBetween(QChar before, QChar after)
{
    return !before.isHighSurrogate() && !after.isLowSurrogate() && !after.isMark();
}

// A paragraph's text with break opportunities in its long unbroken runs, and its format
// ranges moved to match.
void openLongRuns(QString& text, QList<QTextLayout::FormatRange>& formats)
{
    std::vector<std::pair<qsizetype, qsizetype>> runs; // start and end of each long run
    for (qsizetype i = 0; i < text.size();) {
        if (isBreakable(text[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !isBreakable(text[end]))
            ++end;
        if (end - i > kLongestScannedRun)
            runs.emplace_back(i, end);
        i = end;
    }
    if (runs.empty())
        return;
    QString opened;
    std::vector<qsizetype> shiftAt(size_t(text.size()) + 1, 0); // breaks inserted before each position
    qsizetype inserted = 0;
    size_t run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        shiftAt[size_t(i)] = inserted;
        opened.append(text[i]);
        while (run < runs.size() && runs[run].second <= i + 1)
            ++run;
        if (run < runs.size() && runs[run].first <= i && i + 1 < runs[run].second && mayBreakBetween(text[i], text[i + 1])) {
            opened.append(kZeroWidthSpace);
            ++inserted;
        }
    }
    shiftAt[size_t(text.size())] = inserted;
    for (QTextLayout::FormatRange& format : formats) {
        const qsizetype end = format.start + format.length;
        format.start += int(shiftAt[size_t(format.start)]);
        format.length = int(end + shiftAt[size_t(end)] - format.start);
    }
    text = std::move(opened);
}

} // namespace

bool hasLongUnbrokenRun(QStringView text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = isBreakable(c) ? 0 : run + 1;
        if (run > kLongestScannedRun)
            return true;
    }
    return false;
}

QFont AttributedStringLayout::defaultFont()
{
    return fontWithNameSize(QStringLiteral("Helvetica"), 12).value_or(systemFontOfSize(12));
}

QPaintDevice* AttributedStringLayout::pointDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
        return image;
    }();
    return &device;
}

AttributedStringLayout::AttributedStringLayout(const AttributedString& text, double width)
    : m_text(text)
    , m_defaultFont(defaultFont())
{
    const QList<TextRange> paragraphs = paragraphRanges(text.string());
    if (!(width > 0)) {
        m_linesTakeTheirNaturalWidth = true;
        width = 0;
        for (const TextRange& range : paragraphs) {
            const ParagraphStyle style = paragraphStyleAt(range.location);
            const TextTableBlock* block = tableBlock(style);
            const double natural = naturalWidth(range);
            width = std::max(width, block ? (natural + 2 * block->padding) * columnCount(*block) / std::max(1, block->columnSpan)
                                          : natural);
        }
    }
    width = std::min(width, kUnlimitedWidth);
    double y = 0;
    for (qsizetype i = 0; i < paragraphs.size();) {
        const ParagraphStyle style = paragraphStyleAt(paragraphs[i].location);
        if (tableBlock(style)) {
            y += layOutTable(paragraphs, i, width, y);
            continue;
        }
        Paragraph paragraph = layOutParagraph(paragraphs[i], width, y);
        y += paragraph.height + style.paragraphSpacing;
        m_paragraphs.push_back(std::move(paragraph));
        ++i;
    }
    double used = 0;
    for (const Paragraph& paragraph : m_paragraphs) {
        for (int l = 0; l < paragraph.layout->lineCount(); ++l)
            used = std::max(used, paragraph.origin.x() + paragraph.layout->lineAt(l).naturalTextRect().right());
    }
    m_size = QSizeF(used, y);
}

AttributedStringLayout::~AttributedStringLayout() = default;

ParagraphStyle AttributedStringLayout::paragraphStyleAt(qsizetype index) const
{
    return attribute<ParagraphStyle>(m_text.attributesAtIndexEffectiveRange(index), kParagraphStyleAttributeName)
        .value_or(ParagraphStyle());
}

QList<QTextLayout::FormatRange> AttributedStringLayout::formatsFor(TextRange range) const
{
    QList<QTextLayout::FormatRange> formats;
    m_text.enumerateAttributesInRange(range, [&](const TextAttributes& attributes, TextRange run) {
        formats.append({int(run.location - range.location), int(run.length), charFormat(attributes, m_defaultFont)});
    });
    return formats;
}

AttributedStringLayout::Paragraph AttributedStringLayout::layOutParagraph(TextRange range, double width,
                                                                          double top) const
{
    const ParagraphStyle style = paragraphStyleAt(range.location);
    const QTextCharFormat startFormat = charFormat(m_text.attributesAtIndexEffectiveRange(range.location), m_defaultFont);
    QString text = m_text.string().mid(range.location, range.length);
    QList<QTextLayout::FormatRange> formats = formatsFor(range);
    // Lines as long as they need (or wider than any run) are scanned once.
    if (style.lineBreakMode == LineBreakMode::WordWrapping && !m_linesTakeTheirNaturalWidth && width < kUnlimitedWidth)
        openLongRuns(text, formats);

    auto layOut = [&] {
        auto layout = std::make_unique<QTextLayout>(text, startFormat.font(), pointDevice());
        layout->setFormats(formats);
        layout->setTextOption(textOption(style));
        double y = 0;
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            const double indent = layout->lineCount() == 1 ? style.firstLineHeadIndent : style.headIndent;
            line.setLineWidth(std::max(0.0, width - indent));
            line.setPosition(QPointF(indent, y));
            y += line.height() + style.lineSpacing;
        }
        layout->endLayout();
        return Paragraph{std::move(layout), QPointF(0, top), std::max(0.0, y - style.lineSpacing)};
    };
    Paragraph paragraph = layOut();
    const auto elide = elideMode(style.lineBreakMode);
    const double available = width - style.firstLineHeadIndent;
    if (elide && paragraph.layout->lineCount() > 0 && paragraph.layout->lineAt(0).naturalTextWidth() > available) {
        // A shortened line keeps the look of its first character.
        text = QFontMetricsF(startFormat.font(), pointDevice()).elidedText(text, *elide, available);
        formats = {{0, int(text.size()), startFormat}};
        paragraph = layOut();
    }
    return paragraph;
}

double AttributedStringLayout::naturalWidth(TextRange range) const
{
    const Paragraph paragraph = layOutParagraph(range, kUnlimitedWidth, 0);
    double width = 0;
    for (int l = 0; l < paragraph.layout->lineCount(); ++l) {
        const QTextLine line = paragraph.layout->lineAt(l);
        width = std::max(width, line.x() + line.naturalTextWidth());
    }
    return width;
}

double AttributedStringLayout::layOutTable(const QList<TextRange>& paragraphs, qsizetype& index, double width,
                                           double top)
{
    const std::shared_ptr<TextTable> table = tableBlock(paragraphStyleAt(paragraphs[index].location))->table;
    struct Placed {
        Paragraph paragraph;
        TextTableBlock block;
        double offset; // below the earlier paragraphs of the same cell
    };
    std::vector<Placed> cells;
    std::map<std::pair<int, int>, double> cellHeights;
    int columns = 1;
    for (; index < paragraphs.size(); ++index) {
        const TextTableBlock* block = tableBlock(paragraphStyleAt(paragraphs[index].location));
        if (!block || block->table != table)
            break;
        columns = std::max(columns, columnCount(*block));
        cells.push_back({{}, *block, 0});
    }
    const double columnWidth = width / columns;
    std::map<int, double> rowHeights;
    for (size_t i = 0; i < cells.size(); ++i) {
        Placed& cell = cells[i];
        const TextRange range = paragraphs[index - qsizetype(cells.size()) + qsizetype(i)];
        const double contentWidth = columnWidth * std::max(1, cell.block.columnSpan) - 2 * cell.block.padding;
        cell.paragraph = layOutParagraph(range, contentWidth, 0);
        double& cellHeight = cellHeights[{cell.block.startingRow, cell.block.startingColumn}];
        cell.offset = cellHeight;
        cellHeight += cell.paragraph.height + paragraphStyleAt(range.location).paragraphSpacing;
        double& rowHeight = rowHeights[cell.block.startingRow];
        rowHeight = std::max(rowHeight, cellHeight + 2 * cell.block.padding);
    }
    std::map<int, double> rowTops;
    double y = top;
    for (const auto& [row, height] : rowHeights) {
        rowTops[row] = y;
        y += height;
    }
    for (Placed& cell : cells) {
        cell.paragraph.origin = QPointF(cell.block.startingColumn * columnWidth + cell.block.padding,
                                        rowTops[cell.block.startingRow] + cell.block.padding + cell.offset);
        m_paragraphs.push_back(std::move(cell.paragraph));
    }
    return y - top;
}

int AttributedStringLayout::lineCount() const
{
    int count = 0;
    for (const Paragraph& paragraph : m_paragraphs)
        count += paragraph.layout->lineCount();
    return count;
}

QList<QRectF> AttributedStringLayout::lineFragmentRects() const
{
    QList<QRectF> rects;
    for (const Paragraph& paragraph : m_paragraphs) {
        for (int l = 0; l < paragraph.layout->lineCount(); ++l)
            rects.append(paragraph.layout->lineAt(l).rect().translated(paragraph.origin));
    }
    return rects;
}

void AttributedStringLayout::drawAtPoint(QPainter* painter, QPointF origin) const
{
    for (const Paragraph& paragraph : m_paragraphs)
        paragraph.layout->draw(painter, origin + paragraph.origin);
}

} // namespace platform
