#include "platform/vantrix/tools/VXSelectAndEditTool.h"

#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/DrawnKnobBoxes.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/ObjectStringEditing.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// The transform taking rectangle `from` onto `to`; an axis without extent is left alone.
QTransform transformFromRectToRect(const QRectF& from, const QRectF& to)
{
    const double sx = from.width() > 0 ? to.width() / from.width() : 1.0;
    const double sy = from.height() > 0 ? to.height() / from.height() : 1.0;
    return QTransform::fromTranslate(-from.left(), -from.top()) * QTransform::fromScale(sx, sy)
           * QTransform::fromTranslate(to.left(), to.top());
}

constexpr double kConstrainedRotationStep = M_PI / 12; // 15 degrees

bool isCornerKnob(VXBoundsKnob knob)
{
    return knob == kVXTopLeftKnob || knob == kVXTopRightKnob || knob == kVXBottomRightKnob || knob == kVXBottomLeftKnob;
}

// Equal but for the rounding a turn into an object's frame and back leaves.
bool sameRect(const QRectF& a, const QRectF& b)
{
    const double tolerance = 1e-9 * std::max({1.0, std::abs(a.left()), std::abs(a.top()), a.width(), a.height()});
    return std::abs(a.left() - b.left()) <= tolerance && std::abs(a.top() - b.top()) <= tolerance
           && std::abs(a.right() - b.right()) <= tolerance && std::abs(a.bottom() - b.bottom()) <= tolerance;
}

// `target` grown to the proportions of `start`, keeping the corner opposite the knob.
QRectF keepingProportions(const QRectF& start, const QRectF& target, VXBoundsKnob knob)
{
    if (start.width() <= 0 || start.height() <= 0)
        return target;
    const double factor = std::max(target.width() / start.width(), target.height() / start.height());
    const QSizeF size = start.size() * factor;
    const QPointF fixed = VXKnob::pointOfBoundsKnob(start, VXKnob::oppositeBoundsKnob(knob));
    const double left = fixed.x() == start.left() ? fixed.x() : fixed.x() - size.width();
    const double top = fixed.y() == start.top() ? fixed.y() : fixed.y() - size.height();
    return {left, top, size.width(), size.height()};
}

} // namespace

namespace {
}

bool VXSelectAndEditTool::moveOperatesOnAllLayers() { return VXDrawingPreferences::current().moveOperatesOnAllLayers; }

VXSelectAndEditTool::VXSelectAndEditTool() = default;
VXSelectAndEditTool::~VXSelectAndEditTool() = default;

QString VXSelectAndEditTool::actionName() const
{
    switch (m_lastChange) {
    case Operation::Move: return QStringLiteral("Move");
    case Operation::Resize: return QStringLiteral("Resize");
    case Operation::Rotate: return QStringLiteral("Rotate");
    case Operation::ObjectPart: return m_partActionName;
    default: return {};
    }
}

std::pair<VXDrawableObjectPtr, int> VXSelectAndEditTool::knobHit(const VXObjectDrawingLayer& layer,
                                                                 QPointF point) const
{
    const VXKnob& knobs = VXKnob::knobs();
    const QList<VXDrawableObjectPtr> selection = layer.selectedAvailableObjects();
    for (auto it = selection.crbegin(); it != selection.crend(); ++it) {
        if (!(*it)->hasStandardKnobs())
            continue;
        if (knobs.rotationKnobIsHitByPoint(**it, point))
            return {*it, kVXRotationKnobPart};
        if (const VXBoundsKnob knob = knobs.boundsKnobHitByPoint(**it, point); knob != kVXNoBoundsKnob)
            return {*it, knob};
    }
    return {nullptr, kVXDrawingNoPart};
}

void VXSelectAndEditTool::selectObjectWithModifiers(VXObjectDrawingLayer& layer, VXDrawableObject* target, bool toggle)
{
    const VXDrawableObjectPtr object = layer.objectInObjectsAtIndex(layer.indexOfObject(target));
    if (!toggle) {
        if (!layer.isSelectedObject(target))
            layer.replaceSelectionWithObject(object);
    } else if (layer.isSelectedObject(target)) {
        layer.removeObjectFromSelection(target);
    } else {
        layer.addObjectToSelection(object);
    }
}

int VXSelectAndEditTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target,
                                                                        VXLayer* layer, QMouseEvent* event,
                                                                        VXToolController* delegate)
{
    m_operation = Operation::None;
    m_changed = false;
    m_textToEdit.reset();
    m_labelDoubleClicked = false;
    m_layer = qobject_cast<VXObjectDrawingLayer*>(layer);
    m_view = delegate ? delegate->view() : nullptr;
    if (!m_layer || !isValidTargetLayer(layer))
        return kVXDrawingNoPart;
    m_anchor = point;
    m_dragged = false;
    m_layer->recordSelectionForUndo();
    const bool shift = event->modifiers() & Qt::ShiftModifier;

    // Knobs come first, Shift or not: with Shift a knob drag keeps the proportions.
    if (const auto [object, part] = knobHit(*m_layer, point); object) {
        m_edited = object;
        m_startBox = platform::KnobBox::ofObject(*object);
        m_currentBox = m_startBox.box;
        m_rotatedBy = 0;
        if (part == kVXRotationKnobPart) {
            m_operation = Operation::Rotate;
        } else {
            m_operation = Operation::Resize;
            m_knob = VXBoundsKnob(part);
        }
        return part;
    }
    if (const int part = target ? target->hitPart(point) : kVXDrawingNoPart; part >= kVXFirstLabelPart) {
        // The object decides what a press on its label does (Shift extends the label selection).
        if (!m_layer->isSelectedObject(target))
            selectObjectWithModifiers(*m_layer, target, shift);
        m_operation = Operation::ObjectPart;
        m_edited = m_layer->objectInObjectsAtIndex(m_layer->indexOfObject(target));
        m_part = part;
        m_labelDoubleClicked = event->type() == QEvent::MouseButtonDblClick;
        m_doubleClickPoint = point;
        m_edited->mouseDownAtPointInPartEvent(point, part, event);
        return part;
    }
    if (target && !shift && m_layer->isSelectedObject(target)) {
        if (const int part = target->hitPart(point);
            part != kVXDrawingNoPart && part != kVXDrawingEntireObjectPart && !target->locked()) {
            m_operation = Operation::ObjectPart;
            m_edited = m_layer->objectInObjectsAtIndex(m_layer->indexOfObject(target));
            m_part = part;
            m_edited->mouseDownAtPointInPartEvent(point, part, event);
            return part;
        }
    }
    if (target) {
        selectObjectWithModifiers(*m_layer, target, shift);
        if (event->type() == QEvent::MouseButtonDblClick && !shift) {
            m_textToEdit = m_layer->objectInObjectsAtIndex(m_layer->indexOfObject(target));
            m_doubleClickPoint = point;
            return kVXDrawingEntireObjectPart;
        }
        // Shift-clicking an object out of the selection does not start a move.
        m_operation = m_layer->isSelectedObject(target) ? Operation::Move : Operation::None;
        m_movedBy = {};
        m_startBounds = {};
        if (m_operation == Operation::Move) {
            m_moving.emplace(*m_layer, m_layer->selectedAvailableObjects());
            for (const VXDrawableObjectPtr& object : m_moving->objects())
                m_startBounds |= object->logicalBounds();
            m_reindexDeferral.emplace(m_layer->deferringReindex());
        }
        return kVXDrawingEntireObjectPart;
    }
    m_selectionBeforeMarquee = shift ? m_layer->selection() : QList<VXDrawableObjectPtr>();
    if (!shift)
        m_layer->deselectAll();
    m_operation = Operation::Marquee;
    return kVXDrawingNoPart;
}

void VXSelectAndEditTool::mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int, VXLayer*,
                                                                        QMouseEvent* event, VXToolController*)
{
    if (!m_layer)
        return;
    m_dragged = true;
    switch (m_operation) {
    case Operation::Move: moveSelectionTo(point); break;
    case Operation::Resize: resizeTo(point, event && (event->modifiers() & Qt::ShiftModifier)); break;
    case Operation::Rotate: rotateTo(point, event && (event->modifiers() & Qt::ShiftModifier)); break;
    case Operation::ObjectPart:
        if (m_edited)
            m_edited->mouseDraggedAtPointInPartEvent(point, m_part, event);
        break;
    case Operation::Marquee: marqueeTo(point); break;
    case Operation::None: break;
    }
}

void VXSelectAndEditTool::moveSelectionTo(QPointF point)
{
    if (!m_moving || m_moving->objects().isEmpty())
        return;
    // The offset from the start, with the moved bounds' edges or centre pulled onto a guide.
    QPointF offset = point - m_anchor;
    if (const VXDrawing* drawing = m_layer->drawing()) {
        const QRectF moved = m_startBounds.translated(offset);
        offset += drawing->snapPointsToGuide({moved.topLeft(), moved.center(), moved.bottomRight()});
    }
    const QPointF delta = offset - m_movedBy;
    if (delta.isNull())
        return;
    m_moving->moveBy(delta);
    m_movedBy = offset;
    m_changed = true;
}

void VXSelectAndEditTool::resizeTo(QPointF point, bool constrain)
{
    if (!m_edited || m_edited->locked())
        return;
    // Everything happens in the object's own frame: the dragged knob moves by the pointer's
    // travel, turned into that frame, so a press beside the knob does not make it jump.
    const QRectF& start = m_startBox.box;
    const QPointF knobTo = VXKnob::pointOfBoundsKnob(start, m_knob) + m_startBox.toFrame(point - m_anchor);
    QRectF target = VXKnob::boundsByDraggingKnobToPoint(start, m_knob, knobTo).normalized();
    if ((constrain || m_edited->aspectRatioLocked()) && isCornerKnob(m_knob))
        target = keepingProportions(start, target, m_knob);
    // A knob dragged onto the opposite side would collapse the object for good.
    const bool collapses =
        (start.width() > 0 && target.width() <= 0) || (start.height() > 0 && target.height() <= 0);
    if (collapses || sameRect(target, m_currentBox))
        return;
    const QTransform frame = m_startBox.frameToDrawing();
    m_edited->applyTransform(frame.inverted() * transformFromRectToRect(m_currentBox, target) * frame);
    m_currentBox = target;
    m_changed = true;
}

void VXSelectAndEditTool::rotateTo(QPointF point, bool constrain)
{
    if (!m_edited || m_edited->locked())
        return;
    const QPointF centre = m_startBox.centre();
    const auto direction = [centre](QPointF p) { return std::atan2(p.y() - centre.y(), p.x() - centre.x()); };
    double turn = point == m_anchor ? 0.0 : direction(point) - direction(m_anchor);
    if (constrain)
        turn = std::round((m_startBox.angle + turn) / kConstrainedRotationStep) * kConstrainedRotationStep
               - m_startBox.angle;
    if (turn == m_rotatedBy)
        return;
    const QTransform aboutCentre = QTransform::fromTranslate(-centre.x(), -centre.y())
                                   * QTransform().rotateRadians(turn - m_rotatedBy)
                                   * QTransform::fromTranslate(centre.x(), centre.y());
    m_edited->applyTransform(aboutCentre);
    m_rotatedBy = turn;
    m_changed = true;
}

void VXSelectAndEditTool::marqueeTo(QPointF point)
{
    setMarquee(QRectF(m_anchor, point).normalized());
    QList<VXDrawableObjectPtr> selection = m_selectionBeforeMarquee;
    for (VXDrawableObject* object : m_layer->visibleObjectsInRect(m_marquee)) {
        if (object->intersectsRect(m_marquee))
            selection.append(m_layer->objectInObjectsAtIndex(m_layer->indexOfObject(object)));
    }
    m_layer->exchangeSelectionWithObjectsFromArray(selection);
}

void VXSelectAndEditTool::setMarquee(const QRectF& marquee)
{
    if (m_view) {
        m_view->setNeedsDisplayInRect(m_marquee);
        m_view->setNeedsDisplayInRect(marquee);
    }
    m_marquee = marquee;
}

bool VXSelectAndEditTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                                   QMouseEvent* event, VXToolController* delegate)
{
    // Objects place a dragged part where the pointer is, so a click must not count as a drag
    // (it would snap a label to the compass point of the click).
    if (m_dragged || point != m_anchor)
        mouseDraggedToPointPartCodeLayerEventDelegate(point, partCode, layer, event, delegate);
    if (m_operation == Operation::ObjectPart && m_edited) {
        m_partActionName = m_edited->mouseUpAtPointInPartEvent(point, m_part, event);
        m_changed = !m_partActionName.isEmpty();
    }
    const bool changed = m_changed && m_operation != Operation::None && m_operation != Operation::Marquee;
    if (changed) {
        m_lastChange = m_operation;
        // The undo step brings back the selection the gesture started with.
        if (m_layer)
            m_layer->commitSelectionUndoWithActionName(actionName());
    }
    const VXDrawableObjectPtr textToEdit = std::exchange(m_textToEdit, nullptr);
    const VXDrawableObjectPtr labelOwner = m_labelDoubleClicked ? m_edited : nullptr;
    abandonGesture();
    // Objects without text to edit in place get the double-click themselves.
    if (textToEdit && !(m_view && platform::editObjectStringInView(textToEdit, *m_view)))
        textToEdit->mouseDoubleClickedAtPointInPartEvent(m_doubleClickPoint, kVXDrawingEntireObjectPart, event);
    if (labelOwner)
        labelOwner->mouseDoubleClickedAtPointInPartEvent(m_doubleClickPoint, m_part, event);
    return changed;
}

void VXSelectAndEditTool::abandonGesture()
{
    setMarquee({});
    m_operation = Operation::None;
    m_edited.reset();
    m_moving.reset();
    m_reindexDeferral.reset();
    m_selectionBeforeMarquee.clear();
    m_textToEdit.reset();
    m_labelDoubleClicked = false;
}

std::shared_ptr<VXStyle> VXSelectAndEditTool::defaultMarqueeStyle()
{
    static const VXStylePtr style =
        VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(120, 160, 255, 40), QColor(80, 80, 80), 1.0);
    return style;
}

void VXSelectAndEditTool::drawRectInView(QPainter& painter, const QRectF& rect, VXDrawingView* view) const
{
    // Rotation knobs are this tool's, so it draws them: they lie outside what objects draw.
    const auto* layer = view && view->drawing() ? qobject_cast<VXObjectDrawingLayer*>(view->drawing()->activeLayer())
                                                : nullptr;
    if (layer && layer->visible() && !layer->locked()) {
        // Only the selected objects whose knobs meet the rectangle, without a list of the whole
        // selection on every paint: after Select All that is every object of the layer.
        const QColor colour = layer->selectionColour();
        const platform::KnobStampBatch stamps(painter);
        // The boxes the layer's highlights were drawn on are kept: only objects they miss are read.
        platform::DrawnKnobBoxes* kept = platform::DrawnKnobBoxes::current();
        const QList<const VXDrawableObject*> selected = layer->objectsDrawnAsSelectedInRect(rect, view);
        for (const VXDrawableObject* object : selected) {
            std::optional<platform::KnobBox> box = kept ? kept->boxOf(layer, *object) : std::nullopt;
            if (!box) {
                if (object->locked() || !object->hasStandardKnobs())
                    continue;
                box = platform::KnobBox::ofObject(*object);
            }
            VXKnob::knobs().drawRotationKnobOnBox(*box, colour);
        }
    }
    if (!m_marquee.isNull()) {
        painter.save();
        painter.setPen(QPen(QColor(80, 80, 80), 0, Qt::DashLine));
        painter.setBrush(QColor(120, 160, 255, 40));
        painter.drawRect(m_marquee);
        painter.restore();
    }
}
