#pragma once

// The styles a new document's track tools give the tracks they make, one per kind of track:
// a road (a dark casing under a lighter, narrower fill stroke), a railway (a dark line under
// a white dashed one, the usual alternating rail pattern) and a river (a blue line).
//
// Each call answers a fresh style with a fresh key, named for the kind ("Road", "Railway",
// "River"), so editing one document's tool style never changes another's.

#include "platform/vantrix/styles/VXStyle.h"

// Casing and fill widths of the road style, in points.
inline constexpr double kFactoryRoadCasingWidth = 10.0;
inline constexpr double kFactoryRoadFillWidth = 7.0;

VXStylePtr factoryRoadStyle();
VXStylePtr factoryRailStyle();
VXStylePtr factoryRiverStyle();
// The factory style for a track type ("QVNL_ROAD_TYPE_TRACK"...); generic tracks draw as roads.
VXStylePtr factoryStyleForTrackType(const QString& trackType);
