// The undo history panel shown in a window over an undo stack of 50,000 named groups; 200 more
// edits, each timed from its group closing to the list repainted. The figure is the 95th
// percentile in milliseconds: a closed group must not cost a frame however long the history.
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "support/BenchSupport.h"

#include "panels/PanelsClasses.h"
#include "panels/tabs/UndoHistoryListModel.h"
#include "panels/tabs/VLTMUndoHistoryController.h"
#include "platform/foundation/ZQUndoManager.h"

#include <QApplication>
#include <QListView>
#include <chrono>

namespace {

constexpr int kHistory = 50000;
constexpr int kEdits = 200;

void namedGroup(ZQUndoManager& manager, int number)
{
    manager.beginUndoGrouping();
    manager.registerUndoWithTargetHandler(nullptr, [] {});
    manager.setActionName(QStringLiteral("Edit %1").arg(number));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    registerPanelsClasses();

    ZQUndoManager manager;
    manager.setGroupsByEvent(false);
    manager.setLevelsOfUndo(0);
    for (int i = 0; i < kHistory; ++i) {
        namedGroup(manager, i);
        manager.endUndoGrouping();
    }

    VLTMUndoHistoryController controller;
    controller.setUndoManager(&manager);
    QListView* table = controller.tableView();
    table->resize(260, 700);
    table->show();
    table->scrollToBottom();
    QApplication::processEvents();

    std::vector<double> milliseconds;
    for (int i = 0; i < kEdits; ++i) {
        namedGroup(manager, kHistory + i);
        const auto start = std::chrono::steady_clock::now();
        manager.endUndoGrouping();
        table->scrollToBottom();
        table->viewport()->repaint();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    if (controller.historyModel().rowCount() != kHistory + kEdits) {
        std::fprintf(stderr, "the history lists %d rows\n", controller.historyModel().rowCount());
        return 1;
    }
    bench::printValue(QStringLiteral("undo_history_50k"), bench::percentile(milliseconds, 0.95), "ms", 16);
    return 0;
}
