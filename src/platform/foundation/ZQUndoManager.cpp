#include "platform/foundation/ZQUndoManager.h"

#include "platform/foundation/EditProgress.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <algorithm>
#include <utility>

namespace platform {

void UndoGroup::performInReverse(EditProgress::Scope& progress) const
{
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        if (const auto* group = std::get_if<std::shared_ptr<UndoGroup>>(&*it)) {
            (*group)->performInReverse(progress);
            continue;
        }
        const Action& action = std::get<Action>(*it);
        if (action.hasTarget && !action.target)
            LogEvent(kStateEvent, QStringLiteral("undo action of '%1' skipped: its target no longer exists")
                                      .arg(m_actionName));
        else
            action.handler();
        progress.step();
    }
}

int UndoGroup::actionCount() const
{
    int count = 0;
    for (const Item& item : m_items) {
        const auto* group = std::get_if<std::shared_ptr<UndoGroup>>(&item);
        count += group ? (*group)->actionCount() : 1;
    }
    return count;
}

bool UndoGroup::removeActionsWithTarget(const QObject* target)
{
    std::erase_if(m_items, [target](Item& item) {
        if (const auto* action = std::get_if<Action>(&item))
            return action->hasTarget && action->target.data() == target;
        return std::get<std::shared_ptr<UndoGroup>>(item)->removeActionsWithTarget(target);
    });
    return m_items.empty();
}

} // namespace platform

ZQUndoManager::ZQUndoManager(QObject* parent)
    : QObject(parent)
{
}

ZQUndoManager::~ZQUndoManager() = default;

// --- Registration ----------------------------------------------------------------------

void ZQUndoManager::registerUndoWithTargetHandler(QObject* target, std::function<void()> handler)
{
    if (!isUndoRegistrationEnabled())
        return;
    if (m_openGroups.empty()) {
        ZQ_ASSERT(m_groupsByEvent, QStringLiteral("undo registered outside any group while events do not group undo"));
        openTopLevelGroup(TopLevel::Automatic);
    }
    if (m_phase == Phase::Normal)
        m_redoStack.clear();
    m_openGroups.back()->m_items.emplace_back(platform::UndoGroup::Action{target, target != nullptr, std::move(handler)});
}

void ZQUndoManager::disableUndoRegistration()
{
    ++m_disabledCount;
}

void ZQUndoManager::enableUndoRegistration()
{
    ZQ_ASSERT(m_disabledCount > 0, QStringLiteral("enableUndoRegistration without disableUndoRegistration"));
    --m_disabledCount;
}

// --- Grouping --------------------------------------------------------------------------

void ZQUndoManager::beginUndoGrouping()
{
    if (m_openGroups.empty())
        openTopLevelGroup(TopLevel::Explicit);
    else
        m_openGroups.push_back(std::make_shared<platform::UndoGroup>());
}

void ZQUndoManager::endUndoGrouping()
{
    const int explicitGroups = groupingLevel() - (m_topLevelKind == TopLevel::Explicit ? 0 : 1);
    ZQ_ASSERT(explicitGroups > 0, QStringLiteral("endUndoGrouping without beginUndoGrouping"));
    if (m_openGroups.size() == 1) {
        closeTopLevelGroup();
        return;
    }
    closeInnermostNestedGroup();
    // The event that opened the automatic group may have ended while this group was open.
    if (m_openGroups.size() == 1 && m_topLevelKind == TopLevel::Automatic)
        scheduleEndOfEvent();
}

void ZQUndoManager::closeAutomaticGroup()
{
    if (m_openGroups.size() == 1 && m_topLevelKind == TopLevel::Automatic)
        closeTopLevelGroup();
}

void ZQUndoManager::openTopLevelGroup(TopLevel kind, const QString& name)
{
    m_openGroups = {std::make_shared<platform::UndoGroup>(name)};
    m_topLevelKind = kind;
    if (kind == TopLevel::Automatic)
        scheduleEndOfEvent();
}

void ZQUndoManager::closeTopLevelGroup()
{
    // Room first: a group that closes is never lost to an allocation failing.
    if (!m_openGroups.front()->isEmpty())
        m_undoStack.reserve(m_undoStack.size() + 1);
    GroupPtr group = std::move(m_openGroups.front());
    m_openGroups.clear();
    if (!group->isEmpty())
        push(m_undoStack, std::move(group), m_topLevelKind);
}

void ZQUndoManager::closeInnermostNestedGroup()
{
    const GroupPtr& inner = m_openGroups.back();
    if (!inner->isEmpty())
        m_openGroups[m_openGroups.size() - 2]->m_items.emplace_back(inner);
    m_openGroups.pop_back();
}

void ZQUndoManager::scheduleEndOfEvent()
{
    if (m_endOfEventScheduled)
        return;
    m_endOfEventScheduled = true;
    platform::RunLoop::performAfterDelay(this, [this] {
        m_endOfEventScheduled = false;
        closeAutomaticGroup();
    }, 0);
}

// --- Action names ----------------------------------------------------------------------

void ZQUndoManager::setActionName(const QString& name)
{
    if (!m_openGroups.empty())
        m_openGroups.front()->m_actionName = name;
}

QString ZQUndoManager::undoActionName() const
{
    const platform::UndoGroup* group = nextUndoGroup();
    return group ? group->actionName() : QString();
}

QString ZQUndoManager::redoActionName() const
{
    return m_redoStack.empty() ? QString() : m_redoStack.back()->actionName();
}

QString ZQUndoManager::undoMenuItemTitle() const
{
    return titleOfUndo(undoActionName());
}

QString ZQUndoManager::redoMenuItemTitle() const
{
    return titleOfRedo(redoActionName());
}

QString ZQUndoManager::titleOfUndo(const QString& name)
{
    return name.isEmpty() ? tr("Undo") : tr("Undo %1").arg(name);
}

QString ZQUndoManager::titleOfRedo(const QString& name)
{
    return name.isEmpty() ? tr("Redo") : tr("Redo %1").arg(name);
}

// --- Undo and redo ---------------------------------------------------------------------

const platform::UndoGroup* ZQUndoManager::nextUndoGroup() const
{
    if (isReadyToUndoOrRedo() && !m_openGroups.empty() && !m_openGroups.front()->isEmpty())
        return m_openGroups.front().get();
    return m_undoStack.empty() ? nullptr : m_undoStack.back().get();
}

bool ZQUndoManager::isReadyToUndoOrRedo() const
{
    return m_phase == Phase::Normal
           && (m_openGroups.empty() || (m_openGroups.size() == 1 && m_topLevelKind == TopLevel::Automatic));
}

bool ZQUndoManager::canUndo() const
{
    return isReadyToUndoOrRedo() && nextUndoGroup();
}

bool ZQUndoManager::canRedo() const
{
    return isReadyToUndoOrRedo() && !m_redoStack.empty();
}

void ZQUndoManager::closeAutomaticGroupBeforeUndoOrRedo()
{
    ZQ_ASSERT(isReadyToUndoOrRedo(), QStringLiteral("undo or redo while undoing, redoing or inside an explicit undo group"));
    closeAutomaticGroup();
}

void ZQUndoManager::undo()
{
    closeAutomaticGroupBeforeUndoOrRedo();
    if (m_undoStack.empty())
        return;
    GroupPtr group = std::move(m_undoStack.back());
    m_undoStack.pop_back();
    perform(group, Phase::Undoing);
}

void ZQUndoManager::redo()
{
    closeAutomaticGroupBeforeUndoOrRedo();
    if (m_redoStack.empty())
        return;
    GroupPtr group = std::move(m_redoStack.back());
    m_redoStack.pop_back();
    perform(group, Phase::Redoing);
}

void ZQUndoManager::undoNestedGroup()
{
    if (m_openGroups.empty()) {
        undo();
        return;
    }
    auto& items = m_openGroups.back()->m_items;
    ZQ_ASSERT(!items.empty() && std::holds_alternative<GroupPtr>(items.back()),
              QStringLiteral("undoNestedGroup: actions were registered after the last nested group"));
    GroupPtr nested = std::get<GroupPtr>(std::move(items.back()));
    items.pop_back();
    perform(nested, Phase::Undoing);
}

bool ZQUndoManager::revertGroupsAboveLevel(int level)
{
    ZQ_ASSERT(level >= 0 && level < groupingLevel(), QStringLiteral("no undo group open above level %1").arg(level));
    while (groupingLevel() > level + 1)
        closeInnermostNestedGroup();
    GroupPtr reverted = std::move(m_openGroups.back());
    m_openGroups.pop_back();
    if (m_openGroups.size() == 1 && m_topLevelKind == TopLevel::Automatic)
        scheduleEndOfEvent();
    try {
        perform(reverted, Phase::Undoing, Outcome::Reverted);
        return true;
    } catch (const std::exception& exception) {
        LogEvent(kStateEvent, QStringLiteral("reverting '%1' stopped: %2")
                                  .arg(reverted->actionName(), QString::fromUtf8(exception.what())));
    } catch (...) {
        LogEvent(kStateEvent, QStringLiteral("reverting '%1' stopped by an unknown exception").arg(reverted->actionName()));
    }
    return false;
}

void ZQUndoManager::perform(const GroupPtr& group, Phase phase, Outcome outcome)
{
    // Groups open around a nested undo wait while the inverse is collected.
    std::vector<GroupPtr> interruptedGroups = std::move(m_openGroups);
    m_openGroups.clear();
    const bool atTopLevel = interruptedGroups.empty();
    const TopLevel interruptedKind = m_topLevelKind;
    const Phase interruptedPhase = m_phase;
    m_phase = phase;

    const auto finish = [&] {
        // The manager is settled before anything that may fail.
        std::vector<GroupPtr> collected = std::exchange(m_openGroups, std::move(interruptedGroups));
        m_topLevelKind = interruptedKind;
        m_phase = interruptedPhase;
        if (outcome == Outcome::Reverted)
            return;
        // Groups that an action opened and left open still belong to the inverse.
        for (size_t i = collected.size(); i > 1; --i)
            if (!collected[i - 1]->isEmpty())
                collected[i - 2]->m_items.emplace_back(collected[i - 1]);
        if (!collected.empty() && !collected.front()->isEmpty())
            push(phase == Phase::Undoing ? m_redoStack : m_undoStack, std::move(collected.front()), TopLevel::Inverse);
        if (atTopLevel)
            platform::NotificationCenter::defaultCenter().postNotificationName(
                phase == Phase::Undoing ? ZQUndoManagerDidUndoChangeNotification : ZQUndoManagerDidRedoChangeNotification,
                this);
    };
    try {
        openTopLevelGroup(TopLevel::Inverse, group->actionName());
        platform::EditProgress::Scope progress(
            phase == Phase::Undoing ? titleOfUndo(group->actionName()) : titleOfRedo(group->actionName()),
            group->actionCount(),
            outcome == Outcome::Reverted ? platform::EditProgress::Failures::Ignore : platform::EditProgress::Failures::Raise);
        group->performInReverse(progress);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void ZQUndoManager::push(std::vector<GroupPtr>& stack, GroupPtr group, TopLevel kind)
{
    stack.push_back(std::move(group));
    trim(stack);
    platform::NotificationCenter::defaultCenter().postNotificationName(
        ZQUndoManagerDidCloseTopLevelGroup, this, {{ZQUndoManagerGroupIsInverse, kind == TopLevel::Inverse}});
}

// --- Removal and limits ----------------------------------------------------------------

void ZQUndoManager::removeAllActions()
{
    m_undoStack.clear();
    m_redoStack.clear();
    for (const GroupPtr& group : m_openGroups)
        group->m_items.clear();
    m_disabledCount = 0;
}

void ZQUndoManager::removeAllActionsWithTarget(QObject* target)
{
    if (!target)
        return;
    const auto emptied = [target](const GroupPtr& group) { return group->removeActionsWithTarget(target); };
    std::erase_if(m_undoStack, emptied);
    std::erase_if(m_redoStack, emptied);
    // Open groups stay open, even when emptied.
    std::for_each(m_openGroups.begin(), m_openGroups.end(), emptied);
}

void ZQUndoManager::setLevelsOfUndo(int levels)
{
    m_levelsOfUndo = std::max(levels, 0);
    trim(m_undoStack);
    trim(m_redoStack);
}

void ZQUndoManager::trim(std::vector<GroupPtr>& stack) const
{
    if (m_levelsOfUndo > 0 && stack.size() > size_t(m_levelsOfUndo))
        stack.erase(stack.begin(), stack.end() - m_levelsOfUndo);
}
