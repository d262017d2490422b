#pragma once

// The media browser's thumbnail grid: a list view in icon mode whose cells all have one
// size, flowing left to right and wrapping. The zoom value (0 to 1) sets the thumbnail
// side; cells show the thumbnail on a frame in the selection colour, the name and the
// pixel size below it. Items are dragged out, never dropped in.

#include <QCache>
#include <QListView>
#include <QStaticText>
#include <QStyledItemDelegate>

class ZQImageBrowserView : public QListView {
    Q_OBJECT

public:
    static constexpr int kSmallestThumbnail = 48; // points
    static constexpr int kLargestThumbnail = 150;

    explicit ZQImageBrowserView(QWidget* parent = nullptr);

    double zoomValue() const { return m_zoomValue; }
    // Clamped to 0...1.
    void setZoomValue(double zoom);
    // Whether any part of the row's cell lies in the visible area.
    bool isRowVisible(int row) const;

private:
    void updateCellSize();

    double m_zoomValue = 0.5;
};

// Paints one cell of the grid: frame, thumbnail fitted in the icon square, name, pixel size.
class ImageBrowserCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The cell for thumbnails of `iconSide` points.
    static QSize cellSize(int iconSide, const QFontMetrics& metrics);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // Laying text out is the dearest part of a cell: the texts of the cells shown lately keep theirs.
    static constexpr int kCachedTexts = 2000;
    void drawCentredText(QPainter* painter, const QRect& rect, const QString& text) const;

    mutable QCache<QString, QStaticText> m_texts{kCachedTexts};
};
