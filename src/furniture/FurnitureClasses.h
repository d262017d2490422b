#pragma once

// Registers the classes of map furniture (index grids, borders, scale bars, the measuring ruler), and of
// every library they build on, with the ClassRegistry, and the measure tool with the application's tool
// registration. Start-up and every test main call it; calling it again is harmless.
void registerFurnitureClasses();
