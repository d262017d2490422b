#pragma once

// Undo of a key-value change. The inverse sets the old value back through key-value
// coding, so it runs the same setter as the change (observers are told, the redo is
// registered) and the model needs no hand-written inverse per property. The closure holds
// the owner (when it is shared) so an undo can reach an object that left its layer.

#include "platform/foundation/Markers.h"
#include "platform/foundation/ZQObject.h"

#include <QVariant>
#include <memory>

class ZQUndoManager;

namespace platform {

void registerUndoForKey(ZQUndoManager* undoManager, ZQObject& owner, const QString& key, const QVariant& oldValue);

// How an old value travels in an undo closure; objects travel as ZQObjectPtr, no object
// as the null marker (which key-value coding sets as a null pointer).
template <class T>
QVariant undoValue(const T& value)
{
    return QVariant::fromValue(value);
}
template <class T>
QVariant undoValue(const std::shared_ptr<T>& value)
{
    return value ? QVariant::fromValue(ZQObjectPtr(value)) : nullValue();
}

} // namespace platform
