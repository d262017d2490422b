#pragma once

// Which controls of the scale bar pane take input, from the selection's lock and the states
// of its three switches (mixed when the selected bars differ). A mixed lock counts as
// unlocked; a field that belongs to a switch is enabled only when the switch is on for all.

#include <Qt>

struct ScaleBarPaneEnabling {
    bool switches = false;      // title and bar checkboxes, style checkboxes, colours, bar width
    bool titleField = false;
    bool upperControls = false; // upper label, divisions and skip interval
    bool lowerControls = false; // lower label, divisions, skip interval and units
};

ScaleBarPaneEnabling scaleBarPaneEnabling(Qt::CheckState locked, Qt::CheckState titleEnabled,
                                          Qt::CheckState primaryBarEnabled, Qt::CheckState secondaryBarEnabled);
