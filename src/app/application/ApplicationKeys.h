#pragma once

// The application's own commands (New, Open, Close, Quit, Preferences, Help) answer their keys
// in every window the application shows, not only in those with menus.
//
// A window whose menus bind a key answers it there (a map window's menu bar, the library
// manager's). Every other window (the welcome window, palettes, panels) gets, as it first
// shows, an item of its own for each command whose key it does not bind, sent along that
// window's responder chain. Binding a key twice in one window would make Qt drop it as
// ambiguous, hence the check. Modal windows and popups get none: they are answered first.

#include <QByteArray>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

namespace platform {
class MenuItem;
}

class ApplicationKeys : public QObject {
    Q_OBJECT

public:
    struct Command {
        QString title;
        QByteArray action;
        QKeySequence::StandardKey key;
    };
    // The commands in menu order.
    static QList<Command> commands();
    // An item sending the command with `action`, with its title and keys, as menus show it.
    static platform::MenuItem* makeItem(const QByteArray& action, QObject* parent);

    // Gives each window its keys from now on; the application object makes one for its life.
    explicit ApplicationKeys(QObject* parent = nullptr);
    ~ApplicationKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool takesApplicationKeys(const QWidget& window);
    static void bindUnboundKeys(QWidget& window);
};
