#pragma once

// Text pasted from a pasteboard: the richest of its pasteable types that reads, RTF first,
// then HTML, then plain text (RTFD is not read). A type that does not read gives way to the
// next; when none reads, the reason the richest was refused is kept, so the user can be told
// why nothing was pasted. Text longer than a label or a text box holds is refused; reading
// stops as soon as the text passes that length, so a large clipboard is refused at once. So is
// text in more fonts than a label can lay out at once.

#include "platform/graphics/AttributedString.h"

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace platform {

class Pasteboard;

// In order of preference.
QStringList pasteableTextTypes();

// The most characters a label or a text box takes: laying out more would hold the window.
inline constexpr qsizetype kMaximumPastedTextLength = 50'000;
// The most different fonts (family, size and style) a pasted text may use: laying text out
// resolves each font against the installed ones, and beyond a few thousand Qt's font cache
// makes each resolution slower than the last.
inline constexpr qsizetype kMaximumPastedFontCount = 1'000;

struct PastedText {
    std::optional<AttributedString> text;
    // Why nothing was read although text was offered; empty otherwise.
    QString refusal;
};
PastedText pastedTextFromPasteboard(const Pasteboard& pasteboard);

// The pasted runs over the attributes of the text they join: what a run does not say it takes
// from `attributes`, and its font keeps what its source set and takes the rest from theirs.
AttributedString pastedTextOverAttributes(const AttributedString& pasted, const TextAttributes& attributes);

// Tells the user why the clipboard's text was not pasted, modal to `window`.
void presentUnpastableText(const QString& refusal, QWidget* window);

} // namespace platform
