#pragma once

// The text shape that shows a key table. Edited in place, it takes the edit itself: each
// change reports the cell under the caret to its table, which passes the cell's text to the
// table's data source; when the edit ends the table rebuilds from the data, so the table's
// text is never replaced by the editor's plain string. The editor holds plain text, one
// paragraph per cell, so its paragraphs stand for the cells of the same place in the table.
// A shape no table feeds (a pasted copy) takes the edited string as a plain text shape does.
//
// The link to the table is neither copied nor archived: the table archives its shape and
// links it again.

#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"

#include <QPointer>

class VXQKeyTable;

class VXQKeyTableTextShape : public VXTextShape, public VXTextEditingDelegate {
    Q_OBJECT

public:
    VXQKeyTableTextShape();
    ~VXQKeyTableTextShape() override;

    // An empty shape filling `rect`.
    static std::shared_ptr<VXQKeyTableTextShape> keyTableTextShapeInRect(const QRectF& rect);

    VXQKeyTable* keyTable() const { return m_keyTable; }
    void setKeyTable(VXQKeyTable* table) { m_keyTable = table; }

    // The editor's text with each paragraph standing for the cell at the same place in the
    // shape's text.
    platform::AttributedString editedTextAsCells(const QString& edited) const;

    // VXTextEditingDelegate
    void textEditingDidChange(const QString& text, qsizetype caret) override;
    void textEditingDidEnd(const QString& text, bool cancelled) override;

private:
    QPointer<VXQKeyTable> m_keyTable;
};
