// Edits that fail part way are taken back whole: no step, no announcement, no group left open.

#include "platform/foundation/EditProgress.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WholeEdit.h"
#include "platform/foundation/ZQUndoManager.h"
#include "support/EditProgressRecorder.h"

#include <gtest/gtest.h>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

using platform::EditNotDone;
using platform::WholeEdit;

namespace {

// A list whose every append registers its inverse, as the model's setters do.
struct Values : QObject {
    explicit Values(ZQUndoManager& manager) : undo(manager) {}
    void append(int value)
    {
        undo.registerUndoWithTargetHandler(this, [this] { list.pop_back(); });
        list.push_back(value);
    }
    ZQUndoManager& undo;
    std::vector<int> list;
};

// The failure an edit ends with, or none.
std::optional<EditNotDone> failureOf(ZQUndoManager& undo, const std::function<void()>& edit)
{
    try {
        WholeEdit::run(&undo, QStringLiteral("Outer"), edit);
    } catch (const EditNotDone& failure) {
        return failure;
    }
    return std::nullopt;
}

} // namespace

TEST(WholeEdit, AFailedEditIsUndoneUnannouncedInsideTheEventsGroupAndSaysWhatItCouldNotUndo)
{
    platform::RunLoop::runUntilIdle();
    ZQUndoManager undo;
    Values values(undo);
    values.append(1); // the event's group, with content of its own
    const auto failure = failureOf(undo, [&] {
        values.append(2);
        undo.beginUndoGrouping(); // left open by the failure
        WholeEdit::run(&undo, QStringLiteral("Inner"), [&] {
            values.append(3);
            throw std::bad_alloc();
        });
    });
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->isUndone() && failure->ranOutOfMemory());
    EXPECT_EQ(values.list, std::vector<int>{1});
    EXPECT_EQ(undo.groupingLevel(), 1);
    undo.closeAutomaticGroup();
    EXPECT_EQ(undo.numberOfUndoActions(), 1);

    // An undo action that raises, or a presenter that cannot even show the taking back: the
    // first stops it and is said, the second stops nothing.
    struct FailingAtBegin : testsupport::EditProgressRecorder {
        void editBegan(const QString&) override { throw std::bad_alloc(); }
    } presenter;
    const auto stuck = failureOf(undo, [&] {
        values.append(2);
        undo.registerUndoWithTargetHandler(nullptr, [] { throw std::runtime_error("stuck"); });
        values.append(3);
        throw std::runtime_error("disk on fire");
    });
    ASSERT_TRUE(stuck);
    EXPECT_FALSE(stuck->isUndone() || stuck->ranOutOfMemory());
    EXPECT_EQ(values.list, (std::vector<int>{1, 2}));
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_EQ(undo.numberOfUndoActions(), 1);
    EXPECT_EQ(undo.numberOfRedoActions(), 0);
    // A scope whose progress cannot begin is not left open.
    EXPECT_THROW(platform::EditProgress::Scope(QStringLiteral("Edit"), 1), std::bad_alloc);
    EXPECT_NO_THROW(testsupport::EditProgressRecorder{});
}
