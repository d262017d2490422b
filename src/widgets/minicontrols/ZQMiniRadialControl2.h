#pragma once

// The radial mini controls. ZQMiniRadialControl2 is a ring about a centre with a tab on
// it: dragging the ring moves the centre, turning the tab sets the radius. The tab's angle
// (−45°…+45°) and the radius are one quantity: radius = M·π·(angle + π/4), M being the
// maximum value (60 at first). ZQMiniRadialControls is a target marking a centre, with an
// optional dashed circle of a radius about it.

#include "widgets/minicontrols/ZQMiniControl.h"

#include <optional>

class ZQMiniRadialControl2 : public ZQMiniControl {
    Q_OBJECT

public:
    static constexpr float kMinimumTabAngle = float(-0.78539816339744830962); // −π/4
    static constexpr float kMaximumTabAngle = float(0.78539816339744830962);
    static inline const QString kRadiusFormat = QStringLiteral("0.0");

    explicit ZQMiniRadialControl2(const QRectF& bounds);

    // Also sizes the ring: a sixth of the shorter side.
    void setBounds(const QRectF& bounds) override;

    QPointF centre() const { return m_centre; }
    void setCentre(QPointF centre);
    float radius() const { return m_radius; }
    void setRadius(float radius);
    float tabAngle() const { return m_tabAngle; }
    // Clamped to −π/4…π/4; sets the radius that angle stands for.
    void setTabAngle(float angle);
    // The tab angle for a radius (−π/4 while the maximum is 0).
    float tabAngleForRadius(float radius) const;

    float ringRadius() const { return m_ringRadius * m_ringScale; }
    void setRingRadius(float radius);
    // Takes effect at the next setRingRadius or setBounds.
    void setRingRadiusScale(float scale) { m_ringScale = scale; }
    QColor tabColor() const;
    void setTabColor(const QColor& colour);

    // The shapes placed at the centre and turned to the tab angle.
    QPainterPath irisPath();
    QPainterPath tabPath();
    QPainterPath hitTabPath();
    void invalidatePathCache();
    QPointF trackPointForAngle(float degrees) const;
    bool isHighlighted() const { return m_hilite; }

    int hitTestPoint(QPointF point) override;
    bool mouseDownAt(QPointF point, int part, platform::ModifierFlags flags) override;
    bool mouseDraggedAt(QPointF point, int part, platform::ModifierFlags flags) override;
    void mouseUpAt(QPointF point, int part, platform::ModifierFlags flags) override;
    void draw(QPainter& painter) override;

private:
    double ringWidth() const;
    QPainterPath placed(const QPainterPath& atOrigin) const;
    void buildPathCache();

    QColor m_tabColour = Qt::black;
    std::optional<QPainterPath> m_tab;
    std::optional<QPainterPath> m_hitTab;
    std::optional<QPainterPath> m_iris;
    QPointF m_centre;
    QPointF m_offset;
    float m_radius = 0;
    float m_ringRadius = 48;
    float m_tabAngle = kMinimumTabAngle;
    float m_ringScale = 1;
    bool m_irisDilating = false;
    bool m_hilite = false;
};

class ZQMiniRadialControls : public ZQMiniControl {
    Q_OBJECT

public:
    explicit ZQMiniRadialControls(const QRectF& bounds);

    QPointF centre() const { return m_centre; }
    // Notifies will and did; the delegate redraws.
    void setCentre(QPointF centre);
    double radius() const { return m_radius; }
    void setRadius(double radius);
    // 20 × 20 about the centre; rectForRadius is 25 × 25.
    QRectF targetRect() const;
    QRectF rectForRadius() const;

    int hitTestPoint(QPointF point) override;
    bool mouseDraggedAt(QPointF point, int part, platform::ModifierFlags flags) override;
    void draw(QPainter& painter) override;
    void drawRadControlInRect(QPainter& painter, const QRectF& rect, double radius);

private:
    double m_radius = 0;
    QPointF m_centre;
};
