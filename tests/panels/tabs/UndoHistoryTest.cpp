#include "panels/tabs/VLTMUndoHistoryController.h"

#include "panels/tabs/UndoHistoryListModel.h"
#include "platform/foundation/ZQUndoManager.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QListView>
#include <gtest/gtest.h>

namespace {

// Counts a value up and down through undoable named steps.
class History {
public:
    History()
    {
        manager.setGroupsByEvent(false);
        for (const char* name : {"One", "Two", "Three", "Four", "Five"})
            step(name);
        manager.undo();
        manager.undo();
    }
    void step(const QString& name)
    {
        manager.beginUndoGrouping();
        ++value;
        registerInverse(-1);
        manager.setActionName(name);
        manager.endUndoGrouping();
    }
    void registerInverse(int by)
    {
        manager.registerUndoWithTargetHandler(nullptr, [this, by] {
            value += by;
            registerInverse(-by);
        });
    }
    ZQUndoManager manager;
    int value = 0;
};

QStringList rows(const UndoHistoryListModel& model)
{
    QStringList result;
    for (int row = 0; row < model.rowCount(); ++row)
        result << model.data(model.index(row)).toString()
                      + (model.data(model.index(row), Qt::FontRole).value<QFont>().italic() ? "*" : "");
    return result;
}

TEST(UndoHistory, RowsListDoneActionsThenUndoneOnesInItalic)
{
    History history;
    VLTMUndoHistoryController controller;
    const QAbstractItemModelTester tester(&controller.historyModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    controller.setUndoManager(&history.manager);
    EXPECT_EQ(rows(controller.historyModel()), QStringList({"One", "Two", "Three", "Four*", "Five*"}))
        << "undone rows run from the next redo";
    EXPECT_EQ(controller.historyModel().indexOfCurrentUndoPosition(), 2);

    history.step("Six"); // a closed group refreshes the list and drops the redos
    EXPECT_EQ(rows(controller.historyModel()), QStringList({"One", "Two", "Three", "Six"}));

    ZQUndoManager empty;
    controller.setUndoManager(&empty);
    EXPECT_EQ(controller.historyModel().rowCount(), 0);
}

TEST(UndoHistory, ChoosingARowWindsBackOrForwardStepByStep)
{
    History history;
    VLTMUndoHistoryController controller;
    controller.setUndoManager(&history.manager);
    ASSERT_EQ(history.value, 3);

    // The most recent done row and the first undone row change nothing.
    controller.goToRow(2);
    controller.goToRow(3);
    EXPECT_EQ(history.value, 3);
    EXPECT_EQ(history.manager.numberOfRedoActions(), 2);

    controller.goToRow(0);
    EXPECT_EQ(history.value, 1) << "the chosen action stays done";
    EXPECT_EQ(history.manager.numberOfUndoActions(), 1);

    // The last undone row of four: redo stops once it is the next redo, never past it.
    controller.historyModel().undoUpdated();
    ASSERT_EQ(rows(controller.historyModel()).size(), 5);
    controller.goToRow(4);
    EXPECT_EQ(history.value, 4);
    EXPECT_EQ(history.manager.numberOfRedoActions(), 1);

    controller.goToRow(7);
    controller.goToRow(-1);
    EXPECT_EQ(history.value, 4);
}

TEST(UndoHistory, SelectingInTheTableGoesOnlyForOneRow)
{
    History history;
    VLTMUndoHistoryController controller;
    controller.setUndoManager(&history.manager);
    QListView* table = controller.tableView();
    table->setSelectionMode(QAbstractItemView::MultiSelection);
    table->selectionModel()->select(controller.historyModel().index(0), QItemSelectionModel::Select);
    table->selectionModel()->select(controller.historyModel().index(1), QItemSelectionModel::Select);
    controller.goToSelectedHistoryAction();
    EXPECT_EQ(history.value, 3);

    table->selectionModel()->clearSelection();
    table->selectionModel()->select(controller.historyModel().index(1), QItemSelectionModel::Select);
    controller.goToSelectedHistoryAction();
    EXPECT_EQ(history.value, 2);
}

TEST(UndoHistory, SteppingEndsWhenTheUndoManagerGoesAwayBetweenSteps)
{
    auto* manager = new ZQUndoManager;
    manager->setGroupsByEvent(false);
    int undone = 0;
    for (int step = 0; step < 4; ++step) {
        manager->beginUndoGrouping();
        manager->registerUndoWithTargetHandler(nullptr, [manager, &undone] {
            // The map closes while the history winds back.
            if (++undone == 1)
                manager->deleteLater();
        });
        manager->endUndoGrouping();
    }
    VLTMUndoHistoryController controller;
    controller.setUndoManager(manager);
    controller.goToRow(0);
    EXPECT_EQ(undone, 1);
    EXPECT_EQ(controller.undoManager(), nullptr);
}

} // namespace
