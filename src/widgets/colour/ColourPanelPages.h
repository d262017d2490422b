#pragma once

// The colour panel's own picking pages beside its sliders: the web-safe swatches and the
// colour wheel of the colour picker, each picking continuously for the panel.

namespace platform {
class ColourPanel;
}

// Adds the pages once; later calls find them there.
void installColourPanelPages(platform::ColourPanel* panel);
