#pragma once

// Assistive technologies see a free-layout icon view as a list whose items are named by their
// titles and say whether they are selected.

// Installs the accessibility factory for the icon view; calling it again is harmless.
void installDistributedViewAccessibility();
