#pragma once

// A drop shadow: the shape it is drawn for, blurred, in the shadow colour, moved by the
// offset (y down). A mutable shared value: the shadow pane edits the one a component holds.

#include "platform/vantrix/styles/VXRasterizer.h"

#include <QColor>
#include <QSizeF>

class QPainterPath;

class VXShadow : public VXValueObject {
    Q_OBJECT
    Q_PROPERTY(QSizeF offset READ offset WRITE setOffset)
    Q_PROPERTY(double blurRadius READ blurRadius WRITE setBlurRadius)
    Q_PROPERTY(QColor colour READ colour WRITE setColour)

public:
    // No offset, no blur, black at one third opacity.
    VXShadow();
    static std::shared_ptr<VXShadow> shadowWithOffsetBlurRadiusColour(QSizeF offset, double blurRadius,
                                                                      const QColor& colour);

    QSizeF offset() const { return m_offset; }
    void setOffset(QSizeF offset);
    double blurRadius() const { return m_blurRadius; }
    // Negative radii count as 0.
    void setBlurRadius(double radius);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);

    // How far the shadow reaches beyond the shape it is drawn for, each way.
    QSizeF extraSpace() const;
    // Draws the shadow of the filled shape into GraphicsContext::current(); `shapeColour` is
    // the colour the shape is then filled with, if any. An opaque shape hides part of its
    // shadow; where the painter fades each part on its own (PDF and printers fade styles and
    // layers so) that part is left out, as it would not show through had they faded together.
    void drawShadowForPath(const QPainterPath& shape, const QColor& shapeColour = QColor()) const;

private:
    QSizeF m_offset;
    double m_blurRadius = 0;
    QColor m_colour;
};

using VXShadowPtr = std::shared_ptr<VXShadow>;
Q_DECLARE_METATYPE(VXShadowPtr)
