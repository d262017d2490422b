#pragma once

// The selection tool. A click selects the object under the pointer (Shift toggles it in or
// out of the selection); a press on empty paper drags a marquee that selects every object it
// meets (added to the selection with Shift); dragging a selected object moves the selection
// as one undo step "Move" (its bounds snap to guides); dragging a knob of a selected object resizes it as one step "Resize"
// (corner knobs keep the proportions with Shift or a locked aspect ratio). A double click on a
// text shape or text path edits its string in place.

#include "platform/vantrix/VXDrawingTool.h"
#include "platform/vantrix/VXKnob.h"

#include <QList>
#include <QPointer>

class VXDrawableObject;
class VXObjectDrawingLayer;
using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;

class VXSelectAndEditTool : public VXDrawingTool {
    Q_OBJECT

public:
    VXSelectAndEditTool();
    ~VXSelectAndEditTool() override;

    bool isSelectionTool() const override { return true; }
    QString actionName() const override;

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;
    // Edits made so far stay (inside the gesture's undo step); the marquee goes.
    void abandonGesture() override;
    // The marquee, and the resize knobs of the active layer's selection.
    void drawRectInView(QPainter& painter, const QRectF& rect, VXDrawingView* view) const override;

private:
    enum class Operation { None, Move, Resize, Marquee };

    // The selected object whose knob is under the point, with that knob.
    std::pair<VXDrawableObjectPtr, VXBoundsKnob> knobHit(const VXObjectDrawingLayer& layer, QPointF point) const;
    void selectObjectWithModifiers(VXObjectDrawingLayer& layer, VXDrawableObject* target, bool toggle);
    void moveSelectionTo(QPointF point);
    // Corner knobs keep the proportions with Shift, or when the object's aspect ratio is locked.
    void resizeTo(QPointF point, bool constrain);
    void marqueeTo(QPointF point);
    void setMarquee(const QRectF& marquee);

    Operation m_operation = Operation::None;
    Operation m_lastChange = Operation::None;
    QPointer<VXObjectDrawingLayer> m_layer;
    QPointer<VXDrawingView> m_view;
    QPointF m_anchor;
    bool m_changed = false;
    // Moving and resizing: the logical bounds of what moves or of the object resized
    QRectF m_startBounds;
    QPointF m_movedBy;
    VXDrawableObjectPtr m_resized;
    VXBoundsKnob m_knob = kVXNoBoundsKnob;
    // Marquee
    QRectF m_marquee;
    QList<VXDrawableObjectPtr> m_selectionBeforeMarquee;
    // Double-clicked text, edited once the gesture ends
    VXDrawableObjectPtr m_textToEdit;
};
