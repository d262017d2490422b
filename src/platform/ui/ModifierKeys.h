#pragma once

// The platform's modifier keys on a PC keyboard, from one table: Command is Ctrl, Option is
// Alt, Shift is Shift, and Control (left over, as Ctrl is taken) is the Meta key. A
// Control-click is a right-click: code that asks for a context click asks isContextClick.

#include <QKeySequence>
#include <QString>
#include <Qt>

namespace platform {

enum ModifierFlag : quint32 {
    ShiftKeyMask = 1u << 17,
    ControlKeyMask = 1u << 18,
    OptionKeyMask = 1u << 19,
    CommandKeyMask = 1u << 20,
};
using ModifierFlags = quint32;

ModifierFlags modifierFlagsFromQt(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers qtModifiersFromFlags(ModifierFlags flags);

// The flags of the event being handled (the last input event's modifiers).
ModifierFlags currentModifierFlags();

// A right-button press, or a left press with the Control flag.
bool isContextClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

// A menu item's key equivalent: one character (an upper-case letter adds Shift) with a mask
// of modifier flags. An empty key has no sequence.
QKeySequence keySequenceForKeyEquivalent(const QString& key, ModifierFlags mask);

} // namespace platform
