#pragma once

// An attributed string shown in a QTextDocument for editing, and read back from it.
//
// Each run's whole attribute dictionary travels with its characters as a property of their
// character format, so what is typed into a run takes that run's attributes (the editor types
// in the format before the caret), and what the editor cannot show (kerning, baseline shifts,
// paragraph styles, any other name) comes back as it was. What the editor shows of a run: its
// font at a scale of its size, colour, underline, and super- or subscript.

#include "platform/graphics/AttributedString.h"

#include <functional>

class QTextCharFormat;
class QTextCursor;
class QTextDocument;

namespace platform {

// Replaces the document's content by `text`, fonts at `fontScale` times their size.
void setDocumentAttributedString(QTextDocument& document, const AttributedString& text, double fontScale);
// Sizes every run's font anew for another scale (the view zoomed).
void scaleDocumentFonts(QTextDocument& document, double fontScale);
// The document's text with its runs. Text without attributes of its own (typed into an empty
// document) takes `typingAttributes`; paragraph and line breaks come back as "\n".
AttributedString attributedStringFromDocument(const QTextDocument& document, const TextAttributes& typingAttributes);

// The attributes a character format carries; `typingAttributes` for one that carries none.
TextAttributes attributesOfFormat(const QTextCharFormat& format, const TextAttributes& typingAttributes);
// The format that shows and carries `attributes` at `fontScale`.
QTextCharFormat formatOfAttributes(const TextAttributes& attributes, double fontScale);
// Puts `text` in place of the cursor's selection, with its runs.
void insertAttributedString(QTextCursor& cursor, const AttributedString& text, double fontScale);
// The attributes of every run within the cursor's selection, in order.
QList<TextAttributes> attributesOfSelection(const QTextCursor& cursor, const TextAttributes& typingAttributes);
// Gives every run within the cursor's selection the attributes `change` makes of its own.
void changeAttributesOfSelection(QTextCursor& cursor, const TextAttributes& typingAttributes, double fontScale,
                                 const std::function<TextAttributes(const TextAttributes&)>& change);

} // namespace platform
