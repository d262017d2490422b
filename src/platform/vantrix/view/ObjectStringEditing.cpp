#include "platform/vantrix/view/ObjectStringEditing.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/text/VXTextAdornment.h"

#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"

#include <QTransform>
#include <cmath>

namespace platform {
namespace {

// A box grows to hold its text, keeping its top left corner where it is; it never shrinks.
void fitBoxToText(VXTextShape& shape)
{
    const QSizeF text = shape.textAdornment()->textLayoutRectForObject(shape).size();
    const QSizeF box = shape.size();
    const QSizeF fitted(std::max(box.width(), std::ceil(text.width())), std::max(box.height(), std::ceil(text.height())));
    if (fitted == box)
        return;
    // The location holds the box's point `offset` from its centre.
    const QSizeF pivot = shape.offset() + QSizeF(0.5, 0.5);
    const QPointF growth = QTransform().rotateRadians(shape.angle()).map(
        QPointF((fitted.width() - box.width()) * pivot.width(), (fitted.height() - box.height()) * pivot.height()));
    shape.setSize(fitted);
    shape.setLocation(shape.location() + growth);
}

// The adornment whose text the editor shows: a text shape's or a text path's.
VXTextAdornment* editedAdornment(const VXDrawableObject& object)
{
    if (const auto* shape = qobject_cast<const VXTextShape*>(&object))
        return shape->textAdornment().get();
    if (const auto* path = qobject_cast<const VXTextPath*>(&object))
        return path->textAdornment().get();
    return nullptr;
}

// Lives while the editor is open, then goes; holds the object weakly since it may be deleted meanwhile.
class TextCommit : public QObject, public VXTextEditingDelegate {
public:
    TextCommit(const std::shared_ptr<VXDrawableObject>& object, QObject* parent)
        : QObject(parent)
        , m_object(object)
    {
    }

    void attributedTextEditingDidEnd(const AttributedString& text, bool cancelled) override
    {
        deleteLater();
        const std::shared_ptr<VXDrawableObject> object = m_object.lock();
        VXTextAdornment* adornment = object && !object->locked() ? editedAdornment(*object) : nullptr;
        if (cancelled || !adornment || adornment->textForEditing() == text)
            return;
        ZQUndoManager* undo = object->undoManager();
        if (undo) {
            undo->closeAutomaticGroup();
            undo->beginUndoGrouping();
        }
        adornment->setEditedLabel(text);
        if (auto* shape = qobject_cast<VXTextShape*>(object.get()))
            fitBoxToText(*shape);
        if (undo) {
            undo->setActionName(QStringLiteral("Edit Text"));
            undo->endUndoGrouping();
        }
    }

private:
    std::weak_ptr<VXDrawableObject> m_object;
};

// The area the editor covers: a shape's box, or where a path's text reaches (the whole
// path while it has none).
std::optional<QRectF> editingRect(const VXDrawableObject& object)
{
    if (qobject_cast<const VXTextShape*>(&object))
        return object.logicalBounds();
    if (const auto* path = qobject_cast<const VXTextPath*>(&object)) {
        const QRectF text = path->textAdornment()->boundsNeededForObject(*path);
        return text.isEmpty() ? object.bounds() : text;
    }
    return std::nullopt;
}

} // namespace

bool hasEditableString(const VXDrawableObject& object)
{
    return editingRect(object).has_value();
}

bool editObjectStringInView(const std::shared_ptr<VXDrawableObject>& object, VXDrawingView& view)
{
    const std::optional<QRectF> rect = object ? editingRect(*object) : std::nullopt;
    if (!rect || object->locked())
        return false;
    TextEditingOptions options;
    if (qobject_cast<const VXTextPath*>(object.get())) {
        options.growsHorizontally = true;
        options.returnCommits = true;
    }
    const QFont font = object->valueForKey(QStringLiteral("font")).value<QFont>();
    // An object that is its own editing delegate takes the edit itself, as plain text.
    if (dynamic_cast<VXTextEditingDelegate*>(object.get())) {
        view.editTextInRectDelegate(object->valueForKey(QStringLiteral("string")).toString(), *rect, object.get(),
                                    font, options);
        return true;
    }
    const VXTextAdornment* adornment = editedAdornment(*object);
    options.typingAttributes = adornment->textAttributes();
    view.editAttributedTextInRectDelegate(adornment->textForEditing(), *rect, new TextCommit(object, &view), font,
                                          options);
    return true;
}

} // namespace platform
