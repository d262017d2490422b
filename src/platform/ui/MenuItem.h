#pragma once

// A menu or toolbar item: a QAction that sends an action (a method name) to a target, or,
// without one, along the responder chain. It carries what validators read and set: tag,
// on/off/mixed state, title, represented object and key equivalent.
//
// Before a menu shows and before an item's shortcut fires, the item is validated: the
// object that would handle its action decides (validateMenuItem, else
// validateUserInterfaceItem, else enabled); with no such object the item is disabled.
// Without a target, the handler is looked for along the responder chain of the window the
// item belongs to (through its menus, menu bar or toolbar), whichever window is active: a
// window's menus work on that window. A free-standing item uses the key window's chain.
// Validators are invokable methods `bool validateMenuItem(platform::MenuItem* item)` and
// `bool validateUserInterfaceItem(QObject* item)`; they may change the title and state.

#include "platform/ui/ModifierKeys.h"

#include <QAction>
#include <QByteArray>
#include <QKeySequence>
#include <QPointer>
#include <QVariant>

class QWidget;

namespace platform {

class MenuItem : public QAction {
    Q_OBJECT
    // As properties, so that an action handler can read them from any sender.
    Q_PROPERTY(int tag READ tag WRITE setTag)
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(QVariant representedObject READ representedObject WRITE setRepresentedObject)

public:
    enum State { OffState = 0, OnState = 1, MixedState = -1 };
    Q_ENUM(State)

    explicit MenuItem(const QString& title = {}, const QByteArray& action = {}, QObject* parent = nullptr);
    ~MenuItem() override;

    // The title is shown as written: an "&" in it is no mnemonic marker.
    QString title() const;
    void setTitle(const QString& title);

    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }
    // Null sends along the responder chain.
    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    State state() const { return m_state; }
    void setState(State state);

    QVariant representedObject() const { return m_representedObject; }
    void setRepresentedObject(const QVariant& object) { m_representedObject = object; }

    QString keyEquivalent() const { return m_keyEquivalent; }
    ModifierFlags keyEquivalentModifierMask() const { return m_keyEquivalentModifierMask; }
    // Command is the default mask, as for menu items everywhere on the platform.
    void setKeyEquivalent(const QString& key, ModifierFlags mask = CommandKeyMask);
    // The platform's bindings of a standard key (Quit, Delete, Select All...), the first as the
    // key equivalent, with Ctrl+= for Zoom In, Ctrl+Shift+S for Save As, Ctrl+Q for Quit and
    // Ctrl+Shift+A for Select None where the platform binds none. No binding leaves the item
    // without a key.
    void setStandardKey(QKeySequence::StandardKey key);

    // Asks the handler of the action; answers (and applies) the enabled state.
    bool validate();
    // What `handler` says of the item (its validateMenuItem, else validateUserInterfaceItem,
    // else enabled), without applying it; for handlers that pass the action on.
    bool isEnabledBy(QObject* handler);
    // The object that handles the item's action now; null when none would.
    QObject* handlerOfAction();
    // The window whose menu bar, menus or toolbar hold the item; null for none.
    QWidget* owningWindow() const;
    // The first object that has `action` along the item's chain: its window's, or the key
    // window's when it has none. For targets that pass the item's action on.
    QObject* firstResponderTo(const QByteArray& action) const;

protected:
    bool event(QEvent* event) override;

private:
    void send();

    QByteArray m_action;
    QPointer<QObject> m_target;
    int m_tag = 0;
    State m_state = OffState;
    QVariant m_representedObject;
    QString m_keyEquivalent;
    ModifierFlags m_keyEquivalentModifierMask = CommandKeyMask;
};

} // namespace platform
