#pragma once

// Registers the application windows' classes, and those of every library they build on, and
// installs the services the map document asks of them (WindowServices): the drawing set-up
// sheet, the print options tab and the share menu. Start-up and every test main call it;
// calling it again is harmless.
void registerWindowsClasses();
