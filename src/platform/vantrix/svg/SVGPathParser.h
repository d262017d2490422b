#pragma once

// Turns SVG path data into a QPainterPath: every command, absolute and relative, implicit
// repeats, smooth curves reflecting the previous control point, quadratics raised to
// cubics and elliptical arcs split into cubics of at most a quarter turn.
//
// By SVG's error rule the path keeps what came before the first bad token. One pass, linear
// in the input; points are counted against a budget shared by a whole import, so a
// document cannot build paths without bound.

#include <QPainterPath>
#include <QStringView>

namespace platform {

class SVGPathParser {
public:
    struct Result {
        QPainterPath path;
        bool complete = true;     // false when a bad token or the budget cut the data short
        bool budgetSpent = false; // the point budget ran out
    };

    // `pointBudget` shrinks by the points added.
    static Result parse(QStringView data, qsizetype& pointBudget);

    // Appends the elliptical arc from `from` as cubics (SVG's endpoint parameterisation,
    // radii corrected when too small; zero radii draw a line).
    static void appendArc(QPainterPath& path, QPointF from, double rx, double ry, double xAxisRotationDegrees,
                          bool largeArc, bool sweep, QPointF to);
};

} // namespace platform
