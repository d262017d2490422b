#include "UiTestSupport.h"

#include "platform/ui/Popover.h"
#include "platform/ui/ViewController.h"

#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using platform::Popover;

TEST(PopoverGeometry, PlacesAgainstEachEdgeFlipsWithoutRoomAndStaysOnScreen)
{
    const QRect screen(0, 0, 1000, 800);
    const QRect anchor(400, 300, 100, 20); // centre (449, 309)
    QSize size(130, 23);
    const int gap = Popover::kAnchorGap;
    EXPECT_EQ(Popover::frameForAnchorRect(anchor, size, Popover::MinYEdge, screen), QRect(QPoint(384, 320 + gap), size));
    EXPECT_EQ(Popover::frameForAnchorRect(anchor, size, Popover::MaxYEdge, screen), QRect(QPoint(384, 300 - gap - 23), size));
    EXPECT_EQ(Popover::frameForAnchorRect(anchor, size, Popover::MaxXEdge, screen), QRect(QPoint(500 + gap, 298), size));
    EXPECT_EQ(Popover::frameForAnchorRect(anchor, size, Popover::MinXEdge, screen), QRect(QPoint(400 - gap - 130, 298), size));

    // No room below a field at the bottom: above; none right of a well at the right edge: left.
    size = QSize(200, 100);
    Popover::Edge used = Popover::MinYEdge;
    QRect frame = Popover::frameForAnchorRect(QRect(500, 760, 80, 20), size, Popover::MinYEdge, screen, &used);
    EXPECT_EQ(used, Popover::MaxYEdge);
    EXPECT_EQ(frame.bottom(), 760 - gap - 1);
    frame = Popover::frameForAnchorRect(QRect(950, 400, 40, 20), size, Popover::MaxXEdge, screen, &used);
    EXPECT_EQ(used, Popover::MinXEdge);
    EXPECT_EQ(frame.right(), 950 - gap - 1);
    // Near a corner it slides along the edge; with room on neither side it keeps the preferred edge, clamped.
    frame = Popover::frameForAnchorRect(QRect(0, 10, 20, 20), size, Popover::MinYEdge, screen, &used);
    EXPECT_EQ(used, Popover::MinYEdge);
    EXPECT_EQ(frame.left(), 0);
    EXPECT_TRUE(screen.contains(frame));
    frame = Popover::frameForAnchorRect(QRect(0, 0, 1000, 800), size, Popover::MinYEdge, screen, &used);
    EXPECT_EQ(used, Popover::MinYEdge);
    EXPECT_TRUE(screen.contains(frame));
}

namespace {

class OpacityController : public platform::ViewController {
    Q_OBJECT

protected:
    QWidget* loadView() override { return new QLabel("opacity"); }
};

class PopoverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 300);
        button = new QWidget(&window);
        button->setGeometry(20, 30, 60, 20);
        uitest::activate(&window);
    }

    QWidget window;
    QWidget* button = nullptr;
};

} // namespace

TEST_F(PopoverTest, ShowsBelowItsAnchorAndClosesOnce)
{
    Popover popover;
    auto content = std::make_shared<OpacityController>();
    popover.setContentViewController(content);
    popover.setContentSize(QSize(130, 23));
    QSignalSpy willClose(&popover, &Popover::willClose);
    QSignalSpy didClose(&popover, &Popover::didClose);

    popover.showRelativeToRectOfViewPreferredEdge(QRect(), button, Popover::MinYEdge);
    ASSERT_TRUE(popover.isShown());
    const QRect anchor(button->mapToGlobal(QPoint(0, 0)), button->size());
    QRect expected = Popover::frameForAnchorRect(anchor, popover.window()->size(), Popover::MinYEdge,
                                                 button->screen()->availableGeometry());
    EXPECT_EQ(popover.window()->geometry(), expected);
    EXPECT_EQ(content->view()->size(), QSize(130, 23));
    EXPECT_TRUE(popover.window()->windowFlags() & Qt::FramelessWindowHint);

    popover.performClose(nullptr);
    popover.close();
    EXPECT_FALSE(popover.isShown());
    EXPECT_EQ(willClose.count(), 1);
    EXPECT_EQ(didClose.count(), 1);
    EXPECT_EQ(didClose.first().first().value<Popover::CloseReason>(), Popover::StandardCloseReason);
}

TEST_F(PopoverTest, TransientPopoversArePopupsAndSemitransientOnesCloseAtClicksInTheWindow)
{
    Popover transient;
    transient.setBehavior(Popover::TransientBehavior);
    transient.setContentWidget(new QLabel("slider"));
    transient.showRelativeToRectOfViewPreferredEdge(QRect(0, 0, 10, 10), button, Popover::MaxXEdge);
    ASSERT_TRUE(transient.isShown());
    EXPECT_EQ(transient.window()->windowType(), Qt::Popup);
    transient.close();

    Popover semi;
    semi.setBehavior(Popover::SemitransientBehavior);
    semi.setContentWidget(new QLabel("colours"));
    QSignalSpy didClose(&semi, &Popover::didClose);
    semi.showRelativeToRectOfViewPreferredEdge(QRect(), button, Popover::MaxXEdge);
    EXPECT_EQ(semi.window()->windowType(), Qt::Tool);
    QTest::mouseClick(semi.window(), Qt::LeftButton); // inside: stays
    EXPECT_TRUE(semi.isShown());
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_FALSE(semi.isShown());
    EXPECT_EQ(didClose.count(), 1);
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(300, 200)); // no longer watching
    EXPECT_EQ(didClose.count(), 1);
}

TEST_F(PopoverTest, DetachingKeepsThePlaceAndContentGoesWithThePopover)
{
    Popover popover;
    popover.setContentWidget(new QLabel("colours"));
    QSignalSpy didClose(&popover, &Popover::didClose);
    popover.showRelativeToRectOfViewPreferredEdge(QRect(), button, Popover::MinYEdge);
    const QPoint place = popover.window()->pos();
    popover.detach();
    EXPECT_TRUE(popover.isDetached());
    EXPECT_TRUE(popover.isShown());
    EXPECT_EQ(popover.window()->pos(), place);
    EXPECT_FALSE(popover.window()->windowFlags() & Qt::FramelessWindowHint);
    ASSERT_EQ(didClose.count(), 1);
    EXPECT_EQ(didClose.first().first().value<Popover::CloseReason>(), Popover::DetachToWindowCloseReason);

    // Content goes with its popover; a popover without content shows nothing.
    QPointer<QLabel> content = new QLabel("never shown");
    {
        Popover other;
        other.setContentWidget(content);
    }
    EXPECT_TRUE(content.isNull());
    Popover empty;
    empty.showRelativeToRectOfViewPreferredEdge(QRect(), button, Popover::MinYEdge);
    EXPECT_FALSE(empty.isShown());
}

#include "PopoverTest.moc"
