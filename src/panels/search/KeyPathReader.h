#pragma once

// Reads one key path of a search from the objects of a map. Searches are stored in maps and
// settings, so only the searchable properties are read as key paths; any other key names an
// attribute and is read as the object reads keys it does not define, never as a method to call.
// A search reads the same key from every object of a map, so a plain key that names a
// readable property is looked up once per class, not once per object, and the searchable
// text that every quick search reads is asked of drawables directly.

#include "platform/foundation/ZQObject.h"

#include <QMetaProperty>
#include <QVarLengthArray>
#include <typeinfo>

class VXDrawableObject;

class KeyPathReader {
public:
    explicit KeyPathReader(const QString& keyPath = {});

    const QString& keyPath() const { return m_keyPath; }
    void setKeyPath(const QString& keyPath);

    QVariant valueOf(const ZQObject& object) const;

private:
    // The property the key names in `meta`; an invalid one when it names none that can be read.
    QMetaProperty propertyForClass(const QMetaObject* meta) const;
    // The object as a drawable, when it is one; known once per class.
    const VXDrawableObject* asDrawable(const ZQObject& object) const;

    QString m_keyPath;
    bool m_isSearchableProperty = false; // otherwise an attribute name
    bool m_isSearchableText = false;
    QByteArray m_plainKey; // empty for a dotted path
    mutable QVarLengthArray<std::pair<const QMetaObject*, QMetaProperty>, 4> m_propertyByClass;
    mutable QVarLengthArray<std::pair<const std::type_info*, bool>, 4> m_drawableByClass;
};
