#include "platform/ui/MouseEvents.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <tuple>

TEST(MouseEvents, ClicksAndDragsByButton)
{
    const std::tuple<QEvent::Type, Qt::MouseButton, Qt::MouseButtons, MouseEventType> cases[] = {
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, kLeftMouseDown},
        {QEvent::MouseButtonDblClick, Qt::RightButton, Qt::RightButton, kRightMouseDown},
        {QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, kLeftMouseUp},
        {QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, kRightMouseUp},
        {QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, kOtherMouseDown},
        {QEvent::MouseButtonRelease, Qt::BackButton, Qt::NoButton, kOtherMouseUp},
        {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton, kLeftMouseDragged},
        {QEvent::MouseMove, Qt::NoButton, Qt::RightButton | Qt::MiddleButton, kRightMouseDragged},
        {QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton, kOtherMouseDragged},
    };
    for (const auto& [type, button, held, expected] : cases) {
        const QMouseEvent event(type, QPointF(1, 1), QPointF(1, 1), button, held, Qt::NoModifier);
        EXPECT_EQ(mouseEventType(event), expected) << type << " " << button << " " << held.toInt();
        EXPECT_TRUE(isMouseEventType(event));
    }
    EXPECT_FALSE(isMouseEventType(QMouseEvent(QEvent::MouseMove, {}, {}, Qt::NoButton, Qt::NoButton, Qt::NoModifier)));
    EXPECT_FALSE(isMouseEventType(QEvent(QEvent::Enter)));
    EXPECT_FALSE(isMouseEventType(QEvent(QEvent::MouseButtonPress))); // the type alone is not a mouse event
    EXPECT_FALSE(isMouseEventType(QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier)));
}
