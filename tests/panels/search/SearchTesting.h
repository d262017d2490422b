#pragma once

// An object whose keys are whatever a test puts in `values`: an absent key reads as no value,
// platform::nullValue() as the explicit null.

#include "platform/foundation/ZQObject.h"

#include <QVariantMap>

namespace searchtest {

class Probe : public ZQObject {
    Q_OBJECT

public:
    Probe() = default;
    explicit Probe(QVariantMap initial) : values(std::move(initial)) {}
    QVariantMap values;

    QVariant valueForUndefinedKey(const QString& key) const override { return values.value(key); }
};

// A probe with a method shaped like a getter that changes the object, as commands are.
class CommandProbe : public Probe {
    Q_OBJECT

public:
    int commandsRun = 0;
    Q_INVOKABLE int renumber() { return ++commandsRun; }
};

inline std::shared_ptr<Probe> probe(const QString& key, const QVariant& value)
{
    return std::make_shared<Probe>(QVariantMap{{key, value}});
}

} // namespace searchtest
