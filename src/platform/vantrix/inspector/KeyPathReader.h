#pragma once

// Reads a fixed set of key paths of one object after another. Paths that go through the same
// first key ("textAdornment.font", "textAdornment.fontSize"...) read that link once per object
// rather than once per path; the values are those valueForKeyPath answers, and a path that
// cannot be read raises what valueForKeyPath raises, each time it is asked for.

#include "platform/foundation/ZQObject.h"

#include <QStringList>
#include <exception>
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

private:
    struct Link {
        QString key;
        std::optional<QVariant> value;
        const ZQObject* object = nullptr; // what the value refers to, if an object
        std::exception_ptr failure;
    };
    struct Path {
        qsizetype link = -1; // none for a plain key
        QString rest;
    };
    // Reads the link of the object, if not read yet; raises what reading it raised.
    const Link& read(Link& link);

    QStringList m_keyPaths;
    std::vector<Path> m_paths;
    std::vector<Link> m_links;
    const ZQObject* m_object = nullptr;
};

} // namespace platform
