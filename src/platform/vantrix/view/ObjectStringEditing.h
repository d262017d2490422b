#pragma once

// Editing the text of a text shape or text path in place in a drawing view, with its runs:
// font changes reach the selected characters and pasted rich text keeps its runs. The commit
// sets the text (an attribute covering all of it becoming the adornment's own), and grows a
// text shape's box to hold it, as one undo step "Edit Text"; an unchanged or cancelled edit
// leaves none. An object that implements VXTextEditingDelegate itself hears the edit instead,
// as plain text, and commits it.

#include <memory>

class VXDrawableObject;
class VXDrawingView;

namespace platform {

// Text shapes and text paths.
bool hasEditableString(const VXDrawableObject& object);

// Answers false, starting nothing, when the object has no string to edit or is locked. A text
// path's editor keeps to one line, widening as it is typed into; Return commits it.
bool editObjectStringInView(const std::shared_ptr<VXDrawableObject>& object, VXDrawingView& view);

} // namespace platform
