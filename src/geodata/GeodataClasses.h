#pragma once

// Registers the archivable classes of the geodata library with the ClassRegistry.
// Start-up and every test main that decodes them call it; calling it again is harmless.
void registerGeodataClasses();
