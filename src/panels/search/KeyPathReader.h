#pragma once

// Reads one key path from objects of any class, as ZQObject::valueForKeyPath does. A search
// reads the same key from every object of a map, so a plain key that names a readable
// property is looked up once per class, not once per object.

#include "platform/foundation/ZQObject.h"

#include <QMetaProperty>
#include <QVarLengthArray>

class KeyPathReader {
public:
    explicit KeyPathReader(const QString& keyPath = {});

    const QString& keyPath() const { return m_keyPath; }
    void setKeyPath(const QString& keyPath);

    QVariant valueOf(const ZQObject& object) const;

private:
    // The property the key names in `meta`; an invalid one when it names none that can be read.
    QMetaProperty propertyForClass(const QMetaObject* meta) const;

    QString m_keyPath;
    QByteArray m_plainKey; // empty for a dotted path
    mutable QVarLengthArray<std::pair<const QMetaObject*, QMetaProperty>, 4> m_propertyByClass;
};
