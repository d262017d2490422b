#pragma once

// A placed symbol's tie to its master: the master (shared by every instance of it), the slot
// the master keeps the symbol in among its clients, and the master graphic's rectangle without
// labels, kept relative to the graphic's origin (empty: stale, measured again when asked).
//
// The symbol leaves its master before it goes: the master asks a leaving client for its slot,
// which a link cannot answer from its own destructor.

#include "symbols/masters/VXQSymbolMaster.h"

#include <QRectF>

class SymbolMasterLink {
public:
    explicit SymbolMasterLink(ZQObject& client)
        : m_client(client)
    {
    }
    SymbolMasterLink(const SymbolMasterLink&) = delete;
    SymbolMasterLink& operator=(const SymbolMasterLink&) = delete;

    const VXQSymbolMasterPtr& master() const { return m_master; }
    // Null without a master.
    VXDrawableObject* graphic() const { return m_master ? m_master->object() : nullptr; }
    // A free copy of the graphic carrying the master's attribute template; null without one.
    VXDrawableObjectPtr mutableCopyOfGraphic() const;

    // Leaves the current master's clients and joins those of `master` (none: joins none),
    // with the rectangle already measured for it (an archive's) or a stale one.
    void setMaster(const VXQSymbolMasterPtr& master, const QRectF& masterBounds = {});
    void leave();
    // The same master, and its rectangle as already measured, as `original`.
    void shareWith(const SymbolMasterLink& original) { setMaster(original.m_master, original.m_masterBounds); }

    QRectF masterBounds() const;
    // The master or the graphic's place changed.
    void forgetMasterBounds() { m_masterBounds = {}; }

    quint64 clientIndex() const { return m_clientIndex; }
    void setClientIndex(quint64 index) { m_clientIndex = index; }

private:
    ZQObject& m_client;
    VXQSymbolMasterPtr m_master;
    mutable QRectF m_masterBounds;
    quint64 m_clientIndex = 0;
};
