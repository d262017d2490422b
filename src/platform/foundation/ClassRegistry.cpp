#include "platform/foundation/ClassRegistry.h"

#include "platform/foundation/ZQLog.h"

#include <QHash>
#include <QReadWriteLock>

namespace platform {
namespace {

struct RegisteredClass {
    const QMetaObject* metaObject = nullptr;
    ClassRegistry::Factory factory;
};

// Read on every decoded class, written at start-up: a read-write lock keeps decoding on
// worker threads cheap.
struct Registry {
    QReadWriteLock lock;
    QHash<QString, RegisteredClass> classes;
    QHash<QString, QString> substitutes;

    // Caller holds the lock.
    const RegisteredClass* find(const QString& className) const
    {
        const auto it = classes.constFind(className);
        return it == classes.cend() ? nullptr : &it.value();
    }

    const RegisteredClass* resolve(const QString& className) const
    {
        const RegisteredClass* original = find(className);
        const QString substitute = substitutes.value(className);
        if (substitute.isEmpty())
            return original;
        const RegisteredClass* replacement = find(substitute);
        if (!replacement || (original && !replacement->metaObject->inherits(original->metaObject))) {
            LogEvent(kLifeEvent, QStringLiteral("class substitute %1 for %2 is not a registered subclass; ignored")
                                     .arg(substitute, className));
            return original;
        }
        return replacement;
    }
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

void ClassRegistry::registerFactory(const QMetaObject* metaObject, Factory factory)
{
    Registry& r = registry();
    QWriteLocker lock(&r.lock);
    r.classes.insert(QString::fromLatin1(metaObject->className()), {metaObject, std::move(factory)});
}

const QMetaObject* ClassRegistry::metaObjectForName(const QString& className)
{
    Registry& r = registry();
    QReadLocker lock(&r.lock);
    const RegisteredClass* found = r.find(className);
    return found ? found->metaObject : nullptr;
}

const QMetaObject* ClassRegistry::metaObjectOfClassMadeForName(const QString& className)
{
    Registry& r = registry();
    QReadLocker lock(&r.lock);
    const RegisteredClass* found = r.resolve(className);
    return found ? found->metaObject : nullptr;
}

ClassRegistry::Factory ClassRegistry::factoryForName(const QString& className)
{
    Registry& r = registry();
    QReadLocker lock(&r.lock);
    const RegisteredClass* found = r.resolve(className);
    return found ? found->factory : Factory();
}

ZQObjectPtr ClassRegistry::create(const QString& className)
{
    const Factory factory = factoryForName(className);
    return factory ? factory() : nullptr;
}

void ClassRegistry::setSubstituteClass(const QString& className, const QString& substitute)
{
    Registry& r = registry();
    QWriteLocker lock(&r.lock);
    if (substitute.isEmpty())
        r.substitutes.remove(className);
    else
        r.substitutes.insert(className, substitute);
}

} // namespace platform
