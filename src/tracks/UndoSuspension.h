#pragma once

// Undo registration off on an undo manager for the scope: drag steps, and edits whose undo is
// the caller's. The manager may be null.

#include "platform/foundation/ZQUndoManager.h"

#include <QPointer>

class UndoSuspension {
public:
    explicit UndoSuspension(ZQUndoManager* undoManager) : m_undoManager(undoManager)
    {
        if (m_undoManager)
            m_undoManager->disableUndoRegistration();
    }
    ~UndoSuspension()
    {
        if (m_undoManager)
            m_undoManager->enableUndoRegistration();
    }
    UndoSuspension(const UndoSuspension&) = delete;
    UndoSuspension& operator=(const UndoSuspension&) = delete;

private:
    QPointer<ZQUndoManager> m_undoManager;
};
