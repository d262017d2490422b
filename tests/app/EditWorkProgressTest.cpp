#include "app/progress/EditWorkProgress.h"
#include "app/progress/ZQProgressController.h"
#include "app/progress/ZQProgressView.h"

#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QWidget>
#include <gtest/gtest.h>

using platform::EditProgress;
using platform::RunLoop;

namespace {

// Stands for a map window: writes down the events that reach it.
class RecordingWindow : public QWidget {
public:
    QList<QEvent::Type> received;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::Paint || event->type() == QEvent::MouseButtonPress || event->type() == QEvent::User)
            received << event->type();
        return QWidget::event(event);
    }
};

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

ZQProgressView* editRow()
{
    for (ZQProgressView* row : ZQProgressController::sharedProgress()->displayedProgressViews()) {
        if (qobject_cast<EditWorkProgress*>(dynamic_cast<QObject*>(row->delegate())))
            return row;
    }
    return nullptr;
}

// Half of an edit's steps, enough to report.
void stepHalfway(EditProgress::Scope& edit)
{
    for (qsizetype i = 0; i < EditProgress::kReportInterval; ++i)
        edit.step();
}

class EditWorkProgressTest : public ::testing::Test {
protected:
    void SetUp() override { RunLoop::setManualClock(false); }
    void TearDown() override
    {
        EditWorkProgress::setShowDelay(m_previousDelay);
        RunLoop::setManualClock(true);
    }

    std::chrono::milliseconds m_previousDelay = EditWorkProgress::setShowDelay(std::chrono::hours(1));
    EditProgressPresenter presenter;
};

} // namespace

TEST_F(EditWorkProgressTest, ALongEditShowsItsRowUntilItEndsAndAShortOneNone)
{
    {
        EditProgress::Scope edit(QStringLiteral("Move"), 2 * EditProgress::kReportInterval);
        stepHalfway(edit);
        EXPECT_EQ(editRow(), nullptr);
    }

    EditWorkProgress::setShowDelay({});
    {
        EditProgress::Scope edit(QStringLiteral("Apply Style"), 2 * EditProgress::kReportInterval);
        stepHalfway(edit);
        ZQProgressView* row = editRow();
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->promptString(), QStringLiteral("Apply Style"));
        EXPECT_EQ(row->fraction(), 0.5);
        EXPECT_TRUE(row->isButtonHidden());
        stepHalfway(edit);
        EXPECT_EQ(row->fraction(), 1.0);
    }
    EXPECT_EQ(editRow(), nullptr);
}

TEST_F(EditWorkProgressTest, WhileTheRowPaintsNothingElseRunsAndWhatWaitedRunsAfterInOrder)
{
    EditWorkProgress::setShowDelay({});
    RecordingWindow map;
    map.show();
    PaintCounter progressPaints;
    ZQProgressController::sharedProgress()->window()->installEventFilter(&progressPaints);
    RunLoop::runUntilIdle();
    map.received.clear();

    ZQUndoManager undo;
    QStringList ran;
    {
        EditProgress::Scope edit(QStringLiteral("Delete"), 2 * EditProgress::kReportInterval);
        undo.registerUndoWithTargetHandler(nullptr, [] {});
        RunLoop::runOnMainThread([&] { ran << "hand-off"; });
        RunLoop::performAfterDelay(nullptr, [&] { ran << "perform"; }, 0);
        QCoreApplication::postEvent(&map, new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(&map, new QEvent(QEvent::User));
        map.update();
        stepHalfway(edit);
        ASSERT_NE(editRow(), nullptr);
        EXPECT_GT(progressPaints.paints, 0);

        undo.registerUndoWithTargetHandler(nullptr, [] {});
        stepHalfway(edit);
        EXPECT_TRUE(ran.isEmpty());
        EXPECT_TRUE(map.received.isEmpty());
    }
    EXPECT_EQ(editRow(), nullptr);

    RunLoop::runUntilIdle();
    EXPECT_EQ(ran, (QStringList{"hand-off", "perform"}));
    EXPECT_EQ(map.received, (QList<QEvent::Type>{QEvent::MouseButtonPress, QEvent::User, QEvent::Paint}));
    // Both halves of the edit are one step to undo.
    EXPECT_EQ(undo.numberOfUndoActions(), 1);
    ZQProgressController::sharedProgress()->window()->removeEventFilter(&progressPaints);
}

// Work the application defers while an edit runs (here a problem to tell, reported by a
// layer's observer, say) waits for the edit's end with the rest, in the order it came.
TEST_F(EditWorkProgressTest, TheApplicationsOwnDeferredWorkWaitsForTheEditToEndInOrder)
{
    EditWorkProgress::setShowDelay({});
    QStringList ran;
    platform::ProblemReporter::setHandler([&](const QString& message, const QString&) { ran << message; });
    const auto removeHandler = qScopeGuard([] { platform::ProblemReporter::setHandler({}); });
    {
        EditProgress::Scope edit(QStringLiteral("Undo Delete"), 2 * EditProgress::kReportInterval);
        RunLoop::runOnMainThread([&] { ran << "hand-off"; });
        platform::ProblemReporter::report(QStringLiteral("problem"), {});
        stepHalfway(edit);
        ASSERT_NE(editRow(), nullptr);
        RunLoop::runOnMainThread([&] { ran << "later hand-off"; });
        stepHalfway(edit);
        EXPECT_TRUE(ran.isEmpty());
    }
    RunLoop::runUntilIdle();
    EXPECT_EQ(ran, (QStringList{"hand-off", "problem", "later hand-off"}));
}
