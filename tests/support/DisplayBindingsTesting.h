#pragma once

// The coverage check of display-binding tables: which of a pane's observed key paths its
// table does not bind (a pane that loses a binding stops showing that value, silently).

#include "platform/vantrix/inspector/DisplayBindings.h"
#include "platform/vantrix/inspector/InspectorValues.h"

#include <QStringList>

namespace testsupport {

inline QStringList unboundKeys(const platform::DisplayBindingSource& source, const QStringList& keyPaths)
{
    QStringList unbound;
    for (const QString& keyPath : keyPaths)
        if (!source.displayBindings().binds(platform::lastKeyOfKeyPath(keyPath)))
            unbound.append(keyPath);
    return unbound;
}

} // namespace testsupport
