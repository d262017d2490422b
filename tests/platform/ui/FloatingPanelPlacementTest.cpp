#include "platform/ui/FloatingPanelPlacement.h"

#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

using platform::FloatingPanelPlacement;

TEST(FloatingPanelPlacement, FramesMoveTheLeastIntoTheScreenAndShrinkOnlyWhenLarger)
{
    const QRect screen(0, 24, 1600, 876);
    const QRect inside(100, 100, 300, 400);
    EXPECT_EQ(FloatingPanelPlacement::frameWithin(inside, screen), inside);
    EXPECT_EQ(FloatingPanelPlacement::frameWithin({1567, 100, 300, 400}, screen), QRect(1300, 100, 300, 400));
    EXPECT_EQ(FloatingPanelPlacement::frameWithin({-50, 0, 300, 400}, screen), QRect(0, 24, 300, 400));
    EXPECT_EQ(FloatingPanelPlacement::frameWithin({1300, 800, 300, 400}, screen), QRect(1300, 500, 300, 400));
    EXPECT_EQ(FloatingPanelPlacement::frameWithin({1300, 24, 300, 876}, screen), QRect(1300, 24, 300, 876))
        << "touching every edge is within";
    EXPECT_EQ(FloatingPanelPlacement::frameWithin({-10, 500, 2000, 1000}, screen), QRect(0, 24, 1600, 876));
}

TEST(FloatingPanelPlacement, OnlyToolWindowsAreKeptOnScreen)
{
    FloatingPanelPlacement::keepPanelsOnScreen();
    FloatingPanelPlacement::keepPanelsOnScreen();
    QWidget panel(nullptr, Qt::Tool), plain;
    const QRect screen = panel.screen()->availableGeometry();
    for (QWidget* window : {&panel, &plain}) {
        window->resize(200, 100);
        window->move(screen.right() - 50, screen.top() + 10);
        window->show();
    }
    EXPECT_TRUE(screen.contains(panel.frameGeometry()));
    EXPECT_EQ(plain.pos(), QPoint(screen.right() - 50, screen.top() + 10)) << "document windows go where they are put";
}
