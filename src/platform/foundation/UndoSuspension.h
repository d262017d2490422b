#pragma once

// Undo registration off on an undo manager for the scope, for changes that are no edit of the
// user's (setting up a document, the steps of a drag recorded once at its end). The manager
// may be null.

#include "platform/foundation/ZQUndoManager.h"

#include <QPointer>

namespace platform {

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

} // namespace platform
