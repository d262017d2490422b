#pragma once

// The progress of a map's save or open, with Stop, on the shared progress window.
//
// The work runs on the main thread and reports at its checkpoints through proceed, which
// lets the window paint and hear Stop; meanwhile other windows take no input and do not close. The row appears only once the work has run for the
// show delay, so small maps do not flash a window; it goes when this object does.

#include "app/progress/ZQProgressDelegate.h"
#include "platform/foundation/ZQObject.h"

#include <QElapsedTimer>
#include <chrono>
#include <memory>

class ZQProgressView;

class DocumentWorkProgress : public ZQObject, public ZQProgressDelegate {
    Q_OBJECT

public:
    // 0.5 s unless changed; answers the previous delay.
    static std::chrono::milliseconds setShowDelay(std::chrono::milliseconds delay);

    explicit DocumentWorkProgress(QString prompt);
    ~DocumentWorkProgress() override;

    // Records that `fraction` (0..1) is done; false once the user pressed Stop.
    bool proceed(double fraction);

    // The row while it is shown, else null.
    ZQProgressView* row() const { return m_row.get(); }

    double progressFractionForProgressShouldCancel(ZQProgressView* progress, bool shouldCancel) override;

private:
    QString m_prompt;
    QElapsedTimer m_clock;
    std::shared_ptr<ZQProgressView> m_row;
    double m_fraction = 0.0;
};
