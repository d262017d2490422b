#pragma once

// The text cell of a source list: an icon at the left, the name vertically centred in the
// middle and, at the right, a pill-shaped count badge or, while the row is busy, a square kept
// free for a busy indicator. The cell's image, count and busy state are its own fields; while
// painting an item, the item's decoration, BadgeCountRole and BusyRole stand in for them.

#include "widgets/cells/RSVerticallyCenteredTextFieldCell.h"

#include <QColor>
#include <QFont>
#include <QImage>

class ZQSourceListCell : public RSVerticallyCenteredTextFieldCell {
    Q_OBJECT

public:
    static constexpr qint64 kNoBadge = -1;
    enum Role { BadgeCountRole = Qt::UserRole + 121, BusyRole };

    explicit ZQSourceListCell(QObject* parent = nullptr);

    static QFont badgeAttributesFont();

    QImage image() const { return m_image; }
    void setImage(const QImage& image) { m_image = image; }
    qint64 badgeCount() const { return m_badgeCount; }
    void setBadgeCount(qint64 count) { m_badgeCount = count; }
    QColor badgeColour() const { return m_badgeColour; }
    void setBadgeColour(const QColor& colour) { m_badgeColour = colour; }
    bool isBusy() const { return m_busy; }
    void setBusy(bool busy) { m_busy = busy; }

    // Layout within a cell frame.
    QRectF iconRectForFrame(const QRectF& frame) const;
    QRectF badgeRectForFrame(const QRectF& frame) const;
    QRectF busyRectForFrame(const QRectF& frame) const;
    QRectF textRectForFrame(const QRectF& frame) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The item's decoration is the cell's icon, drawn by the cell, not by the style.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // Draws the parts in `frame`; `highlighted` is a selected row, `mainWindow` an active window.
    void drawIconForFrame(QPainter& painter, const QRectF& frame, bool enabled) const;
    void drawBadgeForFrame(QPainter& painter, const QRectF& frame, bool highlighted, bool mainWindow) const;

private:
    bool hasBadge() const { return m_badgeCount != kNoBadge && m_badgeCount != 0; }
    // This cell with the item's own values in place of the fields.
    void loadItem(const QModelIndex& index, ZQSourceListCell& cell) const;
    QStyleOptionViewItem textOption(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    QColor m_badgeColour;
    QImage m_image;
    qint64 m_badgeCount = kNoBadge;
    bool m_busy = false;
};
