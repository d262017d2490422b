#pragma once

// Registers the archivable classes of the application core with the ClassRegistry.
// Start-up and the test main call it after the drawing framework's registrations;
// calling it again is harmless.
void registerAppClasses();
