#include "ContainerTestDelegate.h"

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "widgets/stacks/ContainerConfiguration.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <gtest/gtest.h>

using platform::RunLoop;

namespace {

// A sub-container holding a plain view of `contentHeight`, so it is 22 + contentHeight high.
ZQCollapsibleContainerView* addSub(ZQCollapsibleContainerView& host, const QString& title, int contentHeight)
{
    auto* sub = new ZQCollapsibleContainerView(QRectF(0, 0, 100, 10));
    sub->setTitle(title);
    auto* content = new QWidget;
    content->resize(10, contentHeight);
    sub->addViewToContent(content);
    host.addViewToContent(sub);
    return sub;
}

QList<int> tops(const ZQCollapsibleContainerView& host)
{
    QList<int> result;
    for (QWidget* view : host.hostedViews())
        result << view->y();
    return result;
}

QStringList titles(const ZQCollapsibleContainerView& host)
{
    QStringList result;
    for (QWidget* view : host.hostedViews())
        result << static_cast<ZQCollapsibleContainerView*>(view)->title();
    return result;
}

// Runs the animations and delayed performs out.
void settle()
{
    RunLoop::runFor(1000);
    RunLoop::runUntilIdle();
}

} // namespace

TEST(CollapsibleContainer, StacksHostedViewsWithFlooredHeights)
{
    ZQCollapsibleContainerView empty(QRectF(0, 0, 200, 300));
    empty.arrangeSubviews();
    EXPECT_EQ(empty.height(), 22);
    empty.setContentInset(4);
    empty.setTitleBarStyle(0);
    empty.arrangeSubviews();
    EXPECT_EQ(empty.expandedHeight(), 4.0);

    // A title-less container whose stack is 30.6 high is stacked as 30.
    ZQCollapsibleContainerView host(QRectF(0, 0, 200, 10));
    auto* a = new ZQCollapsibleContainerView;
    a->setTitleBarStyle(0);
    a->setContentInset(30.6);
    host.addViewToContent(a);
    auto* plain = new QWidget;
    plain->resize(10, 40);
    host.addViewToContent(plain);
    EXPECT_EQ(a->expandedHeight(), 30.6);
    EXPECT_EQ(tops(host), (QList<int>{0, 30}));
    EXPECT_EQ(host.expandedHeight(), 92.0);
    EXPECT_EQ(host.height(), 92);
    // Containers are indented by their level, other views take the whole width.
    EXPECT_EQ(a->indentationLevel(), 1u);
    EXPECT_EQ(a->parentContainerView(), &host);
    EXPECT_EQ(a->geometry(), QRect(0, 0, 200, 30));
    EXPECT_EQ(plain->width(), 200);
    EXPECT_EQ(a->cvident().size(), 36);

    host.addViewToContent(a); // already hosted: nothing changes
    EXPECT_EQ(host.hostedViews().size(), 2);
    EXPECT_EQ(host.height(), 92);

    // A sub-container that grows moves the host's stack; its own sub-container is indented.
    ZQCollapsibleContainerView* b = addSub(host, "b", 20);
    EXPECT_EQ(b->height(), 42);
    ZQCollapsibleContainerView* nested = addSub(*b, "nested", 10);
    EXPECT_EQ(nested->indentationLevel(), 2u);
    EXPECT_EQ(nested->geometry(), QRect(6, 20, 194, 32)) << "after the sub-container's own content";
    EXPECT_EQ(b->height(), 74);
    EXPECT_EQ(tops(host), (QList<int>{0, 30, 70}));
    EXPECT_EQ(host.height(), 22 + 30 + 40 + 74);

    // Removing tells the view it has no parent any more; an orphan is deleted after the event.
    QPointer<QWidget> removed(plain);
    host.removeViewFromContent(plain);
    EXPECT_EQ(host.height(), 22 + 30 + 74);
    RunLoop::runUntilIdle();
    EXPECT_TRUE(removed.isNull());
}

TEST(CollapsibleContainer, CollapseAnimatesAndParentsFollow)
{
    ContainerTestDelegate delegate;
    ZQCollapsibleContainerView host(QRectF(0, 0, 200, 10));
    ZQCollapsibleContainerView* a = addSub(host, "a", 28);
    ZQCollapsibleContainerView* b = addSub(host, "b", 18);
    a->setDelegate(&delegate);
    settle();
    delegate.configurationNotices = 0;

    a->setCollapsed(true);
    EXPECT_FALSE(a->contentView()->isVisible());
    EXPECT_TRUE(delegate.log.filter("Collapse").isEmpty()) << "told only when the animation stops";
    RunLoop::runFor(100);
    EXPECT_LT(a->height(), 50);
    EXPECT_GT(a->height(), 22);
    EXPECT_EQ(b->y(), a->height()) << "the sibling moves with every step";
    settle();
    EXPECT_EQ(a->height(), 22);
    EXPECT_EQ(b->y(), 22);
    EXPECT_EQ(host.height(), 22 + 22 + 40);
    EXPECT_EQ(delegate.log.filter("Collapse"), QStringList{"didCollapse a"});
    EXPECT_EQ(delegate.configurationNotices, 1) << "the steps coalesce into one notice";
    EXPECT_FALSE(a->collapseButton()->isChecked());

    a->setCollapsed(true); // no change, no message
    a->doubleClickInTitleBar();
    settle();
    EXPECT_EQ(a->height(), 50);
    EXPECT_EQ(delegate.log.filter("ollapse").last(), "didUncollapse a");

    // Option on a sub-container's disclosure button collapses all siblings, or expands them all.
    a->collapseActionWithModifiers(Qt::AltModifier);
    settle();
    EXPECT_TRUE(a->collapsed());
    EXPECT_TRUE(b->collapsed());
    EXPECT_EQ(host.height(), 22 + 22 + 22);
    b->collapseActionWithModifiers(Qt::AltModifier);
    settle();
    EXPECT_FALSE(a->collapsed());
    EXPECT_FALSE(b->collapsed());
    EXPECT_EQ(host.height(), 22 + 50 + 40);

    // A container that goes mid-animation, with a notice pending, takes both with it.
    auto* doomed = new ZQCollapsibleContainerView;
    doomed->setDelegate(&delegate);
    doomed->setTitle("doomed");
    doomed->setCollapsed(true);
    doomed->notifyConfigurationChange();
    const int notices = delegate.configurationNotices;
    delete doomed;
    settle();
    EXPECT_EQ(delegate.configurationNotices, notices);
    EXPECT_FALSE(delegate.log.contains("didCollapse doomed"));
}

TEST(CollapsibleContainer, TitleBarStylesPlaceTheirElements)
{
    ZQCollapsibleContainerView view(QRectF(0, 0, 200, 100));
    EXPECT_EQ(view.collapseButton()->geometry(), QRect(5, 7, 10, 10));
    EXPECT_EQ(view.contentView()->geometry(), QRect(0, 22, 200, 78));
    view.setCloseButton(ZQCollapsibleContainerView::closeButton());
    EXPECT_EQ(view.closingButton()->geometry().right() + 1, 200 - 3);
    view.show();
    view.resize(300, 100);
    EXPECT_EQ(view.closingButton()->geometry().right() + 1, 300 - 3) << "keeps its distance from the right edge";

    view.setTitleBarStyle(2);
    ASSERT_NE(view.titleCheckbox(), nullptr);
    EXPECT_EQ(view.titleCheckbox()->geometry(), QRect(16, 4, 24, 14));
    view.setHelpButtonVisible(true);
    view.setTitleBarStyle(0);
    EXPECT_TRUE(view.collapseButton()->isHidden());
    EXPECT_TRUE(view.helpButtonView()->isHidden());
    EXPECT_EQ(view.contentView()->geometry(), QRect(0, 0, 300, 100));
    view.setTitleBarStyle(1);
    EXPECT_TRUE(view.helpButtonView()->isHidden()) << "a hidden help button stays hidden";

    ZQCollapsibleContainerView fromInterface;
    fromInterface.awakeFromInterface();
    EXPECT_EQ(fromInterface.titleBarStyle(), 0);
    EXPECT_TRUE(fromInterface.allowsReordering());
}

TEST(CollapsibleContainer, SawtoothAndCornerShape)
{
    const auto vertices = [](double h) {
        return ZQCollapsibleContainerView::zigZagEdgeInRect(QRectF(0, 0, 6, h)).elementCount() - 4;
    };
    EXPECT_EQ(vertices(25), 2);
    EXPECT_EQ(vertices(35), 4);
    EXPECT_EQ(vertices(5), 0);
    const QPainterPath strip = ZQCollapsibleContainerView::zigZagEdgeInRect(QRectF(0, 10, 6, 20));
    EXPECT_EQ(QPointF(strip.elementAt(1)), QPointF(0, 20));
    EXPECT_EQ(QPointF(strip.elementAt(2)), QPointF(6, 30));

    // A radius above half the height rounds with half the height; the bottom stays square.
    ZQCollapsibleContainerView view(QRectF(0, 0, 100, 22));
    view.setCornerRadius(40);
    view.setBackgroundColour(Qt::red);
    view.setTitleBarColour(Qt::red);
    const QImage image = view.grab().toImage();
    EXPECT_NE(image.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(70, 11), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(0, 21), QColor(Qt::red));
}

TEST(CollapsibleContainer, ConfigurationRoundTripsTheContainerTree)
{
    ZQCollapsibleContainerView source(QRectF(0, 0, 200, 10));
    source.setTitle("root");
    ZQCollapsibleContainerView* a = addSub(source, "a", 18);
    addSub(*a, "a1", 8);
    ZQCollapsibleContainerView* b = addSub(source, "b", 0);
    b->setCollapsed(true);
    source.addViewToContent(new QWidget); // not saved
    settle();
    const QByteArray data = source.configurationData();
    EXPECT_TRUE(data.startsWith("<?xml"));
    const QVariantMap root = platform::PropertyList::fromData(data)->toMap();
    EXPECT_EQ(root.value("cv_frame").toString(), stringFromRect(QRectF(source.geometry())));
    EXPECT_EQ(root.value("cv_subviews").toList().size(), 2);

    ZQCollapsibleContainerView copy(QRectF(0, 0, 200, 10));
    copy.addViewToContent(new QWidget);
    ASSERT_TRUE(copy.restoreFromConfigurationData(data));
    settle();
    EXPECT_EQ(copy.cvident(), source.cvident());
    EXPECT_EQ(copy.title(), "root");
    EXPECT_EQ(titles(copy), (QStringList{"a", "b"})) << "the plain view is gone";
    auto* copyA = copy.subcontainerWithCVIdentifier(a->cvident());
    ASSERT_NE(copyA, nullptr);
    EXPECT_EQ(titles(*copyA), QStringList{"a1"});
    const auto* a1 = static_cast<ZQCollapsibleContainerView*>(a->hostedViews().last());
    EXPECT_EQ(copy.subcontainerWithCVIdentifier(a1->cvident())->title(), "a1") << "found depth first";
    EXPECT_EQ(copy.subcontainerWithCVIdentifier("none"), nullptr);
    EXPECT_TRUE(copy.subcontainerWithCVIdentifier(b->cvident())->collapsed());
    EXPECT_FALSE(copyA->collapsed());

    // Not a plist, or a root that is no dictionary: nothing changes.
    const QByteArray before = copy.configurationData();
    EXPECT_FALSE(copy.restoreFromConfigurationData("not a property list"));
    EXPECT_FALSE(copy.restoreFromConfigurationData(*platform::PropertyList::toData(QVariantList{1, 2}, platform::PropertyList::Format::Xml)));
    EXPECT_EQ(copy.configurationData(), before);
}

TEST(CollapsibleContainer, HostileConfigurationIsSkippedNotTrusted)
{
    const auto xml = [](const QVariantMap& map) {
        return *platform::PropertyList::toData(map, platform::PropertyList::Format::Xml);
    };
    // Wrong types are ignored, bad sub-elements skipped.
    QVariantMap good{{"cv_ident", "G"}, {"cv_title", "good"}};
    QVariantMap odd{{"cv_ident", 5},
                    {"cv_title", QVariantList{}},
                    {"cv_frame", 7},
                    {"cv_collapsed", "yes"},
                    {"cv_subviews", QVariantList{QByteArray("junk"), 3, "text", xml(good), xml(QVariantMap{})}}};
    ZQCollapsibleContainerView view(QRectF(0, 0, 200, 10));
    const QString identifier = view.cvident();
    ASSERT_TRUE(view.restoreFromConfigurationData(xml(odd)));
    EXPECT_EQ(view.cvident(), identifier);
    EXPECT_EQ(view.hostedViews().size(), 2);
    EXPECT_EQ(view.subcontainerWithCVIdentifier("G")->title(), "good");

    // Nesting is cut at 32 levels, the whole tree at 1,000 sub-containers.
    QByteArray deep = xml(QVariantMap{{"cv_ident", "leaf"}});
    for (int i = 0; i < ContainerConfiguration::kMaximumDepth + 2; ++i)
        deep = xml(QVariantMap{{"cv_ident", QString::number(i)}, {"cv_subviews", QVariantList{deep}}});
    std::optional<ContainerConfiguration> parsed = ContainerConfiguration::fromData(deep);
    ASSERT_TRUE(parsed);
    int depth = 0;
    for (const ContainerConfiguration* level = &*parsed; !level->subcontainers.empty(); level = &level->subcontainers[0])
        ++depth;
    EXPECT_EQ(depth, ContainerConfiguration::kMaximumDepth);

    QVariantList many;
    for (int i = 0; i < 1500; ++i)
        many << xml(QVariantMap{{"cv_ident", QString::number(i)}});
    parsed = ContainerConfiguration::fromData(xml(QVariantMap{{"cv_subviews", many}}));
    EXPECT_EQ(parsed->subcontainers.size(), size_t(ContainerConfiguration::kMaximumCount));

    EXPECT_EQ(rectFromString("{{1, -2.5}, {30.6, 4e1}}"), QRectF(1, -2.5, 30.6, 40));
    EXPECT_FALSE(rectFromString("{{1, 2}, {3}}"));
    EXPECT_EQ(stringFromRect(QRectF(0, 0, 100, 30.6)), "{{0, 0}, {100, 30.6}}");
}

TEST(CollapsibleContainerDrag, ReordersWithinTheContainer)
{
    ContainerTestDelegate delegate;
    ZQCollapsibleContainerView host(QRectF(0, 0, 200, 10));
    host.setAllowsReordering(true);
    host.setDelegate(&delegate);
    ZQCollapsibleContainerView* a = addSub(host, "a", 8);
    addSub(host, "b", 8);
    addSub(host, "c", 8);

    // No dragging view: refused.
    EXPECT_FALSE(host.draggingEntered());
    EXPECT_FALSE(host.prepareForDragOperation());

    // Back into its own gap (its index + 1): refused, nothing moves.
    ZQCollapsibleContainerView::setDraggingView(a);
    ASSERT_TRUE(host.draggingEntered());
    EXPECT_TRUE(host.highlightForDrag());
    ASSERT_TRUE(host.draggingUpdated(QPointF(10, 22 + 40)));
    EXPECT_EQ(host.insertionIndex(), 1);
    EXPECT_FALSE(host.prepareForDragOperation());
    EXPECT_FALSE(host.highlightForDrag());
    settle();
    EXPECT_EQ(titles(host), (QStringList{"a", "b", "c"}));

    // Below everything: the view moves to the end, and the delegate hears of it.
    ASSERT_TRUE(host.draggingUpdated(QPointF(10, 22 + 200)));
    EXPECT_EQ(host.insertionIndex(), ZQCollapsibleContainerView::kNotFound);
    ASSERT_TRUE(host.prepareForDragOperation());
    EXPECT_TRUE(host.performDragOperation());
    EXPECT_EQ(ZQCollapsibleContainerView::draggingView(), nullptr);
    settle();
    EXPECT_EQ(titles(host), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(tops(host), (QList<int>{0, 30, 60}));
    EXPECT_EQ(delegate.log.last(), "didMove 2");

    // The last one below everything: nothing moves, failure.
    ZQCollapsibleContainerView::setDraggingView(a);
    host.draggingUpdated(QPointF(10, 22 + 200));
    EXPECT_FALSE(host.prepareForDragOperation() && host.performDragOperation());
    EXPECT_EQ(titles(host), (QStringList{"b", "c", "a"}));
}

TEST(CollapsibleContainerDrag, GapAnimatesAroundIgnoredViews)
{
    ContainerTestDelegate delegate;
    ZQCollapsibleContainerView host(QRectF(0, 0, 200, 10));
    host.setDelegate(&delegate);
    host.setIgnoredViewCount(1);
    ZQCollapsibleContainerView* fixed = addSub(host, "fixed", 8);
    ZQCollapsibleContainerView* b = addSub(host, "b", 8);
    ZQCollapsibleContainerView* c = addSub(host, "c", 8);

    ZQCollapsibleContainerView::setDraggingView(c);
    c->hide();
    host.draggingEntered();
    // Above the first view: the gap opens after it, the fixed one stays.
    ASSERT_TRUE(host.draggingUpdated(QPointF(10, 22 + 5)));
    EXPECT_EQ(host.insertionIndex(), 1);
    RunLoop::runFor(100);
    EXPECT_GT(b->y(), 30);
    EXPECT_LT(b->y(), 60);
    // Redirected mid-move without restarting: it still ends 0.2 s after the start.
    host.draggingUpdated(QPointF(10, 22 + 5));
    RunLoop::runFor(120);
    EXPECT_EQ(b->y(), 60);
    EXPECT_EQ(fixed->y(), 0);
    ASSERT_TRUE(host.prepareForDragOperation());
    ASSERT_TRUE(host.performDragOperation());
    settle();
    EXPECT_EQ(titles(host), (QStringList{"fixed", "c", "b"}));
    EXPECT_EQ(delegate.log.last(), "didMove 0") << "counted from the first movable view";
}

TEST(CollapsibleContainerDrag, ForeignDropsFollowWindowAndDelegate)
{
    QWidget window;
    ContainerTestDelegate delegate;
    auto* from = new ZQCollapsibleContainerView(QRectF(0, 0, 200, 10), &window);
    auto* to = new ZQCollapsibleContainerView(QRectF(0, 200, 200, 10), &window);
    to->setDelegate(&delegate);
    to->setIgnoredViewCount(1);
    addSub(*to, "fixed", 8);
    addSub(*to, "t", 8);
    ZQCollapsibleContainerView* moving = addSub(*from, "m", 8);
    ZQCollapsibleContainerView elsewhere(QRectF(0, 0, 200, 10)); // another window

    ZQCollapsibleContainerView::setDraggingView(moving);
    EXPECT_FALSE(to->draggingEntered()) << "not without allowsDragsFromOtherViews";
    to->setAllowsDragsFromOtherViews(true);
    elsewhere.setAllowsDragsFromOtherViews(true);
    EXPECT_FALSE(elsewhere.draggingEntered()) << "not from another window";
    EXPECT_FALSE(elsewhere.canAcceptDragFrom(from));

    const int heightBefore = to->height();
    ASSERT_TRUE(to->draggingEntered());
    EXPECT_EQ(to->height(), heightBefore + 30) << "room for the newcomer";

    // The delegate's veto: success, nothing moved.
    delegate.acceptsDrops = false;
    ASSERT_TRUE(to->prepareForDragOperation());
    EXPECT_TRUE(to->performDragOperation());
    EXPECT_EQ(delegate.log.last(), "willAccept 0");
    EXPECT_EQ(moving->parentContainerView(), from);

    // With no insertion index it lands at the first movable position.
    delegate.acceptsDrops = true;
    ZQCollapsibleContainerView::setDraggingView(moving);
    ASSERT_TRUE(to->prepareForDragOperation());
    EXPECT_TRUE(to->performDragOperation());
    settle();
    EXPECT_EQ(titles(*to), (QStringList{"fixed", "m", "t"}));
    EXPECT_EQ(moving->parentContainerView(), to);
    EXPECT_TRUE(from->hostedViews().isEmpty());
    EXPECT_EQ(delegate.log.last(), "didMove 0");
}

TEST(CollapsibleContainerDrag, PointerNearAnEdgeScrollsTheEnclosingView)
{
    QScrollArea scroll;
    scroll.resize(220, 150);
    auto* host = new ZQCollapsibleContainerView(QRectF(0, 0, 200, 10));
    for (int i = 0; i < 10; ++i)
        addSub(*host, QString::number(i), 38);
    scroll.setWidget(host);
    scroll.show();
    QApplication::processEvents();
    ASSERT_EQ(host->height(), 22 + 10 * 60);
    QScrollBar* bar = scroll.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);

    ZQCollapsibleContainerView::setDraggingView(static_cast<ZQCollapsibleContainerView*>(host->hostedViews()[0]));
    ASSERT_TRUE(host->draggingUpdated(QPointF(10, 100)));
    EXPECT_EQ(bar->value(), 0) << "away from the edges nothing scrolls";
    host->draggingUpdated(QPointF(10, 140));
    EXPECT_GT(bar->value(), 0) << "within 20 points of the visible bottom";
    const int scrolled = bar->value();
    host->draggingUpdated(QPointF(10, scrolled + 5));
    EXPECT_LT(bar->value(), scrolled) << "and of the visible top";
    ZQCollapsibleContainerView::setDraggingView(nullptr);
}
