#include "platform/foundation/EditProgress.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "support/EditProgressRecorder.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

using platform::EditProgress;

namespace {

using RecordingPresenter = testsupport::EditProgressRecorder;

} // namespace

TEST(EditProgressTest, NestedScopesReportWithinTheOuterStepUnderTheOutermostName)
{
    RecordingPresenter presenter;
    {
        EditProgress::Scope outer(QStringLiteral("Cut"), 2);
        {
            EditProgress::Scope copy(QStringLiteral("Copy"), 2 * EditProgress::kReportInterval);
            for (qsizetype i = 0; i < 2 * EditProgress::kReportInterval; ++i)
                copy.step();
        }
        {
            // A second pass over the same step would fall back: the fraction holds.
            EditProgress::Scope again(QStringLiteral("Copy"), 2 * EditProgress::kReportInterval);
            for (qsizetype i = 0; i < 2 * EditProgress::kReportInterval; ++i)
                again.step();
        }
        outer.step();
        EditProgress::Scope remove(QStringLiteral("Delete"), 4 * EditProgress::kReportInterval);
        for (qsizetype i = 0; i < 4 * EditProgress::kReportInterval; ++i)
            remove.step();
        EXPECT_THROW(EditProgress::setPresenter(nullptr), platform::AssertionFailure);
    }
    EXPECT_EQ(presenter.events, (QStringList{"begin Cut", "end"}));
    EXPECT_EQ(presenter.fractions, (std::vector<double>{0.25, 0.5, 0.5, 0.5, 0.625, 0.75, 0.875, 1.0}));

    // A short loop reports once, at its end; a scope without steps is done at once.
    presenter.fractions.clear();
    {
        EditProgress::Scope nudge(QStringLiteral("Move"), 3);
        for (int i = 0; i < 3; ++i)
            nudge.step();
        EditProgress::Scope empty(QStringLiteral("Nothing"), 0);
        empty.step();
    }
    EXPECT_EQ(presenter.fractions, (std::vector<double>{1.0, 1.0}));

    // A coder reading within a step reports its part of that step, and is never stopped.
    presenter.fractions.clear();
    {
        EditProgress::Scope paste(QStringLiteral("Paste"), 2);
        const platform::archive::Progress decoding = paste.archiveProgress();
        EXPECT_TRUE(decoding(0.5));
        paste.step();
        EXPECT_TRUE(decoding(0.5));
    }
    EXPECT_EQ(presenter.fractions, (std::vector<double>{0.25, 0.75}));
}

TEST(EditProgressTest, UndoAndRedoOfAGroupReportEachActionAndStillRestoreExactly)
{
    platform::RunLoop::runUntilIdle();
    ZQUndoManager undo;
    std::vector<int> values(3 * EditProgress::kReportInterval, 0);
    // One group of many actions, as a batch edit of many objects would register.
    std::function<void(size_t, int)> set = [&](size_t i, int value) {
        undo.registerUndoWithTargetHandler(nullptr, [&set, i, old = values[i]] { set(i, old); });
        values[i] = value;
    };
    undo.beginUndoGrouping();
    for (size_t i = 0; i < values.size(); ++i)
        set(i, int(i) + 1);
    undo.setActionName(QStringLiteral("Renumber"));
    undo.endUndoGrouping();

    RecordingPresenter presenter;
    undo.undo();
    EXPECT_EQ(values, std::vector<int>(values.size(), 0));
    EXPECT_EQ(presenter.events, (QStringList{"begin Undo Renumber", "end"}));
    EXPECT_EQ(presenter.fractions, (std::vector<double>{1.0 / 3, 2.0 / 3, 1.0}));

    presenter.events.clear();
    presenter.fractions.clear();
    undo.redo();
    for (size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(values[i], int(i) + 1) << i;
    EXPECT_EQ(presenter.events, (QStringList{"begin Redo Renumber", "end"}));
    EXPECT_EQ(presenter.fractions.back(), 1.0);
    EXPECT_EQ(undo.numberOfUndoActions(), 1);
    EXPECT_EQ(undo.numberOfRedoActions(), 0);
}
