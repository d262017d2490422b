#include "windows/preferences/QuorvaneSettings.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsChanges.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VXLinearObjectStorage.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "style_editor/dropper/VXQStylePickUpTool.h"

#include <QList>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <type_traits>

namespace {

using Settings = QuorvaneSettings;
using Drawing = VXDrawingPreferences;

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

// A stored number (or boolean) as a T, or nothing: text, NaN and numbers beyond an int are
// not taken.
template <class T>
std::optional<T> storedNumber(const QVariant& stored)
{
    const int type = stored.typeId();
    const bool numeric = type == QMetaType::Bool || type == QMetaType::Int || type == QMetaType::LongLong
        || type == QMetaType::UInt || type == QMetaType::ULongLong || type == QMetaType::Double
        || type == QMetaType::Float;
    const double number = stored.toDouble();
    if (!numeric || !std::isfinite(number))
        return std::nullopt;
    if constexpr (std::is_same_v<T, bool>)
        return number != 0;
    else if constexpr (std::is_same_v<T, int>)
        return std::abs(number) <= std::numeric_limits<int>::max() ? std::optional<int>(int(number)) : std::nullopt;
    else
        return number;
}

// One preference and its user default. `stored` gives the value stored for some settings, `read`
// the same form of a value found in the user defaults (invalid when it is damaged), and `set`
// takes a value of that form into settings.
struct Entry {
    QString key;
    std::function<QVariant(const Settings&)> stored;
    std::function<QVariant(const QVariant&)> read;
    std::function<void(Settings&, const QVariant&)> set;
};

template <class T, class Get, class Set>
Entry number(const QString& key, Get get, Set set)
{
    return {key, [get](const Settings& s) { return QVariant::fromValue<T>(get(s)); },
            [](const QVariant& held) {
                const std::optional<T> value = storedNumber<T>(held);
                return value ? QVariant::fromValue<T>(*value) : QVariant();
            },
            [set](Settings& s, const QVariant& v) { set(s, v.value<T>()); }};
}

template <class T>
Entry drawing(const QString& key, T Drawing::*field)
{
    return number<T>(key, [field](const Settings& s) { return s.drawing.*field; },
                     [field](Settings& s, T value) { s.drawing.*field = value; });
}

// A flag under a key read as the user defaults read any flag ("YES" counts), `inverted` when
// the key says the opposite of the field.
Entry plainFlag(const QString& key, bool Drawing::*field, bool inverted)
{
    return {key, [field, inverted](const Settings& s) { return QVariant(s.drawing.*field != inverted); },
            [key](const QVariant&) { return QVariant(defaults().boolForKey(key)); },
            [field, inverted](Settings& s, const QVariant& v) { s.drawing.*field = v.toBool() != inverted; }};
}

// Only the two storage classes may be named.
const QMetaObject* storageClassNamed(const QString& name)
{
    for (const QMetaObject* storage : {&VXBSPDirectObjectStorage::staticMetaObject, &VXLinearObjectStorage::staticMetaObject})
        if (name == QLatin1String(storage->className()))
            return storage;
    return nullptr;
}

Entry storageClass()
{
    return {kQVNLInternalStorageClass,
            [](const Settings& s) { return QVariant(QString::fromLatin1(s.drawing.layerStorageClass->className())); },
            [](const QVariant& held) {
                return held.typeId() == QMetaType::QString && storageClassNamed(held.toString()) ? held : QVariant();
            },
            [](Settings& s, const QVariant& v) { s.drawing.layerStorageClass = storageClassNamed(v.toString()); }};
}

// Every preference, declared once.
const QList<Entry>& entries()
{
    static const QList<Entry> table = {
        drawing(Settings::kDisplaysSizeInfoWhenDragging, &Drawing::displaysSizeInfoWhenDragging),
        drawing(Settings::kAllowsInlineImages, &Drawing::allowsInlineImages),
        drawing(Settings::kMetadataChangesAreUndoable, &Drawing::metadataChangesAreUndoable),
        drawing(Settings::kShouldAntialias, &Drawing::shouldAntialias),
        drawing(Settings::kWillDrawShadows, &Drawing::willDrawShadows),
        drawing(Settings::kDefaultLevelsOfUndo, &Drawing::levelsOfUndo),
        drawing(Settings::kOnPathHitDetectionPriority, &Drawing::onPathHitDetectionPriority),
        drawing(Settings::kAutoClosesPath, &Drawing::autoClosesPath),
        number<bool>(Settings::kPerformsResetOnSelection, [](const Settings& s) { return s.styleDropperResetsSelection; },
                     [](Settings& s, bool on) { s.styleDropperResetsSelection = on; }),
        drawing(Settings::kReturnInsertsNewline, &Drawing::returnInsertsNewline),
        drawing(Settings::kFreehandEpsilon, &Drawing::freehandEpsilon),
        number<double>(Settings::kControlKnobSize, [](const Settings& s) { return s.drawing.controlKnobSize.width(); },
                       [](Settings& s, double side) { s.drawing.controlKnobSize = QSizeF(side, side); }),
        drawing(Settings::kShadowScaleLimit, &Drawing::shadowScaleLimit),
        drawing(Settings::kCombinesEndPoints, &Drawing::combinesEndPointsOfClosedPath),
        drawing(Settings::kIgnoresFilterElements, &Drawing::ignoresSVGFilterElements),
        number<bool>(Settings::kMoveOperatesOnAllLayers, [](const Settings& s) { return s.drawing.moveOperatesOnAllLayers; },
                     [](Settings& s, bool on) { s.setMovesReachAllLayers(on); }),
        drawing(Settings::kSnapToGridOnGridVisible, &Drawing::snapToGridOnGridVisible),
        drawing(Settings::kLayerAutoActivation, &Drawing::layerAutoActivation),
        drawing(Settings::kStartEditingOnObjectCreation, &Drawing::startEditingOnObjectCreation),
        drawing(Settings::kStyleSharingEnabled, &Drawing::styleSharingEnabled),
        drawing(Settings::kStylesSharableByDefault, &Drawing::stylesAreSharableByDefault),
        drawing(Settings::kDimensionGuidesEnabled, &Drawing::dimensionGuidesEnabled),
        drawing(Settings::kShowsDirectControls, &Drawing::showsDirectControls),
        drawing(Settings::kTrackpadGesturesEnabled, &Drawing::trackpadGesturesEnabled),
        plainFlag(kVXDrawingDisableScrollwheelZoomPrefsKey, &Drawing::scrollwheelZoomEnabled, true),
        plainFlag(kVXDrawingScrollwheelSensePrefsKey, &Drawing::scrollwheelInverted, false),
        storageClass(),
    };
    return table;
}

VXQStylePickUpTool* styleDropper()
{
    return qobject_cast<VXQStylePickUpTool*>(
        VXToolRegistry::sharedToolRegistry().drawingToolWithName(QStringLiteral("Style Dropper")).get());
}

// The values from before any stored one was applied.
std::optional<Settings>& factory()
{
    static std::optional<Settings> settings;
    return settings;
}

void handOver(const Settings& settings)
{
    VXDrawingPreferences::setCurrent(settings.drawing);
    if (VXQStylePickUpTool* tool = styleDropper())
        tool->setPerformsResetOnSelection(settings.styleDropperResetsSelection);
}

} // namespace

QuorvaneSettings QuorvaneSettings::current()
{
    Settings settings;
    settings.drawing = VXDrawingPreferences::current();
    if (VXQStylePickUpTool* tool = styleDropper())
        settings.styleDropperResetsSelection = tool->performsResetOnSelection();
    return settings;
}

void QuorvaneSettings::apply(const QuorvaneSettings& settings)
{
    const Settings before = current();
    handOver(settings);
    const Settings kept = current();
    // What changed is stored, and so is what the user defaults hold otherwise (a damaged or
    // unusable value there would not bring back what is now in effect).
    for (const Entry& entry : entries()) {
        const QVariant value = entry.stored(kept);
        const QVariant held = defaults().objectForKey(entry.key);
        if (value != entry.stored(before) || (held.isValid() && entry.read(held) != value))
            defaults().setObjectForKey(value, entry.key);
    }
}

void QuorvaneSettings::applyStoredValues()
{
    Settings settings = factory().value_or(current());
    for (const Entry& entry : entries())
        if (const QVariant stored = entry.read(defaults().objectForKey(entry.key)); stored.isValid())
            entry.set(settings, stored);
    handOver(settings);
}

void QuorvaneSettings::install()
{
    if (factory())
        return;
    factory() = current();
    applyStoredValues();
    // An empty key: many defaults may have gone at once (the preferences were reset).
    QObject::connect(&platform::UserDefaultsChanges::instance(), &platform::UserDefaultsChanges::defaultsDidChange,
                     &platform::UserDefaultsChanges::instance(), [](const QString& key) {
                         if (key.isEmpty())
                             applyStoredValues();
                     });
}
