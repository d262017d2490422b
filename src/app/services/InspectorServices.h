#pragma once

// What the application and the map objects built on it ask of the object inspector, which
// the inspectors library installs at start-up. Until then each service is unset and the
// commands that need it do nothing.

#include <functional>

struct InspectorServices {
    // Shows the floating object inspector on its current tab.
    std::function<void()> showObjectInspector;
    // Shows it on the attributes of the selection.
    std::function<void()> showObjectInspectorWithAttributes;

    static InspectorServices& installed();
};
