#pragma once

// The media browser's thumbnail grid: cells of one size flowing left to right and wrapping,
// each centred across its column. The zoom value (0 to 1) sets the thumbnail side; cells
// show the thumbnail on a frame in the selection colour, the name and the pixel size below
// it. Items are dragged out, never dropped in. Positions are worked out from the row number,
// so a model of any length is laid out at once and only the rows on screen are painted.

#include "media/window/UniformCellGrid.h"

#include <QAbstractItemView>
#include <QCache>
#include <QStaticText>
#include <QStyledItemDelegate>

class ZQImageBrowserView : public QAbstractItemView {
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
    // The room each item takes, its cell and the spacing around it.
    QSize gridSize() const { return m_gridSize; }

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void updateCellSize();
    void updateGrid();
    int itemCount() const;
    QPoint offset() const { return {horizontalOffset(), verticalOffset()}; }

    double m_zoomValue = 0.5;
    QSize m_gridSize;
    UniformCellGrid m_grid;
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
    // Shortening a name to its cell is dear too: the names shown lately keep their short form.
    QString elidedName(const QString& name, const QStyleOptionViewItem& option, int width) const;
    // Laying text out is the dearest part of a cell: the texts of the cells shown lately keep theirs.
    static constexpr int kCachedTexts = 2000;
    void drawCentredText(QPainter* painter, const QRect& rect, const QString& text) const;

    mutable QCache<QString, QStaticText> m_texts{kCachedTexts};
    mutable QCache<QString, QString> m_elidedNames{kCachedTexts};
    mutable int m_elidedWidth = -1;
    mutable QFont m_elidedFont;
};
