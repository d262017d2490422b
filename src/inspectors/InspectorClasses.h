#pragma once

// Registers the object inspectors: the Geometry tab with the map windows and its panes by
// model class name, and every library they build on. Called by main and by the test main;
// calling it again changes nothing.

void registerInspectorClasses();
