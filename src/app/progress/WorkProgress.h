#pragma once

// The progress of a long job on the main thread, as a row on the shared progress window.
//
// The job reports at its checkpoints through proceed. The row appears only once the job has
// run for its show delay, so short jobs do not flash a window; from then on each report lets
// the progress window paint, and what else may run meanwhile is up to the kind of job. The
// row goes when this object does.

#include "app/progress/ZQProgressDelegate.h"
#include "platform/foundation/ZQObject.h"

#include <QElapsedTimer>
#include <chrono>
#include <memory>

class QWidget;
class ZQProgressView;

class WorkProgress : public ZQObject, public ZQProgressDelegate {
    Q_OBJECT

public:
    ~WorkProgress() override;

    // Records that `fraction` (0..1) is done; false once the user pressed Stop.
    bool proceed(double fraction);

    // A line under the bar about what else is under way, shown with the row.
    void setNote(const QString& note);

    // The row while it is shown, else null.
    ZQProgressView* row() const { return m_row.get(); }

    double progressFractionForProgressShouldCancel(ZQProgressView* progress, bool shouldCancel) override;

protected:
    // A job without Stop shows none: it cannot end half-way.
    WorkProgress(QString prompt, std::chrono::milliseconds showDelay, bool stoppable);

    // Delivers the events the shown progress window needs to paint, and to hear Stop.
    virtual void runProgressWindowEvents(QWidget* progressWindow) = 0;

private:
    QString m_prompt;
    QString m_note;
    std::chrono::milliseconds m_showDelay;
    bool m_stoppable;
    QElapsedTimer m_clock;
    std::shared_ptr<ZQProgressView> m_row;
    double m_fraction = 0.0;
};
