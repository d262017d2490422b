#pragma once

// Follows key paths of a list of objects, however long, through one listener of every key
// change (KeyChangeListeners) rather than an observation per object: the list costs a sorted
// array of addresses, made on the first change that needs it, and a look at each object's
// class on the first change told to it.
//
// A change of an object of the list at a path's first key, or at a key that key depends on
// (keyPathsForValuesAffectingValueForKey), affects the path. A change of any other object at a
// later key of a path ("colour" of "textAdornment.colour"), at a later key of a dotted
// dependency ("font" of "textAdornment.font", which a text shape's "font" depends on), or at
// one such a key depends on, is taken to affect it too: linked objects are not tracked, so a
// change of an unrelated object may be told, but none of a linked one is missed.

#include "platform/foundation/ZQObject.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <typeinfo>
#include <vector>

namespace platform {

class ObjectsChangeWatch {
public:
    // Whether the client still wants to hear of a change of `object` at path `index` (before
    // it when `prior`): asked before the list is searched, so a path already marked costs
    // nothing more. `object` is the one changing: one of the list, or a linked one.
    using Wants = std::function<bool(qsizetype index, bool prior, const ZQObject& object)>;
    using Changed = std::function<void(qsizetype index, bool prior)>;

    // Follows `objects` (the list is shared, not copied).
    template <class Object>
    ObjectsChangeWatch(const QList<std::shared_ptr<Object>>& objects, const QStringList& keyPaths, Wants wants,
                       Changed changed)
        : ObjectsChangeWatch(objects.isEmpty() ? nullptr : std::make_unique<ListOf<Object>>(objects), keyPaths,
                             std::move(wants), std::move(changed))
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

    // The objects followed, whatever their C++ type.
    struct Followed {
        virtual ~Followed() = default;
        // Their addresses, in any order.
        virtual std::vector<const ZQObject*> addresses() const = 0;
        // Calls `each` with one object of each class among them.
        virtual void forOneOfEachClass(const std::function<void(const ZQObject&)>& each) const = 0;
    };
    template <class Object> struct ListOf : Followed {
        explicit ListOf(QList<std::shared_ptr<Object>> list) : objects(std::move(list)) {}
        std::vector<const ZQObject*> addresses() const override
        {
            std::vector<const ZQObject*> addresses;
            addresses.reserve(objects.size());
            for (const std::shared_ptr<Object>& object : objects)
                addresses.push_back(object.get());
            return addresses;
        }
        void forOneOfEachClass(const std::function<void(const ZQObject&)>& each) const override
        {
            // Neighbours mostly share a class: only a change of class is looked up.
            QSet<const std::type_info*> seen;
            const std::type_info* previous = nullptr;
            for (const std::shared_ptr<Object>& object : objects) {
                if (!object)
                    continue;
                const std::type_info* type = &typeid(*object);
                if (type != previous && !seen.contains(type)) {
                    seen.insert(type);
                    each(*object);
                }
                previous = type;
            }
        }
        QList<std::shared_ptr<Object>> objects;
    };

    ObjectsChangeWatch(std::unique_ptr<Followed> followed, const QStringList& keyPaths, Wants wants, Changed changed);
    void keyChanged(ZQObject& object, const QString& key, bool prior);
    // The later keys of the dotted dependencies that the classes of the list declare for the
    // paths' first keys: any object's change at one of them is a linked change.
    void findDependenciesThroughLinks();
    const ClassKeys& keysOfClass(const ZQObject& object);
    // What a change of `key` of `object` affects; null when nothing.
    const Affected* affectedBy(const ZQObject& object, const QString& key);

    std::unique_ptr<Followed> m_followed;
    bool m_sortedMade = false;
    bool m_linkedDependenciesFound = false;
    QHash<QString, QList<qsizetype>> m_linkedDependencies;
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
