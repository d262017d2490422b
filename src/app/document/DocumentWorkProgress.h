#pragma once

// The progress of a map's save or open, with Stop.
//
// While the progress window paints and hears Stop, other windows take no input and do not
// close: nothing may change or close what is being saved or opened. Those asked to close
// meanwhile are asked again once the work has ended, and the row says so.

#include "app/progress/WorkProgress.h"

#include <QPointer>
#include <vector>

class DocumentWorkProgress : public WorkProgress {
    Q_OBJECT

public:
    // 0.5 s unless changed; answers the previous delay.
    static std::chrono::milliseconds setShowDelay(std::chrono::milliseconds delay);

    explicit DocumentWorkProgress(QString prompt);
    ~DocumentWorkProgress() override;

protected:
    void runProgressWindowEvents(QWidget* progressWindow) override;

private:
    std::vector<QPointer<QWidget>> m_closesRefused;
};
