#pragma once

// The reposition-content overlay. It covers a host widget and works in the coordinates of
// the drawing the host shows (its bounds), which `boundsToHost` maps onto the host's pixels
// at any moment, so it follows the host's zoom and scroll. It shows a picture of the drawing
// under the adjustment so far, with a grid and a rectangle of four corner handles: dragging
// inside pans, dragging a handle scales about the opposite corner (Shift keeps the
// proportions), and with Alt (Option) a drag moves only the rectangle. Its button bar goes
// where the delegate hosts it; Apply and Cancel end it with response 1 or 0 and remove it.

#include "app/services/TransformAdjustmentView.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <functional>

class VLTMTransformAdjustmentViewController;
class VXDrawingView;

class VLTMTransformAdjustmentView : public TransformAdjustmentView {
    Q_OBJECT

public:
    using BoundsToHost = std::function<QTransform()>;

    // Placed at once: grid and handles computed, controls installed, the handle rectangle
    // reported to the delegate.
    VLTMTransformAdjustmentView(QWidget* host, const QRectF& bounds, BoundsToHost boundsToHost,
                                TransformAdjustmentDelegate* delegate);
    ~VLTMTransformAdjustmentView() override;

    // Over the viewport of a drawing view, in the drawing's coordinates.
    static VLTMTransformAdjustmentView* overDrawingView(VXDrawingView& view, const QImage& preview,
                                                        TransformAdjustmentDelegate* delegate);

    QTransform transform() const override { return m_transform; }
    QRectF bounds() const { return m_bounds; }
    QRectF handlesRect() const { return m_handlesRect; }
    QSizeF gridSize() const { return m_gridSize; }
    bool isUnlocked() const { return m_unlocked; }
    // The button bar; null once the adjustment ended.
    VLTMTransformAdjustmentViewController* controller() const;

    const QImage& previewImage() const { return m_previewImage; }
    void setPreviewImage(const QImage& image);
    double previewOpacity() const { return m_previewOpacity; }
    void setPreviewOpacity(double opacity);
    QColor backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const QColor& colour);
    QColor gridColour() const { return m_gridColour; }
    void setGridColour(const QColor& colour);
    QColor handleColour() const { return m_handleColour; }
    void setHandleColour(const QColor& colour);
    double gridLineWidth() const { return m_gridLineWidth; }
    void setGridLineWidth(double width);
    QSizeF handleSize() const { return m_handleSize; }
    void setHandleSize(QSizeF size);

    Q_INVOKABLE void commitAdjustmentAction(QObject* sender = nullptr);
    Q_INVOKABLE void cancelAdjustmentAction(QObject* sender = nullptr) override;
    // Back to the identity and the first handle rectangle; Apply off.
    Q_INVOKABLE void resetAdjustmentAction(QObject* sender = nullptr);
    // The help page "Repositioning_Mode".
    Q_INVOKABLE void adjustmentHelpAction(QObject* sender = nullptr);

    // Diagonal resize cursors for the handles, the arrow for -1.
    static QCursor cursorForHandleIndex(int handle);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    QTransform boundsToHost() const;
    QPointF pointInBounds(QPointF widgetPoint) const;
    QRectF initialHandlesRect() const;
    // Takes the adjustment and the handle rectangle, repaints what they change and reports the
    // rectangle to the delegate.
    void adjust(const QTransform& transform, const QRectF& handlesRect);
    // The rectangle of whole points holding the grid, the picture under `transform` and the
    // frame and handles round `handlesRect`; the current ones without arguments. Repainted
    // whole: a repaint cutting through a smoothly scaled picture or an antialiased line shades
    // some of its pixels a level apart.
    QRect drawnArea() const;
    QRect drawnArea(const QTransform& transform, const QRectF& handlesRect) const;
    QRect contentArea(const QTransform& transform) const;
    QRect frameArea(const QRectF& handlesRect) const;
    void panTo(QPointF point);
    void dragHandleTo(QPointF point, bool keepRatio);
    void flagsChanged(Qt::KeyboardModifiers modifiers);
    void updateCursor(QPointF point);
    void installControls();
    void placeControls();
    void removeControls();
    void endWithResponse(int response);
    void fadePreview();
    void drawGrid(QPainter& painter) const;
    void drawHandles(QPainter& painter) const;

    QRectF m_bounds;
    BoundsToHost m_boundsToHost;
    TransformAdjustmentDelegate* m_delegate;
    QTransform m_transform;
    QRectF m_handlesRect;
    QSizeF m_gridSize{256, 256};
    bool m_unlocked = false;
    bool m_ended = false;

    enum class Tracking { None, Pan, Handle };
    Tracking m_tracking = Tracking::None;
    int m_trackedHandle = -1;
    QPointF m_lastPoint;
    double m_dragRatio = 1.0; // height / width when the drag began

    QImage m_previewImage;
    QImage m_fadedPreview; // the preview at its opacity
    double m_previewOpacity = 0.33;
    QColor m_backgroundColour = QColor::fromRgbF(1, 1, 1, 0.85);
    QColor m_gridColour = QColor::fromRgbF(0.1, 0.5, 0.1, 1.0);
    QColor m_handleColour = Qt::darkGray;
    double m_gridLineWidth = 0.5;
    QSizeF m_handleSize{20, 20};
    QPointer<VLTMTransformAdjustmentViewController> m_controller;
};
