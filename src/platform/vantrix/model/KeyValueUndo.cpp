#include "platform/vantrix/model/KeyValueUndo.h"

#include "platform/foundation/ZQUndoManager.h"

#include <algorithm>

namespace platform {
namespace {

// The coalescings open on each undo manager, innermost last.
QHash<const ZQUndoManager*, std::vector<CoalescedKeyValueUndo*>>& openCoalescings()
{
    static QHash<const ZQUndoManager*, std::vector<CoalescedKeyValueUndo*>> open;
    return open;
}

void setValuesBack(ZQUndoManager* undoManager, ZQObject* target, const std::vector<std::pair<QString, QVariant>>& values)
{
    // Last changed first, as separate undo actions would run: a setter that moves another
    // key along (a free position making the placement free) is undone before that key.
    CoalescedKeyValueUndo inverse(undoManager);
    for (auto value = values.crbegin(); value != values.crend(); ++value)
        target->setValueForKey(value->second, value->first);
    inverse.finish();
}

} // namespace

void registerUndoForKey(ZQUndoManager* undoManager, ZQObject& owner, const QString& key, const QVariant& oldValue)
{
    if (!undoManager || !undoManager->isUndoRegistrationEnabled())
        return;
    // A coalescing whose manager died does not take the changes of another at the same address.
    if (const auto open = openCoalescings().constFind(undoManager);
        open != openCoalescings().cend() && open->back()->m_undoManager == undoManager) {
        open->back()->record(owner, key, oldValue);
        return;
    }
    ZQObject* target = &owner;
    std::shared_ptr<ZQObject> keeper = owner.weak_from_this().lock();
    undoManager->registerUndoWithTargetHandler(target, [target, keeper, key, oldValue] {
        target->setValueForKey(oldValue, key);
    });
}

CoalescedKeyValueUndo::CoalescedKeyValueUndo(ZQUndoManager* undoManager)
    : m_undoManager(undoManager)
    , m_open(undoManager != nullptr)
{
    if (m_open)
        openCoalescings()[undoManager].push_back(this);
}

CoalescedKeyValueUndo::~CoalescedKeyValueUndo()
{
    close();
}

void CoalescedKeyValueUndo::close()
{
    if (!std::exchange(m_open, false))
        return;
    // Keyed by address: the manager may be gone, its entry is still ours to remove.
    auto& open = openCoalescings();
    for (auto it = open.begin(); it != open.end(); ++it) {
        if (std::erase(it.value(), this) > 0) {
            if (it.value().empty())
                open.erase(it);
            break;
        }
    }
}

void CoalescedKeyValueUndo::record(ZQObject& owner, const QString& key, const QVariant& oldValue)
{
    auto found = m_recordOfObject.constFind(&owner);
    if (found == m_recordOfObject.cend()) {
        found = m_recordOfObject.insert(&owner, m_records.size());
        m_records.push_back({&owner, owner.weak_from_this().lock(), {}});
    }
    auto& values = m_records[*found].oldValues;
    if (std::none_of(values.begin(), values.end(), [&key](const auto& entry) { return entry.first == key; }))
        values.emplace_back(key, oldValue);
}

void CoalescedKeyValueUndo::finish()
{
    close();
    ZQUndoManager* undo = m_undoManager;
    if (!undo)
        return;
    for (Record& record : std::exchange(m_records, {})) {
        // The record keeps its object alive, as every undo closure does.
        undo->registerUndoWithTargetHandler(record.target, [undo = QPointer<ZQUndoManager>(undo), record] {
            setValuesBack(undo, record.target, record.oldValues);
        });
    }
    m_recordOfObject.clear();
}

} // namespace platform
