#include "platform/vantrix/tools/VXObjectCreationTool.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/PolylineSimplification.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/vantrix/drawables/ParametricPath.h"
#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/ObjectStringEditing.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QTextEdit>
#include <QtMath>

namespace {

VXStylePtr g_styleForCreatedObjects;

// A click this close (in drawing units) to a path's first point closes it.
constexpr double kCloseDistance = 4.0;

// Degrees clockwise on the page from the +x axis, as arcs measure them.
double degreesFromCentre(QPointF centre, QPointF point)
{
    return qRadiansToDegrees(std::atan2(point.y() - centre.y(), point.x() - centre.x()));
}

} // namespace

VXObjectCreationTool::VXObjectCreationTool(const VXDrawableObjectPtr& prototype, Geometry geometry)
    : m_prototype(prototype)
    , m_geometry(geometry)
{
}

VXObjectCreationTool::~VXObjectCreationTool() = default;

VXStylePtr VXObjectCreationTool::styleForCreatedObjects() { return g_styleForCreatedObjects; }

void VXObjectCreationTool::setStyleForCreatedObjects(const VXStylePtr& style)
{
    if (style == g_styleForCreatedObjects)
        return;
    g_styleForCreatedObjects = style;
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXDrawingToolCreatedObjectsStyleDidChange,
                                                                      nullptr);
}

QString VXObjectCreationTool::actionName() const { return QStringLiteral("New %1").arg(registeredName()); }

VXDrawableObjectPtr VXObjectCreationTool::makeObject(VXDrawing* drawing) const
{
    VXDrawableObjectPtr object = m_prototype->copyDrawable();
    VXStylePtr style = m_style ? m_style : g_styleForCreatedObjects ? g_styleForCreatedObjects : object->style();
    if (style && drawing)
        style = drawing->ownCopyOfToolStyle(style);
    if (style)
        object->setStyle(style);
    return object;
}

bool VXObjectCreationTool::isInMultiClickGesture() const
{
    return m_object && (buildsClickByClick() || isSettingEndAngle());
}

bool VXObjectCreationTool::buildsClickByClick() const
{
    return m_geometry == Geometry::ClickedPoints || m_geometry == Geometry::ClickedPolygon;
}

bool VXObjectCreationTool::shapeObjectTo(QPointF pointer)
{
    const QPointF anchor = m_points.first();
    switch (m_geometry) {
    case Geometry::Box: {
        const QRectF box = QRectF(anchor, pointer).normalized();
        m_object->setSize(box.size());
        m_object->setLocation(box.center());
        return box.width() > 0 && box.height() > 0;
    }
    case Geometry::Radial: {
        const double radius = QLineF(anchor, pointer).length();
        if (auto* figure = qobject_cast<platform::ParametricPath*>(m_object.get())) {
            figure->setLocation(anchor);
            figure->setRadius(radius);
        }
        return radius > 0;
    }
    case Geometry::Arc:
        return shapeArcTo(pointer);
    case Geometry::Line:
    case Geometry::ClickedPoints:
    case Geometry::ClickedPolygon:
    case Geometry::Freehand:
        return shapePathTo(pointer);
    }
    return false;
}

bool VXObjectCreationTool::shapeClickedText(QPointF pointer)
{
    // Text needs no dragged box to be typed into; a click on text edits it instead.
    if (m_geometry != Geometry::Box || m_pressedText || !platform::hasEditableString(*m_object))
        return false;
    const QSizeF size = m_prototype->size();
    if (size.isEmpty())
        return false;
    m_object->setSize(size);
    m_object->setLocation(QRectF(pointer, size).center());
    return true;
}

bool VXObjectCreationTool::shapePathTo(QPointF pointer)
{
    const QPointF anchor = m_points.first();
    const bool closed = m_geometry == Geometry::ClickedPolygon
                        || (m_geometry == Geometry::ClickedPoints && m_points.size() > 2 && pointer == anchor);
    platform::BezierPath path;
    path.moveToPoint(anchor);
    for (qsizetype i = 1; i < m_points.size(); ++i)
        path.lineToPoint(m_points[i]);
    const bool pointerAddsNothing =
        (closed && pointer == anchor) || (m_geometry == Geometry::Freehand && pointer == m_points.last());
    if (!pointerAddsNothing)
        path.lineToPoint(pointer);
    if (closed)
        path.closePath();
    if (auto* drawablePath = qobject_cast<VXDrawablePath*>(m_object.get()))
        drawablePath->setPath(path);
    const QRectF extent = path.bounds();
    if (m_geometry == Geometry::ClickedPolygon)
        return extent.width() > 0 && extent.height() > 0;
    return extent.width() > 0 || extent.height() > 0;
}

bool VXObjectCreationTool::shapeArcTo(QPointF pointer)
{
    auto* arc = qobject_cast<VXArcPath*>(m_object.get());
    if (!arc)
        return false;
    const QRectF guideBefore = arcGuideRect();
    m_pointer = pointer;
    const QPointF centre = m_points.first();
    if (isSettingEndAngle()) {
        // Until the pointer leaves the point of release, the sweep shown while dragging stays.
        if (pointer != centre && pointer != m_points.last())
            arc->setEndAngle(degreesFromCentre(centre, pointer));
        redrawArcGuide(guideBefore);
        return arc->radius() > 0 && arc->subtendedAngle() > 0;
    }
    const double radius = QLineF(centre, pointer).length();
    arc->setLocation(centre);
    arc->setRadius(radius);
    if (radius > 0) {
        const double start = degreesFromCentre(centre, pointer);
        const auto* prototype = qobject_cast<const VXArcPath*>(m_prototype.get());
        arc->setStartAngle(start);
        arc->setEndAngle(start + (prototype ? prototype->subtendedAngle() : 90.0));
    }
    redrawArcGuide(guideBefore);
    return radius > 0;
}

QRectF VXObjectCreationTool::arcGuideRect() const
{
    const auto* arc = m_geometry == Geometry::Arc ? qobject_cast<const VXArcPath*>(m_object.get()) : nullptr;
    if (!arc || !m_view || m_view->scale() <= 0)
        return {};
    const double r = arc->radius();
    const double pen = 2 / m_view->scale(); // a hairline and its antialiasing
    const QRectF circle(arc->location() - QPointF(r, r), QSizeF(2 * r, 2 * r));
    return circle.united(QRectF(m_pointer, QSizeF(0, 0))).adjusted(-pen, -pen, pen, pen);
}

void VXObjectCreationTool::redrawArcGuide(const QRectF& before) const
{
    if (m_view)
        m_view->setNeedsDisplayInRect(before.united(arcGuideRect()));
}

void VXObjectCreationTool::drawRectInView(QPainter& painter, const QRectF&, VXDrawingView*) const
{
    const auto* arc = m_geometry == Geometry::Arc ? qobject_cast<const VXArcPath*>(m_object.get()) : nullptr;
    if (!arc || arc->radius() <= 0)
        return;
    painter.save();
    painter.setPen(QPen(QColor(80, 80, 80), 0, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(arc->location(), arc->radius(), arc->radius());
    painter.drawLine(arc->location(), m_pointer);
    painter.restore();
}

int VXObjectCreationTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF pointer, VXDrawableObject* target,
                                                                         VXLayer* layer, QMouseEvent* event,
                                                                         VXToolController* delegate)
{
    const QPointF point = snapped(pointer, layer, event);
    if (m_object && isSettingEndAngle()) {
        finish(point);
        return 0;
    }
    if (m_object) {
        // A path being built click by click: a double click or a click on its start ends it.
        const bool closes = QLineF(point, m_points.first()).length() <= kCloseDistance;
        if (event->type() == QEvent::MouseButtonDblClick) {
            // The presses of the double click may have added its point already.
            while (m_points.size() > 1 && QLineF(m_points.last(), point).length() <= kCloseDistance)
                m_points.removeLast();
            finish(point);
            return 0;
        }
        if (closes) {
            finish(m_points.first());
            return 0;
        }
        m_points.append(point);
        return 1;
    }
    auto* objectLayer = qobject_cast<VXObjectOwnerLayer*>(layer);
    if (!objectLayer || !isValidTargetLayer(layer))
        return 0;
    // A click, not a drag, on text of the kind this tool makes edits that text.
    m_pressedText.reset();
    if (target && platform::hasEditableString(*target) && target->metaObject() == m_prototype->metaObject())
        m_pressedText = std::dynamic_pointer_cast<VXDrawableObject>(target->shared_from_this());
    m_layer = objectLayer;
    m_view = delegate ? delegate->view() : nullptr;
    m_object = makeObject(objectLayer->drawing());
    m_points = {point};
    shapeObjectTo(point);
    m_layer->addObjectPendingCreation(m_object);
    return 1;
}

void VXObjectCreationTool::mouseDraggedToPointPartCodeLayerEventDelegate(QPointF pointer, int, VXLayer*,
                                                                         QMouseEvent* event, VXToolController*)
{
    if (!m_object || !m_layer)
        return;
    const QPointF point = snapped(pointer, m_layer, event);
    if (m_geometry == Geometry::Freehand && point != m_points.last())
        m_points.append(point);
    reshapePendingObject(point);
}

bool VXObjectCreationTool::reshapePendingObject(QPointF pointer)
{
    // Reshaped outside the layer, so the gesture neither registers undo nor touches the index.
    m_layer->removePendingObject();
    const bool hasExtent = shapeObjectTo(pointer);
    m_layer->addObjectPendingCreation(m_object);
    return hasExtent;
}

void VXObjectCreationTool::mouseMovedInView(QMouseEvent* event, VXDrawingView* view)
{
    if (isInMultiClickGesture() && view)
        mouseDraggedToPointPartCodeLayerEventDelegate(view->convertPointToDrawing(event->position()), 1, m_layer,
                                                      event, nullptr);
}

bool VXObjectCreationTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF pointer, int partCode, VXLayer*,
                                                                    QMouseEvent* event, VXToolController* delegate)
{
    const QPointF point = snapped(pointer, m_layer, event);
    if (!m_object || partCode == 0)
        return m_createdOnLastClick ? std::exchange(m_createdOnLastClick, false) : false;
    if (m_geometry == Geometry::Arc) {
        // The drag has set the radius and start angle; the pointer now sets the end angle.
        if (!m_layer || !reshapePendingObject(point)) {
            cancel();
            return false;
        }
        m_points.append(point);
        return false;
    }
    if (m_geometry == Geometry::Freehand) {
        if (point != m_points.last())
            m_points.append(point);
        m_points = platform::simplifiedPolyline(m_points, VXDrawablePath::defaultFreehandEpsilon());
        return finish(m_points.last());
    }
    if (buildsClickByClick()) {
        // The point pressed moves to where it was released (the first press, dragged, draws
        // a first segment); the path goes on.
        if (m_points.size() > 1)
            m_points.last() = point;
        else if (point != m_points.first())
            m_points.append(point);
        return false;
    }
    const VXDrawableObjectPtr created = m_object;
    VXDrawingView* view = delegate ? delegate->view() : nullptr;
    if (!finish(point)) {
        if (const VXDrawableObjectPtr pressed = std::exchange(m_pressedText, nullptr); pressed && view)
            platform::editObjectStringInView(pressed, *view);
        return false;
    }
    m_pressedText.reset();
    if (platform::hasEditableString(*created) && VXTextShape::startEditingOnObjectCreation() && view
        && platform::editObjectStringInView(created, *view))
        view->textEditor()->selectAll(); // the prototype's string is a placeholder: typing replaces it
    return true;
}

QPointF VXObjectCreationTool::snapped(QPointF point, const VXLayer* layer, const QMouseEvent* event)
{
    const VXDrawing* drawing = layer ? layer->drawing() : nullptr;
    if (!drawing)
        return point;
    // The Control flag turns grid snapping the other way for this gesture.
    const bool invert = event && (platform::modifierFlagsFromQt(event->modifiers()) & platform::ControlKeyMask);
    return drawing->snapToGuides(drawing->snapToGridWithControlFlag(point, invert));
}

bool VXObjectCreationTool::finish(QPointF pointer)
{
    if (!m_layer) {
        cancel();
        return false;
    }
    m_layer->removePendingObject();
    const bool hasExtent = shapeObjectTo(pointer) || shapeClickedText(pointer);
    if (hasExtent) {
        m_layer->addObjectPendingCreation(m_object);
        m_layer->commitPendingObjectWithUndoActionName(actionName());
    }
    const QRectF guide = arcGuideRect();
    m_object.reset();
    m_layer.clear();
    m_points.clear();
    redrawArcGuide(guide);
    // Paths and arcs finish on a press; the release that follows reports the creation.
    m_createdOnLastClick = hasExtent && (buildsClickByClick() || m_geometry == Geometry::Arc);
    return hasExtent;
}

void VXObjectCreationTool::cancel()
{
    if (m_layer)
        m_layer->removePendingObject();
    const QRectF guide = arcGuideRect();
    m_object.reset();
    m_layer.clear();
    m_points.clear();
    m_pressedText.reset();
    redrawArcGuide(guide);
}
