#include "panels/tabs/VLTMTabViewModel.h"

#include "app/sidebar/VLTMTabContentViewController.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/MenuItem.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

constexpr qsizetype NotFound = SidebarTabView::NotFound;

// Records every message as one line; turns away tabs named "unknown", as the document does
// for identifiers it has no panel for.
class RecordingDelegate : public SidebarTabViewDelegate {
public:
    Messages answeredTabViewMessages() const override { return answered; }
    void tabViewWillAddTab(SidebarTabView&, SidebarTab& tab, qsizetype index) override
    {
        log << QStringLiteral("willAdd %1 %2").arg(tab.tabIdentifier()).arg(index);
    }
    void tabViewDidAddTab(SidebarTabView& view, SidebarTab& tab, qsizetype index) override
    {
        log << QStringLiteral("didAdd %1 %2").arg(tab.tabIdentifier()).arg(index);
        if (tab.tabIdentifier() == QLatin1String("unknown") || tab.tabIdentifier().isEmpty())
            view.removeTabFromView(&tab);
    }
    void tabViewWillRemoveTab(SidebarTabView&, SidebarTab& tab) override { log << "willRemove " + tab.tabIdentifier(); }
    void tabViewDidMoveTab(SidebarTabView&, SidebarTab& tab, qsizetype to) override
    {
        log << QStringLiteral("didMove %1 %2").arg(tab.tabIdentifier()).arg(to);
    }
    void tabViewDidSelectTabAtIndex(SidebarTabView&, qsizetype index) override
    {
        log << (index == NotFound ? QStringLiteral("didSelect none") : QStringLiteral("didSelect %1").arg(index));
    }
    void tabViewDidChangeInterfaceState(SidebarTabView&) override { log << QStringLiteral("interface"); }
    void tabViewDidBecomeEmpty(SidebarTabView&) override { log << QStringLiteral("empty"); }

    Messages answered = Messages(0x7f);
    QStringList log;
};

class TabViewModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        defaults()->removeObjectForKey(kVLTMTabViewAlignmentPreferencesKey);
        defaults()->removeObjectForKey(kVLTMTabViewOptionsPreferencesKey);
        view = std::make_unique<VLTMTabViewModel>();
        view->setDelegate(&delegate);
    }
    void TearDown() override
    {
        defaults()->removeObjectForKey(kVLTMTabViewAlignmentPreferencesKey);
        defaults()->removeObjectForKey(kVLTMTabViewOptionsPreferencesKey);
    }
    static platform::UserDefaults* defaults() { return platform::UserDefaults::standardUserDefaults(); }

    void addTabs(const QStringList& identifiers)
    {
        for (const QString& identifier : identifiers)
            view->addTabWithIdentifier(identifier);
        delegate.log.clear();
    }
    QStringList identifiers() const
    {
        QStringList result;
        for (const VLTMTabContentViewPtr& tab : view->tabViews())
            result << tab->tabIdentifier();
        return result;
    }

    RecordingDelegate delegate;
    std::unique_ptr<VLTMTabViewModel> view;
};

QVariantMap state(const QVariant& identifiers, const QVariant& selected = 0, const QVariant& options = 3,
                  const QVariant& alignment = 1)
{
    return {{"identifierList", identifiers}, {"selectedTab", selected}, {"tabOptions", options}, {"tabAlignment", alignment}};
}

TEST_F(TabViewModelTest, OptionsAndAlignmentComeFromTheSharedDefaults)
{
    EXPECT_EQ(view->tabOptions(), 2);
    EXPECT_EQ(view->tabAlignment(), 0);
    EXPECT_EQ(view->currentTab(), NotFound);

    defaults()->setIntegerForKey(0, kVLTMTabViewOptionsPreferencesKey);
    EXPECT_EQ(VLTMTabViewModel().tabOptions(), 2) << "a stored 0 shows icons";

    view->setTabOptions(1);
    view->setTabAlignment(3);
    VLTMTabViewModel later;
    EXPECT_EQ(later.tabOptions(), 1);
    EXPECT_EQ(later.tabAlignment(), 3);
    EXPECT_EQ(delegate.log, QStringList({"interface", "interface"}));
}

TEST_F(TabViewModelTest, NewTabsShowWhatTheOptionsSay)
{
    view->setTabOptions(1);
    VLTMTabContentView* tab = view->addTabWithIdentifier("a");
    EXPECT_TRUE(tab->titleVisible());
    EXPECT_FALSE(tab->iconVisible());
    EXPECT_FALSE(tab->isSelected());
    view->setTabOptions(3);
    EXPECT_TRUE(tab->iconVisible());
}

TEST_F(TabViewModelTest, AddingTellsTheDelegateBeforeAndAfter)
{
    view->addTabWithIdentifier("a");
    view->addTabWithIdentifier("b");
    EXPECT_EQ(delegate.log, QStringList({"willAdd a 0", "didAdd a 0", "interface", "willAdd b 1", "didAdd b 1", "interface"}));
    EXPECT_EQ(view->currentTab(), NotFound) << "adding makes no tab current";

    delegate.answered = RecordingDelegate::Messages(RecordingDelegate::DidAddTab);
    delegate.log.clear();
    view->addTabWithIdentifier("c");
    EXPECT_EQ(delegate.log, QStringList({"didAdd c 2"})) << "only answered messages are sent";

    testsupport::LogCapture log;
    view->addTab(nullptr);
    EXPECT_EQ(view->addTabWithContentViewController(nullptr), nullptr);
    EXPECT_EQ(view->numberOfTabs(), 3);
    EXPECT_TRUE(log.contains("must have valid tab"));
}

TEST_F(TabViewModelTest, SelectingSendsOnlyRealChanges)
{
    addTabs({"a", "b", "c"});
    view->setCurrentTab(1);
    EXPECT_TRUE(view->tabAtIndex(1)->isSelected());
    EXPECT_EQ(delegate.log, QStringList({"didSelect 1", "interface"}));

    delegate.log.clear();
    view->setCurrentTab(1);
    view->setCurrentTab(3);
    view->setCurrentTab(-2);
    EXPECT_TRUE(delegate.log.isEmpty());
    EXPECT_EQ(view->currentTab(), 1);

    view->setCurrentTab(NotFound);
    EXPECT_EQ(delegate.log, QStringList({"didSelect none", "interface"}));
    EXPECT_FALSE(view->tabAtIndex(1)->isSelected());
    EXPECT_EQ(view->selectedTab(), nullptr);

    view->selectTabWithIdentifier("c");
    EXPECT_EQ(view->currentTab(), 2);
    view->selectTabWithIdentifier("zzz");
    EXPECT_EQ(view->currentTab(), 2);
}

TEST_F(TabViewModelTest, RemovingKeepsACurrentTabWhileTabsRemain)
{
    addTabs({"a", "b", "c"});
    view->setCurrentTab(2);
    delegate.log.clear();
    view->removeTabFromView(view->tabAtIndex(2));
    EXPECT_EQ(view->currentTab(), 0);
    EXPECT_TRUE(view->tabAtIndex(0)->isSelected());
    EXPECT_EQ(delegate.log, QStringList({"willRemove c", "didSelect 0", "interface", "interface"}));

    // A tab before the current one leaves: the same tab stays current.
    view->addTabWithIdentifier("d");
    view->setCurrentTab(2);
    view->removeTabFromView(view->tabAtIndex(0));
    EXPECT_EQ(view->currentTab(), 1);
    EXPECT_EQ(view->selectedTab()->tabIdentifier(), "d");

    VLTMTabViewModel other;
    VLTMTabContentView* foreign = other.addTabWithIdentifier("x");
    view->removeTabFromView(foreign);
    EXPECT_EQ(view->numberOfTabs(), 2);
    EXPECT_EQ(other.numberOfTabs(), 1);

    delegate.log.clear();
    view->removeAllTabs();
    EXPECT_EQ(delegate.log, QStringList({"willRemove d", "interface", "willRemove b", "empty", "interface"}))
        << "the view says it is empty before the interface state changes";
    EXPECT_EQ(view->currentTab(), NotFound);
}

TEST_F(TabViewModelTest, MovingCarriesTheCurrentTab)
{
    addTabs({"a", "b", "c", "d"});
    view->setCurrentTab(0);
    delegate.log.clear();
    view->moveTabAtIndex(0, 2);
    EXPECT_EQ(identifiers(), QStringList({"b", "c", "a", "d"}));
    EXPECT_EQ(view->currentTab(), 2);
    EXPECT_EQ(delegate.log, QStringList({"didMove a 2", "interface"}));

    view->moveTabAtIndex(3, 0); // another tab passes the current one
    EXPECT_EQ(view->selectedTab()->tabIdentifier(), "a");

    delegate.log.clear();
    view->moveTabAtIndex(1, 1);
    view->moveTabAtIndex(1, 4);
    view->moveTabAtIndex(NotFound, 0);
    EXPECT_TRUE(delegate.log.isEmpty());

    view->setNumberOfTabs(6);
    EXPECT_EQ(view->numberOfTabs(), 4) << "tabs the delegate turns away are not made again and again";
    delegate.answered = {};
    view->setNumberOfTabs(6);
    EXPECT_EQ(view->numberOfTabs(), 6);
    view->setNumberOfTabs(1);
    EXPECT_EQ(identifiers(), QStringList({"d"}));
}

TEST_F(TabViewModelTest, StateRoundTripsThroughAPropertyList)
{
    addTabs({"a", "b", "c"});
    view->tabAtIndex(1)->setTabIdentifier(QString());
    view->setCurrentTab(2);
    view->setTabOptions(3);
    view->setTabAlignment(2);
    const QVariantMap saved = view->restorableStateInfo();
    EXPECT_EQ(saved.value("identifierList").toStringList(), QStringList({"a", "c"})) << "tabs without identifier are left out";
    EXPECT_EQ(saved.value("selectedTab").toLongLong(), 1) << "counted among the saved tabs";

    const std::optional<QByteArray> xml = platform::PropertyList::toData(saved, platform::PropertyList::Format::Xml);
    ASSERT_TRUE(xml);
    const QVariantMap read = platform::PropertyList::fromData(*xml).value_or(QVariant()).toMap();

    VLTMTabViewModel restored;
    RecordingDelegate restoredDelegate;
    restored.setDelegate(&restoredDelegate);
    restored.restoreWithStateInfo(read);
    EXPECT_EQ(restoredDelegate.log, QStringList({"didAdd a 0", "didAdd c 1", "didSelect 1"}))
        << "no willAdd and no interface change while restoring";
    EXPECT_EQ(restored.tabOptions(), 3);
    EXPECT_EQ(restored.tabAlignment(), 2);
    EXPECT_EQ(restored.selectedTab()->tabIdentifier(), "c");

    view->setCurrentTab(NotFound);
    EXPECT_EQ(quint64(view->restorableStateInfo().value("selectedTab").toULongLong()), quint64(NotFound));
}

TEST_F(TabViewModelTest, StateRoundTripsThroughAKeyedArchive)
{
    addTabs({"a", "b"});
    view->setCurrentTab(1);
    view->setTabAlignment(3);
    const QByteArray archive = view->restorableState();

    VLTMTabViewModel restored;
    restored.restoreFromState(archive);
    EXPECT_EQ(restored.restorableStateInfo().value("identifierList").toStringList(), QStringList({"a", "b"}));
    EXPECT_EQ(restored.currentTab(), 1);
    EXPECT_EQ(restored.tabAlignment(), 3);

    restored.restoreFromState(archive.left(archive.size() / 2));
    restored.restoreFromState(QByteArray("bplist00 and nothing else"));
    EXPECT_EQ(restored.numberOfTabs(), 2) << "unreadable archives change nothing";
    restored.restoreFromState({});
    EXPECT_EQ(restored.numberOfTabs(), 2) << "nor does an empty one";
}

TEST_F(TabViewModelTest, RestoringEmptiesTheViewFirstAndDropsUnknownTabs)
{
    addTabs({"old"});
    view->restoreWithStateInfo(state(QStringList({"a", "unknown", "b", "c"}), 2));
    EXPECT_EQ(identifiers(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(delegate.log.first(), "willRemove old");
    EXPECT_EQ(delegate.log.at(1), "empty");
    EXPECT_EQ(view->selectedTab()->tabIdentifier(), "c") << "the index counts positions in the shortened list";
    EXPECT_FALSE(view->isRestoring());
}

TEST_F(TabViewModelTest, RestoringRefusesBadStates)
{
    addTabs({"a", "b"});
    view->setCurrentTab(1);
    delegate.log.clear();

    view->restoreWithStateInfo({});
    view->restoreWithStateInfo(state(QVariantList(), 0, 1, 3));
    view->restoreWithStateInfo(state("a,b", 0, 1, 3));
    view->restoreWithStateInfo({{"selectedTab", 0}});
    EXPECT_EQ(identifiers(), QStringList({"a", "b"}));
    EXPECT_EQ(view->tabOptions(), 2);
    EXPECT_EQ(view->tabAlignment(), 0);
    EXPECT_EQ(view->currentTab(), 1);
    EXPECT_TRUE(delegate.log.isEmpty());

    for (const QVariant& selected : {QVariant(2), QVariant(-1), QVariant(qint64(1) << 62), QVariant("none")}) {
        view->restoreWithStateInfo(state(QStringList({"a", "b"}), selected));
        EXPECT_EQ(view->currentTab(), NotFound) << selected.toString().toStdString();
    }

    view->restoreWithStateInfo(state(QVariantList({"a", 7, QVariantMap(), "b"}), 1, 0, 9));
    EXPECT_EQ(identifiers(), QStringList({"a", "b"})) << "entries that are not text are turned away";
    EXPECT_EQ(view->tabOptions(), 2) << "options showing nothing fall back to icons";
    EXPECT_EQ(view->tabAlignment(), 9);
}

TEST_F(TabViewModelTest, MenuActionsSetAndCheckOptionsAlignmentAndTabs)
{
    addTabs({"a", "b"});
    view->tabAtIndex(0)->setTitle("Style");
    view->tabAtIndex(1)->setTitle("Layers");

    platform::MenuItem iconAndText("Icon and Text", "iconAndTextAction");
    platform::MenuItem iconOnly("Icon Only", "iconOnlyAction");
    platform::MenuItem right("Right", "tabAlignmentAction");
    right.setTag(2);
    platform::MenuItem layers("Layers", "selectTabWithName");

    view->validateMenuItem(&layers);
    EXPECT_EQ(layers.state(), platform::MenuItem::OffState) << "no tab is current";

    view->iconAndTextAction(&iconAndText);
    view->tabAlignmentAction(&right);
    view->selectTabWithName(&layers);
    EXPECT_EQ(view->tabOptions(), 3);
    EXPECT_EQ(view->tabAlignment(), 2);
    EXPECT_EQ(view->currentTab(), 1);

    for (platform::MenuItem* item : {&iconAndText, &iconOnly, &right, &layers})
        EXPECT_TRUE(view->validateMenuItem(item));
    EXPECT_EQ(iconAndText.state(), platform::MenuItem::OnState);
    EXPECT_EQ(iconOnly.state(), platform::MenuItem::OffState);
    EXPECT_EQ(right.state(), platform::MenuItem::OnState);
    EXPECT_EQ(layers.state(), platform::MenuItem::OnState);
}

} // namespace
