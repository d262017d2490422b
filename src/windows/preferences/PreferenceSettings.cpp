#include "windows/preferences/PreferenceSettings.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsChanges.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/MetadataContainer.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VXLinearObjectStorage.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/styles/VXShadowScaleLimit.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/svg/VXSVGImporter.h"
#include "platform/vantrix/tools/VXSelectAndEditTool.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/view/VXKnob.h"
#include "platform/vantrix/view/VXViewSettings.h"
#include "style_editor/dropper/VXQStylePickUpTool.h"

#include <QHash>
#include <cmath>
#include <functional>
#include <limits>

namespace PreferenceSettings {

namespace {

enum class Kind { Flag, Whole, Number };

struct Setting {
    QString key;
    Kind kind;
    std::function<QVariant()> get;
    std::function<void(const QVariant&)> set;
    bool changesDrawing = false; // what views have drawn is out of date once it changes
};

Setting drawn(Setting setting)
{
    setting.changesDrawing = true;
    return setting;
}

template <class Getter, class Setter>
Setting flag(const QString& key, Getter get, Setter set)
{
    return {key, Kind::Flag, [get] { return QVariant(bool(get())); }, [set](const QVariant& v) { set(v.toBool()); }};
}

VXQStylePickUpTool* styleDropper()
{
    return qobject_cast<VXQStylePickUpTool*>(
        VXToolRegistry::sharedToolRegistry().drawingToolWithName(QStringLiteral("Style Dropper")).get());
}

const QList<Setting>& settings()
{
    static const QList<Setting> table = {
        flag(kDisplaysSizeInfoWhenDragging, &VXDrawableObject::displaysSizeInfoWhenDragging,
             &VXDrawableObject::setDisplaysSizeInfoWhenDragging),
        flag(kAllowsInlineImages, &VXTextShape::allowsInlineImages, &VXTextShape::setAllowsInlineImages),
        flag(kMetadataChangesAreUndoable, &platform::MetadataContainer::metadataChangesAreUndoable,
             &platform::MetadataContainer::setMetadataChangesAreUndoable),
        drawn(flag(kShouldAntialias, &VXStyle::shouldAntialias, &VXStyle::setShouldAntialias)),
        drawn(flag(kWillDrawShadows, &VXStyle::willDrawShadows, &VXStyle::setWillDrawShadows)),
        {kDefaultLevelsOfUndo, Kind::Whole, [] { return QVariant(VXDrawingDocument::defaultLevelsOfUndo()); },
         [](const QVariant& v) { VXDrawingDocument::setDefaultLevelsOfUndo(v.toInt()); }},
        flag(kOnPathHitDetectionPriority, &VXDrawablePath::defaultOnPathHitDetectionPriority,
             &VXDrawablePath::setDefaultOnPathHitDetectionPriority),
        flag(kAutoClosesPath, &VXDrawablePath::autoClosesPath, &VXDrawablePath::setAutoClosesPath),
        {kPerformsResetOnSelection, Kind::Flag,
         [] { return styleDropper() ? QVariant(styleDropper()->performsResetOnSelection()) : QVariant(); },
         [](const QVariant& v) {
             if (VXQStylePickUpTool* tool = styleDropper())
                 tool->setPerformsResetOnSelection(v.toBool());
         }},
        flag(kReturnInsertsNewline, &VXTextShape::returnInsertsNewline, &VXTextShape::setReturnInsertsNewline),
        {kFreehandEpsilon, Kind::Number, [] { return QVariant(VXDrawablePath::defaultFreehandEpsilon()); },
         [](const QVariant& v) { VXDrawablePath::setDefaultFreehandEpsilon(v.toDouble()); }},
        drawn({kControlKnobSize, Kind::Number, [] { return QVariant(VXKnob::controlKnobSize().width()); },
               [](const QVariant& v) { VXKnob::setControlKnobSize(QSizeF(v.toDouble(), v.toDouble())); }}),
        drawn({kShadowScaleLimit, Kind::Number, [] { return QVariant(VXShadowScaleLimit::shadowScaleLimit()); },
               [](const QVariant& v) { VXShadowScaleLimit::setShadowScaleLimit(v.toDouble()); }}),
        flag(kCombinesEndPoints, &VXDrawablePath::combinesEndPointsOfClosedPath,
             &VXDrawablePath::setCombinesEndPointsOfClosedPath),
        flag(kIgnoresFilterElements, &VXSVGImporter::ignoresFilterElements, &VXSVGImporter::setIgnoresFilterElements),
        {kMoveOperatesOnAllLayers, Kind::Flag, [] { return QVariant(VXSelectAndEditTool::moveOperatesOnAllLayers()); },
         [](const QVariant& v) {
             // Selections stay visible in inactive layers exactly while moves reach them.
             VXSelectAndEditTool::setMoveOperatesOnAllLayers(v.toBool());
             VXObjectDrawingLayer::setSelectionIsShownWhenInactive(v.toBool());
         }},
        flag(kSnapToGridOnGridVisible, &VXDrawing::snapToGridOnGridVisible, &VXDrawing::setSnapToGridOnGridVisible),
        flag(kLayerAutoActivation, &VXViewSettings::layerAutoActivationDefault, &VXViewSettings::setLayerAutoActivationDefault),
        flag(kStartEditingOnObjectCreation, &VXTextShape::startEditingOnObjectCreation,
             &VXTextShape::setStartEditingOnObjectCreation),
        flag(kStyleSharingEnabled, &VXStyle::styleSharingEnabled, &VXStyle::setStyleSharingEnabled),
        flag(kStylesSharableByDefault, &VXStyle::stylesAreSharableByDefault, &VXStyle::setStylesAreSharableByDefault),
        flag(kDimensionGuidesEnabled, &VXViewSettings::dimensionGuidesEnabled, &VXViewSettings::setDimensionGuidesEnabled),
        drawn(flag(kShowsDirectControls, &VXDrawableShape::showsDirectControls,
                   &VXDrawableShape::setShowsDirectControls)),
        flag(kTrackpadGesturesEnabled, &VXViewSettings::trackpadGesturesEnabled, &VXViewSettings::setTrackpadGesturesEnabled),
    };
    return table;
}

const Setting* settingForKey(const QString& key)
{
    for (const Setting& setting : settings())
        if (setting.key == key)
            return &setting;
    return nullptr;
}

// A stored value of the setting's kind, or invalid: text, NaN and out-of-range numbers are
// not handed to the class.
QVariant usableValue(const QVariant& stored, Kind kind)
{
    const int type = stored.typeId();
    const bool numeric = type == QMetaType::Bool || type == QMetaType::Int || type == QMetaType::LongLong
        || type == QMetaType::UInt || type == QMetaType::ULongLong || type == QMetaType::Double
        || type == QMetaType::Float;
    if (!numeric)
        return {};
    const double number = stored.toDouble();
    if (!std::isfinite(number))
        return {};
    switch (kind) {
    case Kind::Flag:
        return number != 0;
    case Kind::Whole:
        return std::abs(number) <= std::numeric_limits<int>::max() ? QVariant(int(number)) : QVariant();
    case Kind::Number:
        return number;
    }
    return {};
}

QHash<QString, QVariant>& factoryValues()
{
    static QHash<QString, QVariant> values;
    return values;
}

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

void applyFrameworkDefaults()
{
    VXDrawingView::setScrollwheelZoomEnabled(!defaults().boolForKey(kVXDrawingDisableScrollwheelZoomPrefsKey));
    VXDrawingView::setScrollwheelInverted(defaults().boolForKey(kVXDrawingScrollwheelSensePrefsKey));
    // Only the two storage classes may be named; anything else leaves the framework's choice.
    const QString storage = defaults().stringForKey(kQVNLInternalStorageClass);
    if (storage == QLatin1String(VXBSPDirectObjectStorage::staticMetaObject.className()))
        VXObjectOwnerLayer::setStorageClass(&VXBSPDirectObjectStorage::staticMetaObject);
    else if (storage == QLatin1String(VXLinearObjectStorage::staticMetaObject.className()))
        VXObjectOwnerLayer::setStorageClass(&VXLinearObjectStorage::staticMetaObject);
}

} // namespace

QVariant value(const QString& key)
{
    const Setting* setting = settingForKey(key);
    return setting ? setting->get() : QVariant();
}

void setValue(const QString& key, const QVariant& value)
{
    const Setting* setting = settingForKey(key);
    const QVariant usable = setting ? usableValue(value, setting->kind) : QVariant();
    if (!usable.isValid())
        return;
    const QVariant before = setting->get();
    setting->set(usable);
    const QVariant kept = setting->get();
    if (kept.isValid())
        defaults().setObjectForKey(kept, key);
    if (setting->changesDrawing && kept != before)
        VXDrawingView::discardRenderingsOfAllViews();
}

void applyStoredValues()
{
    bool drawingChanged = false;
    for (const Setting& setting : settings()) {
        const QVariant stored = usableValue(defaults().objectForKey(setting.key), setting.kind);
        const QVariant value = stored.isValid() ? stored : factoryValues().value(setting.key);
        if (!value.isValid())
            continue;
        const QVariant before = setting.get();
        setting.set(value);
        drawingChanged |= setting.changesDrawing && setting.get() != before;
    }
    applyFrameworkDefaults();
    if (drawingChanged)
        VXDrawingView::discardRenderingsOfAllViews();
}

void install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (const Setting& setting : settings())
        factoryValues().insert(setting.key, setting.get());
    applyStoredValues();
    // An empty key: many defaults may have gone at once (the preferences were reset).
    QObject::connect(&platform::UserDefaultsChanges::instance(), &platform::UserDefaultsChanges::defaultsDidChange,
                     &platform::UserDefaultsChanges::instance(), [](const QString& key) {
                         if (key.isEmpty())
                             applyStoredValues();
                     });
}

} // namespace PreferenceSettings
