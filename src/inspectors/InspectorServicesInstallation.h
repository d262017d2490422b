#pragma once

// Hands the application the object inspector (InspectorServices). Called by main once the
// inspector classes are registered; calling it again changes nothing.

void installInspectorServices();
