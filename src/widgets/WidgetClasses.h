#pragma once

// Registers the archivable classes of the widget kit and of the drawing framework it builds on
// with the ClassRegistry. Start-up and every test main call it; calling it again is harmless.
void registerWidgetClasses();
