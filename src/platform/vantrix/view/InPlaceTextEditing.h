#pragma once

// The editor a drawing view lays over an area of its drawing to edit a text in place. The
// editor is a child of the view's viewport; the view calls place() whenever its zoom or
// scrolling changes, so the editor's text stays over its area, where the drawing shows the
// text, in the text's font at the view's scale; the editor's frame and margins lie around it. It never scrolls: when the text needs more lines than the area holds, the
// editor reaches further down. Opening posts kVXDrawingViewDidBeginTextEditing and closing
// kVXDrawingViewDidEndTextEditing, the view being the sender. Escape and the focus leaving
// the editor commit what was typed; so does Return, as its options say. Attributed text keeps
// its runs while it is edited (see AttributedTextDocument.h) and goes back to the delegate with them.

#include "platform/graphics/AttributedString.h"

#include <QFont>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QTextEdit;
class VXDrawingView;

namespace platform {

class InPlaceTextEditor;

// How an editor sizes itself and what Return does. The defaults suit text shapes: the
// editor is as wide as its area, reaches down as far as the text needs, and Return commits
// unless VXTextShape::returnInsertsNewline().
struct TextEditingOptions {
    // In drawing units; the editor keeps within them at every zoom. An empty maximum is no limit.
    QSizeF minimumSize;
    QSizeF maximumSize;
    // The editor widens with its longest line (up to the maximum width, where lines wrap)
    // instead of keeping its area's width.
    bool growsHorizontally = false;
    // Return commits and Shift-Return breaks the line, whatever text shapes do.
    bool returnCommits = false;
    // The attributes of text typed where no run gives any (into an emptied editor).
    TextAttributes typingAttributes;
    // The runs are edited, not only the characters.
    bool editsRuns = false;
};

class InPlaceTextEditing {
public:
    explicit InPlaceTextEditing(VXDrawingView& view);
    InPlaceTextEditing(const InPlaceTextEditing&) = delete;
    InPlaceTextEditing& operator=(const InPlaceTextEditing&) = delete;

    // Commits any edit in progress, then opens an editor holding `text` over `drawingRect`
    // and gives it the focus. `delegate` (a QObject implementing VXTextEditingDelegate; may
    // be null) hears of each change and how the edit ended. Tab types a tab.
    void begin(const AttributedString& text, const QRectF& drawingRect, QObject* delegate, const QFont& font,
               const TextEditingOptions& options = {});
    // Tells the delegate, posts the end and takes the editor away, handing the focus back to
    // the view if the editor had it. Nothing when not editing.
    void finish(bool cancelled);
    // Places the editor over its area and sizes its fonts for the view's scale.
    void place();
    // The open editor; null when not editing.
    QTextEdit* editor() const;

private:
    // Font sizes in the editor per point on the paper.
    double fontScale() const;

    VXDrawingView& m_view;
    QPointer<InPlaceTextEditor> m_editor;
    QPointer<QObject> m_delegate;
    QRectF m_drawingRect;
    QFont m_font;
    TextEditingOptions m_options;
};

} // namespace platform
