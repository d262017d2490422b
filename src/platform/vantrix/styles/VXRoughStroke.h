#pragma once

// A stroke with ragged edges, as drawn with a dry brush: the outline of the plain stroke is
// cut into short pieces whose corners move by up to `roughness` times the width. The
// raggedness is the same on every redraw of an object and changes with its geometry.

#include "platform/vantrix/styles/VXStroke.h"

class VXRoughStroke : public VXStroke {
    Q_OBJECT
    Q_PROPERTY(double roughness READ roughness WRITE setRoughness)
    Q_CLASSINFO("actionName:roughness", "Stroke Roughness")

public:
    // Corners of the outline, over the whole object; beyond this the pieces get longer.
    static constexpr int kMaximumCornerCount = 200000;

    VXRoughStroke();

    QString displayName() const override;

    double roughness() const { return m_roughness; }
    void setRoughness(double roughness); // 0 ... 2; 0 draws a plain stroke

    // The ragged outline of the stroke on the object, to be filled.
    QPainterPath roughOutlineForObject(const VXRenderable& object) const;

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;

private:
    double m_roughness = 0.25;
};

using VXRoughStrokePtr = std::shared_ptr<VXRoughStroke>;
