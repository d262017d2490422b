#pragma once

// Paragraph attributes of attributed text: alignment, line breaking, spacing, indents, and
// the table blocks that place a paragraph in a cell of a text table.

#include <QList>
#include <QMetaType>
#include <memory>

namespace platform {

enum class TextAlignment { Left = 0, Right = 1, Centre = 2, Justified = 3, Natural = 4 };

enum class LineBreakMode {
    WordWrapping = 0,
    CharWrapping = 1,
    Clipping = 2,         // one line, not shortened
    TruncatingHead = 3,   // one line shortened with an ellipsis where the mode says
    TruncatingTail = 4,
    TruncatingMiddle = 5,
};

// A table that paragraphs join through their blocks; its identity ties the cells together.
struct TextTable {
    int numberOfColumns = 1;
};

struct TextTableBlock {
    std::shared_ptr<TextTable> table;
    int startingRow = 0;
    int rowSpan = 1;
    int startingColumn = 0;
    int columnSpan = 1;
    double padding = 0; // on every side, in points
    bool operator==(const TextTableBlock&) const = default;
};

struct ParagraphStyle {
    TextAlignment alignment = TextAlignment::Natural;
    LineBreakMode lineBreakMode = LineBreakMode::WordWrapping;
    double lineSpacing = 0;      // added between lines
    double paragraphSpacing = 0; // added after the paragraph
    double firstLineHeadIndent = 0;
    double headIndent = 0;
    QList<TextTableBlock> textBlocks;

    bool operator==(const ParagraphStyle&) const = default;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::ParagraphStyle)
