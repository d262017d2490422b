#pragma once

// The picker palette's history, as a browser keeps one: a back buffer whose last entry is the
// present place and a forward buffer whose last entry is the next step forward. It knows no
// window: moving asks the restore function to show an entry, and the palette records what it
// then shows through record(), which leaves the buffers alone while going back.

#include "library/picker/VXQLibraryPickerHistoryItem.h"

#include <QList>
#include <functional>

class LibraryPickerHistory {
public:
    enum State { Idle = 0, GoingBack = 1, GoingForward = 2 };
    using Entry = VXQLibraryPickerHistoryItemPtr;
    using Restore = std::function<void(const Entry& entry)>;

    static constexpr qsizetype kDefaultMaximumLength = 20;

    explicit LibraryPickerHistory(Restore restore = {}) : m_restore(std::move(restore)) {}
    void setRestore(Restore restore) { m_restore = std::move(restore); }

    const QList<Entry>& backBuffer() const { return m_back; }
    const QList<Entry>& forwardBuffer() const { return m_forward; }
    State state() const { return m_state; }
    // 0: no limit.
    qsizetype maximumLength() const { return m_maximumLength; }
    void setMaximumLength(qsizetype length) { m_maximumLength = length; }

    // Nothing while going back. When idle the forward buffer empties first. A null entry (no
    // item chosen) adds nothing; one equal to the present place is not added again; the
    // oldest entries go beyond the maximum length.
    void record(const Entry& entry);

    bool canGoBack() const { return m_back.size() >= 2; }
    bool canGoForward() const { return !m_forward.isEmpty(); }
    bool canClear() const { return canGoBack() || canGoForward(); }

    // Each answers whether it moved; all are ignored while another move is under way.
    bool goBack();
    bool goForward();
    // To an entry of either buffer (the object itself): back entries after it move to the
    // forward buffer, or forward entries up to it to the back buffer, nearest first; the
    // present place and entries of neither buffer change nothing.
    bool goToEntry(const Entry& entry);

    // Empties both buffers, then records the present place afresh.
    void clear(const Entry& present);
    // Drops the entries that are no longer valid; answers whether any went.
    bool validate();

    // The entries of a buffer as its menu lists them, most recent first.
    static QList<Entry> menuOrder(const QList<Entry>& buffer);

private:
    void appendToBack(const Entry& entry);
    void restore(const Entry& entry);

    Restore m_restore;
    QList<Entry> m_back;
    QList<Entry> m_forward;
    State m_state = Idle;
    qsizetype m_maximumLength = kDefaultMaximumLength;
};
