#pragma once

// One row of a progress window: a prompt, a bar, a stop button and a line of detail.
//
// A row keeps its own state and shows it in a view only while its window displays it, so
// callers may keep a row after its window has gone. A row made for a delegate polls it
// every 0.1 s between beginProgress and endProgress. Both of those may be called from a
// worker thread: they take effect on the main thread.

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQObject.h"

#include <QPointer>
#include <optional>

class QAbstractButton;
class QLabel;
class QProgressBar;
class QWidget;
class ZQProgressController;
class ZQProgressDelegate;

class ZQProgressView : public ZQObject {
    Q_OBJECT

public:
    static constexpr int kPollInterval = 100; // milliseconds

    // The delegate (may be null) must be a QObject: the row stops asking it once it is gone.
    ZQProgressView(ZQProgressController* controller, ZQProgressDelegate* delegate);
    ~ZQProgressView() override;

    ZQProgressDelegate* delegate() const { return m_delegateObject ? m_delegate : nullptr; }

    QString promptString() const { return m_prompt; }
    void setPromptString(const QString& prompt);
    QString additionalInfoString() const { return m_additionalInfo; }
    void setAdditionalInfoString(const QString& info);
    bool isProgressBarIndeterminate() const { return m_indeterminate; }
    void setProgressBarIndeterminate(bool flag);
    // Clamped to 0..1; NaN shows a busy bar until a number arrives.
    double fraction() const { return m_fraction; }
    void setFraction(double fraction);
    // A row without stop button cannot be cancelled.
    bool isButtonHidden() const { return m_buttonHidden; }
    void setButtonHidden(bool flag);
    // Whether the user pressed stop.
    bool stopRequested() const { return m_stopRequested; }
    void resetStopRequest();

    void beginProgress();
    void endProgress();
    bool isInProgress() const { return m_inProgress; }

    // The view while the row is displayed, else null.
    QWidget* view() const;
    QProgressBar* progressBar() const;
    QAbstractButton* stopButton() const;

private:
    friend class ZQProgressController;
    // Builds the row's view; its window owns it.
    QWidget* makeView();
    void updateView();
    void poll();
    void stop();

    QPointer<ZQProgressController> m_controller;
    ZQProgressDelegate* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    std::optional<platform::Timer> m_pollTimer;

    QString m_prompt;
    QString m_additionalInfo;
    double m_fraction = 0.0;
    bool m_indeterminate = false;
    bool m_buttonHidden = false;
    bool m_stopRequested = false;
    bool m_inProgress = false;

    QPointer<QWidget> m_view;
    QPointer<QLabel> m_promptLabel;
    QPointer<QLabel> m_infoLabel;
    QPointer<QProgressBar> m_bar;
    QPointer<QAbstractButton> m_stopButton;
};
