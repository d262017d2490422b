#pragma once

// A pop-up button over a menu of platform::MenuItems (submenus allowed): pressing shows the
// menu, and the button shows the title of its selected item. Choosing an item sends
// the item's own action; the owner selects items as the values it shows change.

#include <QMenu>
#include <QPointer>
#include <QPushButton>

class PopUpMenuButton : public QPushButton {
    Q_OBJECT

public:
    explicit PopUpMenuButton(QWidget* parent = nullptr);

    // Not owned.
    void setPopUpMenu(QMenu* menu);
    QMenu* popUpMenu() const { return m_menu; }

    // Null shows no title.
    void selectItem(QAction* item);
    QAction* selectedItem() const { return m_selected; }
    // The first top-level item with the tag; false (nothing selected) when none has it.
    bool selectItemWithTag(int tag);

private:
    QPointer<QMenu> m_menu;
    QPointer<QAction> m_selected;
};
