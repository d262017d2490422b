#pragma once

#include "platform/vantrix/tools/VXToolRegistry.h"

#include <QList>

namespace testsupport {

// Puts the shared tool registry back as it was on any exit: the same tools under the same
// names in the same order, each with its keyboard equivalent (a tool registered meanwhile may
// have taken one).
class ToolRegistryScope {
public:
    ToolRegistryScope()
    {
        const VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
        for (const QString& name : registry.names()) {
            const VXDrawingToolPtr tool = registry.drawingToolWithName(name);
            m_saved.append({name, tool, tool->keyboardEquivalent()});
        }
    }
    ~ToolRegistryScope()
    {
        VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
        for (const QString& name : registry.names())
            registry.registerDrawingToolWithName(nullptr, name);
        for (const Entry& entry : m_saved)
            registry.registerDrawingToolWithName(entry.tool, entry.name);
        for (const Entry& entry : m_saved)
            entry.tool->setKeyboardEquivalent(entry.key);
    }
    ToolRegistryScope(const ToolRegistryScope&) = delete;
    ToolRegistryScope& operator=(const ToolRegistryScope&) = delete;

private:
    struct Entry {
        QString name;
        VXDrawingToolPtr tool;
        QString key;
    };
    QList<Entry> m_saved;
};

} // namespace testsupport
