#include "symbols/keytable/VXQKeyTableTextShape.h"

#include "platform/foundation/ZQUndoManager.h"
#include "symbols/keytable/VXQKeyTable.h"

using platform::AttributedString;
using platform::TextAttributes;

VXQKeyTableTextShape::VXQKeyTableTextShape() = default;
VXQKeyTableTextShape::~VXQKeyTableTextShape() = default;

std::shared_ptr<VXQKeyTableTextShape> VXQKeyTableTextShape::keyTableTextShapeInRect(const QRectF& rect)
{
    auto shape = std::make_shared<VXQKeyTableTextShape>();
    shape->setSize(rect.size());
    shape->setLocation(rect.center());
    return shape;
}

AttributedString VXQKeyTableTextShape::editedTextAsCells(const QString& edited) const
{
    // The row of each paragraph of the shape's text, in order.
    const AttributedString shown = textAdornment()->labelText();
    QList<QVariant> rows;
    for (qsizetype start = 0; start < shown.length();) {
        const qsizetype end = shown.string().indexOf(QLatin1Char('\n'), start);
        rows.append(shown.attributesAtIndexEffectiveRange(start).value(kVXQKeyTableItemIndexAttributeName));
        start = end < 0 ? shown.length() : end + 1;
    }
    AttributedString cells;
    qsizetype paragraph = 0;
    for (qsizetype start = 0; start < edited.size(); ++paragraph) {
        const qsizetype end = edited.indexOf(QLatin1Char('\n'), start);
        const qsizetype next = end < 0 ? edited.size() : end + 1;
        const QVariant row = rows.value(paragraph);
        cells.appendAttributedString(AttributedString(
            edited.mid(start, next - start),
            row.isValid() ? TextAttributes{{kVXQKeyTableItemIndexAttributeName, row}} : TextAttributes()));
        start = next;
    }
    return cells;
}

void VXQKeyTableTextShape::textEditingDidChange(const QString& text, qsizetype caret)
{
    if (!m_keyTable || locked())
        return;
    m_keyTable->textDidEditCharacterAtIndex(editedTextAsCells(text), caret);
    ZQUndoManager* undo = undoManager();
    if (undo && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(tr("Edit Text"));
}

void VXQKeyTableTextShape::textEditingDidEnd(const QString& text, bool cancelled)
{
    // The cells went back to the data as they were typed; the text shows the data again.
    if (m_keyTable)
        return m_keyTable->reloadData();
    // A copy that no table feeds is plain text.
    if (cancelled || text == string())
        return;
    ZQUndoManager* undo = undoManager();
    if (undo) {
        undo->closeAutomaticGroup();
        undo->beginUndoGrouping();
    }
    setString(text);
    if (undo) {
        undo->setActionName(tr("Edit Text"));
        undo->endUndoGrouping();
    }
}
