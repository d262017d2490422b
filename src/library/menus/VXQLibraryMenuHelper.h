#pragma once

// What the items of one library menu get: a target, an action and options passed on to their
// submenus. Records live in a process-wide table keyed by the menu and leave it when the menu
// is destroyed or the record is replaced.

#include <QByteArray>
#include <QPointer>
#include <memory>

class QAction;
class QMenu;

class VXQLibraryMenuHelper {
public:
    VXQLibraryMenuHelper(QObject* target, const QByteArray& action, int options);

    static VXQLibraryMenuHelper* menuHelperForMenu(const QMenu* menu);
    // Null removes the menu's record.
    static void setMenuHelperForMenu(std::unique_ptr<VXQLibraryMenuHelper> helper, QMenu* menu);

    QObject* target() const { return m_target; }
    QByteArray action() const { return m_action; }
    int options() const { return m_options; }
    // Sets the item's target and action (items that are no MenuItems are left alone).
    void applyToItem(QAction* item) const;

private:
    QPointer<QObject> m_target;
    QByteArray m_action;
    int m_options = 0;
};
