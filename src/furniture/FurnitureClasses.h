#pragma once

// Registers the archivable classes of map furniture (index grids, borders, scale bars), and of every library
// they build on, with the ClassRegistry. Start-up and every test main call it; calling it again is
// harmless.
void registerFurnitureClasses();
