#include "platform/ui/MenuItem.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Application.h"
#include "platform/ui/ResponderChain.h"

#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSet>

namespace platform {

namespace {

// Items with key equivalents are validated when their keys are pressed, before Qt looks
// the shortcut up, so an item disabled at its last validation can still fire.
class ShortcutValidator : public QObject {
public:
    static ShortcutValidator& instance()
    {
        static auto* validator = new ShortcutValidator;
        return *validator;
    }

    void add(MenuItem* item)
    {
        if (!m_installed && QCoreApplication::instance()) {
            QCoreApplication::instance()->installEventFilter(this);
            m_installed = true;
        }
        m_items.insert(item);
    }
    void remove(MenuItem* item) { m_items.remove(item); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride || m_items.isEmpty())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
        for (MenuItem* item : QSet<MenuItem*>(m_items))
            if (m_items.contains(item) && item->shortcuts().contains(pressed))
                item->validate();
        return false;
    }

private:
    QSet<MenuItem*> m_items;
    bool m_installed = false;
};

const QIcon& mixedStateIcon()
{
    static const QIcon icon = [] {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.fillRect(QRect(4, 7, 8, 2), Qt::black);
        return QIcon(pixmap);
    }();
    return icon;
}

// Keys people expect beside the platform's binding, which may be none: Ctrl+= zooms in on
// keyboards where + needs Shift; Save As is Ctrl+Shift+S, Quit Ctrl+Q and Select None
// Ctrl+Shift+A on every Linux desktop, whatever key scheme the platform theme reports.
QList<QKeySequence> expectedKeys(QKeySequence::StandardKey key)
{
    switch (key) {
    case QKeySequence::ZoomIn:
        return {QKeySequence(Qt::CTRL | Qt::Key_Equal)};
    case QKeySequence::SaveAs:
        return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
    case QKeySequence::Quit:
        return {QKeySequence(Qt::CTRL | Qt::Key_Q)};
    case QKeySequence::Deselect:
        return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)};
    default:
        return {};
    }
}

bool invokeValidator(QObject* validator, const QByteArray& selector, MenuItem* item)
{
    bool enabled = true;
    const QMetaMethod method = findMethod(validator, selector, 1);
    const QVariant answer = invokeMethod(validator, method, {QVariant::fromValue<QObject*>(item)});
    if (answer.canConvert<bool>())
        enabled = answer.toBool();
    return enabled;
}

QString actionText(QString title)
{
    return title.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

MenuItem::MenuItem(const QString& title, const QByteArray& action, QObject* parent)
    : QAction(actionText(title), parent)
    , m_action(action)
{
    // Validators declared where MenuItem is only forward-declared need the type by name.
    qRegisterMetaType<MenuItem*>();
    connect(this, &QAction::triggered, this, &MenuItem::send);
}

MenuItem::~MenuItem()
{
    ShortcutValidator::instance().remove(this);
}

QString MenuItem::title() const
{
    return text().replace(QLatin1String("&&"), QLatin1String("&"));
}

void MenuItem::setTitle(const QString& title)
{
    setText(actionText(title));
}

void MenuItem::setState(State state)
{
    const bool showsMixedIcon = m_state == MixedState;
    m_state = state;
    setCheckable(true);
    setChecked(state == OnState);
    if (state == MixedState)
        setIcon(mixedStateIcon());
    else if (showsMixedIcon)
        setIcon({});
}

void MenuItem::setKeyEquivalent(const QString& key, ModifierFlags mask)
{
    m_keyEquivalent = key;
    m_keyEquivalentModifierMask = mask;
    setShortcut(keySequenceForKeyEquivalent(key, mask));
    if (shortcut().isEmpty())
        ShortcutValidator::instance().remove(this);
    else
        ShortcutValidator::instance().add(this);
}

void MenuItem::setStandardKey(QKeySequence::StandardKey key)
{
    QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
    for (const QKeySequence& expected : expectedKeys(key))
        if (!bindings.contains(expected))
            bindings.append(expected);
    if (bindings.isEmpty())
        return;
    // The key equivalent validates the item when its keys are pressed; lower case, since an
    // upper-case key equivalent adds Shift.
    const QKeyCombination primary = bindings.first()[0];
    const QString keyText = QKeySequence(primary.key()).toString(QKeySequence::PortableText).toLower();
    setKeyEquivalent(keyText, modifierFlagsFromQt(primary.keyboardModifiers()));
    setShortcuts(bindings);
}

QWidget* MenuItem::owningWindow() const
{
    const QList<QObject*> holders = associatedObjects();
    const QObject* holder = holders.isEmpty() ? parent() : holders.first();
    // Menus are windows of their own; the menu bar or widget they drop from is not.
    for (auto* widget = qobject_cast<const QWidget*>(holder); widget; widget = widget->parentWidget())
        if (!qobject_cast<const QMenu*>(widget))
            return widget->window();
    return nullptr;
}

QObject* MenuItem::firstResponderTo(const QByteArray& action) const
{
    QWidget* window = owningWindow();
    if (!window || window == ResponderChain::keyWindow())
        return ResponderChain::firstResponderTo(action);
    for (QObject* responder : ResponderChain::respondersFrom(ResponderChain::focusedWidgetOf(window)))
        if (ResponderChain::respondsToAction(responder, action))
            return responder;
    return nullptr;
}

QObject* MenuItem::handlerOfAction()
{
    return m_target ? Application::targetForActionToFrom(m_action, m_target, this) : firstResponderTo(m_action);
}

bool MenuItem::validate()
{
    bool enabled = false;
    runGuarded("menu validation", [&] {
        QObject* handler = handlerOfAction();
        enabled = handler && isEnabledBy(handler);
    });
    setEnabled(enabled);
    return enabled;
}

bool MenuItem::isEnabledBy(QObject* handler)
{
    if (findMethod(handler, "validateMenuItem", 1).isValid())
        return invokeValidator(handler, "validateMenuItem", this);
    if (findMethod(handler, "validateUserInterfaceItem", 1).isValid())
        return invokeValidator(handler, "validateUserInterfaceItem", this);
    return true;
}

bool MenuItem::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut && !validate())
        return true;
    return QAction::event(event);
}

void MenuItem::send()
{
    const QPointer<MenuItem> self(this);
    if (QObject* handler = handlerOfAction())
        Application::sendActionToFrom(m_action, handler, this);
    // A click toggles a checkable QAction; the state is the validators' to set.
    if (self && isChecked() != (m_state == OnState))
        setChecked(m_state == OnState);
}

} // namespace platform
