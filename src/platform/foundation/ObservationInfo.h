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
    void removeWatcher(quint64 id);
    void notify(const QString& key, const KeyChangeEvent& event);

    ObservationToken addObservation(std::unique_ptr<Observation> observation);
    void removeObservation(ObservationToken token);
    // Removes the most recent observation registered by `observer` for `keyPath`
    // (and `context`, when `matchContext`).
    void removeObservation(QObject* observer, const QString& keyPath, bool matchContext, void* context);
    bool isEmpty() const { return m_watchers.isEmpty() && m_observations.empty(); }

private:
    struct Watcher {
        quint64 id;
        KeyChangeHandler handler;
    };
    ZQObject* m_owner;
    QHash<QString, std::vector<Watcher>> m_watchers;
    std::vector<std::unique_ptr<Observation>> m_observations;
};

// A key path of an object, bound to the objects along it; calls its handler whenever the
// value at the end of the path may change.
class KeyPathBinding {
public:
    KeyPathBinding(ZQObject* target, const QString& keyPath, KeyChangeHandler handler);
    ~KeyPathBinding();
    KeyPathBinding(const KeyPathBinding&) = delete;
    KeyPathBinding& operator=(const KeyPathBinding&) = delete;

private:
    void firstKeyChanged(const KeyChangeEvent& event, bool direct);
    void bindRest();

    QPointer<ZQObject> m_target;
    QString m_firstKey;
    QString m_rest;
    KeyChangeHandler m_handler;
    quint64 m_watcher = 0;
    std::vector<std::unique_ptr<KeyPathBinding>> m_dependencies;
    std::unique_ptr<KeyPathBinding> m_restBinding;
};

// One registration: delivers initial, prior, old and new values as its options ask.
class Observation {
public:
    Observation(ZQObject* observed, QString keyPath, KeyValueObservingOptions options, QObject* receiver,
                KeyValueCallback callback, void* context);
    ~Observation();

    // Called once the observation is stored: binds the path and sends the initial value.
    void start();

    ObservationToken token() const { return m_token; }
    void setToken(ObservationToken token) { m_token = token; }
    const QString& keyPath() const { return m_keyPath; }
    QObject* receiver() const { return m_receiver; }
    void* context() const { return m_context; }

private:
    void changed(const KeyChangeEvent& event);
    QVariant currentValue(const KeyChangeEvent& event) const;

    ZQObject* m_observed;
    QString m_keyPath;
    KeyValueObservingOptions m_options;
    QPointer<QObject> m_receiver;
    bool m_hasReceiver;
    KeyValueCallback m_callback;
    void* m_context;
    ObservationToken m_token = 0;
    QMetaObject::Connection m_receiverDestroyed;
    std::unique_ptr<KeyPathBinding> m_binding;
    std::vector<QVariant> m_oldValues; // one per change in progress (changes may nest)
};

} // namespace platform
