#pragma once

// Lets one window have its events while the work that made it show is part-way, and holds
// everyone else's until the work ends.
//
// deliverOnlyTo runs one turn of the event loop for that window and what it opened: other
// objects' events are kept as copies and posted again, in their order, when the hold ends,
// so no view paints, resizes or closes on a model half-changed and nothing is lost. Timer
// events are dropped, since their timers fire again. User input and socket activity stay
// queued meanwhile.
//
// An event that cannot be copied goes through, since dropping it would lose it. There are two
// kinds: a widget's deferred update, which only asks for a paint that is then held, and a
// queued call (a queued connection, invokeMethod, a zero-delay single shot). Qt deletes a
// posted event once delivered and cannot copy a queued call, and the window needs a whole
// turn of the loop for what the window system tells it (that it is shown, uncovered), in
// which every posted event is sent. So the application defers its own work through
// platform::RunLoop, which holds it; only queued calls from outside run part-way.

#include "app/application/ModalWindowEventFilter.h"

#include <QPointer>
#include <memory>
#include <vector>

class QEvent;

class EventHold : public ModalWindowEventFilter {
    Q_OBJECT

public:
    explicit EventHold(QWidget* window);
    ~EventHold() override;

    void deliverOnlyToWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(QObject* receiver) const;

    struct HeldEvent {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    std::vector<HeldEvent> m_held;
};
