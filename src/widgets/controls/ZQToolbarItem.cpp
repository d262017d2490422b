#include "widgets/controls/ZQToolbarItem.h"

#include "platform/foundation/MetaInvoke.h"
#include "widgets/controls/ControlAction.h"

#include <QWidget>

ZQToolbarItem::ZQToolbarItem(QObject* parent)
    : QWidgetAction(parent)
{
}

void ZQToolbarItem::validate()
{
    QWidget* control = defaultWidget();
    const auto* sender = dynamic_cast<ControlAction*>(control);
    QObject* target = sender ? sender->target() : nullptr;
    if (!target)
        return;
    const QMetaMethod validator = platform::findMethod(target, "validateUserInterfaceItem", 1);
    if (!validator.isValid())
        return;
    const QVariant answer = platform::invokeMethod(target, validator, {QVariant::fromValue<QObject*>(control)});
    control->setEnabled(answer.toBool());
}

QString toolbarItemTitle(const QAction& item)
{
    return item.iconText();
}
