#pragma once

// The tools the application knows, by name. The shared registry starts with the standard
// tools ("Select", "Zoom", "Pan", "Rectangle", "Oval", "Round Rectangle", "Line", "Path",
// "Regular Polygon", "Text", "Round End Rectangle", "Polygon", "Freehand", "Arc", "Wedge",
// "Text Path", "Insert Path Point", "Delete Path Point"); applications add their own.

#include "platform/vantrix/tools/VXDrawingTool.h"

#include <QHash>
#include <QStringList>

class VXToolRegistry {
public:
    static VXToolRegistry& sharedToolRegistry();

    // Null for an unknown name.
    VXDrawingToolPtr drawingToolWithName(const QString& name) const;
    // Replaces any tool of that name; the tool learns its name. A null tool removes the name.
    // The tool's keyboard equivalent is taken from any other tool that had it, so the key
    // selects the tool registered last.
    void registerDrawingToolWithName(const VXDrawingToolPtr& tool, const QString& name);
    // Registered names in registration order.
    QStringList names() const { return m_names; }

private:
    VXToolRegistry();
    void registerStandardTools();

    QHash<QString, VXDrawingToolPtr> m_tools;
    QStringList m_names;
};
