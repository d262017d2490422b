#include "platform/vantrix/inspector/DisplayBindings.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/Markers.h"
#include "platform/vantrix/inspector/InspectorValues.h"

namespace platform {

bool DisplayBindings::show(ZQObject& receiver, const QVariant& value, const QString& keyPath) const
{
    const QString key = lastKeyOfKeyPath(keyPath);
    const auto binding = m_bindings.constFind(key);
    if (binding == m_bindings.cend())
        return false;
    if (isMultipleValuesMarker(value) && binding->showMixed) {
        binding->showMixed(receiver);
        return true;
    }
    const QVariant shown = isMultipleValuesMarker(value) ? QVariant(multipleValuesText()) : value;
    if (const std::optional<QVariant> converted =
            valueForDisplaySetter(receiver, shown, binding->type, QStringLiteral("set") + capitalisedKey(key)))
        binding->show(receiver, *converted);
    return true;
}

void DisplayBindings::reportForeignReceiver(const ZQObject& receiver)
{
    ZQ_EXPECT(false, QStringLiteral("display bindings used on %1, which they were not made for").arg(receiver.description()));
}

} // namespace platform
