#include "platform/ui/ModifierKeys.h"

#include <QGuiApplication>
#include <array>
#include <utility>

namespace platform {

namespace {

constexpr std::array<std::pair<ModifierFlag, Qt::KeyboardModifier>, 4> kModifierTable{{
    {CommandKeyMask, Qt::ControlModifier},
    {OptionKeyMask, Qt::AltModifier},
    {ShiftKeyMask, Qt::ShiftModifier},
    {ControlKeyMask, Qt::MetaModifier},
}};

} // namespace

ModifierFlags modifierFlagsFromQt(Qt::KeyboardModifiers modifiers)
{
    ModifierFlags flags = 0;
    for (const auto& [flag, qt] : kModifierTable)
        if (modifiers & qt)
            flags |= flag;
    return flags;
}

Qt::KeyboardModifiers qtModifiersFromFlags(ModifierFlags flags)
{
    Qt::KeyboardModifiers modifiers;
    for (const auto& [flag, qt] : kModifierTable)
        if (flags & flag)
            modifiers |= qt;
    return modifiers;
}

ModifierFlags currentModifierFlags()
{
    return modifierFlagsFromQt(QGuiApplication::keyboardModifiers());
}

bool isContextClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    return button == Qt::RightButton
           || (button == Qt::LeftButton && (modifierFlagsFromQt(modifiers) & ControlKeyMask));
}

QKeySequence keySequenceForKeyEquivalent(const QString& key, ModifierFlags mask)
{
    if (key.isEmpty())
        return {};
    const QChar character = key.at(0);
    if (character.isUpper())
        mask |= ShiftKeyMask;
    const QKeySequence base(key.size() == 1 ? QString(character.toUpper()) : key);
    if (base.isEmpty())
        return {};
    return QKeySequence(QKeyCombination(qtModifiersFromFlags(mask), base[0].key()));
}

} // namespace platform
