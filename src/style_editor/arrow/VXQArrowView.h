#pragma once

// The arrow stroke pane's preview: the stroke draws itself along a line across the view, and
// a round handle at the back corner of the head (on the right when only the end has a head,
// else on the left) resizes the head when dragged. The view is the object the stroke renders.

#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/styles/VXArrowStroke.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class VXQArrowView : public QWidget, public VXRenderable {
    Q_OBJECT

public:
    explicit VXQArrowView(QWidget* parent = nullptr);

    void setRasterizer(const std::shared_ptr<VXArrowStroke>& stroke);
    // Places the handle again and redraws; the pane calls it after every change it shows.
    void updateArrow();
    bool isHandleEnabled() const { return m_enabled; }
    void setHandleEnabled(bool enabled);

    // Given the head's new length and width while the handle is dragged.
    std::function<void(QSizeF lengthAndWidth)> setArrowHeadSize;

    bool showsHeadDragOnRight() const { return m_showHeadDragOnRight; }
    QRectF headAdjustmentTarget() const { return m_headAdjustmentTarget; }
    // The head size for the handle dragged to `p`.
    QSizeF headSizeForPoint(QPointF p) const;

    platform::BezierPath renderingPath() const override;
    double angle() const override { return 0; }
    QSizeF size() const override { return QSizeF(QWidget::size()); }
    QPointF location() const override { return QRectF(rect()).center(); }
    QRectF bounds() const override { return rect(); }
    QTransform containerTransform() const override { return {}; }
    quint64 geometryChecksum() const override { return 0; }

    QSize sizeHint() const override { return {200, 60}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void calcTargetRect();

    std::weak_ptr<VXArrowStroke> m_stroke;
    QRectF m_headAdjustmentTarget;
    bool m_draggingHead = false;
    bool m_showHeadDragOnRight = false;
    bool m_enabled = true;
};
