#include "app/progress/ZQProgressController.h"
#include "app/progress/ZQProgressDelegate.h"
#include "app/progress/ZQProgressView.h"

#include "platform/foundation/RunLoop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QKeyEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>

using platform::RunLoop;

namespace {

class Job : public QObject, public ZQProgressDelegate {
public:
    double progressFractionForProgressShouldCancel(ZQProgressView* progress, bool shouldCancel) override
    {
        ++polls;
        cancelSeen = cancelSeen || shouldCancel;
        if (endAfterPolls > 0 && polls == endAfterPolls)
            progress->endProgress();
        return fraction;
    }

    int polls = 0;
    bool cancelSeen = false;
    double fraction = 0.25;
    int endAfterPolls = 0;
};

class ProgressControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.show();
        QApplication::setActiveWindow(&parent);
        RunLoop::runUntilIdle();
    }

    static bool windowShown(ZQProgressController& controller)
    {
        return controller.isWindowLoaded() && controller.window()->isVisible();
    }

    QWidget parent;
};

} // namespace

TEST_F(ProgressControllerTest, RowsArePolledTenTimesASecondWhileShownAndKeepTheWindowUp)
{
    ZQProgressController controller;
    Job first;
    Job second;
    const auto a = controller.progressViewForDelegate(&first);
    const auto b = controller.progressViewForDelegate(&second);
    RunLoop::runFor(1000);
    EXPECT_EQ(first.polls, 0);
    EXPECT_FALSE(windowShown(controller));

    a->beginProgress();
    a->beginProgress(); // a second begin adds nothing
    std::thread([&] { b->beginProgress(); }).join(); // worker threads hand over to the main thread
    EXPECT_FALSE(b->isInProgress());
    RunLoop::runUntilIdle();
    EXPECT_EQ(controller.displayedProgressViews(), (QList<ZQProgressView*>{a.get(), b.get()}));
    EXPECT_TRUE(windowShown(controller));
    EXPECT_EQ(controller.window()->parentWidget(), nullptr); // rows alone make a free window
    RunLoop::runFor(1000);
    EXPECT_EQ(first.polls, 10);
    EXPECT_FALSE(first.cancelSeen);
    EXPECT_EQ(a->progressBar()->value(), a->progressBar()->maximum() / 4);

    a->endProgress();
    a->endProgress();
    EXPECT_EQ(a->view(), nullptr);
    EXPECT_TRUE(windowShown(controller));
    RunLoop::runFor(300);
    EXPECT_EQ(first.polls, 10);
    EXPECT_EQ(second.polls, 13);

    std::thread([&] { b->endProgress(); }).join();
    RunLoop::runUntilIdle();
    EXPECT_TRUE(controller.displayedProgressViews().isEmpty());
    EXPECT_FALSE(windowShown(controller));
}

TEST_F(ProgressControllerTest, StopButtonReachesTheDelegateAndTheDefaultRowAnswer)
{
    ZQProgressController controller;
    Job job;
    const auto row = controller.progressViewForDelegate(&job);
    row->beginProgress();
    RunLoop::runFor(100);
    EXPECT_FALSE(job.cancelSeen);
    row->stopButton()->click();
    EXPECT_TRUE(row->stopRequested());
    EXPECT_FALSE(row->stopButton()->isEnabled());
    RunLoop::runFor(100);
    EXPECT_TRUE(job.cancelSeen);
    row->endProgress();

    controller.setDefersDisplay(false);
    controller.setMaximumValue(10);
    controller.showOnParent(&parent);
    EXPECT_FALSE(controller.setCurrentValue(3));
    controller.defaultProgressView()->stopButton()->click();
    EXPECT_TRUE(controller.setCurrentValue(4));
    // A new job starts without the old stop request; a hidden button cannot be pressed.
    controller.hide();
    controller.setButtonHidden(true);
    controller.showOnParent(&parent);
    EXPECT_FALSE(controller.setCurrentValue(5));
    EXPECT_TRUE(controller.defaultProgressView()->stopButton()->isHidden());
    controller.hide();
}

TEST_F(ProgressControllerTest, FractionsAreClampedNaNIsBusyAndValuesDivideOnlyByAPositiveMaximum)
{
    ZQProgressController controller;
    Job job;
    const auto row = controller.progressViewForDelegate(&job);
    row->beginProgress();
    QProgressBar* bar = row->progressBar();
    for (const auto& [fraction, expectedValue] : {std::pair{1.7, 1.0}, std::pair{-0.5, 0.0}, std::pair{0.5, 0.5}}) {
        job.fraction = fraction;
        RunLoop::runFor(100);
        EXPECT_EQ(row->fraction(), expectedValue);
        EXPECT_EQ(bar->value(), bar->maximum() * expectedValue);
    }
    job.fraction = std::nan("");
    RunLoop::runFor(100);
    EXPECT_EQ(bar->maximum(), 0);
    row->endProgress();

    ZQProgressView* defaultRow = controller.defaultProgressView();
    EXPECT_FALSE(controller.setCurrentValue(5)); // before any maximum
    EXPECT_EQ(defaultRow->fraction(), 0.0);
    for (const auto& [maximum, value, expected] : {std::tuple<qint64, qint64, double>{0, 5, 0}, {-3, -6, 0},
             {200, 50, 0.25}, {200, 300, 1}, {qint64(1) << 40, qint64(1) << 39, 0.5}}) {
        controller.setMaximumValue(maximum);
        controller.setCurrentValue(value);
        EXPECT_DOUBLE_EQ(defaultRow->fraction(), expected) << value << " of " << maximum;
    }
}

TEST_F(ProgressControllerTest, RowEndedByItsDelegateDuringAPollIsReleasedSafely)
{
    ZQProgressController controller;
    Job job;
    job.endAfterPolls = 3;
    QPointer<ZQProgressView> watched;
    {
        const auto row = controller.progressViewForDelegate(&job);
        watched = row.get();
        row->beginProgress();
    } // the controller holds the only reference now
    RunLoop::runFor(1000);
    EXPECT_EQ(job.polls, 3);
    EXPECT_TRUE(watched.isNull());
    EXPECT_FALSE(windowShown(controller));
}

TEST_F(ProgressControllerTest, DeferredDisplayHoldsTheSheetUntilReleased)
{
    ZQProgressController controller;
    EXPECT_NE(ZQProgressController::sharedProgress(), &controller);
    controller.setProgressBarIndeterminate(true);
    controller.showOnParent(&parent);
    EXPECT_FALSE(windowShown(controller));
    EXPECT_TRUE(controller.displayedProgressViews().isEmpty());

    controller.setDefersDisplay(false);
    ASSERT_TRUE(windowShown(controller));
    QWidget* sheet = controller.window();
    EXPECT_EQ(sheet->parentWidget(), &parent);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(controller.defaultProgressView()->progressBar()->maximum(), 0);

    // The user cannot dismiss it; hide can, and lets go of the parent.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(sheet, &escape);
    EXPECT_TRUE(sheet->isVisible());
    sheet->close();
    EXPECT_TRUE(sheet->isVisible());
    controller.hide();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->parentWidget(), nullptr);
}

TEST_F(ProgressControllerTest, RowsSurviveTheSheetParentClosing)
{
    ZQProgressController controller;
    controller.setDefersDisplay(false);
    Job job;
    const auto row = controller.progressViewForDelegate(&job);
    row->setPromptString("Importing");
    {
        QWidget doomed;
        doomed.show();
        controller.showOnParent(&doomed);
        row->beginProgress();
        EXPECT_EQ(controller.window()->parentWidget(), &doomed);
    }
    EXPECT_FALSE(controller.isWindowLoaded());
    EXPECT_EQ(row->view(), nullptr);
    RunLoop::runFor(200);
    EXPECT_EQ(job.polls, 2);
    // The row shows on in a window of its own.
    EXPECT_TRUE(windowShown(controller));
    EXPECT_EQ(controller.window()->parentWidget(), nullptr);
    EXPECT_EQ(controller.displayedProgressViews(), QList<ZQProgressView*>{row.get()});

    controller.showOnParent(&parent);
    EXPECT_TRUE(windowShown(controller));
    EXPECT_EQ(controller.displayedProgressViews().size(), 2);
    ASSERT_NE(row->view(), nullptr);
    EXPECT_TRUE(controller.window()->isAncestorOf(row->view()));
    row->endProgress();
    controller.hide();
    EXPECT_FALSE(windowShown(controller));
}
