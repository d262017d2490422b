#pragma once

// Registers the archivable classes of terrain (contour layers), and of every library they build
// on, with the ClassRegistry. Start-up and every test main call it; calling it again is harmless.
void registerTerrainClasses();

// Has the terrain panel follow the map in front from launch on: a map opened with its contour
// layer active shows it, though no layer was activated yet.
void installTerrainServices();
