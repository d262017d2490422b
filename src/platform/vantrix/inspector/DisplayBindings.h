#pragma once

// The display setters an inspector shows its key paths through, bound by member pointer so
// that renaming or retyping a setter fails to compile rather than silently leaving its
// control stale. Keys are the last component of a key path. Each has the setter of a shared
// value and, optionally, the one for differing values; without it the setter is given the
// text "<multiple values>". A subclass starts from its parent's table:
//
//     const platform::DisplayBindings& Pane::displayBindings() const
//     {
//         static const auto bindings = platform::DisplayBindings(Base::displayBindings())
//             .bind(u"width"_s, &Pane::setWidth, &Pane::setMixedValueForWidth);
//         return bindings;
//     }
//
// showValueForKeyPath uses a receiver's table when it is a DisplayBindingSource.

#include "platform/foundation/ZQObject.h"

#include <QHash>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <type_traits>

namespace platform {

class DisplayBindings {
public:
    template <class Receiver, class Value>
    DisplayBindings& bind(const QString& key, void (Receiver::*setter)(Value), void (Receiver::*mixed)() = nullptr)
    {
        using Stored = std::remove_cvref_t<Value>;
        Binding binding;
        binding.type = QMetaType::fromType<Stored>();
        binding.show = [setter](ZQObject& object, const QVariant& value) {
            Receiver* receiver = receiverOf<Receiver>(object);
            if (!receiver)
                return;
            if constexpr (std::is_same_v<Stored, QVariant>)
                (receiver->*setter)(value);
            else
                (receiver->*setter)(value.value<Stored>());
        };
        if (mixed) {
            binding.showMixed = [mixed](ZQObject& object) {
                if (Receiver* receiver = receiverOf<Receiver>(object))
                    (receiver->*mixed)();
            };
        }
        m_bindings.insert(key, std::move(binding));
        return *this;
    }

    bool binds(const QString& key) const { return m_bindings.contains(key); }
    QStringList keys() const { return m_bindings.keys(); }

    // Shows `value` on `receiver` through the binding of the key path's last key, converting
    // it to the setter's type; a null for a number and a value the setter cannot take are
    // logged and ignored. False when the key has no binding.
    bool show(ZQObject& receiver, const QVariant& value, const QString& keyPath) const;

private:
    struct Binding {
        QMetaType type;
        std::function<void(ZQObject&, const QVariant&)> show;
        std::function<void(ZQObject&)> showMixed;
    };

    template <class Receiver>
    static Receiver* receiverOf(ZQObject& object)
    {
        auto* receiver = dynamic_cast<Receiver*>(&object);
        if (!receiver)
            reportForeignReceiver(object);
        return receiver;
    }
    static void reportForeignReceiver(const ZQObject& object);

    QHash<QString, Binding> m_bindings;
};

// An inspector that shows values through a table rather than through setters found by name.
class DisplayBindingSource {
public:
    virtual ~DisplayBindingSource() = default;
    virtual const DisplayBindings& displayBindings() const = 0;
};

} // namespace platform
