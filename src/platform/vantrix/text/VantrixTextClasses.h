#pragma once

// Registers the archivable text classes of the drawing framework with the ClassRegistry and
// the conversions their object-valued keys need. Start-up and every test main call it;
// calling it again is harmless.
void registerVantrixTextClasses();
