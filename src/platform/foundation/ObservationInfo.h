#pragma once

// The observing state of one ZQObject (private to the foundation layer).
//
// Two levels: key watchers are raw callbacks on one key of one object, told before and
// after each change; observations are what clients register, a key path bound across
// to-one links and dependent keys by a tree of watchers, delivering old and new values.

#include "platform/foundation/KeyValueObserving.h"

#include <QHash>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <QVarLengthArray>
#include <memory>
#include <vector>

class ZQObject;

namespace platform {

struct KeyChangeEvent {
    bool prior = false;
    KeyValueChangeKind kind = KeyValueChangeKind::Setting;
    QList<int> indexes;
};

using KeyChangeHandler = std::function<void(const KeyChangeEvent& event)>;

class Observation;

class ObservationInfo {
public:
    explicit ObservationInfo(ZQObject* owner);
    ~ObservationInfo();

    quint64 addWatcher(const QString& key, KeyChangeHandler handler);
    // Watchers ended in the reverse order of adding go from the end, moving no others.
    void removeWatcher(quint64 id);
    void notify(const QString& key, const KeyChangeEvent& event);

    ObservationToken addObservation(std::unique_ptr<Observation> observation);
    void removeObservation(ObservationToken token);
    // Removes the most recent observation registered by `observer` for `keyPath`
    // (and `context`, when `matchContext`).
    void removeObservation(QObject* observer, const QString& keyPath, bool matchContext, void* context);
    bool isEmpty() const { return m_watchers.empty() && m_observations.empty(); }

private:
    struct Watcher {
        quint64 id;
        QString key;
        KeyChangeHandler handler;
    };
    std::vector<Watcher>::iterator findWatcher(quint64 id);

    ZQObject* m_owner;
    // One table for every key, in the order added and so by increasing id: an object has few
    // watchers, and one table costs less to fill and empty than one list per key.
    std::vector<Watcher> m_watchers;
    std::vector<std::unique_ptr<Observation>> m_observations;
};

// What a binding tells: the key path whose value may have changed, and how.
using KeyPathChangeHandler = std::function<void(const QString& keyPath, const KeyChangeEvent& event)>;

// Key paths grouped by their first key, in the order the keys first appear. Bindings of the
// same paths (a pane observing each of thousands of objects) share one grouping.
class KeyPathGroups {
public:
    struct Group {
        QString key;
        QVarLengthArray<qsizetype, 2> paths; // indexes of the whole paths
        QStringList rests;                    // what follows the key, where something does
    };

    static std::shared_ptr<const KeyPathGroups> of(const QStringList& keyPaths);
    explicit KeyPathGroups(const QStringList& keyPaths);

    const QStringList& paths() const { return m_paths; }
    const std::vector<Group>& groups() const { return m_groups; }

private:
    QStringList m_paths;
    std::vector<Group> m_groups;
};

// Key paths of an object, bound to the objects along them; calls its handler with a key path
// whenever the value at its end may change. Paths that begin with the same key share that
// key's watcher and the binding of the object it links to, so a set of "link.x" paths costs
// one watcher on the object and one on the link.
class KeyPathBinding {
public:
    KeyPathBinding(ZQObject* target, const QStringList& keyPaths, KeyPathChangeHandler handler);
    ~KeyPathBinding();
    KeyPathBinding(const KeyPathBinding&) = delete;
    KeyPathBinding& operator=(const KeyPathBinding&) = delete;

private:
    // The paths that begin with one key of the target.
    struct Link {
        const KeyPathGroups::Group* group = nullptr;
        quint64 watcher = 0;
        // Keys it depends on: plain keys without dependencies of their own are watched
        // directly, the others bound.
        QVarLengthArray<quint64, 2> dependencyWatchers;
        std::unique_ptr<KeyPathBinding> dependencies;
        std::unique_ptr<KeyPathBinding> rest;
    };

    void bindLink(Link& link);
    void keyChanged(Link& link, const KeyChangeEvent& event, bool direct);
    void bindRest(Link& link);
    void unbind();

    QPointer<ZQObject> m_target;
    std::shared_ptr<const KeyPathGroups> m_groups;
    KeyPathChangeHandler m_handler;
    // Made before any is bound and never moved after: watchers refer to them.
    std::vector<Link> m_links;
    // Cleared when the binding goes: a handler that ends it stops the rest of a notification.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// One registration of one or several key paths: delivers initial, prior, old and new values
// as its options ask, each change naming its key path.
class Observation {
public:
    Observation(ZQObject* observed, QStringList keyPaths, KeyValueObservingOptions options, QObject* receiver,
                KeyValueCallback callback, void* context);
    ~Observation();

    // Called once the observation is stored: binds the paths and sends the initial values.
    void start();

    ObservationToken token() const { return m_token; }
    void setToken(ObservationToken token) { m_token = token; }
    // Whether this registration is of `keyPath` alone.
    bool isOfKeyPath(const QString& keyPath) const { return m_keyPaths.size() == 1 && m_keyPaths.first() == keyPath; }
    QObject* receiver() const { return m_receiver; }
    void* context() const { return m_context; }

private:
    void changed(const QString& keyPath, const KeyChangeEvent& event);
    QVariant currentValue(const QString& keyPath, const KeyChangeEvent& event) const;

    ZQObject* m_observed;
    QStringList m_keyPaths;
    KeyValueObservingOptions m_options;
    QPointer<QObject> m_receiver;
    bool m_hasReceiver;
    KeyValueCallback m_callback;
    void* m_context;
    ObservationToken m_token = 0;
    QMetaObject::Connection m_receiverDestroyed;
    std::unique_ptr<KeyPathBinding> m_binding;
    // Per key path, one old value per change in progress (changes may nest); kept only when
    // old values are asked for.
    QHash<QString, std::vector<QVariant>> m_oldValues;
};

} // namespace platform
