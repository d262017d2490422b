#pragma once

// A tunnel: a dashed stroke along the stretch with a portal at each end, a bar across the
// path whose ends turn back outwards like the wing walls of a tunnel mouth. Portal sizes
// are multiples of the stroke width, so the tunnel scales with the line it replaces.

#include "platform/vantrix/styles/VXStroke.h"

#include <QPainterPath>

class VXQTunnelRasterizer : public VXStroke {
    Q_OBJECT
    Q_PROPERTY(double portalWidth READ portalWidth WRITE setPortalWidth)
    Q_PROPERTY(double portalHeight READ portalHeight WRITE setPortalHeight)
    Q_PROPERTY(int portalCapStyle READ portalCapStyle WRITE setPortalCapStyle)
    Q_PROPERTY(int portalKind READ portalKind WRITE setPortalKind)
    Q_CLASSINFO("actionName:portalWidth", "#kind# Portal Width")
    Q_CLASSINFO("actionName:portalHeight", "#kind# Portal Height")
    Q_CLASSINFO("actionName:portalCapStyle", "#kind# Portal Cap Style")
    Q_CLASSINFO("actionName:portalKind", "#kind# Portal Kind")

public:
    enum PortalKind {
        kFlaredPortal = 0, // wings splay out at 45 degrees
        kSquarePortal = 1, // wings run straight back along the path
    };
    // Portal lines are this fraction of the stroke width wide.
    static constexpr double kPortalLineWidthFactor = 0.2;

    // 6 wide, dashed 1 on and 0.5 off (in widths), flared portals 0.6 deep and 1.7 across.
    VXQTunnelRasterizer();

    QString displayName() const override;

    // The depth of the wings, in stroke widths.
    double portalWidth() const { return m_portalWidth; }
    void setPortalWidth(double width); // negative counts as 0
    // The length of the bar across the path, in stroke widths.
    double portalHeight() const { return m_portalHeight; }
    void setPortalHeight(double height); // negative counts as 0
    int portalCapStyle() const { return m_portalCapStyle; }
    void setPortalCapStyle(int style); // a platform::LineCapStyle; others are ignored
    int portalKind() const { return m_portalKind; }
    void setPortalKind(int kind); // a PortalKind; others are ignored

    // Both portals of a tunnel along `path`, as open lines to be stroked.
    QPainterPath portalPathForPath(const platform::BezierPath& path) const;

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;

private:
    QPolygonF portalAt(QPointF point, double slope, double outward) const;

    double m_portalWidth = 0.6;
    double m_portalHeight = 1.7;
    int m_portalCapStyle = 0;
    int m_portalKind = kFlaredPortal;
};

using VXQTunnelRasterizerPtr = std::shared_ptr<VXQTunnelRasterizer>;
