#pragma once

// Another object with a path of its own: lets a component hand a derived outline (a
// zig-zag, a moved copy) to code written for the object itself. `placement` maps the
// object to where the derived path lies, so location, size and angle follow the copy.

#include "platform/vantrix/drawables/VXRenderable.h"

namespace platform {

class RenderableWithPath : public VXRenderable {
public:
    RenderableWithPath(const VXRenderable& base, BezierPath path, const QTransform& placement = {},
                       quint64 checksumSalt = 0);

    BezierPath renderingPath() const override { return m_path; }
    double angle() const override;
    QSizeF size() const override;
    QPointF location() const override;
    QRectF bounds() const override;
    QTransform containerTransform() const override { return m_base.containerTransform(); }
    quint64 geometryChecksum() const override { return m_base.geometryChecksum() ^ m_checksumSalt; }
    bool useLowQualityDrawing() const override { return m_base.useLowQualityDrawing(); }
    QVariant metadataObjectForKey(const QString& key) const override { return m_base.metadataObjectForKey(key); }

private:
    const VXRenderable& m_base;
    BezierPath m_path;
    QTransform m_placement;
    quint64 m_checksumSalt;
};

} // namespace platform
