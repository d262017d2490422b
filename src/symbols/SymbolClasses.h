#pragma once

// Registers the archivable classes of symbols and text labels, and of every library they build
// on, with the ClassRegistry, and hands shapefile imports the master for their points. Start-up
// and every test main call it; calling it again is harmless.
void registerSymbolClasses();
