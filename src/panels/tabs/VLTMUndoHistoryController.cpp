#include "panels/tabs/VLTMUndoHistoryController.h"

#include "panels/tabs/UndoHistoryListModel.h"
#include "platform/foundation/ZQUndoManager.h"

#include <QEventLoop>
#include <QListView>
#include <QTimer>
#include <utility>

VLTMUndoHistoryController::VLTMUndoHistoryController()
    : m_model(new UndoHistoryListModel(this))
{
    initWithNibName(QStringLiteral("VLTMUndoHistoryController"));
}

VLTMUndoHistoryController::~VLTMUndoHistoryController()
{
    m_model->setUndoManager(nullptr);
}

ZQUndoManager* VLTMUndoHistoryController::undoManager() const
{
    return m_model->undoManager();
}

void VLTMUndoHistoryController::setUndoManager(ZQUndoManager* undoManager)
{
    m_model->setUndoManager(undoManager);
}

QWidget* VLTMUndoHistoryController::loadView()
{
    auto* table = new QListView;
    table->setObjectName(QStringLiteral("undoHistoryTable"));
    table->setModel(m_model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setUniformItemSizes(true); // long histories stay quick to lay out
    connect(table, &QListView::clicked, this, [this] { goToSelectedHistoryAction(); });
    return table;
}

QListView* VLTMUndoHistoryController::tableView()
{
    return qobject_cast<QListView*>(view());
}

void VLTMUndoHistoryController::goToSelectedHistoryAction(QObject*)
{
    const QModelIndexList selected = tableView()->selectionModel()->selectedRows();
    if (selected.size() == 1)
        goToRow(selected.first().row());
}

void VLTMUndoHistoryController::goToRow(int row)
{
    ZQUndoManager* manager = undoManager();
    if (!manager || row < 0)
        return;
    const int current = m_model->indexOfCurrentUndoPosition();
    if (row <= current) {
        const QList<ZQUndoManager::Group> undos = manager->undoStack();
        if (row < undos.size())
            performUndoUntilGroup(undos[row].get());
        return;
    }
    const QList<ZQUndoManager::Group> redos = manager->redoStack();
    const int index = manager->numberOfRedoActions() + manager->numberOfUndoActions() - 1 - row;
    if (index >= 0 && index < redos.size())
        performRedoUntilGroup(redos[index].get());
}

bool VLTMUndoHistoryController::performUndoUntilGroup(const platform::UndoGroup* group)
{
    return stepUntil(false, group);
}

bool VLTMUndoHistoryController::performRedoUntilGroup(const platform::UndoGroup* group)
{
    return stepUntil(true, group);
}

bool VLTMUndoHistoryController::stepUntil(bool redo, const platform::UndoGroup* group)
{
    const QPointer<ZQUndoManager> manager(undoManager());
    const auto arrived = [&] {
        // The check follows every step, so stepping never passes the target or steps an
        // empty stack.
        if (!manager)
            return true;
        return redo ? !manager->canRedo() || manager->peekRedo().get() == group
                    : !manager->canUndo() || manager->peekUndo().get() == group;
    };
    if (arrived())
        return false;

    QEventLoop loop;
    QTimer timer;
    timer.setInterval(kStepInterval);
    const auto depths = [&] { return std::pair(manager->numberOfUndoActions(), manager->numberOfRedoActions()); };
    connect(&timer, &QTimer::timeout, &loop, [&] {
        // Closing the map between two steps takes its undo manager with it.
        if (!manager) {
            loop.quit();
            return;
        }
        const auto before = depths();
        redo ? manager->redo() : manager->undo();
        // A manager that will not step (a group still open) ends the stepping too.
        if (arrived() || depths() == before)
            loop.quit();
    });
    timer.start();
    // Input waits until the steps are done.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return true;
}
