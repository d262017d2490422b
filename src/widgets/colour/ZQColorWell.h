#pragma once

// A colour well that says when it stops being active: "kZQColorWellDeactivated" with the
// well as sender, after every deactivation.

#include "platform/ui/ColourWell.h"

class ZQColorWell : public platform::ColourWell {
    Q_OBJECT

public:
    static constexpr const char* kZQColorWellDeactivated = "kZQColorWellDeactivated";

    using ColourWell::ColourWell;

    void deactivate() override;
};
