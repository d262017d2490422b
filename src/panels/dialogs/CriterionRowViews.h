#pragma once

// The row widgets of the advanced search sheet, one kind per data type. Their controls are
// found by tag (the "tag" property), which the row controller wires:
//   1 property menu, 2 match-kind menu (items carry their match kind), 3 the value or a
//   range's start, 4 a range's end, 6 "Ignore case", 77 the delete button.
// Every data type has a row; a Set criterion (only ever read from an archive) shows its
// members read-only.

#include <QWidget>

namespace criterionrows {

enum Tag { kPropertyMenu = 1, kMatchKindMenu = 2, kValueField = 3, kRangeEndField = 4, kIgnoreCase = 6, kDelete = 77 };

inline constexpr int kRowHeight = 32;

// A new row for the data type (an Object row for unknown types).
QWidget* makeRowView(int dataType, QWidget* parent = nullptr);
// The row's control with that tag; null when it has none.
QWidget* controlWithTag(const QWidget* row, int tag);
template <class T>
T* controlWithTag(const QWidget* row, int tag)
{
    return qobject_cast<T*>(controlWithTag(row, tag));
}
int tagOf(const QObject* control);

} // namespace criterionrows
