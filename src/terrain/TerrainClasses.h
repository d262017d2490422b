#pragma once

// Registers the archivable classes of terrain (contour layers), and of every library they build
// on, with the ClassRegistry. Start-up and every test main call it; calling it again is harmless.
void registerTerrainClasses();
