#pragma once

// Registers the archivable classes of the application core, and of every library it builds
// on, with the ClassRegistry. Start-up and the test mains call it (or a later library's
// registration, which calls it); calling it again is harmless.
void registerAppClasses();
