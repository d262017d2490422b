#pragma once

// What the colour controls share: which colours may be shown and sent, and how a colour is
// filled so that translucent ones show over a chequered pattern.

#include <QBrush>
#include <QColor>

class QPainter;
class QPainterPath;

// Valid, with every component finite and within 0..1 (Qt keeps out-of-range float
// components as extended colours; no target is ever sent one).
bool isPickableColour(const QColor& colour);

// The bundle's "chequered" tile as a brush, made once per device pixel ratio.
QBrush chequeredPatternBrush(qreal ratio);

// Fills `shape`, first with the chequered pattern when the colour is translucent.
void fillWithColourOverChequer(QPainter& painter, const QPainterPath& shape, const QColor& colour);
