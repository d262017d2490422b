#pragma once

// A table or outline text cell with a small icon before its vertically centred text. The icon
// is the cell's `textFieldIcon`, or the item's decoration; without either it is a plain
// centred text cell. Editing starts 5 points further right than the text is drawn.

#include "widgets/cells/RSVerticallyCenteredTextFieldCell.h"

#include <QImage>

class ZQIconTextFieldCell : public RSVerticallyCenteredTextFieldCell {
    Q_OBJECT

public:
    static constexpr double kIconSide = 16.0;
    // Icon 16, gaps 3 and 5: where the text starts, from the frame's left edge.
    static constexpr double kTextShift = 24.0;

    using RSVerticallyCenteredTextFieldCell::RSVerticallyCenteredTextFieldCell;

    QImage textFieldIcon() const { return m_icon; }
    void setTextFieldIcon(const QImage& icon) { m_icon = icon; }

    // Where the icon goes in a cell frame.
    static QRectF iconRectForFrame(const QRectF& frame);
    QImage iconFor(const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The item's decoration is the cell's icon, drawn by the cell, not by the style.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    QImage m_icon;
};
