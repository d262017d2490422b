#pragma once

// The application's own palette for its custom-drawn controls, panels and tab strips, so the
// whole application shares one light-grey look. Colours are made anew on every call; each
// gradient is made on first use and the same object is answered for the life of the
// application.

#include "platform/graphics/Gradient.h"

#include <QColor>
#include <QFont>

// Colours.
QColor VLTMWindowBackgroundColour();    // windows, panels, collapsible containers
QColor VLTMDarkBackgroundColour();      // darker panels
QColor VLTMLightBackgroundColour();     // title bars of collapsible containers
QColor VLTMMediumBackgroundColour();    // base of the selected-row gradient
QColor VLTMUnderpageBackgroundColour(); // behind the tab strip: the style's mid tone
QColor VLTMControlFrameColour();        // frames of custom controls
QColor VLTMLightControlFrameColour();   // light frames and separator lines
QColor VLTMTitleTextColour();           // selected titles
QColor VLTMUnselectedTitleTextColour(); // unselected titles

// Gradients, from their starting to their ending colour.
const platform::Gradient& VLTMSelectedControlGradient();
const platform::Gradient& VLTMUnselectedControlGradient();
const platform::Gradient& VLTMHighlightedControlGradient();
// The same object as VLTMUnselectedControlGradient().
const platform::Gradient& VLTMTitleBarGradient();
const platform::Gradient& VLTMSelectedButtonGradient();
const platform::Gradient& VLTMSelectedTableRowGradient();

// Bold system font of 11 points.
QFont VLTMSmallTitleFont();
