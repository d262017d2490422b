#pragma once

// Registers the archivable classes of tracks and their styles, and of every library they
// build on, with the ClassRegistry, and the track tools with the application delegate's
// tool registration. Start-up and every test main call it; calling it again is harmless.
void registerTrackClasses();
