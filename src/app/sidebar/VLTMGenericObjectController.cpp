#include "app/sidebar/VLTMGenericObjectController.h"

#include "app/sidebar/TabBehindAnother.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/inspector/InspectorValues.h"

#include <QEvent>
#include <QMenu>
#include <QScopeGuard>
#include <algorithm>
#include <exception>
#include <typeinfo>
#include <utility>

namespace {

// A value shown as a percentage of the one loaded. A zero reference (a horizontal line's
// height) has no proportion: it stays at 100 %.
QVariant proportionOf(const QVariant& value, double reference)
{
    return reference == 0.0 ? 1.0 : value.toDouble() / reference;
}

bool isMarker(const QVariant& value)
{
    return platform::isMultipleValuesMarker(value) || platform::isNotApplicableMarker(value);
}

// What a control holds: a colour well's colour, else the property Qt marks as its value.
QVariant objectValueOf(const QObject& control)
{
    if (const auto* well = qobject_cast<const platform::ColourWell*>(&control))
        return well->color();
    const QMetaProperty property = control.metaObject()->userProperty();
    return property.isValid() ? property.read(&control) : QVariant();
}

} // namespace

VLTMGenericObjectController::VLTMGenericObjectController() = default;

VLTMGenericObjectController::~VLTMGenericObjectController() = default;

// --- What a pane edits -----------------------------------------------------------------

const QMetaObject* VLTMGenericObjectController::managedObjectClass() const
{
    ZQLog(QStringLiteral("+managedObjectClass must be overridden for all concrete subclasses (%1)").arg(className()));
    return &ZQObject::staticMetaObject;
}

QList<const QMetaObject*> VLTMGenericObjectController::managedObjectClasses() const
{
    return {managedObjectClass()};
}

QStringList VLTMGenericObjectController::keyPathsOfInterest() const
{
    if (managedObjectClass()->inherits(&VXDrawableObject::staticMetaObject))
        return VXDrawableObject::observableKeyPaths();
    return {};
}

// --- Data source -----------------------------------------------------------------------

void VLTMGenericObjectController::setDataSource(QObject* dataSource)
{
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    if (m_dataSource)
        centre.removeObserver(this, kVLTMGeometryControllerFormatterDidChange, m_dataSource);
    if (!dataSource) {
        m_dataSource = nullptr;
        unloadContent();
        return;
    }
    ZQ_ASSERT(dynamic_cast<VLTMObjectControllerDataSource*>(dataSource),
              QStringLiteral("the data source %1 does not conform the the VLTMObjectControllerDataSource protocol")
                  .arg(QString::fromLatin1(dataSource->metaObject()->className())));
    m_dataSource = dataSource;
    reloadContent();
    centre.addObserver(this, kVLTMGeometryControllerFormatterDidChange, dataSource,
                       [this](const platform::Notification& notification) { formatterChanged(notification); });
}

VLTMObjectControllerDataSource* VLTMGenericObjectController::source() const
{
    return dynamic_cast<VLTMObjectControllerDataSource*>(m_dataSource.data());
}

std::shared_ptr<platform::NumberFormatter> VLTMGenericObjectController::dataSourceNumberFormatter() const
{
    const VLTMObjectControllerDataSource* dataSource = source();
    return dataSource ? dataSource->numberFormatterForCurrentDisplayUnits() : nullptr;
}

ZQUndoManager* VLTMGenericObjectController::dataSourceUndoManager() const
{
    const VLTMObjectControllerDataSource* dataSource = source();
    return dataSource ? dataSource->undoManager() : nullptr;
}

// --- Content ---------------------------------------------------------------------------

const QList<ZQObjectPtr>& VLTMGenericObjectController::content()
{
    if (m_contentLoaded)
        return m_inspected.objects();
    m_contentLoaded = true;
    QList<ZQObjectPtr> managed;
    if (VLTMObjectControllerDataSource* dataSource = source())
        managed = managedObjectsOf(dataSource->selectedContentForObjectController(this));
    m_inspected.setObjects(managed);
    startObservingContent();
    if (managed.isEmpty())
        setControlStateForNil();
    return m_inspected.objects();
}

void VLTMGenericObjectController::setContent(const QList<ZQObjectPtr>& content)
{
    unloadContent();
    m_inspected.setObjects(content);
    m_contentLoaded = true;
    startObservingContent();
    if (content.isEmpty())
        setControlStateForNil();
}

void VLTMGenericObjectController::unloadContent()
{
    m_inspected.setObjects({});
    m_loadedValues.clear();
    m_contentLoaded = false;
}

void VLTMGenericObjectController::reloadContent()
{
    unloadContent();
    // Coalesces a burst of selection changes into one load.
    static const QByteArray key = "newObjectWasAssigned";
    platform::RunLoop::cancelPreviousPerformRequests(this, key);
    platform::RunLoop::performAfterDelay(this, [this] { newObjectWasAssignedWhenShown(); }, 0, key);
}

void VLTMGenericObjectController::newObjectWasAssignedWhenShown()
{
    // A pane on a tab behind another one of its shown window is seen by nobody: a million
    // pasted objects would be read and watched for it on every edit.
    if (isViewLoaded() && isOnTabBehindAnother(*view())) {
        if (!std::exchange(m_assignWhenShown, true))
            view()->installEventFilter(this);
        return;
    }
    newObjectWasAssigned();
}

bool VLTMGenericObjectController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && m_assignWhenShown && isViewLoaded() && watched == view()) {
        m_assignWhenShown = false;
        view()->removeEventFilter(this);
        newObjectWasAssigned();
    }
    return platform::ViewController::eventFilter(watched, event);
}

void VLTMGenericObjectController::newObjectWasAssigned()
{
    const QStringList properties = propertiesExpressibleAsPercentage();
    for (const QString& property : properties)
        changeUIStateForPercentageProperty(propertyIsExpressedAsPercentage(property), property);
    content();
}

QList<ZQObjectPtr> VLTMGenericObjectController::managedObjectsOf(const QList<ZQObjectPtr>& objects) const
{
    const QList<const QMetaObject*> classes = managedObjectClasses();
    // A selection holds few classes: each is asked about once, known by its C++ type.
    QHash<const std::type_info*, bool> answers;
    const auto isManaged = [&](const ZQObjectPtr& object) {
        if (!object)
            return false;
        const std::type_info* type = &typeid(*object);
        auto answer = answers.constFind(type);
        if (answer == answers.cend()) {
            const QMetaObject* cls = object->metaObject();
            answer = answers.insert(type, std::any_of(classes.begin(), classes.end(), [&](const QMetaObject* managed) {
                                        return cls->inherits(managed);
                                    }));
        }
        return *answer;
    };
    // Shared rather than copied when every object is managed, as after Select All on one kind.
    if (std::all_of(objects.begin(), objects.end(), isManaged))
        return objects;
    QList<ZQObjectPtr> managed;
    std::copy_if(objects.begin(), objects.end(), std::back_inserter(managed), isManaged);
    return managed;
}

void VLTMGenericObjectController::startObservingContent()
{
    m_startingObservation = true;
    const auto finished = qScopeGuard([this] { m_startingObservation = false; });
    m_loadedValues.clear();
    m_modifiedProperties.clear();
    const QStringList keyPaths = keyPathsOfInterest();
    // The loaded values are asked for by percentages and by reverts only. Panes that revert
    // edit a few settings objects and record them now: a setter may announce its change
    // under other keys than the one the pane writes.
    m_inspected.observe(keyPaths, propertiesExpressibleAsPercentage());
    if (m_inspected.objects().isEmpty())
        return;
    if (supportsRevertOrCancel()) {
        for (const QString& keyPath : keyPaths)
            recordLoadedValues(keyPath);
    }
    const QVariantList values = loadedCommonValues(keyPaths);
    for (qsizetype k = 0; k < keyPaths.size(); ++k)
        setValueForKeyPath(values[k], keyPaths[k]);
}

QVariantList VLTMGenericObjectController::loadedCommonValues(const QStringList& keyPaths)
{
    const QList<ZQObjectPtr>& objects = m_inspected.objects();
    const QStringList percentages = propertiesExpressibleAsPercentage();
    QList<platform::ValueAdjuster> numbersOnly(keyPaths.size());
    for (qsizetype k = 0; k < keyPaths.size(); ++k) {
        const QString& keyPath = keyPaths[k];
        if (!percentages.contains(keyPath))
            continue;
        const bool shownAsPercentage = propertyIsExpressedAsPercentage(keyPath);
        numbersOnly[k] = [&objects, keyPath, shownAsPercentage](qsizetype index, const QVariant& value) -> QVariant {
            if (!platform::isNumericVariant(value))
                platform::failAssertion(QStringLiteral("'%1' cannot be expressed as percentage (not a numeric property of %2)")
                                            .arg(keyPath, objects[index]->description()),
                                        Q_FUNC_INFO, __FILE__, __LINE__);
            // Each object is its own reference when loaded.
            return shownAsPercentage ? proportionOf(value, value.toDouble()) : value;
        };
    }
    return m_inspected.commonValues(keyPaths, numbersOnly,
                                    [&](qsizetype k, ZQObject& object, const std::exception& exception) {
                                        if (!invalidKeyPathForObject(keyPaths[k], &object))
                                            ZQLog(QStringLiteral("keyPath '%1' not valid for %2, exception = %3 [ignored]")
                                                      .arg(keyPaths[k], object.description(),
                                                           QString::fromUtf8(exception.what())));
                                    });
}

void VLTMGenericObjectController::recordLoadedValues(const QString& keyPath)
{
    if (!m_loadedValues.contains(keyPath))
        m_loadedValues.insert(keyPath, contentValuesForKeyPath(keyPath));
}

bool VLTMGenericObjectController::invalidKeyPathForObject(const QString& keyPath, ZQObject* object)
{
    const QByteArray selector = "invalidateControlsFor" + platform::capitalisedKey(platform::lastKeyOfKeyPath(keyPath)).toLatin1();
    return platform::invokeSelector(this, selector, QVariant::fromValue<QObject*>(object));
}

// --- Reading ---------------------------------------------------------------------------

void VLTMGenericObjectController::assertKeyPathOfInterest(const QString& keyPath, const char* use) const
{
    ZQ_ASSERT(keyPathsOfInterest().contains(keyPath),
              QStringLiteral("keyPath '%1' used as %2 not present in -keyPathsOfInterest").arg(keyPath, QLatin1String(use)));
}

std::optional<double> VLTMGenericObjectController::percentageReference(const QString& keyPath, qsizetype index)
{
    if (!propertyIsExpressedAsPercentage(keyPath))
        return std::nullopt;
    recordLoadedValues(keyPath);
    const QVariantList& references = m_loadedValues[keyPath];
    return index < references.size() ? references[index].toDouble() : 0.0;
}

QVariant VLTMGenericObjectController::commonValueForKeyPath(const QString& keyPath)
{
    assertKeyPathOfInterest(keyPath, "getter");
    content();
    if (!propertyIsExpressedAsPercentage(keyPath))
        return m_inspected.commonValue(keyPath);
    return m_inspected.commonValue(keyPath, [&](qsizetype index, const QVariant& value) {
        return proportionOf(value, *percentageReference(keyPath, index));
    });
}

void VLTMGenericObjectController::reloadDataForKeyPath(const QString& keyPath)
{
    setValueForKeyPath(commonValueForKeyPath(keyPath), keyPath);
}

void VLTMGenericObjectController::reloadData()
{
    if (content().isEmpty()) {
        setControlStateForNil();
        return;
    }
    const QStringList keyPaths = keyPathsOfInterest();
    for (const QString& keyPath : keyPaths)
        reloadDataForKeyPath(keyPath);
}

void VLTMGenericObjectController::setValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    // A display that fails must not break the model change that it follows.
    if (ZQObject* receiver = displayReceiver())
        platform::runGuarded("VLTMGenericObjectController::setValueForKeyPath",
                             [&] { platform::showValueForKeyPath(*receiver, value, keyPath); });
    observedValueForKeyDidChangeTo(keyPath, value);
}

void VLTMGenericObjectController::setValueForUndefinedKey(const QVariant&, const QString& key)
{
    ZQLog(QStringLiteral("%1 does not implement -set%2").arg(description(), platform::capitalisedKey(key)));
}

int VLTMGenericObjectController::stateForKeyPath(const QString& keyPath)
{
    const QVariant value = commonValueForKeyPath(keyPath);
    if (platform::isMultipleValuesMarker(value))
        return -1;
    if (value.typeId() == QMetaType::Bool || platform::isNumericVariant(value))
        return value.toBool() ? 1 : 0;
    return 0;
}

QVariantList VLTMGenericObjectController::contentValuesForKeyPath(const QString& keyPath)
{
    const QList<ZQObjectPtr>& objects = content();
    QVariantList values;
    values.reserve(objects.size());
    for (const ZQObjectPtr& object : objects) {
        try {
            values.append(object->valueForKeyPath(keyPath));
        } catch (const std::exception&) {
            values.append(QVariant());
        }
    }
    return values;
}

QSet<int> VLTMGenericObjectController::usedIntegerValuesForKeyPath(const QString& keyPath)
{
    QSet<int> used;
    for (const QVariant& value : contentValuesForKeyPath(keyPath)) {
        bool isInteger = false;
        const int integer = value.toInt(&isInteger);
        if (isInteger)
            used.insert(integer);
    }
    return used;
}

void VLTMGenericObjectController::selectMixedValuesInTaggedMenuWithUsedTags(QMenu* menu, const QSet<int>& tags)
{
    if (!menu)
        return;
    const platform::MenuItem::State used = tags.size() > 1 ? platform::MenuItem::MixedState : platform::MenuItem::OnState;
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (auto* item = qobject_cast<platform::MenuItem*>(action))
            item->setState(tags.contains(item->tag()) ? used : platform::MenuItem::OffState);
    }
}

void VLTMGenericObjectController::selectMixedValuesInTaggedMenuForKeyPath(QMenu* menu, const QString& keyPath)
{
    selectMixedValuesInTaggedMenuWithUsedTags(menu, usedIntegerValuesForKeyPath(keyPath));
}

// --- Writing ---------------------------------------------------------------------------

void VLTMGenericObjectController::setCommonValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    assertKeyPathOfInterest(keyPath, "setter");
    if (content().isEmpty() || isMarker(value) || !settingKeyPath().isEmpty())
        return;
    const QVariant modelValue = m_inspected.modelValue(value, keyPath);
    m_modifiedProperties.insert(keyPath);
    m_inspected.write(keyPath, [&](qsizetype index, ZQObject& object) -> std::optional<QVariant> {
        QVariant objectValue = modelValue;
        if (const std::optional<double> reference = percentageReference(keyPath, index)) {
            if (*reference == 0.0)
                return std::nullopt; // no proportion of nothing: the value stays
            objectValue = modelValue.toDouble() * *reference;
        }
        if (!shouldSetValueOfObjectForKeyPath(objectValue, &object, keyPath))
            return std::nullopt;
        return objectValue;
    });
}

bool VLTMGenericObjectController::shouldSetValueOfObjectForKeyPath(QVariant&, ZQObject*, const QString&)
{
    return true;
}

void VLTMGenericObjectController::takeCommonValueFromForKeyPath(QObject* control, const QString& keyPath)
{
    takeCommonValueFromForKeyPathAllowingEmptyValue(control, keyPath, false);
}

void VLTMGenericObjectController::takeCommonValueFromForKeyPathAllowingEmptyValue(QObject* control,
                                                                                  const QString& keyPath,
                                                                                  bool allowEmpty)
{
    if (!control)
        return;
    const QVariant value = objectValueOf(*control);
    if (platform::isNull(value))
        return;
    if (!allowEmpty && value.typeId() == QMetaType::QString && value.toString().isEmpty())
        return;
    setCommonValueForKeyPath(value, keyPath);
}

void VLTMGenericObjectController::revertOrCancel()
{
    if (!supportsRevertOrCancel())
        return;
    const QSet<QString> modified = std::exchange(m_modifiedProperties, {});
    for (const QString& keyPath : modified) {
        const QVariantList values = m_loadedValues.value(keyPath);
        m_inspected.write(keyPath, [&](qsizetype index, ZQObject&) -> std::optional<QVariant> {
            if (index < values.size() && values[index].isValid())
                return values[index];
            return std::nullopt;
        });
    }
}

// --- Percentages -----------------------------------------------------------------------

void VLTMGenericObjectController::setPropertiesExpressibleAsPercentage(bool shown)
{
    const QStringList properties = propertiesExpressibleAsPercentage();
    for (const QString& property : properties)
        setPropertyExpressedAsPercentage(property, shown);
}

void VLTMGenericObjectController::setPropertyExpressedAsPercentage(const QString& key, bool shown)
{
    ZQ_ASSERT(propertiesExpressibleAsPercentage().contains(key),
              QStringLiteral("'%1' is not listed as expressible as a percentage").arg(key));
    if (propertyIsExpressedAsPercentage(key) == shown)
        return;
    if (shown)
        m_percentageShown.insert(key);
    else
        m_percentageShown.remove(key);
    changeUIStateForPercentageProperty(shown, key);
    if (m_contentLoaded && !m_inspected.objects().isEmpty())
        reloadDataForKeyPath(key);
}

// --- Transformers ----------------------------------------------------------------------

void VLTMGenericObjectController::setTransformerForKeyPath(std::shared_ptr<platform::ValueTransformer> transformer,
                                                           const QString& keyPath)
{
    m_inspected.setTransformer(std::move(transformer), keyPath);
}
