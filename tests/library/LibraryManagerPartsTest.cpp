#include "LibraryManagerTesting.h"

#include "library/manager/LibraryManagerDebugActions.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ResponderChain.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

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

// Every menu the window builds reaches the part that carries its action, through the manager:
// a renamed action method would leave its item dead without a compiler noticing.
TEST_F(ManagerTest, EveryMenuActionOfTheWindowReachesAPartThatValidatesIt)
{
    using platform::MenuItem;
    VXQLibraryPtr roads = libraryWithItems(QStringLiteral("Roads"), {QStringLiteral("Road")});
    VXQLibraryManagerWindowController& window = openManager();
    ASSERT_TRUE(window.selectLibrary(roads.get()));
    window.updateMoveToMenu(window.moveToMenu());

    QList<QMenu*> menus{window.actionMenu()};
    for (QAction* top : window.window()->findChild<QMenuBar*>()->actions())
        menus.append(top->menu());
    for (auto* button : window.window()->findChildren<QToolButton*>())
        if (button->menu())
            menus.append(button->menu());
    // Validation reaches a part that answers for the action, with nothing logged on the way.
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg)
            warnings.append(text);
    });
    QSet<QByteArray> actions;
    for (int next = 0; next < menus.size(); ++next) {
        for (QAction* action : menus[next]->actions()) {
            if (action->menu())
                menus.append(action->menu());
            auto* item = qobject_cast<MenuItem*>(action);
            // Closing, quitting and the clipboard belong to the window, the application and the search field.
            static const QSet<QByteArray> notTheManagers{"performClose", "terminate", "cut", "copy"};
            if (!item || item->action().isEmpty() || notTheManagers.contains(item->action()))
                continue;
            actions.insert(item->action());
            QObject* handler = item->target() ? item->target() : &window;
            EXPECT_TRUE(platform::ResponderChain::respondsToAction(handler, item->action())) << item->action().constData();
            if (!item->target())
                window.validateMenuItem(item);
            item->validate();
        }
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
    EXPECT_GE(actions.size(), 34); // the action, search-mode, move-to, File, Edit and View menus were all walked

    // Actions and check marks go through the manager to the outline's counts and the item list's search modes.
    MenuItem counts(QStringLiteral("Show Category Counts"), "toggleShowCategoryCounts");
    EXPECT_TRUE(window.validateMenuItem(&counts));
    EXPECT_EQ(counts.state(), MenuItem::OffState);
    EXPECT_TRUE(platform::ResponderChain::performAction(&window, "toggleShowCategoryCounts", &counts));
    EXPECT_TRUE(storedDefaults().boolForKey(kLibManagerShowCategoryCounts));
    EXPECT_TRUE(window.validateMenuItem(&counts));
    EXPECT_EQ(counts.state(), MenuItem::OnState);

    MenuItem beginsWith(QStringLiteral("Begins With"), "searchFieldModeAction");
    beginsWith.setTag(1);
    EXPECT_TRUE(platform::ResponderChain::performAction(&window, "searchFieldModeAction", &beginsWith));
    EXPECT_EQ(window.itemList().filterMode(), 1);
    EXPECT_TRUE(window.validateMenuItem(&beginsWith));
    EXPECT_EQ(beginsWith.state(), MenuItem::OnState);

    // A part's refusal is the manager's: nothing to convert without a search, nothing to delete on a library row.
    MenuItem convert(QStringLiteral("Convert"), "searchFieldConvertToSmartCategoryAction");
    EXPECT_FALSE(window.validateMenuItem(&convert));
    window.setFilterString(QStringLiteral("Ro"));
    EXPECT_TRUE(window.validateMenuItem(&convert));
    MenuItem deleteCategory(QStringLiteral("Delete Category"), "deleteCategoryAction");
    EXPECT_FALSE(window.validateMenuItem(&deleteCategory));
    MenuItem unknown(QStringLiteral("Nothing"), "noSuchAction");
    EXPECT_FALSE(window.validateMenuItem(&unknown));
}

} // namespace
