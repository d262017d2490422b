#pragma once

// Registers the panes of the framework's and the map's style components by name.
void registerStylePanes();
