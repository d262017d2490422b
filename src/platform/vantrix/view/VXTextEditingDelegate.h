#pragma once

// What a drawing view reports to when its in-place text editor closes (see
// VXDrawingView::editTextInRectDelegate). The delegate is a QObject that also implements this.

#include <QString>

class VXTextEditingDelegate {
public:
    virtual ~VXTextEditingDelegate() = default;
    // `text` is what the editor held; a cancelled edit should leave everything as it was.
    virtual void textEditingDidEnd(const QString& text, bool cancelled) = 0;
};
