#pragma once

// What a drawing view reports to when its in-place text editor closes (see
// VXDrawingView::editTextInRectDelegate), and hears of each change while the editor is open.
// The delegate is a QObject that also implements this.

#include "platform/graphics/AttributedString.h"

#include <QString>

class VXTextEditingDelegate {
public:
    virtual ~VXTextEditingDelegate() = default;
    // `text` is what the editor held; a cancelled edit should leave everything as it was.
    virtual void textEditingDidEnd(const QString& text, bool cancelled) {}
    // The same with the text's runs; delegates that edit attributed text take this one.
    virtual void attributedTextEditingDidEnd(const platform::AttributedString& text, bool cancelled)
    {
        textEditingDidEnd(text.string(), cancelled);
    }
    // After each change the user makes: the editor's text and the caret's index in it.
    virtual void textEditingDidChange(const QString& text, qsizetype caret) {}
};
