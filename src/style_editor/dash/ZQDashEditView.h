#pragma once

// The dash editor's preview: a line stroked with the dash (red when the dash draws nothing),
// a handle under the end of every element and a triangle marking the phase. Dragging a
// handle sets that element's length (never below 0), dragging the triangle the phase; each
// change goes to dashChanged.

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/styles/VXStrokeDash.h"

#include <QWidget>
#include <functional>

class ZQDashEditView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kNoHandle = -1;
    static constexpr int kPhaseHandle = 99;
    static constexpr double kInset = 8.0;
    static constexpr double kHandleSize = 8.0;

    explicit ZQDashEditView(QWidget* parent = nullptr);

    VXStrokeDashPtr dash() const { return m_dash; }
    void setDash(const VXStrokeDashPtr& dash);
    // At least 1.
    void setLineWidth(double width);
    void setLineCapStyle(int style);
    void setLineJoinStyle(int style);
    void setLineColour(const QColor& colour);

    std::function<void()> dashChanged;
    // Draws under the preview, on the preview path (the editor's delegate's strokes).
    std::function<void(QPainter&, platform::BezierPath&)> drawBackgroundForDashStroke;

    // Geometry, for the bounds given.
    double dashLineY() const;
    // The scale of the pattern: the line width when the dash scales with it, else 1.
    double scale() const;
    QList<QRectF> calcHandles();
    QRectF phaseHandle() const;
    int mouseInHandle(QPointF point) const;
    // The dash after dragging the selected handle to x.
    void dragSelectedTo(double x);
    void selectHandle(int handle) { m_selected = handle; }
    int selectedHandle() const { return m_selected; }

    QSize sizeHint() const override { return {360, 90}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    VXStrokeDashPtr m_dash;
    QList<QRectF> m_handles;
    platform::BezierPath m_path;
    int m_selected = kNoHandle;
    QColor m_lineColour = Qt::gray;
};
