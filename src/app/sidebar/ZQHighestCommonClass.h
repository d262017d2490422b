#pragma once

// The most derived class that every object of a collection is a kind of: what an inspector
// shows when several objects are selected together.
//
// Typed collections (QList, QSet, QMap and QHash values, of raw, shared or QPointer
// pointers to QObjects) go through the template; a collection that only arrives as a
// QVariant (key-value coding) goes through the QVariant overload, which also checks its type.

#include <QList>
#include <QMetaObject>
#include <QVariant>
#include <typeinfo>

// Null for no classes; otherwise the first class, walked up its superclasses until every
// other class inherits it.
const QMetaObject* mostDerivedCommonClass(const QList<const QMetaObject*>& classes);

// Null for an empty collection; null members are passed over.
template <class Collection>
const QMetaObject* ZQHighestCommonClass(const Collection& objects)
{
    // Each class once: a selection of a million lines is one class, and the C++ type, read
    // from the object itself, tells a new class without reaching for the meta-object.
    QList<const QMetaObject*> classes;
    QList<const std::type_info*> types;
    for (const auto& object : objects) {
        if (!object)
            continue;
        const std::type_info* type = &typeid(*object);
        if (types.contains(type))
            continue;
        types.append(type);
        if (!classes.contains(object->metaObject()))
            classes.append(object->metaObject());
    }
    return mostDerivedCommonClass(classes);
}

// For a QVariantList, a QVariantMap or QVariantHash (their values) or a list of ZQObjects;
// members that are not ZQObjects are passed over. Any other value throws a platform::NamedException named
// "ZQUtilitiesDomainError"; a null QVariant answers null.
const QMetaObject* ZQHighestCommonClass(const QVariant& collection);
