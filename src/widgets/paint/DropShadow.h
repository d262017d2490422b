#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>

class QPainter;

// Draws the soft shadow `shape` casts: its silhouette in `colour`, blurred to reach `blur`
// points, moved by `offset` (y down). Rendered at the painter's device pixel ratio.
void drawDropShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, double blur, const QColor& colour);
