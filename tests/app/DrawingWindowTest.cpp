#include "app/DrawingWindow.h"

#include <gtest/gtest.h>

TEST(DrawingWindow, OpensWithADrawing)
{
    DrawingWindow window;
    window.show();
    EXPECT_TRUE(window.isVisible());
}
