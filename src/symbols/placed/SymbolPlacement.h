#pragma once

// Where a placed symbol puts its master's graphic, and how. The graphic's origin goes to
// `location`; the graphic is scaled uniformly by `scaleFactor` and then turned by `angle`,
// unless the angle is absolute (the graphic keeps its own angle whatever the symbol's).
//
// The switches say how the placement reaches the page: with `scaleVisually` it goes onto the
// graphics context, so strokes and text scale with the symbol; without it only the geometry
// is placed. `showSizeHandle` shows (and lets a press hit) the corner handle that scales the
// symbol by dragging.

#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <optional>

struct SymbolPlacement {
    // Scale factors a setter stores; read archives may hold others.
    static constexpr double kMinimumScaleFactor = 0.1;
    static constexpr double kMaximumScaleFactor = 10.0;

    QPointF location;
    double angle = 0; // radians
    double scaleFactor = 1.0;
    bool absoluteAngle = false;
    bool scaleVisually = false;
    bool showSizeHandle = false;

    static double clampedScaleFactor(double scaleFactor);

    // Translate, scale, rotate: the master graphic's coordinates to the container's.
    QTransform localTransform() const;

    // The placement after `transform`: moved by it, turned as it turns the x axis and scaled by
    // the smaller of its scales along the axes (a scale within rounding of 1 is none, so an
    // unclamped archived scale survives a move). None for a transform that is not affine or
    // that flattens.
    std::optional<SymbolPlacement> transformedBy(const QTransform& transform) const;

    // Where the size handle sits in the master graphic's coordinates: just inside the corner of
    // the master rectangle that the placement carries furthest along +x, +y.
    static QPointF sizeHandleInGraphic(const QRectF& masterRect);
    // The scale factor that puts the size handle at `point`: its distance from `centre` (the
    // location, in the same space) over half the master rectangle's diagonal. None for an empty
    // master rectangle, which has no scale to give.
    static std::optional<double> scaleFactorForSizeHandle(QPointF point, QPointF centre, const QRectF& masterRect);
};
