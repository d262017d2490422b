#include "app/application/ApplicationKeys.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/MenuItem.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSet>
#include <QWidget>
#include <algorithm>
#include <memory>

namespace {

// Marks a window that has been given its keys (they are its children).
constexpr char kKeysGiven[] = "applicationKeysGiven";

QSet<QKeySequence> keysBoundIn(const QWidget& window)
{
    QSet<QKeySequence> bound;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.append(const_cast<QWidget*>(&window));
    for (const QWidget* widget : widgets)
        for (const QAction* action : widget->actions())
            for (const QKeySequence& key : action->shortcuts())
                bound.insert(key);
    return bound;
}

} // namespace

QList<ApplicationKeys::Command> ApplicationKeys::commands()
{
    return {{QObject::tr("New"), "newDocument", QKeySequence::New},
            {QObject::tr("Open..."), "openDocument", QKeySequence::Open},
            {QObject::tr("Close"), "performClose", QKeySequence::Close},
            {QObject::tr("Quit"), "terminate", QKeySequence::Quit},
            {QObject::tr("Preferences..."), "openPreferences", QKeySequence::Preferences},
            {QObject::tr("Quorvane Help"), "showHelpItemWithTitleOfSender", QKeySequence::HelpContents}};
}

platform::MenuItem* ApplicationKeys::makeItem(const QByteArray& action, QObject* parent)
{
    const QList<Command> all = commands();
    const auto command = std::find_if(all.begin(), all.end(), [&](const Command& c) { return c.action == action; });
    ZQ_ASSERT(command != all.end(), QStringLiteral("no application command %1").arg(QString::fromLatin1(action)));
    auto* item = new platform::MenuItem(command->title, command->action, parent);
    item->setStandardKey(command->key);
    return item;
}

ApplicationKeys::ApplicationKeys(QObject* parent)
    : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

ApplicationKeys::~ApplicationKeys() = default;

bool ApplicationKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (takesApplicationKeys(*window))
            bindUnboundKeys(*window);
    }
    return false;
}

bool ApplicationKeys::takesApplicationKeys(const QWidget& window)
{
    if (!window.isWindow() || window.isModal() || window.property(kKeysGiven).toBool())
        return false;
    const Qt::WindowType type = window.windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Tool;
}

void ApplicationKeys::bindUnboundKeys(QWidget& window)
{
    window.setProperty(kKeysGiven, true);
    const QSet<QKeySequence> bound = keysBoundIn(window);
    for (const Command& command : commands()) {
        std::unique_ptr<platform::MenuItem> item(makeItem(command.action, nullptr));
        const QList<QKeySequence> keys = item->shortcuts();
        if (keys.isEmpty() || std::any_of(keys.begin(), keys.end(), [&](const QKeySequence& k) { return bound.contains(k); }))
            continue;
        item->setParent(&window);
        window.addAction(item.release());
    }
}
