#pragma once

// A bridge: two parapet lines either side of the path with splayed wings at the ends and
// piers along them. Sizing automatically, the bridge spans the widest stroke of the object
// it is drawn on (asked through StrokeWidthSource) and derives its line width, pier size
// and pier spacing from that span; otherwise it uses its own values.

#include "platform/vantrix/styles/VXStroke.h"

#include <QPainterPath>

class VXQBridgeRasterizer : public VXStroke {
    Q_OBJECT
    Q_PROPERTY(double bridgeWidth READ bridgeWidth WRITE setBridgeWidth)
    Q_PROPERTY(double pierSize READ pierSize WRITE setPierSize)
    Q_PROPERTY(double pierSpacing READ pierSpacing WRITE setPierSpacing)
    Q_PROPERTY(bool sizesAutomatically READ sizesAutomatically WRITE setSizesAutomatically)
    Q_CLASSINFO("actionName:bridgeWidth", "#kind# Bridge Width")
    Q_CLASSINFO("actionName:pierSize", "#kind# Pier Size")
    Q_CLASSINFO("actionName:pierSpacing", "#kind# Pier Spacing")
    Q_CLASSINFO("actionName:sizesAutomatically", "#kind# Auto Pier Sizing")

public:
    // The sizes a bridge draws with on one object.
    struct Dimensions {
        double bridgeWidth; // between the parapets' centre lines
        double lineWidth;   // of the parapets
        double pierSize;
        double pierSpacing;
    };
    // The sizes of a bridge spanning a stroke `strokeWidth` wide.
    static Dimensions automaticDimensionsForStrokeWidth(double strokeWidth);

    // Lines 2 wide with round caps and joins, 12 apart, piers 3 across every 30, sizing
    // automatically.
    VXQBridgeRasterizer();

    QString displayName() const override;

    // The manual sizes. Width and spacing read at least 1.
    double bridgeWidth() const;
    void setBridgeWidth(double width); // negative counts as 0
    double pierSize() const { return m_pierSize; }
    void setPierSize(double size); // negative counts as 0
    double pierSpacing() const;
    void setPierSpacing(double spacing); // negative counts as 0
    bool sizesAutomatically() const { return m_sizesAutomatically; }
    void setSizesAutomatically(bool automatic);

    // The sizes used on `object`: automatic ones when sizing automatically and the object
    // has strokes to span, else the manual ones.
    Dimensions dimensionsForObject(const VXRenderable& object) const;
    // The parapets (open lines, to be stroked) and the piers (to be filled) along `path`.
    QPainterPath parapetPathForPath(const platform::BezierPath& path, const Dimensions& dimensions) const;
    QPainterPath pierPathForPath(const platform::BezierPath& path, const Dimensions& dimensions) const;

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;

private:
    Dimensions manualDimensions() const;

    double m_bridgeWidth = 12.0;
    double m_pierSize = 3.0;
    double m_pierSpacing = 30.0;
    bool m_sizesAutomatically = true;
};

using VXQBridgeRasterizerPtr = std::shared_ptr<VXQBridgeRasterizer>;
