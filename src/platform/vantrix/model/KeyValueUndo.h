#pragma once

// Undo of a key-value change. The inverse sets the old value back through key-value
// coding, so it runs the same setter as the change (observers are told, the redo is
// registered) and the model needs no hand-written inverse per property. The closure holds
// the owner (when it is shared) so an undo can reach an object that left its layer.
//
// A gesture that changes objects at every mouse move opens a CoalescedKeyValueUndo on the
// undo manager: while it is open, key-value undo is kept back, with the first old value of
// each key of each object, and finish() registers one action per object that sets those
// back. That action runs its setters under a coalescing of its own, so its redo is again
// one action per object.

#include "platform/foundation/Markers.h"
#include "platform/foundation/ZQObject.h"

#include <QHash>
#include <QPointer>
#include <QVariant>
#include <algorithm>
#include <memory>
#include <vector>

class ZQUndoManager;

namespace platform {

void registerUndoForKey(ZQUndoManager* undoManager, ZQObject& owner, const QString& key, const QVariant& oldValue);

// The key a setter names with a string literal, made once per thread: a drag changes
// thousands of objects per mouse move, and one shared string per key saves an allocation
// per change and lets undo records compare keys by address.
const QString& keyNamed(const char* literal);

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

class CoalescedKeyValueUndo {
public:
    // The innermost one open on `undoManager` while it registers undo, if any.
    static CoalescedKeyValueUndo* takingChangesOn(const ZQUndoManager* undoManager);

    // Opens on `undoManager` (which may be null); the innermost open one takes the changes.
    explicit CoalescedKeyValueUndo(ZQUndoManager* undoManager);
    // Closes without registering what finish() did not.
    ~CoalescedKeyValueUndo();
    CoalescedKeyValueUndo(const CoalescedKeyValueUndo&) = delete;
    CoalescedKeyValueUndo& operator=(const CoalescedKeyValueUndo&) = delete;

    // Registers one action per changed object, in the order they first changed, and closes.
    void finish();

private:
    friend void registerUndoForKey(ZQUndoManager*, ZQObject&, const QString&, const QVariant&);
    template <class T>
    friend void registerUndoForChange(ZQUndoManager*, ZQObject&, const QString&, const T&);
    struct Record {
        ZQObject* target;
        std::shared_ptr<ZQObject> keeper;
        std::vector<std::pair<QString, QVariant>> oldValues; // first old value per key, in order
    };

    // Keeps the value `makeValue` answers unless the key of that object has one already.
    template <class MakeValue>
    void record(ZQObject& owner, const QString& key, MakeValue&& makeValue)
    {
        auto& values = recordOf(owner).oldValues;
        const auto sameKey = [&key](const auto& entry) {
            return entry.first.constData() == key.constData() || entry.first == key;
        };
        if (std::none_of(values.begin(), values.end(), sameKey))
            values.emplace_back(key, makeValue());
    }
    Record& recordOf(ZQObject& owner);
    void close();

    QPointer<ZQUndoManager> m_undoManager;
    const ZQUndoManager* m_openedOn; // the address, kept when the manager goes
    bool m_open = false;
    std::vector<Record> m_records;
    QHash<const ZQObject*, size_t> m_recordOfObject;
    size_t m_lastRecord = 0;
};

// registerUndoForKey for a setter's old value, made into a QVariant only when it is kept: an
// open coalescing keeps the first old value of each key only, and a drag changes the same keys
// of the same objects at every move.
template <class T>
void registerUndoForChange(ZQUndoManager* undoManager, ZQObject& owner, const QString& key, const T& oldValue)
{
    // Objects in no document yet (decoded, pasted, imported) have none: no copy of the value.
    if (!undoManager)
        return;
    if (CoalescedKeyValueUndo* open = CoalescedKeyValueUndo::takingChangesOn(undoManager))
        open->record(owner, key, [&oldValue] { return undoValue(oldValue); });
    else
        registerUndoForKey(undoManager, owner, key, undoValue(oldValue));
}

} // namespace platform
