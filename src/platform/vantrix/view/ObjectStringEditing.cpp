#include "platform/vantrix/view/ObjectStringEditing.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/text/VXTextAdornment.h"

#include <QTransform>
#include <cmath>
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"

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

// Lives while the editor is open, then goes; holds the object weakly since it may be deleted meanwhile.
class StringCommit : public QObject, public VXTextEditingDelegate {
public:
    StringCommit(const std::shared_ptr<VXDrawableObject>& object, QObject* parent)
        : QObject(parent)
        , m_object(object)
    {
    }

    void textEditingDidEnd(const QString& text, bool cancelled) override
    {
        deleteLater();
        const std::shared_ptr<VXDrawableObject> object = m_object.lock();
        if (cancelled || !object || object->valueForKey(QStringLiteral("string")).toString() == text)
            return;
        ZQUndoManager* undo = object->undoManager();
        if (undo) {
            undo->closeAutomaticGroup();
            undo->beginUndoGrouping();
        }
        object->setValueForKey(text, QStringLiteral("string"));
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
    // An object that is its own editing delegate takes the edit itself.
    QObject* delegate = dynamic_cast<VXTextEditingDelegate*>(object.get()) ? static_cast<QObject*>(object.get())
                                                                           : new StringCommit(object, &view);
    view.editTextInRectDelegate(object->valueForKey(QStringLiteral("string")).toString(), *rect, delegate,
                                object->valueForKey(QStringLiteral("font")).value<QFont>(), options);
    return true;
}

} // namespace platform
