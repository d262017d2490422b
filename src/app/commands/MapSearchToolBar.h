#pragma once

// The search field of a map window's toolbar. Return sends "searchFieldAction" along the
// responder chain with the field as sender (its "text" is the search); the options menu beside
// it holds the quick-search options, tagged 0 (contains), 1 (starts with) and 2 (is equal to),
// which send "simpleSearchOptionsAction" and are checked by whoever validates them.

class QLineEdit;
class QToolBar;
class QWidget;

namespace MapSearchToolBar {

// A toolbar holding the options button and the field, for `window`.
QToolBar* make(QWidget* window);
// The field of such a toolbar in `window`; null when there is none.
QLineEdit* searchField(const QWidget* window);

} // namespace MapSearchToolBar
