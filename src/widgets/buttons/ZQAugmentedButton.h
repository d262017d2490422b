#pragma once

// A push button with a second use: a right click, a Control-click or the Menu key shows a
// transient popover that its delegate supplies (asked once; the answer is kept). The
// layers panel's opacity button is one.

#include "platform/ui/Popover.h"

#include <QByteArray>
#include <QPointer>
#include <QPushButton>

class ZQAugmentedButton;

class ZQAugmentedButtonDelegate {
public:
    virtual ~ZQAugmentedButtonDelegate() = default;
    // The popover to show, kept by the delegate; null shows nothing.
    virtual platform::Popover* popoverForAugmentedButton(ZQAugmentedButton* button) = 0;
    virtual void augmentedButtonWillShowPopover(ZQAugmentedButton* button) {}
    // For the delegate's own use: the button never calls it.
    virtual void augmentedButtonDidClosePopover(ZQAugmentedButton* button) {}
};

// Content of a popover whose controls send an action to a target (the layer opacity
// popover's slider and stepper): the button hands them its popover target and action.
class ZQPopoverControlsReceiver {
public:
    virtual ~ZQPopoverControlsReceiver() = default;
    virtual void setControlsAction(const QByteArray& action) = 0;
    virtual void setTarget(QObject* target) = 0;
};

class ZQAugmentedButton : public QPushButton {
    Q_OBJECT

public:
    explicit ZQAugmentedButton(QWidget* parent = nullptr);

    // The delegate is not owned; one that is a QObject is forgotten when it dies.
    ZQAugmentedButtonDelegate* delegate() const;
    void setDelegate(ZQAugmentedButtonDelegate* delegate);

    // The kept popover, else the delegate's answer, kept from then on.
    platform::Popover* popover();
    void prepareAndShowPopover();

    platform::Popover::Edge preferredEdge() const { return m_preferredEdge; }
    void setPreferredEdge(platform::Popover::Edge edge) { m_preferredEdge = edge; }
    // Kept for the owner; the button does not wait.
    double popoverDelay() const { return m_popoverDelay; }
    void setPopoverDelay(double delay) { m_popoverDelay = delay; }
    QObject* popoverTarget() const { return m_popoverTarget; }
    void setPopoverTarget(QObject* target) { m_popoverTarget = target; }
    QByteArray popoverAction() const { return m_popoverAction; }
    void setPopoverAction(const QByteArray& action) { m_popoverAction = action; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    ZQAugmentedButtonDelegate* m_delegate = nullptr;
    QPointer<QObject> m_delegateObject; // set when the delegate is a QObject
    bool m_delegateIsObject = false;
    QPointer<platform::Popover> m_popover;
    platform::Popover::Edge m_preferredEdge = platform::Popover::MinYEdge;
    double m_popoverDelay = 0;
    QPointer<QObject> m_popoverTarget;
    QByteArray m_popoverAction;
};
