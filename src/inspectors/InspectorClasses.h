#pragma once

// Registers the object inspectors: the Geometry and Text tabs with the map windows, the
// Geometry tab's panes by model class name, the text pane with the style editor's text
// component pane, and every library they build on. Called by main and by the test main;
// calling it again changes nothing.

void registerInspectorClasses();
