#pragma once

// Draws the rows of the library manager's outline: source-list cells with the element's icon
// and count badge (orange for libraries, blue-grey otherwise), group rows 26 points high and
// the others 20, and read-only elements' names in dark grey italics unless selected.

#include "widgets/cells/ZQSourceListCell.h"

class LibraryOutlineCell : public ZQSourceListCell {
    Q_OBJECT

public:
    explicit LibraryOutlineCell(QObject* parent = nullptr);

    static constexpr int kGroupRowHeight = 26;
    static constexpr int kRowHeight = 20;
    static QColor libraryBadgeColour();
    static QColor categoryBadgeColour();

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    // A cell drawing library badges in their own colour.
    ZQSourceListCell* m_libraryCell;
    // The source-list cell draws the selection itself and lays the text out unselected.
    mutable bool m_paintingSelectedRow = false;
};
