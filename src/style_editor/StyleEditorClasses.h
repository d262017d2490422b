#pragma once

// Registers the style editor: its panes (by name), the Style tab with the map windows, the
// "Style Dropper" tool with the application's launch, and every library it builds on. Called
// by main and by the test main; calling it again changes nothing.

void registerStyleEditorClasses();
