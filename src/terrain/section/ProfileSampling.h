#pragma once

// The grid points a cross section draws. A profile of more points than a screen has pixels
// along it shows no more, yet costs memory and time in proportion: past a bound the points
// are taken in buckets, each giving its lowest and highest point, so every spike still shows.

#include <QList>
#include <QtGlobal>

#include <functional>

namespace profilesampling {

// More than the pixels along any screen.
inline constexpr qint64 kMostProfilePoints = 4096;

// The indices, ascending, of the points of a profile of `count` points (heights by index)
// to draw: all of them up to `most`; otherwise at most `most`, keeping each bucket's extremes
// and the last point.
QList<qint64> sampledIndices(qint64 count, const std::function<double(qint64)>& height,
                             qint64 most = kMostProfilePoints);

} // namespace profilesampling
