#include "library/picker/LibraryPickerHistory.h"

#include "platform/foundation/ZQLog.h"

#include <algorithm>

namespace {

// Puts the state back however the restore ends.
class StateScope {
public:
    StateScope(LibraryPickerHistory::State& state, LibraryPickerHistory::State during)
        : m_state(state)
    {
        m_state = during;
    }
    ~StateScope() { m_state = LibraryPickerHistory::Idle; }
    StateScope(const StateScope&) = delete;
    StateScope& operator=(const StateScope&) = delete;

private:
    LibraryPickerHistory::State& m_state;
};

QString describe(const QList<LibraryPickerHistory::Entry>& entries)
{
    QStringList parts;
    for (const auto& entry : entries)
        parts.append(entry->displayString());
    return u'(' + parts.join(QStringLiteral(", ")) + u')';
}

} // namespace

void LibraryPickerHistory::record(const Entry& entry)
{
    if (m_state == GoingBack)
        return;
    if (m_state == Idle)
        m_forward.clear();
    if (!entry)
        return;
    appendToBack(entry);
    LogEvent(kInfoEvent, QStringLiteral("history: %1").arg(describe(m_back)));
}

void LibraryPickerHistory::appendToBack(const Entry& entry)
{
    if (!m_back.isEmpty() && m_back.last()->isEqualToPickerHistoryItem(*entry))
        return;
    m_back.append(entry);
    if (m_maximumLength > 0 && m_back.size() > m_maximumLength)
        m_back.remove(0, m_back.size() - m_maximumLength);
}

void LibraryPickerHistory::restore(const Entry& entry)
{
    if (m_restore)
        m_restore(entry);
}

bool LibraryPickerHistory::goBack()
{
    if (m_state != Idle || !canGoBack())
        return false;
    StateScope scope(m_state, GoingBack);
    m_forward.append(m_back.takeLast());
    restore(m_back.last());
    return true;
}

bool LibraryPickerHistory::goForward()
{
    if (m_state != Idle || !canGoForward())
        return false;
    StateScope scope(m_state, GoingForward);
    const Entry entry = m_forward.last();
    restore(entry);
    // The restore recorded it when it could show it; an entry it could not show still
    // becomes the present place, as a browser's would.
    m_forward.removeOne(entry);
    appendToBack(entry);
    return true;
}

bool LibraryPickerHistory::goToEntry(const Entry& entry)
{
    if (m_state != Idle || !entry)
        return false;
    if (const qsizetype index = m_back.indexOf(entry); index >= 0) {
        if (index == m_back.size() - 1)
            return false;
        StateScope scope(m_state, GoingBack);
        while (m_back.size() > index + 1)
            m_forward.append(m_back.takeLast());
        restore(entry);
        return true;
    }
    if (const qsizetype index = m_forward.indexOf(entry); index >= 0) {
        StateScope scope(m_state, GoingForward);
        while (m_forward.size() > index)
            appendToBack(m_forward.takeLast());
        restore(entry);
        return true;
    }
    return false;
}

void LibraryPickerHistory::clear(const Entry& present)
{
    m_back.clear();
    m_forward.clear();
    record(present);
}

bool LibraryPickerHistory::validate()
{
    const auto invalid = [](const Entry& entry) { return !entry->isValid(); };
    const qsizetype removed = m_back.removeIf(invalid) + m_forward.removeIf(invalid);
    LogEvent(kInfoEvent, QStringLiteral("history validated: %1").arg(describe(m_back)));
    return removed > 0;
}

QList<LibraryPickerHistory::Entry> LibraryPickerHistory::menuOrder(const QList<Entry>& buffer)
{
    QList<Entry> entries = buffer;
    std::reverse(entries.begin(), entries.end());
    return entries;
}
