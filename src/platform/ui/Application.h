#pragma once

// The application object. No exception crosses the event loop: event delivery is
// guarded, and a failure is logged where it happened. A command (an action, or what the user
// types, clicks or drops) that runs out of memory or an edit that fails is also told to the
// user, with what became of the work: an edit taken back left the map as it was.
//
// Actions travel from here: sendActionToFrom hands an action to its target, or, without
// one, to the first object of the responder chain that has its method. These class-level
// services work under any QApplication (tests run under a plain one); the delegate and
// this object take part in the chain when they exist.

#include <QApplication>
#include <QByteArray>
#include <QPointer>
#include <functional>

namespace platform {

class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);
    ~Application() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // The application delegate: the last object of the responder chain but one.
    static QObject* delegate();
    static void setDelegate(QObject* delegate);

    // The object that would handle `action`: `target` when it has the method (null when it
    // has not), else the first responder that has it.
    static QObject* targetForActionToFrom(const QByteArray& action, QObject* target, QObject* sender);
    // Sends the action with `sender` as its argument; answers whether something handled it.
    // An exception thrown by the handler is logged and the action counts as handled; an
    // allocation that failed is told to the user as well.
    static bool sendActionToFrom(const QByteArray& action, QObject* target, QObject* sender);
    // Runs a command the user gave (`where` names it in the log); answers whether it ended
    // without an exception, which is contained and told as above.
    static bool runCommand(const char* where, const std::function<void()>& work);

    static void beep();
};

} // namespace platform
