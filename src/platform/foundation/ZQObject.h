#pragma once

// The root of model and controller objects. Qt's meta-object system is the runtime:
// Q_PROPERTYs are the keys of key-value coding, Q_INVOKABLE methods and slots are the
// selectors that can be performed by name.
//
// Ownership: owners keep ZQObjects in std::shared_ptr; back-references are QPointer.
// Model objects never get a QObject parent.

#include "platform/foundation/KeyValueObserving.h"
#include "platform/foundation/Markers.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <utility>

class QuorvaneError;

namespace platform {
class KeyedArchiver;
class KeyedUnarchiver;
}

class ZQObject : public QObject, public std::enable_shared_from_this<ZQObject> {
    Q_OBJECT

public:
    ZQObject();
    ~ZQObject() override;

    QString className() const { return QString::fromLatin1(metaObject()->className()); }
    bool isKindOfClass(const char* className) const { return inherits(className); }
    // "<Class: 0x...>" for logs; subclasses append what identifies them.
    virtual QString description() const;

    // --- Key-value coding -------------------------------------------------------------
    // A key names a Q_PROPERTY or, failing that, an invokable getter "key()" / setter "setKey(v)".
    QVariant valueForKey(const QString& key) const;
    void setValueForKey(const QVariant& value, const QString& key);
    // Dotted paths walk to-one links (objects and dictionaries); a list in the middle maps
    // the rest of the path over its elements.
    QVariant valueForKeyPath(const QString& keyPath) const;
    void setValueForKeyPath(const QVariant& value, const QString& keyPath);

    // Hooks: the defaults raise, as a key that no class defines is a programming error.
    virtual QVariant valueForUndefinedKey(const QString& key) const;
    virtual void setValueForUndefinedKey(const QVariant& value, const QString& key);
    // Called when a null value is set for a key whose type cannot hold one (numbers, bools).
    virtual void setNilValueForKey(const QString& key);
    // Answers whether `value` (which it may replace) is acceptable for the key; the default accepts.
    virtual bool validateValueForKeyError(QVariant& value, const QString& key, QuorvaneError* error) const;

    // --- Key-value observing ----------------------------------------------------------
    // The observer is told through its KeyValueObserver interface; it is detached
    // automatically when it is destroyed. `context` is handed back untouched.
    void addObserverForKeyPathOptionsContext(QObject* observer, const QString& keyPath,
                                             platform::KeyValueObservingOptions options, void* context = nullptr);
    void removeObserverForKeyPath(QObject* observer, const QString& keyPath);
    void removeObserverForKeyPathContext(QObject* observer, const QString& keyPath, void* context);

    // The same with a callback; `receiver` bounds the observation's life. Answers a token.
    platform::ObservationToken observeKeyPath(const QString& keyPath, platform::KeyValueObservingOptions options,
                                              QObject* receiver, platform::KeyValueCallback callback);
    // Several key paths under one token, each change naming its path (KeyValueChange::keyPath).
    // Paths through the same link share its watching: cheaper than one registration each.
    platform::ObservationToken observeKeyPaths(const QStringList& keyPaths, platform::KeyValueObservingOptions options,
                                               QObject* receiver, platform::KeyValueCallback callback);
    void removeObservation(platform::ObservationToken token);
    bool hasObservers() const;

    // Setters announce their changes, most simply through announceChangeForKey.
    void willChangeValueForKey(const QString& key);
    void didChangeValueForKey(const QString& key);
    void willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind kind, const QList<int>& indexes,
                                         const QString& key);
    void didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind kind, const QList<int>& indexes,
                                        const QString& key);

    // Runs `change` between the will-change and did-change announcements of `key`. A change
    // that throws announces nothing more: no observer hears of a value that was never set.
    template <class Change>
    void announceChangeForKey(const QString& key, Change&& change)
    {
        willChangeValueForKey(key);
        std::forward<Change>(change)();
        didChangeValueForKey(key);
    }
    // The same for several keys, announced in order and finished in reverse.
    template <class Change>
    void announceChangeForKeys(const QStringList& keys, Change&& change)
    {
        for (const QString& key : keys)
            willChangeValueForKey(key);
        std::forward<Change>(change)();
        for (auto key = keys.crbegin(); key != keys.crend(); ++key)
            didChangeValueForKey(*key);
    }

    // Key paths whose changes also change `key` (dependent keys).
    virtual QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const;

    // --- Selectors --------------------------------------------------------------------
    // A selector is the name of an invokable method or slot (see the naming rule in DESIGN.md).
    bool respondsToSelector(const QByteArray& selector) const;
    // Invokes the method with arguments converted to its parameter types; a selector this
    // object lacks goes to every forwarding target that has it. Answers the (last) result.
    QVariant performSelector(const QByteArray& selector, const QVariantList& arguments = {});
    // Objects that receive the selectors this object does not implement (none by default).
    virtual QList<QObject*> forwardingTargetsForSelector(const QByteArray& selector) const;

    // --- Copying and archiving --------------------------------------------------------
    // An independent copy; the default raises, as not every class can be copied.
    virtual std::shared_ptr<ZQObject> copy() const;
    virtual void encodeWithCoder(platform::KeyedArchiver& coder) const;
    virtual void initWithCoder(platform::KeyedUnarchiver& coder);
    // Answers the object that stands for this one once decoding has finished (itself by default).
    virtual std::shared_ptr<ZQObject> awakeAfterUsingCoder(platform::KeyedUnarchiver& coder);

private:
    friend class platform::KeyPathBinding;
    friend class platform::Observation;
    static platform::ObservationInfo& observationInfoOf(ZQObject* object);
    static platform::ObservationInfo* existingObservationInfoOf(ZQObject* object);
    void notifyObservers(const QString& key, bool prior, platform::KeyValueChangeKind kind, const QList<int>& indexes);

    std::unique_ptr<platform::ObservationInfo> m_observationInfo;
};

using ZQObjectPtr = std::shared_ptr<ZQObject>;
Q_DECLARE_METATYPE(ZQObjectPtr)

namespace platform {

// The ZQObject a QVariant refers to (a QObject pointer or a ZQObjectPtr), or null.
ZQObject* objectFromVariant(const QVariant& value);

} // namespace platform
