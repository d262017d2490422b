#pragma once

// Turns plain paths into connectable tracks ("Convert To Connectable Track").

#include "tracks/model/VXQTrack.h"

class VXObjectDrawingLayer;

inline const QString kConvertToTrackActionName = QStringLiteral("Convert To Connectable Track");

// A track with the path's geometry, style, name and attributes; null for paths that are
// multi-style paths (tracks) already.
VXQTrackPtr trackFromPath(const VXDrawablePath& path);
// Whether the layer's selection holds a path that can be converted.
bool canConvertSelectionToTracks(const VXObjectDrawingLayer& layer);
// Replaces each selected, available plain path by its track in the same place of the
// stacking order, and selects the tracks, as one undo step that restores the selection.
// Answers the number of paths converted.
int convertSelectionToTracks(VXObjectDrawingLayer& layer);
// Adds "Convert To Connectable Track" to the context menus of selected plain paths, once
// however often it is called.
void addConvertToTrackMenuExtension();
