#include "panels/tabs/VLTMTabView.h"

#include "app/sidebar/VLTMTabContentViewController.h"
#include "panels/tabs/VLTMTabViewModel.h"
#include "panels/tabs/VLTMTabViewTitleView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Menu.h"
#include "widgets/paint/ApplicationColours.h"

#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr qsizetype NotFound = SidebarTabView::NotFound;

class EmptyingDelegate : public SidebarTabViewDelegate {
public:
    Messages answeredTabViewMessages() const override { return DidBecomeEmpty | WillAddTab; }
    void tabViewWillAddTab(SidebarTabView&, SidebarTab& tab, qsizetype index) override
    {
        log << QStringLiteral("willAdd %1 %2").arg(tab.tabIdentifier()).arg(index);
    }
    void tabViewDidBecomeEmpty(SidebarTabView&) override { log << QStringLiteral("empty"); }
    QStringList log;
};

std::shared_ptr<VLTMTabContentViewController> panel(const QString& name)
{
    auto controller = std::make_shared<VLTMTabContentViewController>();
    controller->initWithNibName(name);
    controller->setTitle(name);
    return controller;
}

// Two side panels of one window, each a tab view, plus a drag loop the tests steer.
class TabViewWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(700, 300);
        for (VLTMTabView* view : {left, right}) {
            view->setParent(&window);
            view->resize(300, 300);
        }
        right->move(400, 0);
        leftModel.setDelegate(&leftDelegate);
        rightModel.setDelegate(&rightDelegate);
        for (const char* name : {"Style", "Geometry", "Text"})
            leftModel.addTabWithContentViewController(panel(name));
        leftModel.setCurrentTab(0);
        rightModel.addTabWithContentViewController(panel("Layers"));
        rightModel.setCurrentTab(0);
        leftModel.setTabOptions(VLTMTabViewModel::TitlesShown);
        rightModel.setTabOptions(VLTMTabViewModel::TitlesShown);
        leftDelegate.log.clear();
        rightDelegate.log.clear();
        window.show();
    }
    void TearDown() override { VLTMTabView::setDragRunnerForTesting({}); }

    QStringList titles(const VLTMTabViewModel& model) const
    {
        QStringList result;
        for (const VLTMTabContentViewPtr& tab : model.tabViews())
            result << tab->title();
        return result;
    }
    QPoint centreOf(VLTMTabView* view, qsizetype index) const { return view->rectOfTabAtIndex(index).center().toPoint(); }

    static std::unique_ptr<QMimeData> tabData()
    {
        auto data = std::make_unique<QMimeData>();
        data->setData(kVLTMTabViewPasteboardType, kVLTMTabViewPasteboardType.toUtf8());
        return data;
    }

    QWidget window;
    VLTMTabViewModel leftModel;
    VLTMTabViewModel rightModel;
    VLTMTabView* left = new VLTMTabView(leftModel);
    VLTMTabView* right = new VLTMTabView(rightModel);
    EmptyingDelegate leftDelegate;
    EmptyingDelegate rightDelegate;
};

TEST_F(TabViewWidgetTest, AClickSelectsOnReleaseAndOnlyInsideTheTab)
{
    int drags = 0;
    VLTMTabView::setDragRunnerForTesting([&](VLTMTabView&, const QPixmap&) { return ++drags, true; });

    QTest::mousePress(left, Qt::LeftButton, {}, centreOf(left, 1));
    EXPECT_EQ(leftModel.currentTab(), 0) << "nothing changes on the press";
    EXPECT_TRUE(leftModel.tabAtIndex(1)->isHighlighted());
    QTest::mouseRelease(left, Qt::LeftButton, {}, centreOf(left, 1));
    EXPECT_EQ(leftModel.currentTab(), 1);
    EXPECT_FALSE(leftModel.tabAtIndex(1)->isHighlighted());
    EXPECT_TRUE(left->isAncestorOf(leftModel.tabAtIndex(1)->viewController()->view()));
    EXPECT_TRUE(leftModel.tabAtIndex(1)->viewController()->view()->isVisibleTo(left));
    EXPECT_FALSE(leftModel.tabAtIndex(0)->viewController()->view()->isVisibleTo(left));

    // Pressing, leaving the tab and releasing selects nothing and starts no drag.
    QTest::mousePress(left, Qt::LeftButton, {}, centreOf(left, 2));
    QTest::mouseMove(left, QPoint(centreOf(left, 2).x(), 200));
    QTest::mouseRelease(left, Qt::LeftButton, {}, QPoint(centreOf(left, 2).x(), 200));
    platform::RunLoop::runFor(VLTMTabView::kDragDelay * 2);
    EXPECT_EQ(leftModel.currentTab(), 1);
    EXPECT_EQ(drags, 0);

    // Holding the press for half a second picks the tab up.
    QTest::mousePress(left, Qt::LeftButton, {}, centreOf(left, 2));
    platform::RunLoop::runFor(VLTMTabView::kDragDelay - 1);
    EXPECT_EQ(drags, 0);
    platform::RunLoop::runFor(1);
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(leftModel.currentTab(), 2) << "the dragged tab becomes current";
    QTest::mouseRelease(left, Qt::LeftButton, {}, centreOf(left, 2));

    // With Ctrl the drag starts at once.
    QTest::mousePress(left, Qt::LeftButton, Qt::ControlModifier, centreOf(left, 0));
    EXPECT_EQ(drags, 2);
    QTest::mouseRelease(left, Qt::LeftButton, Qt::ControlModifier, centreOf(left, 0));
}

TEST_F(TabViewWidgetTest, TheDragImageShowsTheFramedPanelUnderThePickedUpButtonAlone)
{
    QImage image;
    VLTMTabView::setDragRunnerForTesting([&](VLTMTabView&, const QPixmap& pixmap) {
        image = pixmap.toImage();
        return false;
    });
    QTest::mousePress(left, Qt::LeftButton, Qt::ControlModifier, centreOf(left, 1));
    QTest::mouseRelease(left, Qt::LeftButton, {}, centreOf(left, 1));
    ASSERT_EQ(image.size() / image.devicePixelRatio(), left->size());
    EXPECT_EQ(qAlpha(image.pixel(centreOf(left, 0))), 0) << "other buttons stay behind";
    EXPECT_EQ(qAlpha(image.pixel(centreOf(left, 1))), 255);
    const int middle = (VLTMTabViewTitleView::kStripHeight + left->height()) / 2;
    // Half a pixel of black at one device pixel per point.
    EXPECT_LT(qGray(image.pixel(0, middle)), qGray(VLTMWindowBackgroundColour().rgb()) - 64) << "the panel's frame";
    EXPECT_EQ(image.pixel(left->width() / 2, middle), VLTMWindowBackgroundColour().rgb());
}

TEST_F(TabViewWidgetTest, MovedButtonsGlideFromWhereTheyWereShown)
{
    VLTMTabViewTitleView* strip = left->titleView();
    strip->grab(); // paints
    const QRectF before = left->rectOfTabAtIndex(0);
    leftModel.moveTabAtIndex(0, 2);
    const QRectF after = left->rectOfTabAtIndex(2);
    ASSERT_NE(before, after);
    EXPECT_EQ(strip->shownRectOfTabAtIndex(2), before) << "the glide starts where the button was";
    platform::RunLoop::runFor(120);
    strip->grab(); // paints
    const double x = strip->shownRectOfTabAtIndex(2).x();
    EXPECT_GT(x, before.x());
    EXPECT_LT(x, after.x());
    platform::RunLoop::runFor(400);
    EXPECT_EQ(strip->shownRectOfTabAtIndex(2), after);
}

TEST_F(TabViewWidgetTest, ReorderingInAStripKeepsOrRevertsTheOrder)
{
    bool dropped = true;
    VLTMTabView::setDragRunnerForTesting([&](VLTMTabView& source, const QPixmap& image) {
        EXPECT_FALSE(image.isNull());
        const auto data = tabData();
        VLTMTabViewTitleView* strip = source.titleView();
        EXPECT_TRUE(strip->tabDragEntered(data.get(), &source, centreOf(&source, 0)));
        // Past the middle of the right-hand neighbour, twice.
        strip->tabDragMoved(data.get(), &source, centreOf(&source, 1) + QPoint(3, 0));
        strip->tabDragMoved(data.get(), &source, centreOf(&source, 2) + QPoint(3, 0));
        return dropped && strip->tabDropped(data.get());
    });
    QTest::mousePress(left, Qt::LeftButton, Qt::ControlModifier, centreOf(left, 0));
    QTest::mouseRelease(left, Qt::LeftButton, {}, centreOf(left, 2));
    EXPECT_EQ(titles(leftModel), QStringList({"Geometry", "Text", "Style"}));
    EXPECT_EQ(leftModel.selectedTab()->title(), "Style");
    EXPECT_EQ(leftModel.draggingView(), nullptr);

    // Dropped outside any strip: the tab goes back where it was picked up.
    dropped = false;
    QTest::mousePress(left, Qt::LeftButton, Qt::ControlModifier, centreOf(left, 0));
    QTest::mouseRelease(left, Qt::LeftButton, {}, centreOf(left, 0));
    EXPECT_EQ(titles(leftModel), QStringList({"Geometry", "Text", "Style"}));
    EXPECT_EQ(leftModel.selectedTab()->title(), "Geometry");
}

TEST_F(TabViewWidgetTest, ATabMovesWithItsControllerToTheOtherSidebar)
{
    VLTMTabContentViewController* text = qobject_cast<VLTMTabContentViewController*>(leftModel.tabAtIndex(2)->viewController());
    VLTMTabView::setDragRunnerForTesting([&](VLTMTabView& source, const QPixmap&) {
        const auto data = tabData();
        VLTMTabViewTitleView* strip = right->titleView();
        EXPECT_TRUE(strip->tabDragEntered(data.get(), &source, centreOf(right, 0)));
        EXPECT_EQ(titles(rightModel), QStringList({"Text", "Layers"})) << "a placeholder holds the place";
        EXPECT_EQ(rightModel.currentTab(), 0);
        return strip->tabDropped(data.get());
    });
    QTest::mousePress(left, Qt::LeftButton, Qt::ControlModifier, centreOf(left, 2));
    QTest::mouseRelease(left, Qt::LeftButton, {}, centreOf(left, 2));
    EXPECT_EQ(titles(leftModel), QStringList({"Style", "Geometry"}));
    EXPECT_EQ(leftModel.currentTab(), 0);
    EXPECT_EQ(titles(rightModel), QStringList({"Text", "Layers"}));
    EXPECT_EQ(rightModel.currentTab(), 0);
    EXPECT_EQ(rightModel.tabAtIndex(0)->viewController(), text) << "the tab keeps its controller";
    EXPECT_TRUE(right->isAncestorOf(text->view()));
    EXPECT_EQ(rightDelegate.log, QStringList({"willAdd Text 0"}));

    // The last tab of a sidebar leaves it empty.
    rightModel.setCurrentTab(1);
    VLTMTabView::setDragRunnerForTesting([&](VLTMTabView& source, const QPixmap&) {
        const auto data = tabData();
        left->titleView()->tabDragEntered(data.get(), &source, QPointF(5, 10));
        return left->titleView()->tabDropped(data.get());
    });
    for (int i = 0; i < 2; ++i) {
        QTest::mousePress(right, Qt::LeftButton, Qt::ControlModifier, centreOf(right, 0));
        QTest::mouseRelease(right, Qt::LeftButton, {}, centreOf(right, 0));
    }
    EXPECT_EQ(rightModel.numberOfTabs(), 0);
    EXPECT_EQ(rightDelegate.log.last(), "empty");
    EXPECT_EQ(titles(leftModel).size(), 4);
}

TEST_F(TabViewWidgetTest, StripsRefuseForeignDragsAndForgetPlaceholdersOnExit)
{
    leftModel.setDraggingView(leftModel.tabViews().at(1));
    const auto data = tabData();
    VLTMTabViewTitleView* strip = right->titleView();

    EXPECT_TRUE(strip->tabDragEntered(data.get(), left, QPointF(5, 10)));
    strip->tabDragExited();
    EXPECT_EQ(titles(rightModel), QStringList({"Layers"}));
    EXPECT_EQ(rightModel.currentTab(), NotFound) << "leaving again leaves no tab current";

    QMimeData foreign;
    foreign.setText(QStringLiteral("Geometry"));
    EXPECT_FALSE(strip->tabDragEntered(&foreign, left, QPointF(5, 10)));
    EXPECT_FALSE(strip->tabDragEntered(data.get(), &window, QPointF(5, 10))) << "only tab views are sources";
    EXPECT_FALSE(strip->tabDragEntered(data.get(), nullptr, QPointF(5, 10))) << "drags from other programs";
    EXPECT_FALSE(strip->tabDropped(&foreign));

    QWidget otherWindow;
    VLTMTabViewModel otherModel;
    auto* other = new VLTMTabView(otherModel, &otherWindow);
    otherModel.addTabWithIdentifier("x");
    otherModel.setDraggingView(otherModel.tabViews().at(0));
    EXPECT_FALSE(strip->tabDragEntered(data.get(), other, QPointF(5, 10)));
    right->setDragsLimitedToSameWindow(false);
    EXPECT_TRUE(strip->tabDragEntered(data.get(), other, QPointF(5, 10)));
    strip->tabDragExited();
    EXPECT_EQ(titles(rightModel), QStringList({"Layers"}));
}

TEST_F(TabViewWidgetTest, TheStripMenuListsTheTabsWithSmallIcons)
{
    std::unique_ptr<platform::Menu> menu(left->titleView()->makeMenu());
    QStringList items;
    for (QAction* action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(items.mid(items.size() - 4), QStringList({"-", "Style", "Geometry", "Text"}));
    platform::Menu::validateActions(menu->actions());
    auto* text = qobject_cast<platform::MenuItem*>(menu->actions().last());
    EXPECT_EQ(text->state(), platform::MenuItem::OffState);
    text->trigger();
    EXPECT_EQ(leftModel.currentTab(), 2);

    leftModel.removeAllTabs();
    std::unique_ptr<platform::Menu> bare(left->titleView()->makeMenu());
    EXPECT_EQ(bare->actions().size(), items.size() - 4) << "no tabs, only the strip's own items";
}

} // namespace

TEST(TabViewSizing, ASidePanelOpensNoNarrowerThanTheControlsOfItsTabs)
{
    QSplitter splitter;
    splitter.resize(900, 300);
    VLTMTabViewModel model;
    auto* view = new VLTMTabView(model);
    splitter.addWidget(view);
    splitter.addWidget(new QWidget);
    splitter.setSizes({150, 750});
    splitter.show();
    platform::RunLoop::runUntilIdle();
    EXPECT_LT(view->width(), 160) << "no tab asks for more";

    const auto wide = panel("Style");
    auto* row = new QHBoxLayout(wide->view());
    auto* button = new QPushButton(QStringLiteral("Editable"));
    button->setMinimumWidth(320);
    row->addWidget(button);
    model.addTabWithContentViewController(wide);
    model.setCurrentTab(0);
    platform::RunLoop::runUntilIdle();
    splitter.setSizes({150, 750});
    platform::RunLoop::runUntilIdle();
    EXPECT_GE(view->width(), 320);
    EXPECT_GE(button->width(), 320);

    splitter.setSizes({0, 900});
    EXPECT_EQ(view->width(), 0) << "a side panel can still be closed";
}
