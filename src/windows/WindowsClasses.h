#pragma once

// Registers the application windows' classes, and those of every library they build on, and
// installs the services the application asks of them (WindowServices): the drawing set-up
// sheet, the print options tab, the share menu, the reposition overlay, the help window, the
// tool palette, the preferences, the welcome window and the template chooser. Start-up and
// every test main call it; calling it again is harmless.
void registerWindowsClasses();
