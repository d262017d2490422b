#pragma once

// Two sliders among the mini controls: a horizontal one over 0…1 with a knob image on a
// track, and a dial whose value is an angle in radians (−π…π) shown in degrees while
// dragged; with Shift held the dial snaps to 15° steps and shows tick marks.

#include "widgets/minicontrols/ZQMiniControl.h"
#include "widgets/paint/KitImage.h"

class ZQMiniSlider : public ZQMiniControl {
    Q_OBJECT

public:
    // The track runs this far inside the left and right edges.
    static constexpr double kTrackInset = 10.0;

    explicit ZQMiniSlider(const QRectF& bounds);

    bool showTickMarks() const { return m_ticks; }
    void setShowTickMarks(bool show);
    virtual QRectF knobRect() const;
    // The value under x: 0 on a slider with no room for a track.
    double valueForX(double x) const;

    int hitTestPoint(QPointF point) override;
    bool mouseDownAt(QPointF point, int part, platform::ModifierFlags flags) override;
    bool mouseDraggedAt(QPointF point, int part, platform::ModifierFlags flags) override;
    void draw(QPainter& painter) override;

protected:
    // The knob image's size, or `fallback` when it has none.
    QSizeF knobSize(QSizeF fallback) const;
    const KitImage& knobImage() const { return m_knobImage; }

private:
    KitImage m_knobImage;
    bool m_ticks = false;
};

class ZQMiniCircularSlider : public ZQMiniSlider {
    Q_OBJECT

public:
    static inline const QString kDegreesFormat = QStringLiteral("0.0°");

    explicit ZQMiniCircularSlider(const QRectF& bounds);

    // The square the dial's circle is inscribed in: the bounds inset by 8, centred.
    QRectF circleBounds() const;
    // A ring 8 points wide on the circle.
    QPainterPath circlePath() const;
    QRectF knobRect() const override;
    // The value in degrees as the floater shows it.
    double degreesForValue() const;
    bool isHighlighted() const { return m_hilite; }

    bool mouseDownAt(QPointF point, int part, platform::ModifierFlags flags) override;
    bool mouseDraggedAt(QPointF point, int part, platform::ModifierFlags flags) override;
    void mouseUpAt(QPointF point, int part, platform::ModifierFlags flags) override;
    void flagsChanged(platform::ModifierFlags flags) override;
    void draw(QPainter& painter) override;

private:
    bool m_hilite = false;
};
