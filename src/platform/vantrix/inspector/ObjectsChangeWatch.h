#pragma once

// Follows key paths of a list of objects, however long, through one listener of every key
// change (KeyChangeListeners) rather than an observation per object: the list costs a sorted
// array of addresses, made on the first change that needs it, and nothing else per object.
//
// A change of an object of the list at a path's first key, or at a key that key depends on
// (keyPathsForValuesAffectingValueForKey), affects the path. A change of any other object at a
// later key of a path ("colour" of "textAdornment.colour"), or at one that key depends on, is
// taken to affect it too: linked objects are not tracked, so a change of an unrelated object
// may be told, but none of a linked one is missed.

#include "platform/foundation/ZQObject.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace platform {

class ObjectsChangeWatch {
public:
    // Whether the client still wants to hear of a change at path `index` (before it when
    // `prior`): asked before the list is searched, so a path already marked costs nothing more.
    using Wants = std::function<bool(qsizetype index, bool prior)>;
    using Changed = std::function<void(qsizetype index, bool prior)>;
    // The addresses of the objects followed, in any order; asked for once, when first needed.
    using Members = std::function<std::vector<const ZQObject*>()>;

    ObjectsChangeWatch(Members members, const QStringList& keyPaths, Wants wants, Changed changed);
    // Follows `objects` (the list is shared, not copied).
    template <class Object>
    ObjectsChangeWatch(const QList<std::shared_ptr<Object>>& objects, const QStringList& keyPaths, Wants wants,
                       Changed changed)
        : ObjectsChangeWatch(objects.isEmpty() ? Members() : addressesOf(objects), keyPaths, std::move(wants),
                             std::move(changed))
    {
    }
    ~ObjectsChangeWatch();
    ObjectsChangeWatch(const ObjectsChangeWatch&) = delete;
    ObjectsChangeWatch& operator=(const ObjectsChangeWatch&) = delete;

    const QStringList& keyPaths() const { return m_keyPaths; }
    bool contains(const ZQObject* object);

private:
    // What a change of one key of an object of one class affects: the paths whose own keys it
    // changes when the object is in the list, those whose linked keys it changes whatever it is.
    struct Affected {
        QList<qsizetype> own;
        QList<qsizetype> linked;
    };
    using ClassKeys = QHash<QString, Affected>;

    template <class Object> static Members addressesOf(const QList<std::shared_ptr<Object>>& objects)
    {
        return [objects] {
            std::vector<const ZQObject*> addresses;
            addresses.reserve(objects.size());
            for (const std::shared_ptr<Object>& object : objects)
                addresses.push_back(object.get());
            return addresses;
        };
    }
    void keyChanged(ZQObject& object, const QString& key, bool prior);
    const ClassKeys& keysOfClass(const ZQObject& object);
    // What a change of `key` of `object` affects; null when nothing.
    const Affected* affectedBy(const ZQObject& object, const QString& key);

    Members m_members;
    QStringList m_keyPaths;
    Wants m_wants;
    Changed m_changed;
    std::vector<const ZQObject*> m_sorted;
    const ZQObject* m_lastAsked = nullptr;
    bool m_lastAnswer = false;
    struct LastChange {
        const QMetaObject* cls = nullptr;
        QString key;
        std::optional<Affected> affected;
    };
    LastChange m_lastChange;
    QHash<const QMetaObject*, ClassKeys> m_classes;
    quint64 m_listener = 0;
};

} // namespace platform
