#pragma once

// The target of the Undo and Redo menu items. A window whose delegate (its controller)
// answers YES to willRedirectUndo gets undo and redo while it is the key window, even when
// the focused view or the document would take them first; otherwise they travel the
// responder chain like any other action.

#include <QByteArray>
#include <QObject>

namespace platform {
class MenuItem;
}

class UndoRedirector : public QObject {
    Q_OBJECT

public:
    static UndoRedirector* sharedRedirector();

    // The key window's delegate when it asks for undo and redo; null otherwise.
    static QObject* redirectionTarget();

    Q_INVOKABLE void undo(QObject* sender);
    Q_INVOKABLE void redo(QObject* sender);
    // Asks the object that would handle the item's action; one without a validator (a text
    // field) is enabled while it has something to undo or redo, under the plain title.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

private:
    UndoRedirector() = default;
    // The redirection target when it has the action, else the handler along the chain of the
    // sender's window (a menu item's) or of the key window.
    static QObject* handlerForActionFrom(const QByteArray& action, QObject* sender);
    static void send(const QByteArray& action, QObject* sender);
};
