#include "platform/vantrix/tools/VXToolRegistry.h"

#include "platform/vantrix/drawables/VXArcPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXRoundEndRectShape.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "platform/vantrix/drawables/VXTextPath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/tools/VXPanTool.h"
#include "platform/vantrix/tools/VXPathPointTool.h"
#include "platform/vantrix/tools/VXSelectAndEditTool.h"
#include "platform/vantrix/tools/VXZoomTool.h"

namespace {

using Geometry = VXObjectCreationTool::Geometry;

// Prototypes are sized once here; every creation reshapes its copy.
constexpr QRectF kPrototypeRect{0, 0, 100, 100};
constexpr double kPrototypeCornerRadius = 10.0;

VXDrawingToolPtr creationTool(const VXDrawableObjectPtr& prototype, Geometry geometry)
{
    return std::make_shared<VXObjectCreationTool>(prototype, geometry);
}

VXDrawableObjectPtr linePrototype()
{
    platform::BezierPath line;
    line.moveToPoint(kPrototypeRect.topLeft());
    line.lineToPoint(kPrototypeRect.bottomRight());
    return VXDrawablePath::drawablePathWithBezierPathWithStyle(line, VXStyle::defaultStyle());
}

VXDrawableObjectPtr arcPrototype(VXArcPath::ArcType type)
{
    auto arc = std::make_shared<VXArcPath>();
    arc->setArcType(type);
    arc->setStyle(VXStyle::defaultStyle());
    return arc;
}

VXDrawableObjectPtr textPathPrototype()
{
    platform::BezierPath line;
    line.moveToPoint(kPrototypeRect.topLeft());
    line.lineToPoint(kPrototypeRect.topRight());
    return VXTextPath::textPathWithStringOnPath(QStringLiteral("Text"), line);
}

VXDrawableObjectPtr polygonPrototype()
{
    auto polygon = std::make_shared<VXRegularPolygonPath>();
    polygon->setStyle(VXStyle::defaultStyle());
    return polygon;
}

} // namespace

VXToolRegistry& VXToolRegistry::sharedToolRegistry()
{
    static VXToolRegistry shared;
    return shared;
}

VXToolRegistry::VXToolRegistry() { registerStandardTools(); }

void VXToolRegistry::registerStandardTools()
{
    const VXStylePtr style = VXStyle::defaultStyle();
    const struct {
        QString name;
        QString key;
        VXDrawingToolPtr tool;
    } tools[] = {
        {kVXStandardSelectionToolName, QStringLiteral("v"), std::make_shared<VXSelectAndEditTool>()},
        {QStringLiteral("Zoom"), QStringLiteral("z"), std::make_shared<VXZoomTool>()},
        {QStringLiteral("Pan"), QStringLiteral("h"), std::make_shared<VXPanTool>()},
        {QStringLiteral("Rectangle"), QStringLiteral("r"),
         creationTool(VXDrawableShape::drawableShapeWithRect(kPrototypeRect, style), Geometry::Box)},
        {QStringLiteral("Oval"), QStringLiteral("o"),
         creationTool(VXDrawableShape::drawableShapeWithOvalInRect(kPrototypeRect, style), Geometry::Box)},
        {QStringLiteral("Round Rectangle"), QStringLiteral("u"),
         creationTool(VXRoundRectShape::roundRectInRectCornerRadiusStyle(kPrototypeRect, kPrototypeCornerRadius, style),
                      Geometry::Box)},
        {QStringLiteral("Line"), QStringLiteral("l"), creationTool(linePrototype(), Geometry::Line)},
        {QStringLiteral("Path"), QStringLiteral("p"), creationTool(linePrototype(), Geometry::ClickedPoints)},
        {QStringLiteral("Regular Polygon"), QStringLiteral("g"), creationTool(polygonPrototype(), Geometry::Radial)},
        {QStringLiteral("Text"), QStringLiteral("t"),
         creationTool(VXTextShape::textShapeWithStringInRect(QStringLiteral("Text"), kPrototypeRect), Geometry::Box)},
        {QStringLiteral("Round End Rectangle"), QString(),
         creationTool(VXRoundEndRectShape::roundEndRectInRectStyle(kPrototypeRect, style), Geometry::Box)},
        {QStringLiteral("Polygon"), QString(), creationTool(linePrototype(), Geometry::ClickedPolygon)},
        {QStringLiteral("Freehand"), QString(), creationTool(linePrototype(), Geometry::Freehand)},
        {QStringLiteral("Arc"), QString(), creationTool(arcPrototype(VXArcPath::kVXArcPathOpenArc), Geometry::Arc)},
        {QStringLiteral("Wedge"), QString(), creationTool(arcPrototype(VXArcPath::kVXArcPathWedge), Geometry::Arc)},
        {QStringLiteral("Text Path"), QString(), creationTool(textPathPrototype(), Geometry::Line)},
        {QStringLiteral("Insert Path Point"), QString(),
         std::make_shared<VXPathPointTool>(VXPathPointTool::Operation::InsertPoint)},
        {QStringLiteral("Delete Path Point"), QString(),
         std::make_shared<VXPathPointTool>(VXPathPointTool::Operation::DeletePoint)},
    };
    for (const auto& entry : tools) {
        entry.tool->setKeyboardEquivalent(entry.key);
        registerDrawingToolWithName(entry.tool, entry.name);
    }
}

VXDrawingToolPtr VXToolRegistry::drawingToolWithName(const QString& name) const { return m_tools.value(name); }

void VXToolRegistry::registerDrawingToolWithName(const VXDrawingToolPtr& tool, const QString& name)
{
    if (!tool) {
        m_tools.remove(name);
        m_names.removeAll(name);
        return;
    }
    if (const QString key = tool->keyboardEquivalent(); !key.isEmpty()) {
        for (const VXDrawingToolPtr& other : std::as_const(m_tools)) {
            if (other != tool && other->keyboardEquivalent().compare(key, Qt::CaseInsensitive) == 0)
                other->setKeyboardEquivalent({});
        }
    }
    if (!m_tools.contains(name))
        m_names.append(name);
    tool->setRegisteredName(name);
    m_tools.insert(name, tool);
}
