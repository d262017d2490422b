#include "inspectors/text/PopUpMenuButton.h"

#include "platform/ui/MenuItem.h"

#include <QMenu>

PopUpMenuButton::PopUpMenuButton(QWidget* parent)
    : QPushButton(parent)
{
    // Long titles (font families) must not widen a narrow panel.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setMinimumWidth(48);
    // Choosing from it leaves the focus where it is, as a font panel does.
    setFocusPolicy(Qt::TabFocus);
}

void PopUpMenuButton::setPopUpMenu(QMenu* menu)
{
    m_menu = menu;
    setMenu(menu);
    selectItem(nullptr);
}

void PopUpMenuButton::selectItem(QAction* item)
{
    m_selected = item;
    setText(item ? item->text() : QString());
}

bool PopUpMenuButton::selectItemWithTag(int tag)
{
    const QList<QAction*> items = m_menu ? m_menu->actions() : QList<QAction*>();
    for (QAction* action : items) {
        if (auto* item = qobject_cast<platform::MenuItem*>(action); item && item->tag() == tag) {
            selectItem(item);
            return true;
        }
    }
    selectItem(nullptr);
    return false;
}
