#pragma once

// An edit that is made whole or not at all.
//
// run() makes the edit one undo group. When the edit raises part way (out of memory in the
// middle of a million objects, or while its progress paints), the groups it opened are closed
// and what they hold is undone at once: the model is as it was before, neither stack gains a
// step and no change is counted, so undo, redo and the document's edited mark go on working.
// The caller then gets EditNotDone, which names the edit and says whether it was all taken
// back. Without an undo manager nothing can be taken back.
//
// Main thread only, as the undo manager is.

#include <QString>
#include <exception>
#include <functional>
#include <stdexcept>

class ZQUndoManager;

namespace platform {

class EditNotDone : public std::runtime_error {
public:
    // `cause` is what the edit raised.
    EditNotDone(const QString& actionName, bool undone, const std::exception_ptr& cause);

    const QString& actionName() const { return m_actionName; }
    // Whether the part done was taken back, leaving the model as it was.
    bool isUndone() const { return m_undone; }
    // Whether the edit ran out of memory, in it or in an edit nested in it.
    bool ranOutOfMemory() const { return m_outOfMemory; }

private:
    QString m_actionName;
    bool m_undone;
    bool m_outOfMemory;
};

class WholeEdit {
public:
    // Runs `edit` as one undo group (the edit names the step; `actionName` names the edit when
    // it fails). When it raises, `restore` runs once its part is undone (for what undo does not
    // bring back, such as a selection), then EditNotDone is raised. An edit nested in another
    // that fails is taken back by each in turn.
    static void run(ZQUndoManager* undo, const QString& actionName, const std::function<void()>& edit,
                    const std::function<void()>& restore = {});
};

} // namespace platform
