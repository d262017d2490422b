#pragma once

// A rounded rectangle in four quarters; clicking a quarter switches the rounding of its corner
// on or off. The choice is a corner mask (1 top-left, 2 bottom-left, 4 top-right, 8
// bottom-right, as the rounded-rectangle path takes it), and every change the user makes sends
// the action. A state of -1 (mixed) dashes the outline. With the focus, the arrow keys pick a
// quarter and Space switches it.

#include "widgets/controls/ControlAction.h"

#include <QWidget>

class ZQRoundRectSelectorControl : public QWidget, public ControlAction {
    Q_OBJECT

public:
    static constexpr int kMixedState = -1;

    explicit ZQRoundRectSelectorControl(QWidget* parent = nullptr);

    int corners() const { return m_corners; }
    void setCorners(int corners);
    int state() const { return m_state; }
    void setState(int state);

    // The frame rectangle R at a device pixel ratio, and the quarter of a corner bit.
    QRectF frameRect(qreal ratio) const;
    QRectF quarterRect(int corner, qreal ratio) const;
    // The corner bit of the quarter under `point`, 0 outside R.
    int cornerAt(const QPointF& point) const;
    int trackingCorner() const { return m_mouseTrackingCorner; }

    QString description() const;
    QSize sizeHint() const override { return QSize(60, 44); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void toggle(int corner);
    void drawSegmentInRectCornerHighlighted(QPainter& painter, QRectF rect, bool highlighted) const;

    int m_corners = 15;
    int m_mouseTrackingCorner = 0;
    bool m_mouseInSegment = false;
    int m_state = 0;
    int m_focusCorner = 1;
};
