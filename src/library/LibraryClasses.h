#pragma once

// Registers the library store's classes, and those of every library it builds on, with the
// ClassRegistry. Start-up and every test main call it; calling it again is harmless.
void registerLibraryClasses();
