#pragma once

// What a drawing view reports to when its in-place text editor closes (see
// VXDrawingView::editTextInRectDelegate), and hears of each change while the editor is open.
// The delegate is a QObject that also implements this.

#include <QString>

class VXTextEditingDelegate {
public:
    virtual ~VXTextEditingDelegate() = default;
    // `text` is what the editor held; a cancelled edit should leave everything as it was.
    virtual void textEditingDidEnd(const QString& text, bool cancelled) = 0;
    // After each change the user makes: the editor's text and the caret's index in it.
    virtual void textEditingDidChange(const QString& text, qsizetype caret) {}
};
