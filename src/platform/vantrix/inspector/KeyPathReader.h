#pragma once

// Reads a fixed set of key paths of one object after another. Paths that go through the same
// first key ("textAdornment.font", "textAdornment.fontSize"...) read that link once per object
// rather than once per path; the values are those valueForKeyPath answers, and a path that
// cannot be read raises what valueForKeyPath raises, each time it is asked for. A first key
// that names a property is read through it, looked up again only when the class changes:
// looking it up by name for each object would dominate a pass over a million objects.

#include "platform/foundation/ZQObject.h"

#include <QMetaProperty>
#include <QStringList>
#include <exception>
#include <typeinfo>
#include <optional>
#include <vector>

namespace platform {

class KeyPathReader {
public:
    explicit KeyPathReader(const QStringList& keyPaths);

    const QStringList& keyPaths() const { return m_keyPaths; }
    // The object the values are read from; links read from the previous one are forgotten.
    void setObject(const ZQObject& object);
    // The value at keyPaths()[index] of the object.
    QVariant value(qsizetype index);
    // That value where it differs from `value` (as QVariant compares them), else nullopt. A
    // key naming a property of value's type is read into a buffer kept for it: comparing a
    // million objects with the first then makes no QVariant for each that agrees.
    std::optional<QVariant> differingValue(qsizetype index, const QVariant& value);

private:
    // The first key of paths, and its property in the class last read, if it names one.
    struct Key {
        QString name;
        const std::type_info* type = nullptr;
        QMetaProperty property;
        // Kept from the property: asking it each time costs more than reading the value.
        QMetaType propertyType;
        int propertyIndex = -1;
        bool readable = false;
        QVariant buffer;

        QVariant read(const ZQObject& object);
        std::optional<QVariant> differingValue(const ZQObject& object, const QVariant& value);

    private:
        void findProperty(const ZQObject& object);
    };
    struct Link {
        Key key;
        std::optional<QVariant> value;
        const ZQObject* object = nullptr; // what the value refers to, if an object
        std::exception_ptr failure;
    };
    struct Path {
        qsizetype link = -1; // none for a plain key
        QString rest;
        Key plain; // the key of a path without a link
    };
    // Reads the link of the object, if not read yet; raises what reading it raised.
    const Link& read(Link& link);

    QStringList m_keyPaths;
    std::vector<Path> m_paths;
    std::vector<Link> m_links;
    const ZQObject* m_object = nullptr;
};

} // namespace platform
