#pragma once

// The item browser's rules that need no widget: cell sizes, sort modes, disabled items,
// the print grid and the delete message.

#include "widgets/iconview/JXDistributedViewProtocols.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <optional>

namespace librarybrowser {

// The square icon cell of a sizing: 0 -> 80 points, 1 -> 96, 2 -> 128, 3 -> 48, else 96.
QSizeF iconSizeForSizing(int sizing);

// Sort modes: the low 15 bits pick the list column, bit 15 means descending.
inline constexpr int kSortDescendingBit = 0x8000;
// "name" for 0 and any unknown column, "kind" for 1, "locked" for 2.
QString sortColumnKeyForMode(int mode);
bool sortModeIsDescending(int mode);
// 0 for "name" (and for no column), 1 "kind", 2 "locked", -1 for any other key.
int sortModeForColumnKey(const QString& key);

// Which items are disabled: none without a set, every item with an empty set, else the set's.
struct DisabledItems {
    std::optional<JXIndexSet> set;

    bool allDisabled() const { return set && set->empty(); }
    bool isDisabled(qint64 index) const { return set && (set->empty() || set->count(index) != 0); }
    // The part of a proposed selection that may be selected.
    JXIndexSet filterSelection(const JXIndexSet& proposed) const;
};

// The lock command's state for the locked flags of the selected items: 0 with none selected,
// 1 when all are unlocked, 0 when all are locked, -1 when they differ.
int editingStateForLockedFlags(const QList<bool>& locked);

// The grid a printout lays items on: 52-point squares, at least one column however narrow the
// page (a narrower page has no whole column, and an item is scaled to fit it).
struct PrintGrid {
    static constexpr double kCellPitch = 52.0;
    qint64 columns = 1;
    qint64 rows = 0;

    static PrintGrid forWidthAndCount(double printableWidth, qint64 count);
    QSizeF viewSize() const { return {columns * kCellPitch, rows * kCellPitch}; }
};

// "Really delete “Road”? ..." for one item, "Really delete 3 Items? ..." for several.
QString deleteItemsMessage(const QStringList& itemNames, const QString& libraryName);

// The icon view's background for a colour index: 1 white, 2 grey 0.95, 3 light grey, 4 black,
// anything else the standard background.
QColor backgroundColourForIndex(int index);
QColor standardBackgroundColour();
QColor cellSelectionColour();
// What a cell shows while its item's preview is still being read or drawn.
QImage placeholderPreviewImage();
// "VL_Not_Editable" at 16 x 16 points, made once.
QImage lockBadgeImage();

} // namespace librarybrowser
