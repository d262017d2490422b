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
    struct Record {
        ZQObject* target;
        std::shared_ptr<ZQObject> keeper;
        std::vector<std::pair<QString, QVariant>> oldValues; // first old value per key, in order
    };

    void record(ZQObject& owner, const QString& key, const QVariant& oldValue);
    Record& recordOf(ZQObject& owner);
    void close();

    QPointer<ZQUndoManager> m_undoManager;
    bool m_open = false;
    std::vector<Record> m_records;
    QHash<const ZQObject*, size_t> m_recordOfObject;
    size_t m_lastRecord = 0;
};

} // namespace platform
