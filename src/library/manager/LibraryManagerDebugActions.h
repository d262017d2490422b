#pragma once

// The library manager's developer commands: making the factory libraries writable, gathering
// orphaned item packages into a category, toggling item locks, rewriting a category file and
// remaking preview images.
//
// They never reach a shipping window: the manager makes this object (and its "Debug" submenu)
// only when the environment variable QUORVANE_DEBUG_MENUS is set to a non-zero number and
// exactly Shift and Alt are held while the window is built. The manager owns it and forwards
// the debug_ actions to it; it acts through the manager's public interface.

#include "platform/ui/ModifierKeys.h"

#include <QObject>

class QMenu;
class VXQLibraryManagerWindowController;
namespace platform {
class MenuItem;
}

class LibraryManagerDebugActions : public QObject {
    Q_OBJECT

public:
    explicit LibraryManagerDebugActions(VXQLibraryManagerWindowController& manager);

    // Whether a window built while `held` is held gets the debug commands.
    static bool wantedWithModifiers(platform::ModifierFlags held);

    // The "Debug" submenu, its items aimed at this object.
    QMenu* makeMenu(QWidget* parent);

    Q_INVOKABLE void debug_forceWritable(QObject* sender);
    Q_INVOKABLE void debug_gatherOrphanedItemsAction(QObject* sender);
    Q_INVOKABLE void debug_toggleLock(QObject* sender);
    Q_INVOKABLE void debug_forceCatfileUpdate(QObject* sender);
    Q_INVOKABLE void debug_remakePreviewImage(QObject* sender);

    // "Factory Collections Writable" is on, mixed or off as all, some or none of them are.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

private:
    VXQLibraryManagerWindowController& m_manager;
};
