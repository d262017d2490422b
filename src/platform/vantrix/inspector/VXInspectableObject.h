#pragma once

// An object that an inspector may show on its own (VXInspectableController::setInspectable).
// It names the key paths the inspector observes and shows for it.

#include <QStringList>

class VXInspectableObject {
public:
    virtual ~VXInspectableObject() = default;

    virtual QStringList inspectableKeyPaths() const = 0;
};
