#pragma once

// Combines the drawing of its components with what lies below it by a blend mode (a
// QPainter::CompositionMode: multiply, screen, darken and the like), so a group can, say,
// darken the fills beneath it instead of covering them.

#include "platform/vantrix/styles/VXCIFilterRastGroup.h"

#include <QPainter>

class VXBlendGroup : public VXCIFilterRastGroup {
    Q_OBJECT
    Q_PROPERTY(int blendMode READ blendMode WRITE setBlendMode)
    Q_CLASSINFO("actionName:blendMode", "Blend Mode")

public:
    // Multiply.
    VXBlendGroup();

    QString displayName() const override;

    int blendMode() const { return m_blendMode; }
    void setBlendMode(int mode); // Porter-Duff and blend modes, not raster operations

protected:
    void drawLayer(platform::DeviceLayer& layer) const override;

private:
    int m_blendMode = QPainter::CompositionMode_Multiply;
};

using VXBlendGroupPtr = std::shared_ptr<VXBlendGroup>;
