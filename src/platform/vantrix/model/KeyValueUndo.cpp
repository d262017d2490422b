#include "platform/vantrix/model/KeyValueUndo.h"

#include "platform/foundation/ZQUndoManager.h"

#include <algorithm>
#include <unordered_map>

namespace platform {
namespace {

// The coalescings open on every undo manager, innermost last: rarely more than two, so a
// search from the end costs less at every change than a table would.
std::vector<CoalescedKeyValueUndo*>& openCoalescings()
{
    static std::vector<CoalescedKeyValueUndo*> open;
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

const QString& keyNamed(const char* literal)
{
    // Node-based, so a name handed out stays put while later keys are added.
    thread_local std::unordered_map<const char*, QString> names;
    // A drag asks for the same key for thousands of objects in a row.
    thread_local std::pair<const char*, const QString*> last{nullptr, nullptr};
    if (literal == last.first)
        return *last.second;
    auto found = names.find(literal);
    if (found == names.end())
        found = names.emplace(literal, QString::fromLatin1(literal)).first;
    last = {literal, &found->second};
    return found->second;
}

void registerUndoForKey(ZQUndoManager* undoManager, ZQObject& owner, const QString& key, const QVariant& oldValue)
{
    if (!undoManager || !undoManager->isUndoRegistrationEnabled())
        return;
    if (CoalescedKeyValueUndo* open = CoalescedKeyValueUndo::takingChangesOn(undoManager)) {
        open->record(owner, key, [&oldValue] { return oldValue; });
        return;
    }
    ZQObject* target = &owner;
    std::shared_ptr<ZQObject> keeper = owner.weak_from_this().lock();
    undoManager->registerUndoWithTargetHandler(target, [target, keeper, key, oldValue] {
        target->setValueForKey(oldValue, key);
    });
}

CoalescedKeyValueUndo* CoalescedKeyValueUndo::takingChangesOn(const ZQUndoManager* undoManager)
{
    if (!undoManager || !undoManager->isUndoRegistrationEnabled())
        return nullptr;
    const auto& open = openCoalescings();
    const auto innermost = std::find_if(open.crbegin(), open.crend(), [undoManager](const CoalescedKeyValueUndo* coalescing) {
        return coalescing->m_openedOn == undoManager;
    });
    // A coalescing whose manager died does not take the changes of another at the same address.
    return innermost != open.crend() && (*innermost)->m_undoManager == undoManager ? *innermost : nullptr;
}

CoalescedKeyValueUndo::CoalescedKeyValueUndo(ZQUndoManager* undoManager)
    : m_undoManager(undoManager)
    , m_openedOn(undoManager)
    , m_open(undoManager != nullptr)
{
    if (m_open)
        openCoalescings().push_back(this);
}

CoalescedKeyValueUndo::~CoalescedKeyValueUndo()
{
    close();
}

void CoalescedKeyValueUndo::close()
{
    if (!std::exchange(m_open, false))
        return;
    std::erase(openCoalescings(), this);
}

CoalescedKeyValueUndo::Record& CoalescedKeyValueUndo::recordOf(ZQObject& owner)
{
    // A gesture changes the same objects in the same order at every move: the object of the
    // last change, or the one recorded after it, is most often the one asked for.
    for (const size_t guess : {m_lastRecord, m_lastRecord + 1})
        if (guess < m_records.size() && m_records[guess].target == &owner)
            return m_records[m_lastRecord = guess];
    auto found = m_recordOfObject.constFind(&owner);
    if (found == m_recordOfObject.cend()) {
        found = m_recordOfObject.insert(&owner, m_records.size());
        m_records.push_back({&owner, owner.weak_from_this().lock(), {}});
    }
    return m_records[m_lastRecord = *found];
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
    m_lastRecord = 0;
}

} // namespace platform
