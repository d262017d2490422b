#include "windows/preferences/PreferenceSettings.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsChanges.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VXLinearObjectStorage.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "style_editor/dropper/VXQStylePickUpTool.h"

#include <QHash>
#include <cmath>
#include <functional>
#include <limits>
#include <type_traits>

namespace PreferenceSettings {

namespace {

enum class Kind { Flag, Whole, Number };

// A key and the preference it stores; the Style Dropper keeps its own (it is a tool's state).
struct Setting {
    QString key;
    Kind kind;
    std::function<QVariant(const VXDrawingPreferences&)> get;
    std::function<void(VXDrawingPreferences&, const QVariant&)> set;
};

template <class T>
Setting field(const QString& key, T VXDrawingPreferences::*member)
{
    constexpr Kind kind = std::is_same_v<T, bool> ? Kind::Flag : std::is_same_v<T, int> ? Kind::Whole : Kind::Number;
    return {key, kind, [member](const VXDrawingPreferences& p) { return QVariant::fromValue(p.*member); },
            [member](VXDrawingPreferences& p, const QVariant& v) { p.*member = v.value<T>(); }};
}

const QList<Setting>& settings()
{
    using P = VXDrawingPreferences;
    static const QList<Setting> table = {
        field(kDisplaysSizeInfoWhenDragging, &P::displaysSizeInfoWhenDragging),
        field(kAllowsInlineImages, &P::allowsInlineImages),
        field(kMetadataChangesAreUndoable, &P::metadataChangesAreUndoable),
        field(kShouldAntialias, &P::shouldAntialias),
        field(kWillDrawShadows, &P::willDrawShadows),
        field(kDefaultLevelsOfUndo, &P::levelsOfUndo),
        field(kOnPathHitDetectionPriority, &P::onPathHitDetectionPriority),
        field(kAutoClosesPath, &P::autoClosesPath),
        field(kReturnInsertsNewline, &P::returnInsertsNewline),
        field(kFreehandEpsilon, &P::freehandEpsilon),
        {kControlKnobSize, Kind::Number, [](const P& p) { return QVariant(p.controlKnobSize.width()); },
         [](P& p, const QVariant& v) { p.controlKnobSize = QSizeF(v.toDouble(), v.toDouble()); }},
        field(kShadowScaleLimit, &P::shadowScaleLimit),
        field(kCombinesEndPoints, &P::combinesEndPointsOfClosedPath),
        field(kIgnoresFilterElements, &P::ignoresSVGFilterElements),
        {kMoveOperatesOnAllLayers, Kind::Flag, [](const P& p) { return QVariant(p.moveOperatesOnAllLayers); },
         [](P& p, const QVariant& v) {
             // Selections stay visible in inactive layers exactly while moves reach them.
             p.moveOperatesOnAllLayers = p.selectionShownWhenInactive = v.toBool();
         }},
        field(kSnapToGridOnGridVisible, &P::snapToGridOnGridVisible),
        field(kLayerAutoActivation, &P::layerAutoActivation),
        field(kStartEditingOnObjectCreation, &P::startEditingOnObjectCreation),
        field(kStyleSharingEnabled, &P::styleSharingEnabled),
        field(kStylesSharableByDefault, &P::stylesAreSharableByDefault),
        field(kDimensionGuidesEnabled, &P::dimensionGuidesEnabled),
        field(kShowsDirectControls, &P::showsDirectControls),
        field(kTrackpadGesturesEnabled, &P::trackpadGesturesEnabled),
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

VXQStylePickUpTool* styleDropper()
{
    return qobject_cast<VXQStylePickUpTool*>(
        VXToolRegistry::sharedToolRegistry().drawingToolWithName(QStringLiteral("Style Dropper")).get());
}

// A stored value of the setting's kind, or invalid: text, NaN and out-of-range numbers are
// not handed over.
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

// The values from before any stored one was applied, which a reset brings back.
struct Factory {
    VXDrawingPreferences drawing;
    QVariant dropperResets;
};

Factory& factory()
{
    static Factory values;
    return values;
}

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

// The three settings kept under plain user defaults of their own shape.
void applyFrameworkDefaults(VXDrawingPreferences& preferences)
{
    preferences.scrollwheelZoomEnabled = !defaults().boolForKey(kVXDrawingDisableScrollwheelZoomPrefsKey);
    preferences.scrollwheelInverted = defaults().boolForKey(kVXDrawingScrollwheelSensePrefsKey);
    // Only the two storage classes may be named; anything else leaves the framework's choice.
    const QString storage = defaults().stringForKey(kQVNLInternalStorageClass);
    for (const QMetaObject* named : {&VXBSPDirectObjectStorage::staticMetaObject, &VXLinearObjectStorage::staticMetaObject})
        if (storage == QLatin1String(named->className()))
            preferences.layerStorageClass = named;
}

QVariant dropperResets()
{
    VXQStylePickUpTool* tool = styleDropper();
    return tool ? QVariant(tool->performsResetOnSelection()) : QVariant();
}

void setDropperResets(const QVariant& value)
{
    if (VXQStylePickUpTool* tool = styleDropper(); tool && value.isValid())
        tool->setPerformsResetOnSelection(value.toBool());
}

} // namespace

QVariant value(const QString& key)
{
    if (key == kPerformsResetOnSelection)
        return dropperResets();
    const Setting* setting = settingForKey(key);
    return setting ? setting->get(VXDrawingPreferences::current()) : QVariant();
}

void setValue(const QString& key, const QVariant& value)
{
    if (key == kPerformsResetOnSelection) {
        setDropperResets(usableValue(value, Kind::Flag));
        if (const QVariant kept = dropperResets(); kept.isValid())
            defaults().setObjectForKey(kept, key);
        return;
    }
    const Setting* setting = settingForKey(key);
    const QVariant usable = setting ? usableValue(value, setting->kind) : QVariant();
    if (!usable.isValid())
        return;
    VXDrawingPreferences::edit([&](VXDrawingPreferences& preferences) { setting->set(preferences, usable); });
    defaults().setObjectForKey(setting->get(VXDrawingPreferences::current()), key);
}

void applyStoredValues()
{
    VXDrawingPreferences preferences = factory().drawing;
    for (const Setting& setting : settings())
        if (const QVariant stored = usableValue(defaults().objectForKey(setting.key), setting.kind); stored.isValid())
            setting.set(preferences, stored);
    applyFrameworkDefaults(preferences);
    VXDrawingPreferences::setCurrent(preferences);
    const QVariant stored = usableValue(defaults().objectForKey(kPerformsResetOnSelection), Kind::Flag);
    setDropperResets(stored.isValid() ? stored : factory().dropperResets);
}

void install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    factory() = {VXDrawingPreferences::current(), dropperResets()};
    applyStoredValues();
    // An empty key: many defaults may have gone at once (the preferences were reset).
    QObject::connect(&platform::UserDefaultsChanges::instance(), &platform::UserDefaultsChanges::defaultsDidChange,
                     &platform::UserDefaultsChanges::instance(), [](const QString& key) {
                         if (key.isEmpty())
                             applyStoredValues();
                     });
}

} // namespace PreferenceSettings
