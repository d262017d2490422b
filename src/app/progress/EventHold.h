#pragma once

// Lets one window have its events while the work that made it show is part-way, and holds
// everyone else's until the work ends.
//
// deliverOnlyTo runs one turn of the event loop for that window and what it opened: other
// objects' events are kept as copies and posted again, in their order, when the hold ends,
// so no view paints, resizes or closes on a model half-changed and nothing is lost. Timer
// events are dropped, since their timers fire again. An event that cannot be copied
// faithfully goes through: dropping it would lose it. User input and socket activity stay
// queued meanwhile.

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
