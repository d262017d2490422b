#pragma once

// Draws each item of an item view as a style button: the item's decoration (an image,
// pixmap or icon) in the bezel, no title, on while selected, pressed while the mouse is
// down on it, washed out when the item is disabled.

#include "widgets/buttons/ZQStyleButtonCell.h"

#include <QStyledItemDelegate>

class ZQStyleButtonItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ZQStyleButtonItemDelegate(QObject* parent = nullptr);

    // The cell every item is drawn with, to set corner radius and colours on.
    ZQStyleButtonCell& cell() { return m_cell; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    mutable ZQStyleButtonCell m_cell;
};
