#pragma once

// The order of an item browser's list: the descriptors the user (by clicking a column header)
// or a caller (by a sort mode or a list of descriptors) chose last. The first descriptor's key
// is the highlighted column; a sort mode names it by the low 15 bits (0 "name", 1 "kind",
// 2 "locked") and asks for descending order with bit 15. Every change answers the descriptors
// it replaced, for the browser to pass on; none answers nothing.

#include "library/tree/LibrarySortDescriptor.h"

#include <QList>
#include <QStringList>
#include <optional>

class LibraryItemSortOrder {
public:
    using Descriptors = QList<LibrarySortDescriptor>;

    // `columns` are the list's column keys, in order.
    explicit LibraryItemSortOrder(QStringList columns);

    const Descriptors& descriptors() const { return m_descriptors; }
    // -1 until a change names a column.
    int highlightedColumn() const { return m_highlightedColumn; }
    // 0 before any column is highlighted; not-found when the highlighted column has no mode.
    int sortMode() const;

    // The mode's column first (unless it already leads).
    std::optional<Descriptors> leadWithMode(int mode);
    // The column first, flipped when it already led.
    std::optional<Descriptors> leadWithColumn(int column);
    // Nothing when the caller gave these last or they are what the list shows.
    std::optional<Descriptors> setDescriptors(const Descriptors& descriptors);
    // Highlights the first descriptor's column; answers it (-1 for none).
    int highlightLeadingColumn();

private:
    std::optional<Descriptors> replaceWith(Descriptors descriptors);

    QStringList m_columns;
    Descriptors m_callersDescriptors;
    Descriptors m_descriptors;
    int m_highlightedColumn = -1;
};
