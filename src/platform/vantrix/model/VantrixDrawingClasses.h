#pragma once

// Registers the archivable drawing, layer and drawable classes of the drawing framework
// (and the object storages) with the ClassRegistry. Start-up and every test main call it
// after registerVantrixStyleClasses(); calling it again is harmless.
void registerVantrixDrawingClasses();
