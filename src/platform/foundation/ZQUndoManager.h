#pragma once

// The undo manager: two stacks of action groups, undo and redo.
//
// An action is a closure registered for a target; the closure holds shared_ptrs to what it
// needs, so removed objects live while an undo can bring them back. Registrations go into
// the group being built: an explicit group (beginUndoGrouping / endUndoGrouping, nestable)
// or, when groupsByEvent() is on, an automatic group that opens at the first registration
// of an event-loop turn and closes when the turn ends. A top-level group that closes with
// content lands on the undo stack and "ZQUndoManagerDidCloseTopLevelGroup" is posted on the
// default notification centre with the manager as sender; an empty group is discarded.
//
// An explicit group belongs to whoever began it and stays open until its endUndoGrouping:
// undo and redo wait for it (a gesture spanning many events is such a group), and
// removeAllActions empties it without closing it.
//
// Undoing a group runs its actions in reverse order; what they register meanwhile becomes
// one group on the redo stack (and redoing fills the undo stack the same way). Both report
// their progress as an edit named like the menu item, an action a step. That inverse
// group posts "ZQUndoManagerDidCloseTopLevelGroup" too, with ZQUndoManagerGroupIsInverse true
// in its userInfo, so observers counting changes can tell it from a new one. Once a top-level
// undo or redo has finished, even by an exception, "ZQUndoManagerDidUndoChangeNotification"
// or "ZQUndoManagerDidRedoChangeNotification" follows. A registration made while neither
// undoing nor redoing clears the redo stack.
// Main thread only.

#include "platform/foundation/EditProgress.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

class ZQUndoManager;

inline const QString ZQUndoManagerDidCloseTopLevelGroup = QStringLiteral("ZQUndoManagerDidCloseTopLevelGroup");
inline const QString ZQUndoManagerDidUndoChangeNotification = QStringLiteral("ZQUndoManagerDidUndoChangeNotification");
inline const QString ZQUndoManagerDidRedoChangeNotification = QStringLiteral("ZQUndoManagerDidRedoChangeNotification");
// userInfo key of ZQUndoManagerDidCloseTopLevelGroup: a bool, true for the inverse an undo or redo built.
inline const QString ZQUndoManagerGroupIsInverse = QStringLiteral("ZQUndoManagerGroupIsInverse");

namespace platform {

// A group of undo actions, possibly holding nested groups; read-only outside the manager.
class UndoGroup {
public:
    explicit UndoGroup(QString actionName = {}) : m_actionName(std::move(actionName)) {}

    const QString& actionName() const { return m_actionName; }
    bool isEmpty() const { return m_items.empty(); }
    // The closures it holds, nested groups' included: what a step keeps alive.
    int actionCount() const;

private:
    friend class ::ZQUndoManager;

    struct Action {
        QPointer<QObject> target;
        bool hasTarget = false;
        std::function<void()> handler;
    };
    using Item = std::variant<Action, std::shared_ptr<UndoGroup>>;

    // Runs the actions last to first, nested groups included, a step of `progress` each.
    void performInReverse(EditProgress::Scope& progress) const;
    // Drops the target's actions, and nested groups left empty; answers whether this one is.
    bool removeActionsWithTarget(const QObject* target);

    QString m_actionName;
    std::vector<Item> m_items;
};

} // namespace platform

class ZQUndoManager : public QObject {
    Q_OBJECT

public:
    using Group = std::shared_ptr<const platform::UndoGroup>;

    explicit ZQUndoManager(QObject* parent = nullptr);
    ~ZQUndoManager() override;

    // --- Registration -----------------------------------------------------------------
    // Adds an action to the group being built. `target` (may be null) is what
    // removeAllActionsWithTarget names; an action whose target has died is skipped.
    // Dropped while registration is disabled.
    void registerUndoWithTargetHandler(QObject* target, std::function<void()> handler);

    void disableUndoRegistration();
    // Raises without a matching disableUndoRegistration.
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const { return m_disabledCount == 0; }

    // --- Grouping ---------------------------------------------------------------------
    bool groupsByEvent() const { return m_groupsByEvent; }
    // Without event groups every registration needs an explicit group.
    void setGroupsByEvent(bool flag) { m_groupsByEvent = flag; }
    // With nothing open, opens a top-level group that lasts until its endUndoGrouping,
    // however many event-loop turns that takes.
    void beginUndoGrouping();
    // Raises without a matching beginUndoGrouping.
    void endUndoGrouping();
    // Open groups: the top-level one (automatic, explicit, or collecting an undo's inverse)
    // and those nested in it.
    int groupingLevel() const { return int(m_openGroups.size()); }
    // Ends the current event's automatic group now; the end of the turn does it otherwise.
    void closeAutomaticGroup();

    // --- Action names -----------------------------------------------------------------
    // Names the top-level group being built: while undoing, the group bound for the redo
    // stack; while redoing, the one bound for the undo stack. Ignored when nothing is open.
    void setActionName(const QString& name);
    QString undoActionName() const;
    QString redoActionName() const;
    // "Undo <name>" ("Undo" alone without a name); the same for redo.
    QString undoMenuItemTitle() const;
    QString redoMenuItemTitle() const;

    // --- Undo and redo ----------------------------------------------------------------
    // Whether undo() would undo something now: not while undoing, redoing or inside an
    // explicit group; true while the current event's group has content, as undo closes it first.
    bool canUndo() const;
    bool canRedo() const;
    // Ends the groups opened since the grouping level was `level`, those an exception left open
    // included, by undoing what they hold instead of keeping it: nothing reaches either stack and
    // nothing is announced, as for an edit that was never made. Progress is shown, but a failure
    // to show it does not stop the undoing. Answers false, logged, when an action raised and
    // the undoing stopped there. For an edit that failed part way.
    bool revertGroupsAboveLevel(int level);
    // Closes the current event's group first; raises with an explicit group open. An exception
    // from an action ends the undo (or redo): the group is consumed, what the actions run
    // before it registered goes to the opposite stack, and the exception reaches the caller.
    void undo();
    void redo();
    // Undoes the last group nested in the innermost open group; with nothing open, the
    // top of the undo stack. Raises when actions were registered after that nested group.
    void undoNestedGroup();
    bool isUndoing() const { return m_phase == Phase::Undoing; }
    bool isRedoing() const { return m_phase == Phase::Redoing; }

    // --- Removal and limits -----------------------------------------------------------
    // Empties both stacks and the open groups (which stay open) and re-enables registration.
    void removeAllActions();
    // Removes the target's actions everywhere; groups left empty go too.
    void removeAllActionsWithTarget(QObject* target);
    int levelsOfUndo() const { return m_levelsOfUndo; }
    // The most top-level groups each stack keeps (0: no limit); the oldest go first.
    void setLevelsOfUndo(int levels);

    // --- History ----------------------------------------------------------------------
    // Top-level groups, oldest first: the last element is the top (the next undo or redo).
    QList<Group> undoStack() const { return {m_undoStack.begin(), m_undoStack.end()}; }
    QList<Group> redoStack() const { return {m_redoStack.begin(), m_redoStack.end()}; }
    Group peekUndo() const { return m_undoStack.empty() ? nullptr : m_undoStack.back(); }
    Group peekRedo() const { return m_redoStack.empty() ? nullptr : m_redoStack.back(); }
    int numberOfUndoActions() const { return int(m_undoStack.size()); }
    int numberOfRedoActions() const { return int(m_redoStack.size()); }

private:
    using GroupPtr = std::shared_ptr<platform::UndoGroup>;
    enum class Phase { Normal, Undoing, Redoing };
    enum class TopLevel { Automatic, Explicit, Inverse };

    void openTopLevelGroup(TopLevel kind, const QString& name = {});
    void closeTopLevelGroup();
    void closeInnermostNestedGroup();
    // Undo and redo need a settled manager: not undoing or redoing, no explicit group open.
    bool isReadyToUndoOrRedo() const;
    void closeAutomaticGroupBeforeUndoOrRedo();
    // Pushes a closed top-level group of that kind and announces it.
    void push(std::vector<GroupPtr>& stack, GroupPtr group, TopLevel kind);
    void trim(std::vector<GroupPtr>& stack) const;
    void scheduleEndOfEvent();
    // What the menu item shows for the undo (redo) of a group of that name; also the prompt
    // of its progress.
    static QString titleOfUndo(const QString& name);
    static QString titleOfRedo(const QString& name);
    enum class Outcome { Kept, Reverted };
    // Runs `group` backwards in `phase`, collecting its inverse for the opposite stack; with no
    // group open around it, announces the finished undo or redo. A reverted group leaves no
    // inverse and no announcement.
    void perform(const GroupPtr& group, Phase phase, Outcome outcome = Outcome::Kept);
    // The group undo() would undo: the open event group when it has content, else the top of the stack.
    const platform::UndoGroup* nextUndoGroup() const;

    std::vector<GroupPtr> m_undoStack;
    std::vector<GroupPtr> m_redoStack;
    std::vector<GroupPtr> m_openGroups; // [0] is the top-level group
    TopLevel m_topLevelKind = TopLevel::Automatic;
    Phase m_phase = Phase::Normal;
    int m_disabledCount = 0;
    int m_levelsOfUndo = 0;
    bool m_groupsByEvent = true;
    bool m_endOfEventScheduled = false;
};
