#pragma once

// The undo history panel: one list of the document's done and undone actions. Choosing a row
// winds the document back or forward to it, one step every half second so the drawing is
// seen to change, while the rest of the interface takes no input.

#include "platform/ui/ViewController.h"

class QListView;
class UndoHistoryListModel;
class ZQUndoManager;
namespace platform {
class UndoGroup;
}

class VLTMUndoHistoryController : public platform::ViewController {
    Q_OBJECT

public:
    static constexpr int kStepInterval = 500;

    VLTMUndoHistoryController();
    ~VLTMUndoHistoryController() override;

    ZQUndoManager* undoManager() const;
    void setUndoManager(ZQUndoManager* undoManager);
    UndoHistoryListModel& historyModel() const { return *m_model; }
    QListView* tableView();

    // Goes to the one selected row: a done row stays done, an undone row becomes the next redo.
    Q_INVOKABLE void goToSelectedHistoryAction(QObject* sender = nullptr);
    void goToRow(int row);

    // Undo or redo step by step until the group is on top of its stack, or nothing is left to
    // step; false when no step was needed.
    bool performUndoUntilGroup(const platform::UndoGroup* group);
    bool performRedoUntilGroup(const platform::UndoGroup* group);

protected:
    QWidget* loadView() override;

private:
    bool stepUntil(bool redo, const platform::UndoGroup* group);

    UndoHistoryListModel* m_model;
};
