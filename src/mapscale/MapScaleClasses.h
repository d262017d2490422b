#pragma once

// Registers the archivable classes of the map scale with the ClassRegistry.
// Start-up and every test main call it; calling it again is harmless.
void registerMapScaleClasses();
