#pragma once

// Draws one icon-view item: an image with a title beside it (left, right, below or above), the
// title shortened with "..." when it does not fit and set on a rounded capped box, a rounded
// selection box behind the image when selected, an optional background fill and separator
// line. It archives under "JXFIC..." keys and copies, sharing its image and colours.

#include "widgets/iconview/JXDistributedViewCell.h"

#include <QColor>
#include <functional>

class JXFinderIconCell : public JXDistributedViewCell {
    Q_OBJECT

public:
    // Where the image stands relative to the title.
    enum ImagePosition : quint64 { ImageLeft = 2, ImageRight = 3, ImageBelow = 4, ImageAbove = 5 };
    // Where a long title loses characters; any other value shortens in the middle.
    enum TruncateMode : quint64 { TruncateHead = 3, TruncateTail = 4, TruncateMiddle = 5 };
    static constexpr quint64 kImageScaleProportionallyUpOrDown = 3;

    Q_INVOKABLE JXFinderIconCell();
    // The designated initialiser: defaults of a new cell and `title`.
    void initTextCell(const QString& title);
    void initImageCell(const QImage& image);

    void setImage(const QImage& image) override;
    QColor nameColor() const { return m_nameColor; }
    void setNameColor(const QColor& colour) { m_nameColor = colour; }
    QColor boxColor() const { return m_boxColor; }
    void setBoxColor(const QColor& colour) { m_boxColor = colour; }
    QColor selectionColor() const { return m_selectionColor; }
    void setSelectionColor(const QColor& colour) { m_selectionColor = colour; }
    // Invalid: no background.
    QColor bgColor() const { return m_bgColor; }
    void setBgColor(const QColor& colour) { m_bgColor = colour; }
    quint64 imagePosition() const { return m_imagePosition; }
    void setImagePosition(quint64 position);
    quint64 truncateMode() const { return m_truncateMode; }
    void setTruncateMode(quint64 mode) { m_truncateMode = mode; }
    float alpha() const { return m_alpha; }
    void setAlpha(float alpha) { m_alpha = alpha; }
    quint64 imageScaling() const { return m_imageScaling; }
    void setImageScaling(quint64 scaling) { m_imageScaling = scaling; }
    bool drawSeparator() const { return m_drawSeparator; }
    void setDrawSeparator(bool on) { m_drawSeparator = on; }
    bool isFlipped() const { return m_flipped; }
    void setFlipped(bool flipped) { m_flipped = flipped; }
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    quint64 numberOfTitleLines() const { return m_textLines; }
    void setNumberOfTitleLines(quint64 lines) { m_textLines = lines; }
    double textFontSize() const { return m_textFontSize; }

    void resetColors();
    // Titles above or below the image are centred.
    void makeAlignmentConformImagePosition();

    // Sets the selected state and redraws `view`, when given.
    void highlightWithFrameInView(bool flag, const QRectF& frame, QWidget* view);
    // The title's size in the system font, and the image's height and 6 more when there is one.
    QSizeF cellSize() const;

    double textSizeForBox(const QRectF& box) const;
    QRectF titleRectForFrame(const QRectF& frame) const;
    QRectF imageRectForBounds(const QRectF& bounds) const override;
    QRectF titleRectForBounds(const QRectF& bounds) const override { return titleRectForFrame(bounds); }
    QFont editingFont(const QRectF& bounds) const override;

    // `title` shortened with "..." until `measure` says it fits in `maxWidth`.
    static QString shortenedTitle(const QString& title, const std::function<double(const QString&)>& measure,
                                  quint64 mode, float maxWidth);

    // The rectangles of one drawing pass: the title, its box and the image's box.
    struct Layout {
        QRectF title, titleBox, imageBox, image;
        QString shownTitle;
    };
    Layout layoutForFrame(const QRectF& frame, const std::function<QSizeF(const QString&)>& measure) const;

    void drawWithFrame(QPainter& painter, const QRectF& frame, const DrawContext& context) override;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    QColor m_nameColor;
    QColor m_boxColor;
    QColor m_selectionColor;
    QColor m_bgColor;
    quint64 m_imagePosition = ImageAbove;
    quint64 m_truncateMode = TruncateMiddle;
    float m_alpha = 1.0f;
    bool m_flipped = false;
    bool m_drawSeparator = false;
    double m_textFontSize = 0.0;
    quint64 m_imageScaling = 0;
    quint64 m_textLines = 1;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};
