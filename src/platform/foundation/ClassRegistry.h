#pragma once

// Classes that can be made by name (archives, class substitution, panes found by class
// name). Each library registers its classes in one explicit function, called at start-up
// and by each test main: registerFoundationClasses(), registerVantrixClasses(), ...

#include "platform/foundation/ZQObject.h"

#include <QString>
#include <functional>

namespace platform {

class ClassRegistry {
public:
    using Factory = std::function<ZQObjectPtr()>;

    // Registers T under moc's class name; registering a class again replaces its factory.
    template <class T>
    static void registerClass()
    {
        registerFactory(&T::staticMetaObject, [] { return std::make_shared<T>(); });
    }
    static void registerFactory(const QMetaObject* metaObject, Factory factory);

    // Nullptr / empty for a name that is not registered. Substitution applies to the
    // factory and to create(), not to the meta-object, which always describes `className`.
    static const QMetaObject* metaObjectForName(const QString& className);
    // The meta-object of what create(className) makes: the substitute's when one applies.
    static const QMetaObject* metaObjectOfClassMadeForName(const QString& className);
    static Factory factoryForName(const QString& className);
    static ZQObjectPtr create(const QString& className);

    // Objects asked for under `className` are made as `substitute`, a registered subclass;
    // an empty substitute removes the substitution. A substitute that is not registered
    // (or not a subclass) when an object is made is ignored with a log line.
    static void setSubstituteClass(const QString& className, const QString& substitute);
};

} // namespace platform
