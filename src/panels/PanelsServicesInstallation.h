#pragma once

// Gives map documents their searches, their export settings and sheet, their slices layer and
// their side panels' tab views, and the application its saved searches (loaded at launch, stored
// at termination) and the "Smart Select" tool. Start-up calls it once, before the launch; calling it again does nothing.
void installPanelsServices();
