#pragma once

// Registers the document panels' classes, and those of every library they build on, with the
// ClassRegistry. Start-up and every test main call it; calling it again is harmless.
void registerPanelsClasses();
