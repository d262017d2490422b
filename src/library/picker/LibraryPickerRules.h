#pragma once

// The picker palette's rules that need no window: its filter, which items a tool can take,
// the path bar's string and the snapping of the window's height to whole rows.

#include "platform/foundation/Predicate.h"
#include "widgets/iconview/JXDistributedViewProtocols.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

namespace librarypicker {

// Item kinds as class codes and filter kinds: 0 every kind, 1 styles, 2 symbols.
enum ItemKind { AnyKind = 0, StyleKind = 1, SymbolKind = 2 };

// The path bar's height, which the window gains or loses when it is shown or hidden.
inline constexpr double kPathBarHeight = 24.0;

// Null when nothing filters; otherwise "classCode == kind" (kinds 1 and 2) AND the name
// compared with the text as LibraryItemFiltering does (taken literally, any case and accents).
platform::PredicatePtr filterPredicate(int filterKind, const QString& text, int stringMode);

// What matching the items to a tool's kind does. Without hiding, kind 0 disables every item,
// 1 the symbols, 2 the styles and any other kind nothing; with hiding, the filter kind
// becomes the tool's (0 for kinds beyond 2) and only kind 0 disables anything (everything).
// An empty set to disable disables nothing.
struct ToolMatch {
    std::optional<int> filterKind;          // none: the filter is left as it is
    std::optional<JXIndexSet> disabledItems; // none: nothing; an empty set: everything
};
ToolMatch matchItemsToToolKind(qint64 toolKind, bool hidesNonMatching, const JXIndexSet& styleIndexes,
                               const JXIndexSet& symbolIndexes);

// "<category identifier>.<item name>", the dots of the name written "#$#"; the category's
// identifier alone without an item name.
QString identifierForItem(const QString& categoryIdentifier, const QString& itemName);
// The path bar's model value: every "/" of the identifier becomes "|", every "." a
// separator and "#$#" a dot again; percent-escaped, with a leading "/". Empty for none.
QString pathBarStringForIdentifier(const QString& identifier);
// The components of such a string, unescaped.
QStringList pathBarComponents(const QString& pathBarString);

// The window's content height snapped to whole rows: rows = max(1, round((height - 24) /
// rowHeight)), answering rows * rowHeight + 24 + fixedHeight. None while the row height is
// not a positive number (before the browser's first layout), so nothing is snapped then.
std::optional<double> snappedContentHeight(double contentHeight, double rowHeight, double fixedHeight);

// The stored window placement: a point string "{x, y}" and a frame string "x y width height".
// Text that does not read answers none.
QString pointString(QPoint point);
std::optional<QPoint> pointFromString(const QString& text);
QString frameString(const QRect& frame);
std::optional<QRect> frameFromString(const QString& text);
// A stored frame as it may be used: none when it meets no screen (or has no size), else
// moved (and shrunk where needed) into the screen it meets most.
std::optional<QRect> frameKeptOnScreens(const QRect& frame, const QList<QRect>& screens);

} // namespace librarypicker
