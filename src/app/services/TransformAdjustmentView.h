#pragma once

// What the map document needs of the reposition-content overlay, which a library above the
// application core provides (WindowServices::makeTransformAdjustmentView): the overlay covers
// the drawing view, lets the user move and scale a picture of the drawing, and reports the
// adjustment when it ends.

#include <QTransform>
#include <QWidget>

class TransformAdjustmentView;

// Every message is optional: the defaults do nothing and host no controls.
class TransformAdjustmentDelegate {
public:
    virtual ~TransformAdjustmentDelegate() = default;

    // 1 commits the overlay's transform, 0 cancels. The overlay has removed itself by then.
    virtual void adjustmentViewDidEndWithResponse(TransformAdjustmentView& view, int response) {}
    // The rectangle of the handles moved (drawing coordinates).
    virtual void adjustmentViewDidChangeSelectionRect(TransformAdjustmentView& view, const QRectF& rect) {}
    // Where the button bar goes; null puts it on the overlay itself.
    virtual QWidget* hostingViewForAdjustmentControls(TransformAdjustmentView& view) { return nullptr; }
};

class TransformAdjustmentView : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The adjustment so far, in drawing coordinates; identity at the start and after a reset.
    virtual QTransform transform() const = 0;
    // Ends the adjustment as Cancel does: response 0, controls and overlay removed.
    virtual void cancelAdjustmentAction(QObject* sender = nullptr) = 0;
};
