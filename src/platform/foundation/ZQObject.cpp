// Work in progress: key-value coding, observing and selectors are being filled in.
#include "platform/foundation/ZQObject.h"

#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQAssert.h"

namespace platform {
class ObservationInfo {};
ZQObject* objectFromVariant(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<ZQObjectPtr>())
        return value.value<ZQObjectPtr>().get();
    return qobject_cast<ZQObject*>(value.value<QObject*>());
}
}

ZQObject::ZQObject() = default;
ZQObject::~ZQObject() = default;
QVariant ZQObject::valueForKey(const QString& key) const { return property(key.toLatin1()); }
void ZQObject::setValueForKey(const QVariant& value, const QString& key) { setProperty(key.toLatin1(), value); }
QVariant ZQObject::valueForKeyPath(const QString& keyPath) const { return valueForKey(keyPath); }
void ZQObject::setValueForKeyPath(const QVariant& value, const QString& keyPath) { setValueForKey(value, keyPath); }
QVariant ZQObject::valueForUndefinedKey(const QString& key) const { return {}; }
void ZQObject::setValueForUndefinedKey(const QVariant&, const QString&) {}
void ZQObject::setNilValueForKey(const QString&) {}
bool ZQObject::validateValueForKeyError(QVariant&, const QString&, QuorvaneError*) const { return true; }
void ZQObject::addObserverForKeyPathOptionsContext(QObject*, const QString&, platform::KeyValueObservingOptions, void*) {}
void ZQObject::removeObserverForKeyPath(QObject*, const QString&) {}
void ZQObject::removeObserverForKeyPathContext(QObject*, const QString&, void*) {}
platform::ObservationToken ZQObject::observeKeyPath(const QString&, platform::KeyValueObservingOptions, QObject*, platform::KeyValueCallback) { return 0; }
void ZQObject::removeObservation(platform::ObservationToken) {}
bool ZQObject::hasObservers() const { return false; }
void ZQObject::willChangeValueForKey(const QString&) {}
void ZQObject::didChangeValueForKey(const QString&) {}
void ZQObject::willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind, const QList<int>&, const QString&) {}
void ZQObject::didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind, const QList<int>&, const QString&) {}
QStringList ZQObject::keyPathsForValuesAffectingValueForKey(const QString&) const { return {}; }
bool ZQObject::respondsToSelector(const QByteArray&) const { return false; }
QVariant ZQObject::performSelector(const QByteArray&, const QVariantList&) { return {}; }
QList<QObject*> ZQObject::forwardingTargetsForSelector(const QByteArray&) const { return {}; }
std::shared_ptr<ZQObject> ZQObject::copy() const { ZQ_ASSERT(false, "copy not supported"); }
void ZQObject::encodeWithCoder(platform::KeyedArchiver&) const {}
void ZQObject::initWithCoder(platform::KeyedUnarchiver&) {}
std::shared_ptr<ZQObject> ZQObject::awakeAfterUsingCoder(platform::KeyedUnarchiver&) { return shared_from_this(); }
platform::ObservationInfo& ZQObject::observationInfo() { return *m_observationInfo; }
