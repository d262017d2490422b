#pragma once

// Lays out an AttributedString with QTextLayout: one layout per paragraph, lines broken to
// a width, paragraphs placed top to bottom, and the paragraphs of a text table placed in
// its cells. Coordinates are points, y-down, with the origin at the top left of the text;
// fonts are resolved at 72 dots per inch so a 12 point font is 12 units high whatever
// device draws it.

#include "platform/graphics/AttributedString.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QTextLayout>
#include <memory>
#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;

namespace platform {

// Qt's word wrapping scans a whole word for a break before it breaks the word anywhere, for
// every line the word fills: an unbroken run costs the square of its length. Runs no longer
// than this are wrapped as Qt does; longer ones must be broken otherwise.
inline constexpr qsizetype kLongestScannedRun = 256;
// Whether `text` holds a run of more than kLongestScannedRun characters without a space.
bool hasLongUnbrokenRun(QStringView text);

class AttributedStringLayout {
public:
    // A width that is not positive lays every paragraph out on lines as long as it needs.
    AttributedStringLayout(const AttributedString& text, double width);
    ~AttributedStringLayout();

    // The space the laid-out text takes.
    QSizeF size() const { return m_size; }
    int lineCount() const;
    // The rectangle of each line, in order.
    QList<QRectF> lineFragmentRects() const;
    void drawAtPoint(QPainter* painter, QPointF origin) const;

    // The font used where a run names none.
    static QFont defaultFont();
    // The 72-dpi device fonts are resolved against, for measuring text as the layout does.
    static QPaintDevice* pointDevice();

private:
    struct Paragraph {
        std::unique_ptr<QTextLayout> layout;
        QPointF origin;
        double height = 0;
    };

    Paragraph layOutParagraph(TextRange range, double width, double top) const;
    double naturalWidth(TextRange range) const;
    // Lays out the run of paragraphs that share the table of paragraph `index`, moving
    // `index` past them; answers the table's height.
    double layOutTable(const QList<TextRange>& paragraphs, qsizetype& index, double width, double top);
    ParagraphStyle paragraphStyleAt(qsizetype index) const;
    QList<QTextLayout::FormatRange> formatsFor(TextRange range) const;

    AttributedString m_text;
    QFont m_defaultFont;
    bool m_linesTakeTheirNaturalWidth = false;
    std::vector<Paragraph> m_paragraphs;
    QSizeF m_size;
};

} // namespace platform
