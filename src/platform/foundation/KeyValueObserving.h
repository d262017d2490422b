#pragma once

// Types of key-value observing. The machinery lives in ZQObject (see ZQObject.h).

#include <QFlags>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

class ZQObject;

namespace platform {

enum KeyValueObservingOption {
    KeyValueObservingOptionNew = 0x01,
    KeyValueObservingOptionOld = 0x02,
    KeyValueObservingOptionInitial = 0x04, // one notification at registration time
    KeyValueObservingOptionPrior = 0x08,   // an extra notification before each change
};
Q_DECLARE_FLAGS(KeyValueObservingOptions, KeyValueObservingOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(KeyValueObservingOptions)

enum class KeyValueChangeKind { Setting = 1, Insertion = 2, Removal = 3, Replacement = 4 };

struct KeyValueChange {
    QString keyPath; // the one that changed, of those the observation was registered for
    KeyValueChangeKind kind = KeyValueChangeKind::Setting;
    QVariant oldValue; // with the Old option (for index changes: the removed or replaced elements)
    QVariant newValue; // with the New option (for index changes: the inserted or new elements)
    QList<int> indexes; // for insertion, removal and replacement
    bool isPrior = false;
};

// The interface of an observer registered with addObserverForKeyPathOptionsContext.
class KeyValueObserver {
public:
    virtual ~KeyValueObserver() = default;
    virtual void observeValueForKeyPathOfObjectChangeContext(const QString& keyPath, ZQObject* object,
                                                             const KeyValueChange& change, void* context) = 0;
};

using KeyValueCallback = std::function<void(const KeyValueChange& change)>;
using ObservationToken = quint64;

class ObservationInfo;
class KeyPathBinding;
class Observation;

} // namespace platform
