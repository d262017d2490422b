// Converting the selected objects into other kinds: paths, shapes, groups of shapes, and text
// shapes and text paths into each other.

#include "platform/foundation/EditProgress.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"

#include <algorithm>

namespace platform {

namespace {

using Conversion = ObjectLayerEditing::Conversion;

// The subpaths of a path, curves kept.
QList<QPainterPath> subpathsOf(const QPainterPath& path)
{
    QList<QPainterPath> subpaths;
    for (int index = 0; index < path.elementCount(); ++index) {
        const QPainterPath::Element element = path.elementAt(index);
        if (element.isMoveTo()) {
            subpaths.append(QPainterPath(element));
        } else if (element.isLineTo()) {
            subpaths.last().lineTo(element);
        } else if (element.isCurveTo() && index + 2 < path.elementCount()) {
            subpaths.last().cubicTo(element, path.elementAt(index + 1), path.elementAt(index + 2));
            index += 2;
        }
    }
    return subpaths;
}

bool isExactly(const VXDrawableObject& object, const QMetaObject& kind)
{
    return object.metaObject() == &kind;
}

// What the object becomes; null when it cannot become that kind or already is one.
VXDrawableObjectPtr converted(const VXDrawableObject& object, Conversion conversion)
{
    const BezierPath outline = object.renderingPath();
    switch (conversion) {
    case Conversion::ToPath:
        if (isExactly(object, VXDrawablePath::staticMetaObject) || outline.isEmpty())
            return nullptr;
        return VXDrawablePath::drawablePathWithBezierPathWithStyle(outline, object.style());
    case Conversion::ToShape:
        if (qobject_cast<const VXDrawableShape*>(&object) || outline.isEmpty())
            return nullptr;
        return VXDrawableShape::drawableShapeWithBezierPathWithStyle(outline, object.style());
    case Conversion::ToShapeGroup: {
        const QList<QPainterPath> subpaths = subpathsOf(outline.painterPath());
        if (subpaths.size() < 2)
            return nullptr;
        QList<VXDrawableObjectPtr> members;
        for (const QPainterPath& subpath : subpaths)
            members.append(VXDrawableShape::drawableShapeWithBezierPathWithStyle(BezierPath(subpath), object.style()));
        return VXShapeGroup::groupWithObjects(members);
    }
    case Conversion::ToTextShape: {
        const auto* text = qobject_cast<const VXTextPath*>(&object);
        if (!text)
            return nullptr;
        auto shape = VXTextShape::textShapeWithStringInRect(text->string(), object.bounds());
        shape->setTextAdornment(text->textAdornment());
        return shape;
    }
    case Conversion::ToTextPath: {
        const auto* text = qobject_cast<const VXTextShape*>(&object);
        if (!text)
            return nullptr;
        // The text runs along the box's lower edge, left to right.
        const QRectF box = object.bounds();
        BezierPath baseline;
        baseline.moveToPoint(box.bottomLeft());
        baseline.lineToPoint(box.bottomRight());
        auto path = VXTextPath::textPathWithStringOnPath(text->string(), baseline);
        path->setTextAdornment(text->textAdornment());
        return path;
    }
    }
    return nullptr;
}

QString actionName(Conversion conversion)
{
    switch (conversion) {
    case Conversion::ToPath:
        return QCoreApplication::translate("ObjectLayerEditing", "Convert To Path");
    case Conversion::ToShape:
        return QCoreApplication::translate("ObjectLayerEditing", "Convert To Shape");
    case Conversion::ToShapeGroup:
        return QCoreApplication::translate("ObjectLayerEditing", "Convert To Shape Group");
    case Conversion::ToTextShape:
        return QCoreApplication::translate("ObjectLayerEditing", "Convert To Text Shape");
    case Conversion::ToTextPath:
        return QCoreApplication::translate("ObjectLayerEditing", "Convert To Text Path");
    }
    return {};
}

} // namespace

bool ObjectLayerEditing::canConvertSelection(Conversion conversion) const
{
    const QList<VXDrawableObjectPtr> objects = editableSelection();
    return std::any_of(objects.begin(), objects.end(),
                       [&](const VXDrawableObjectPtr& object) { return converted(*object, conversion) != nullptr; });
}

void ObjectLayerEditing::convertSelection(Conversion conversion)
{
    VXObjectDrawingLayer* layer = editableLayer();
    if (!layer)
        return;
    const QList<VXDrawableObjectPtr> candidates = layer->selectedAvailableObjects();
    EditProgress::Scope progress(actionName(conversion), candidates.size() + 1); // the last step swaps them
    QList<VXDrawableObjectPtr> originals;
    QList<VXDrawableObjectPtr> replacements;
    QList<VXDrawableObjectPtr> selection;
    for (const VXDrawableObjectPtr& object : candidates) {
        VXDrawableObjectPtr replacement = converted(*object, conversion);
        if (replacement) {
            replacement->setName(object->name());
            replacement->willBeAddedAsSubstituteForToLayer(*object, layer);
            originals.append(object);
            replacements.append(replacement);
        }
        selection.append(replacement ? replacement : object);
        progress.step();
    }
    if (replacements.isEmpty())
        return;
    layer->editWithSelectionUndo(actionName(conversion), [&] {
        layer->replaceObjectsInPlace(originals, replacements);
        layer->exchangeSelectionWithObjectsFromArray(selection);
        progress.step();
    });
}

} // namespace platform
