#pragma once

// The pane of a component whose class has no pane of its own: it edits only what every
// component has (enabled, copy, delete, help) and says so.

#include "style_editor/panes/VLTMStyleComponentController.h"

class VLTMStyleComponentPlaceholder : public VLTMStyleComponentController {
    Q_OBJECT

protected:
    QWidget* makeControls() override;
};
