#pragma once

// One item of an icon grid: a square icon with an optional small badge over its corner and a
// centred title of one or more lines underneath, with highlights for icon and title and
// in-place editing of the title. The free-layout icon view uses it as its prototype.
//
// Layout for a frame (x, y, W, H), the title at the bottom: the title band is H / (6 x lines)
// high; the icon is the largest square that fits the rest inset by 2.

#include "widgets/iconview/JXDistributedViewCell.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QTextLayout>
#include <QPainterPath>
#include <memory>
#include <array>
#include <optional>

class ZQLabelledIconCell : public JXDistributedViewCell {
    Q_OBJECT

public:
    // How the icon fits its square: 0 shrinks a large icon only, 3 scales up or down.
    enum ImageScaling : unsigned { ImageScaleProportionallyDown = 0, ImageScaleProportionallyUpOrDown = 3 };
    // String-drawing options of the title.
    static constexpr unsigned kLineFragmentOrigin = 1;
    static constexpr unsigned kTruncatesLastVisibleLine = 32;

    struct TitleAttributes {
        QFont font;
        QColor colour;
        bool wordWrap = false;
    };

    Q_INVOKABLE ZQLabelledIconCell();

    QImage badgeImage() const { return m_badgeImage; }
    void setBadgeImage(const QImage& image) { m_badgeImage = image; }
    QColor highlightColour() const { return m_highlightColour; }
    void setHighlightColour(const QColor& colour) { m_highlightColour = colour; }
    QColor textBackgroundColour() const { return m_textBackgroundColour; }
    void setTextBackgroundColour(const QColor& colour);
    QColor textBackgroundHighlightColour() const { return m_textBackgroundHighlightColour; }
    void setTextBackgroundHighlightColour(const QColor& colour);
    unsigned imageScaling() const { return m_scaling; }
    void setImageScaling(unsigned scaling) { m_scaling = scaling; }
    unsigned numberOfTextLines() const { return m_textLines; }
    void setNumberOfTextLines(unsigned lines);
    bool isEditing() const { return m_isEditing; }
    bool showsEditingState() const override { return true; }
    void setIsEditing(bool editing) override { m_isEditing = editing; }
    void setHighlighted(bool highlighted) override;

    QRectF titleRectForFrame(const QRectF& frame) const;
    QRectF titleTextBoxForFrame(const QRectF& frame) const;
    QRectF imageRectForFrame(const QRectF& frame) const;
    QRectF badgeRectForFrame(const QRectF& frame) const;
    QPainterPath titleHighlightPathForFrame(const QRectF& frame) const;
    QPainterPath imageHighlightPathForFrame(const QRectF& frame) const;
    QRectF titleRectForBounds(const QRectF& bounds) const override { return titleTextBoxForFrame(bounds); }
    QRectF imageRectForBounds(const QRectF& bounds) const override { return imageRectForFrame(bounds); }
    QRectF editingRectForBounds(const QRectF& bounds) const override;
    QFont editingFont(const QRectF& bounds) const override { return titleAttributesForFrame(bounds).font; }

    // Built once per highlight state and frame size (not while editing).
    TitleAttributes titleAttributesForFrame(const QRectF& frame) const;
    unsigned titleOptions() const;

    void drawWithFrame(QPainter& painter, const QRectF& frame, const DrawContext& context) override;
    // Lays the title out line by line through one shared layout: at most numberOfTextLines
    // lines, the rest shortened in the middle on the last one.
    void drawTitleInRectHighlighted(QPainter& painter, const QString& title, const QRectF& rect, bool highlighted) const;

    std::shared_ptr<ZQObject> copy() const override;

private:
    void drawImageInRect(QPainter& painter, const QImage& image, const QRectF& rect, bool highQuality,
                         double fraction) const;
    void dropAttributeCaches() const;
    // The icon and title highlights of a frame size, drawn once into an image and reused.
    const QImage& highlightImage(QSizeF frameSize, qreal ratio, const QColor& iconFill) const;
    // A one-line title as drawn in `width` with `font`: shortened in the middle, its width,
    // and its glyphs laid out once for every later frame.
    struct ElidedTitle {
        QString shown;
        double advance = 0;
        std::shared_ptr<const QTextLayout> laidOut; // one line, shaped
    };
    const ElidedTitle& elidedTitle(const QString& title, const QFont& font, double width) const;

    QImage m_badgeImage;
    unsigned m_scaling = ImageScaleProportionallyUpOrDown;
    unsigned m_textLines = 1;
    QColor m_highlightColour;
    QColor m_textBackgroundColour = Qt::white;
    QColor m_textBackgroundHighlightColour;
    bool m_isEditing = false;
    mutable std::optional<TitleAttributes> m_selectedTextAttributesCache;
    mutable std::optional<TitleAttributes> m_unselectedTextAttributesCache;
    mutable QSizeF m_cachedBoundsSize{0, 0};
    struct HighlightImage {
        QSizeF frameSize;
        qreal ratio = 0;
        QColor iconFill, titleFill;
        QImage image;
    };
    mutable HighlightImage m_highlightImage;
    // Every frame redraws the same titles in the same font and width: measuring and shaping
    // them once spares doing both for every cell of every frame.
    struct ElidedTitles {
        QFont font;
        double width = -1;
        QHash<QString, ElidedTitle> titles;
    };
    // One for plain titles and one for the bold titles of highlighted cells: a rubber band
    // that selects cells as it grows draws both in every frame.
    mutable std::array<ElidedTitles, 2> m_elidedTitles;
};
