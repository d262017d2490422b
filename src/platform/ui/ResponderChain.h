#pragma once

// Who handles an action sent without a target: the responder chain.
//
// The chain starts at the key window's first responder (its focus widget, else the window)
// and walks up through the parent widgets to the window. After each widget comes the
// controller tied to it (a view controller after its view, a window controller after its
// window) and whatever that controller names as its next responder (a window controller's
// document). When a panel or sheet is the key window, the main window's chain follows. The
// application object (a platform::Application), its delegate and the shared document
// controller close the chain. The first object that has the action's method handles it;
// an object that forwards actions (a ZQObject, an ActionForwarder) also handles those its
// forwarding targets have, passing them on to every target that has them.

#include <QByteArray>
#include <QList>
#include <QObject>

class QWidget;

namespace platform {

// A controller that passes what it does not handle to another object (null: nobody).
class Responder {
public:
    virtual ~Responder() = default;
    virtual QObject* nextResponder() const = 0;
};

// A widget or other object that passes the actions it has no method for to other objects
// (a drawing view to its selected objects).
class ActionForwarder {
public:
    virtual ~ActionForwarder() = default;
    virtual QList<QObject*> forwardingTargetsForAction(const QByteArray& action) const = 0;
};

class ResponderChain {
public:
    // The chain of the key window (then the main window), application-level responders last.
    static QList<QObject*> responders();
    // The chain from a given first responder (null: the application-level responders only).
    static QList<QObject*> respondersFrom(QWidget* firstResponder);

    // The first object of the chain that has the method; null when none has.
    static QObject* firstResponderTo(const QByteArray& action);

    // Whether `object` has a public method or slot named `action` taking the sender (a
    // QObject* or QVariant parameter) or nothing. Signals, and methods of that name that take
    // other arguments, do not count: the action passes them by. A ZQObject or ActionForwarder
    // also answers for the actions it forwards.
    static bool respondsToAction(const QObject* object, const QByteArray& action);
    // Whether `object` itself has the action's method (forwarding left out).
    static bool hasActionMethod(const QObject* object, const QByteArray& action);
    // Whether objects of `objectClass` have the action's method.
    static bool classHasActionMethod(const QMetaObject* objectClass, const QByteArray& action);
    // Invokes the action on `target`, passing `sender` when the method takes a parameter.
    // Answers false when the target has no such method.
    static bool performAction(QObject* target, const QByteArray& action, QObject* sender);

    // Ties a controller to the widget it manages (null unties). The tie ends when either dies.
    static void setControllerForWidget(QWidget* widget, QObject* controller);
    static QObject* controllerForWidget(const QWidget* widget);

    // The active window; the last active ordinary window (not a dialog, panel or popup);
    // the key window's focus widget, else the key window itself.
    static QWidget* keyWindow();
    static QWidget* mainWindow();
    static QWidget* firstResponder();
    // The widget of `window` with the focus, else the window. A menu bar holding the keyboard
    // (after Alt, or Escape out of a menu) stands for what had the focus before it.
    static QWidget* focusedWidgetOf(QWidget* window);
    // Starts following window activation; the application object calls it, as does
    // anything that makes windows. Calling it again does nothing.
    static void trackWindowActivation();

private:
    static QWidget* responderInPlaceOf(QWidget* focus);
};

} // namespace platform
