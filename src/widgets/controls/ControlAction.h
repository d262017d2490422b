#pragma once

// What a control sends when the user changes it: an action (a method name) to a target,
// or, without a target, along the responder chain. Mixed into the kit's controls; a
// toolbar item reads the target to validate its control.

#include <QByteArray>
#include <QObject>
#include <QPointer>

class QAbstractSlider;

class ControlAction {
public:
    virtual ~ControlAction() = default;

    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }

    // Sends the action with `sender` as its argument; nothing happens without an action.
    void sendActionFrom(QObject* sender) const;

protected:
    // Sends the action after every change the user makes with the slider's mouse or keys,
    // once the new value is in place.
    void sendActionOnUserChanges(QAbstractSlider* slider);

private:
    QPointer<QObject> m_target;
    QByteArray m_action;
};
