#pragma once

// The progress of a long edit, reported through platform::EditProgress: a row named after the
// edit, without Stop, since an edit cannot end half-way.
//
// While the row paints nothing else runs: run-loop work waits, and other windows' and
// objects' events are held until the edit ends. So no view paints or reads the model
// half-changed, no input or close reaches another window, and the edit stays one undo step.

#include "app/progress/WorkProgress.h"
#include "platform/foundation/EditProgress.h"
#include "platform/foundation/RunLoop.h"

#include <optional>

class EventHold;

class EditWorkProgress : public WorkProgress {
    Q_OBJECT

public:
    // 1 s unless changed; answers the previous delay.
    static std::chrono::milliseconds setShowDelay(std::chrono::milliseconds delay);

    explicit EditWorkProgress(QString name);
    ~EditWorkProgress() override;

protected:
    void runProgressWindowEvents(QWidget* progressWindow) override;

private:
    // Both from the first time the row paints until the edit ends.
    std::optional<platform::RunLoop::Hold> m_runLoopHold;
    std::unique_ptr<EventHold> m_eventHold;
};

// Shows every long edit as an EditWorkProgress; the application installs one for its life.
class EditProgressPresenter : public platform::EditProgress::Presenter {
public:
    EditProgressPresenter();
    ~EditProgressPresenter() override;

    void editBegan(const QString& name) override;
    void editProgressed(double fraction) override;
    void editEnded() override;

private:
    platform::EditProgress::Presenter* m_previous;
    std::unique_ptr<EditWorkProgress> m_edit;
};
