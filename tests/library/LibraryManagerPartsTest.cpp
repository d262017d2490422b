#include "LibraryManagerTesting.h"

#include "library/manager/LibraryManagerDebugActions.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ResponderChain.h"

#include <QMenu>

namespace {

// The developer commands exist only behind the environment switch and the Shift+Alt chord.
TEST_F(ManagerTest, DebugCommandsStayOutOfTheShippingWindow)
{
    using namespace platform;
    const QByteArray saved = qgetenv("QUORVANE_DEBUG_MENUS");
    qunsetenv("QUORVANE_DEBUG_MENUS");
    EXPECT_FALSE(LibraryManagerDebugActions::wantedWithModifiers(ShiftKeyMask | OptionKeyMask));
    qputenv("QUORVANE_DEBUG_MENUS", "0");
    EXPECT_FALSE(LibraryManagerDebugActions::wantedWithModifiers(ShiftKeyMask | OptionKeyMask));
    qputenv("QUORVANE_DEBUG_MENUS", "1");
    EXPECT_TRUE(LibraryManagerDebugActions::wantedWithModifiers(ShiftKeyMask | OptionKeyMask));
    EXPECT_FALSE(LibraryManagerDebugActions::wantedWithModifiers(ShiftKeyMask | OptionKeyMask | CommandKeyMask));
    EXPECT_FALSE(LibraryManagerDebugActions::wantedWithModifiers(ShiftKeyMask));
    EXPECT_FALSE(LibraryManagerDebugActions::wantedWithModifiers({}));

    // Switched on but built without the chord: still nothing.
    VXQLibraryManagerWindowController& window = openManager();
    EXPECT_FALSE(window.hasDebugMenu());
    for (QAction* action : window.actionMenu()->actions())
        EXPECT_NE(action->text(), QStringLiteral("Debug"));
    for (const char* action : {"debug_forceWritable", "debug_toggleLock", "debug_gatherOrphanedItemsAction"})
        EXPECT_FALSE(ResponderChain::respondsToAction(&window, action)) << action;
    saved.isNull() ? qunsetenv("QUORVANE_DEBUG_MENUS") : qputenv("QUORVANE_DEBUG_MENUS", saved);

    // The commands themselves: the lock toggle follows the last selected item.
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {QStringLiteral("A"), QStringLiteral("B")});
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    window.itemBrowser()->selectItems(window.sortedAndFilteredItems());
    ASSERT_EQ(window.selection().size(), 2);
    window.selection().first()->setLocked(true);
    const bool expected = !window.selection().last()->locked();
    LibraryManagerDebugActions debug(window);
    debug.debug_toggleLock(nullptr);
    for (const VXQLibraryItemPtr& item : window.selection())
        EXPECT_EQ(item->locked(), expected) << item->name().toStdString();
}

} // namespace
