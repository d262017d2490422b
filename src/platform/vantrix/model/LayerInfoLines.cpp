// What the layers panel shows beside each kind of layer: its info line, the notifications
// and keys that change that line, and the name of its icon.

#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/model/VXIsometricGridLayer.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("VXLayer", text);
}

// "1 Layer", "0 Layers": exactly one takes the singular.
QString counted(qsizetype count, const char* singular, const char* plural)
{
    return QStringLiteral("%1 %2").arg(count).arg(tr(count == 1 ? singular : plural));
}

} // namespace

// --- Icons ----------------------------------------------------------------------------------------

QIcon VXLayer::iconNamed(const QString& name)
{
    static QMutex mutex;
    static QHash<QString, QIcon> icons;
    const QMutexLocker locker(&mutex);
    auto found = icons.find(name);
    if (found == icons.end())
        found = icons.insert(name, QIcon(QStringLiteral(":/bundle/images/%1.svg").arg(name)));
    return *found;
}

QString VXLayer::iconName() const
{
    return QStringLiteral("VL_Generic_Layer_Icon");
}

QIcon VXLayer::icon() const
{
    return iconNamed(iconName());
}

QString VXLayerGroup::iconName() const
{
    return QStringLiteral("VL_Layer_Group-Template");
}

QString VXObjectDrawingLayer::iconName() const
{
    return QStringLiteral("VL_Layer_Drawing-Template");
}

QString VXGuideLayer::iconName() const
{
    return QStringLiteral("VL_Layer_Guides-Template");
}

QString VXGridLayer::iconName() const
{
    return QStringLiteral("VL_Layer_GraphPaper-Template");
}

// --- Info lines ----------------------------------------------------------------------------------

QString VXLayerGroup::auxiliaryInfoString() const
{
    return counted(countOfLayers(), "Layer", "Layers");
}

QStringList VXLayerGroup::notificationNamesAffectingAuxiliaryInfo() const
{
    return {kVXLayerGroupNumberOfLayersDidChange};
}

QString VXDrawing::auxiliaryInfoString() const
{
    const double factor = unitToPointsConversionFactor() > 0 ? unitToPointsConversionFactor() : 1.0;
    return QStringLiteral("%1 x %2 %3, %4")
        .arg(drawingSize().width() / factor, 0, 'f', 1)
        .arg(drawingSize().height() / factor, 0, 'f', 1)
        .arg(abbreviatedDrawingUnits(), VXLayerGroup::auxiliaryInfoString());
}

QStringList VXDrawing::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    if (key == u"auxiliaryInfoString")
        return {QStringLiteral("drawingSize")};
    return VXLayerGroup::keyPathsForValuesAffectingValueForKey(key);
}

QString VXObjectDrawingLayer::auxiliaryInfoString() const
{
    return QStringLiteral("%1, %2 %3")
        .arg(counted(countOfObjects(), "Object", "Objects"))
        .arg(countOfSelection())
        .arg(tr("Selected"));
}

QStringList VXObjectDrawingLayer::notificationNamesAffectingAuxiliaryInfo() const
{
    return {kVXLayerSelectionDidChange, kVXLayerDidAddObject, kVXLayerDidRemoveObject};
}

QString VXGuideLayer::auxiliaryInfoString() const
{
    return counted(horizontalGuides().size() + verticalGuides().size(), "Guide", "Guides");
}

QStringList VXGuideLayer::notificationNamesAffectingAuxiliaryInfo() const
{
    return {kVXGuideLayerDidAddGuide, kVXGuideLayerDidRemoveGuide};
}

QString VXGridLayer::auxiliaryInfoString() const
{
    const VXDrawing* owner = drawing();
    return QStringLiteral("%1, %2 %3, %4")
        .arg(owner ? owner->drawingUnits() : QString())
        .arg(divisions())
        .arg(tr("divs"), gridKindName());
}

QStringList VXGridLayer::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    if (key == u"auxiliaryInfoString")
        return {QStringLiteral("spanDistance"), QStringLiteral("divisions")};
    return VXLayer::keyPathsForValuesAffectingValueForKey(key);
}

QString VXGridLayer::gridKindName() const
{
    return tr("cartesian");
}

QString VXIsometricGridLayer::gridKindName() const
{
    return tr("isometric");
}
