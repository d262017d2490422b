#pragma once

// Registers the archivable classes of the map furniture with the ClassRegistry.
// Start-up and every test main call it; calling it again is harmless.
void registerFurnitureClasses();
