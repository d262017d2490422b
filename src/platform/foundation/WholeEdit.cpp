#include "platform/foundation/WholeEdit.h"

#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"

#include <new>

namespace platform {
namespace {

bool isOutOfMemory(const std::exception_ptr& cause)
{
    try {
        std::rethrow_exception(cause);
    } catch (const std::bad_alloc&) {
        return true;
    } catch (const EditNotDone& nested) {
        return nested.ranOutOfMemory();
    } catch (...) {
        return false;
    }
}

// Whether an edit nested in this one, when that is what failed, was taken back.
bool nestedEditUndone(const std::exception_ptr& cause)
{
    try {
        std::rethrow_exception(cause);
    } catch (const EditNotDone& nested) {
        return nested.isUndone();
    } catch (...) {
        return true;
    }
}

std::string describe(const QString& actionName, const std::exception_ptr& cause)
{
    QString reason = QStringLiteral("unknown exception");
    try {
        std::rethrow_exception(cause);
    } catch (const std::exception& exception) {
        reason = QString::fromUtf8(exception.what());
    } catch (...) {
    }
    return QStringLiteral("%1 not done: %2").arg(actionName, reason).toStdString();
}

} // namespace

EditNotDone::EditNotDone(const QString& actionName, bool undone, const std::exception_ptr& cause)
    : std::runtime_error(describe(actionName, cause))
    , m_actionName(actionName)
    , m_undone(undone)
    , m_outOfMemory(isOutOfMemory(cause))
{
}

void WholeEdit::run(ZQUndoManager* undo, const QString& actionName, const std::function<void()>& edit,
                    const std::function<void()>& restore)
{
    const int level = undo ? undo->groupingLevel() : 0;
    // With registration off, what the edit does leaves nothing to undo it with.
    const bool recorded = undo && undo->isUndoRegistrationEnabled();
    if (undo)
        undo->beginUndoGrouping();
    try {
        edit();
    } catch (...) {
        const std::exception_ptr cause = std::current_exception();
        bool undone = undo && undo->revertGroupsAboveLevel(level) && recorded && nestedEditUndone(cause);
        try {
            if (restore)
                restore();
        } catch (...) {
            undone = false;
        }
        LogEvent(kStateEvent, QStringLiteral("'%1' failed part way and was %2")
                                  .arg(actionName, undone ? QStringLiteral("taken back") : QStringLiteral("not all taken back")));
        throw EditNotDone(actionName, undone, cause);
    }
    if (undo)
        undo->endUndoGrouping();
}

} // namespace platform
