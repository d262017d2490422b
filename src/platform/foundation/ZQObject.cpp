#include "platform/foundation/ZQObject.h"

#include "platform/foundation/KeyChangeListeners.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/ObservationInfo.h"
#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQAssert.h"

#include <QHash>
#include <QMetaProperty>

namespace {

QByteArray setterName(const QString& key)
{
    QByteArray name = key.toLatin1();
    if (!name.isEmpty())
        name[0] = char(QChar::toUpper(uchar(name[0])));
    return "set" + name;
}

// How a class reads and writes one key: a property first, else an invokable getter "key()"
// or setter "setKey(v)". Looking these up walks every property and method of the class by
// name, so each class resolves each key once.
struct KeyAccessors {
    QMetaProperty property;
    QMetaMethod getter;
    QMetaMethod setter;
};

KeyAccessors resolveKey(const QObject* object, const QString& key)
{
    KeyAccessors accessors;
    const QMetaObject* meta = object->metaObject();
    if (const int index = meta->indexOfProperty(key.toLatin1().constData()); index >= 0)
        accessors.property = meta->property(index);
    if (!accessors.property.isReadable()) {
        const QMetaMethod getter = platform::findMethod(object, key.toLatin1(), 0);
        if (getter.isValid() && getter.returnMetaType().id() != QMetaType::Void)
            accessors.getter = getter;
    }
    if (!accessors.property.isWritable())
        accessors.setter = platform::findMethod(object, setterName(key), 1);
    return accessors;
}

// A copy: reading through the accessors may resolve further keys and grow the table.
KeyAccessors accessorsFor(const QObject* object, const QString& key)
{
    // One table per thread, as drawing workers read objects too; classes and keys are few.
    thread_local QHash<const QMetaObject*, QHash<QString, KeyAccessors>> resolved;
    QHash<QString, KeyAccessors>& ofClass = resolved[object->metaObject()];
    auto found = ofClass.constFind(key);
    if (found == ofClass.constEnd())
        found = ofClass.insert(key, resolveKey(object, key));
    return *found;
}

std::pair<QString, QString> splitFirstKey(const QString& keyPath)
{
    const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {keyPath, {}};
    return {keyPath.left(dot), keyPath.mid(dot + 1)};
}

// Key paths continue through values that are not ZQObjects: dictionaries and lists.
QVariant valueForKeyPathOfValue(const QVariant& value, const QString& keyPath)
{
    if (platform::isNull(value))
        return {};
    if (const ZQObject* object = platform::objectFromVariant(value))
        return object->valueForKeyPath(keyPath);
    const auto [key, rest] = splitFirstKey(keyPath);
    if (value.metaType() == QMetaType::fromType<QVariantMap>() || value.metaType() == QMetaType::fromType<QVariantHash>()) {
        const QVariant element = value.toMap().value(key);
        return rest.isEmpty() ? element : valueForKeyPathOfValue(element, rest);
    }
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QVariantList results;
        for (const QVariant& element : value.toList())
            results.append(valueForKeyPathOfValue(element, keyPath));
        return results;
    }
    return {};
}

} // namespace

ZQObject::ZQObject() = default;

ZQObject::~ZQObject()
{
    // Bindings of our own observations look for our table while they unbind: let them find none.
    auto info = std::move(m_observationInfo);
    info.reset();
}

QString ZQObject::description() const
{
    return QStringLiteral("<%1: 0x%2>").arg(className()).arg(quintptr(this), 0, 16);
}

// --- Key-value coding -----------------------------------------------------------------

QVariant ZQObject::valueForKey(const QString& key) const
{
    const KeyAccessors accessors = accessorsFor(this, key);
    if (accessors.property.isReadable())
        return accessors.property.read(this);
    if (accessors.getter.isValid())
        return platform::invokeMethod(const_cast<ZQObject*>(this), accessors.getter, {});
    return valueForUndefinedKey(key);
}

void ZQObject::setValueForKey(const QVariant& value, const QString& key)
{
    const KeyAccessors accessors = accessorsFor(this, key);
    QMetaType type;
    std::function<void(const QVariant&)> write;
    if (accessors.property.isWritable()) {
        const QMetaProperty property = accessors.property;
        type = property.metaType();
        write = [this, property](const QVariant& v) { property.write(this, v); };
    } else if (const QMetaMethod setter = accessors.setter; setter.isValid()) {
        type = setter.parameterMetaType(0);
        write = [this, setter](const QVariant& v) { platform::invokeMethod(this, setter, {v}); };
    } else {
        setValueForUndefinedKey(value, key);
        return;
    }
    if (platform::isNull(value) && !platform::typeAcceptsNull(type)) {
        setNilValueForKey(key);
        return;
    }
    const std::optional<QVariant> converted = platform::convertVariant(value, type);
    ZQ_ASSERT(converted.has_value(), QStringLiteral("%1 cannot take a value of type %2 for the key %3")
                                         .arg(className(), QString::fromLatin1(value.typeName()), key));
    write(*converted);
}

QVariant ZQObject::valueForKeyPath(const QString& keyPath) const
{
    const auto [key, rest] = splitFirstKey(keyPath);
    const QVariant value = valueForKey(key);
    return rest.isEmpty() ? value : valueForKeyPathOfValue(value, rest);
}

void ZQObject::setValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    const qsizetype dot = keyPath.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        setValueForKey(value, keyPath);
        return;
    }
    // Setting through a null link does nothing, as reading through one answers null.
    if (ZQObject* target = platform::objectFromVariant(valueForKeyPath(keyPath.left(dot))))
        target->setValueForKey(value, keyPath.mid(dot + 1));
}

QVariant ZQObject::valueForUndefinedKey(const QString& key) const
{
    platform::failAssertion(QStringLiteral("%1 is not key-value coding compliant for the key %2").arg(className(), key),
                            Q_FUNC_INFO, __FILE__, __LINE__);
}

void ZQObject::setValueForUndefinedKey(const QVariant&, const QString& key)
{
    platform::failAssertion(QStringLiteral("%1 is not key-value coding compliant for the key %2").arg(className(), key),
                            Q_FUNC_INFO, __FILE__, __LINE__);
}

void ZQObject::setNilValueForKey(const QString& key)
{
    platform::failAssertion(QStringLiteral("%1 cannot take a null value for the key %2").arg(className(), key),
                            Q_FUNC_INFO, __FILE__, __LINE__);
}

bool ZQObject::validateValueForKeyError(QVariant&, const QString&, QuorvaneError*) const
{
    return true;
}

// --- Key-value observing --------------------------------------------------------------

platform::ObservationInfo& ZQObject::observationInfoOf(ZQObject* object)
{
    if (!object->m_observationInfo)
        object->m_observationInfo = std::make_unique<platform::ObservationInfo>(object);
    return *object->m_observationInfo;
}

platform::ObservationInfo* ZQObject::existingObservationInfoOf(ZQObject* object)
{
    return object->m_observationInfo.get();
}

void ZQObject::addObserverForKeyPathOptionsContext(QObject* observer, const QString& keyPath,
                                                   platform::KeyValueObservingOptions options, void* context)
{
    auto* target = dynamic_cast<platform::KeyValueObserver*>(observer);
    ZQ_ASSERT(target, QStringLiteral("an observer of %1 must implement KeyValueObserver").arg(keyPath));
    QPointer<ZQObject> self = this;
    auto callback = [target, keyPath, self, context](const platform::KeyValueChange& change) {
        target->observeValueForKeyPathOfObjectChangeContext(keyPath, self, change, context);
    };
    observationInfoOf(this).addObservation(std::make_unique<platform::Observation>(
        this, QStringList{keyPath}, options, observer, std::move(callback), context));
}

void ZQObject::removeObserverForKeyPath(QObject* observer, const QString& keyPath)
{
    if (m_observationInfo)
        m_observationInfo->removeObservation(observer, keyPath, false, nullptr);
}

void ZQObject::removeObserverForKeyPathContext(QObject* observer, const QString& keyPath, void* context)
{
    if (m_observationInfo)
        m_observationInfo->removeObservation(observer, keyPath, true, context);
}

platform::ObservationToken ZQObject::observeKeyPath(const QString& keyPath, platform::KeyValueObservingOptions options,
                                                    QObject* receiver, platform::KeyValueCallback callback)
{
    return observeKeyPaths({keyPath}, options, receiver, std::move(callback));
}

platform::ObservationToken ZQObject::observeKeyPaths(const QStringList& keyPaths,
                                                     platform::KeyValueObservingOptions options, QObject* receiver,
                                                     platform::KeyValueCallback callback)
{
    return observationInfoOf(this).addObservation(std::make_unique<platform::Observation>(
        this, keyPaths, options, receiver, std::move(callback), nullptr));
}

void ZQObject::removeObservation(platform::ObservationToken token)
{
    if (m_observationInfo)
        m_observationInfo->removeObservation(token);
}

bool ZQObject::hasObservers() const
{
    return m_observationInfo && !m_observationInfo->isEmpty();
}

void ZQObject::notifyObservers(const QString& key, bool prior, platform::KeyValueChangeKind kind,
                               const QList<int>& indexes)
{
    if (m_observationInfo)
        m_observationInfo->notify(key, {prior, kind, indexes});
    platform::KeyChangeListeners::tell(*this, key, prior);
}

void ZQObject::willChangeValueForKey(const QString& key)
{
    notifyObservers(key, true, platform::KeyValueChangeKind::Setting, {});
}

void ZQObject::didChangeValueForKey(const QString& key)
{
    notifyObservers(key, false, platform::KeyValueChangeKind::Setting, {});
}

void ZQObject::willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind kind, const QList<int>& indexes,
                                               const QString& key)
{
    notifyObservers(key, true, kind, indexes);
}

void ZQObject::didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind kind, const QList<int>& indexes,
                                              const QString& key)
{
    notifyObservers(key, false, kind, indexes);
}

QStringList ZQObject::keyPathsForValuesAffectingValueForKey(const QString&) const
{
    return {};
}

// --- Selectors ------------------------------------------------------------------------

bool ZQObject::respondsToSelector(const QByteArray& selector) const
{
    if (platform::hasMethodNamed(this, selector) || platform::findPropertyAccessor(this, selector, 0).isValid()
        || platform::findPropertyAccessor(this, selector, 1).isValid())
        return true;
    const QList<QObject*> targets = forwardingTargetsForSelector(selector);
    return std::any_of(targets.begin(), targets.end(), [&](const QObject* target) {
        if (const auto* object = qobject_cast<const ZQObject*>(target))
            return object->respondsToSelector(selector);
        return target && platform::hasMethodNamed(target, selector);
    });
}

QVariant ZQObject::performSelector(const QByteArray& selector, const QVariantList& arguments)
{
    const int count = int(arguments.size());
    if (const QMetaMethod method = platform::findMethod(this, selector, count); method.isValid())
        return platform::invokeMethod(this, method, arguments);
    if (const QMetaProperty property = platform::findPropertyAccessor(this, selector, count); property.isValid()) {
        if (count == 0)
            return property.read(this);
        setValueForKey(arguments[0], QString::fromLatin1(property.name()));
        return {};
    }

    QVariant result;
    bool handled = false;
    for (QObject* target : forwardingTargetsForSelector(selector)) {
        if (auto* object = qobject_cast<ZQObject*>(target); object && object->respondsToSelector(selector)) {
            result = object->performSelector(selector, arguments);
            handled = true;
        } else if (const QMetaMethod method = target ? platform::findMethod(target, selector, count) : QMetaMethod();
                   method.isValid()) {
            result = platform::invokeMethod(target, method, arguments);
            handled = true;
        }
    }
    ZQ_ASSERT(handled, QStringLiteral("%1 does not respond to %2 with %3 argument(s)")
                           .arg(className(), QString::fromLatin1(selector))
                           .arg(count));
    return result;
}

QList<QObject*> ZQObject::forwardingTargetsForSelector(const QByteArray&) const
{
    return {};
}

// --- Copying and archiving ------------------------------------------------------------

std::shared_ptr<ZQObject> ZQObject::copy() const
{
    platform::failAssertion(QStringLiteral("%1 cannot be copied").arg(className()), Q_FUNC_INFO, __FILE__, __LINE__);
}

void ZQObject::encodeWithCoder(platform::KeyedArchiver&) const
{
}

void ZQObject::initWithCoder(platform::KeyedUnarchiver&)
{
}

std::shared_ptr<ZQObject> ZQObject::awakeAfterUsingCoder(platform::KeyedUnarchiver&)
{
    return shared_from_this();
}

namespace platform {

ZQObject* objectFromVariant(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<ZQObjectPtr>())
        return value.value<ZQObjectPtr>().get();
    if (value.metaType().flags() & QMetaType::PointerToQObject)
        return qobject_cast<ZQObject*>(value.value<QObject*>());
    return nullptr;
}

} // namespace platform
