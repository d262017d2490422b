#include "platform/vantrix/inspector/VXInspectableController.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/inspector/InspectorValues.h"
#include "platform/vantrix/inspector/VXInspectableObject.h"

#include <exception>

namespace {

const QString kLockedKey = QStringLiteral("locked");

// Objects without a lock count as unlocked.
bool isLocked(const ZQObject& object)
{
    try {
        return object.valueForKey(kLockedKey).toBool();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

VXInspectableController::VXInspectableController() = default;

void VXInspectableController::setContent(const QList<ZQObjectPtr>& content)
{
    if (content == this->content())
        return;
    m_inspected.setObjects(content);
    if (content.isEmpty()) {
        setControlStateForNil();
        return;
    }
    newObjectWasAssigned();
    const QStringList keyPaths = observableKeyPaths();
    m_inspected.observe(keyPaths);
    for (const QString& keyPath : keyPaths)
        showCommonValueForKeyPath(keyPath);
}

void VXInspectableController::setInspectable(const ZQObjectPtr& object)
{
    // A selection change hands objects over: one that cannot be inspected shows nothing.
    const bool inspectable = object
        && ZQ_EXPECT(dynamic_cast<VXInspectableObject*>(object.get()),
                     QStringLiteral("<%1> does not conform to 'VXInspectableObject' protocol").arg(object->className()));
    setContent(inspectable ? QList<ZQObjectPtr>{object} : QList<ZQObjectPtr>{});
}

ZQObjectPtr VXInspectableController::inspectable() const
{
    return content().isEmpty() ? nullptr : content().last();
}

QStringList VXInspectableController::observableKeyPaths() const
{
    const ZQObjectPtr object = inspectable();
    if (const auto* named = dynamic_cast<const VXInspectableObject*>(object.get()))
        return named->inspectableKeyPaths();
    if (object && object->inherits("VXDrawableObject"))
        return VXDrawableObject::observableKeyPaths();
    return {};
}

QVariant VXInspectableController::commonValueForKeyPath(const QString& keyPath) const
{
    return m_inspected.commonValue(keyPath);
}

void VXInspectableController::setCommonValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    setCommonValueForKeyPathHonouringLockState(value, keyPath, true);
}

void VXInspectableController::setCommonValueForKeyPathHonouringLockState(const QVariant& value,
                                                                         const QString& keyPath, bool honour)
{
    if (platform::isNull(value) || platform::isMultipleValuesMarker(value) || platform::isNotApplicableMarker(value))
        return;
    const QVariant modelValue = m_inspected.modelValue(value, keyPath);
    m_inspected.write(keyPath, [&](qsizetype, ZQObject& object) -> std::optional<QVariant> {
        if (honour && isLocked(object))
            return std::nullopt;
        return modelValue;
    });
}

void VXInspectableController::setTransformerForKeyPath(std::shared_ptr<platform::ValueTransformer> transformer,
                                                       const QString& keyPath)
{
    m_inspected.setTransformer(std::move(transformer), keyPath);
}

void VXInspectableController::lockedAction(QObject* sender)
{
    QCheckBox* checkbox = qobject_cast<QCheckBox*>(sender);
    if (!checkbox)
        checkbox = m_lockCheckbox;
    if (!checkbox)
        return;
    if (checkbox->checkState() == Qt::PartiallyChecked)
        checkbox->setCheckState(Qt::Checked);
    setCommonValueForKeyPathHonouringLockState(checkbox->isChecked(), kLockedKey, false);
}

void VXInspectableController::setLocked(bool locked)
{
    if (m_lockCheckbox)
        m_lockCheckbox->setCheckState(locked ? Qt::Checked : Qt::Unchecked);
    setControlStateForLock(locked);
}

void VXInspectableController::setMixedValueForLocked()
{
    if (m_lockCheckbox) {
        m_lockCheckbox->setTristate(true);
        m_lockCheckbox->setCheckState(Qt::PartiallyChecked);
    }
    setControlStateForLock(true);
}

QWidget* VXInspectableController::windowForSheet() const
{
    if (const QMetaMethod method = m_delegate ? platform::findMethod(m_delegate, "windowForSheet", 0) : QMetaMethod();
        method.isValid())
        return qvariant_cast<QWidget*>(platform::invokeMethod(m_delegate, method, {}));
    return m_containerView ? m_containerView->window() : nullptr;
}

void VXInspectableController::setValueForUndefinedKey(const QVariant&, const QString&)
{
    // Display values for keys a subclass does not show are dropped on purpose.
}

void VXInspectableController::showCommonValueForKeyPath(const QString& keyPath)
{
    const QVariant value = commonValueForKeyPath(keyPath);
    platform::runGuarded("VXInspectableController", [&] { platform::showValueForKeyPath(*this, value, keyPath); });
    observedValueForKeyDidChangeTo(keyPath, value);
}
