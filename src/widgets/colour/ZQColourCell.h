#pragma once

// A colour swatch in a table: the item's colour (its edit role) drawn as a glossy swatch,
// at most 40 points wide, with a small menu triangle. A click (not a double click), or
// Space on the focused item, pops up the colour picker's swatches in a window menu at the
// cell; the colour picked becomes the item's when the menu closes. One colour cell tracks
// at a time in the whole application. The table's delegate object may veto a pop-up with
// an invokable colourCellShouldBeginTrackingInRow(ZQColourCell*, int) answering bool.

#include <QColor>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class KitImage;
class QInputEvent;

class ZQColourCell : public QStyledItemDelegate {
    Q_OBJECT
    Q_PROPERTY(QColor color READ trackingColour)

public:
    static constexpr double kMaximumSwatchWidth = 40.0;

    explicit ZQColourCell(QObject* parent = nullptr);

    bool menuEnabled() const { return m_menuEnabled; }
    void setMenuEnabled(bool flag) { m_menuEnabled = flag; }
    QObject* tableDelegate() const { return m_tableDelegate; }
    void setTableDelegate(QObject* delegate) { m_tableDelegate = delegate; }

    // The colour picked so far in the pop-up under way (invalid when none).
    static QColor trackingColour();
    static void setTrackingColour(const QColor& colour);
    static bool isTracking();
    static KitImage menuTriangleImageDark();
    static KitImage menuTriangleImageLight();

    // The swatch drawn in a cell's frame.
    static QRectF swatchRectForFrame(const QRectF& frame);
    // The triangle's rectangle for a swatch.
    static QRectF menuTriangleRectForSwatch(const QRectF& swatch);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Pops the picker up for the item; answers whether it did. Returns when it has closed.
    bool trackMouseInRectOfView(const QInputEvent* event, const QRect& frame, QAbstractItemView* view,
                                const QModelIndex& index);

    Q_INVOKABLE void colourChangeFromPicker(QObject* picker);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    bool delegateAllowsTrackingInRow(int row);
    void drawImmediately();

    QPointer<QObject> m_tableDelegate;
    QPointer<QAbstractItemView> m_controlView;
    QPersistentModelIndex m_trackedIndex;
    QRect m_frame;
    bool m_highlighted = false;
    bool m_menuEnabled = true;
};
