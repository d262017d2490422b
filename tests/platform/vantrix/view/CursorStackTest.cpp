#include "platform/vantrix/view/CursorStack.h"

#include <QWidget>
#include <gtest/gtest.h>

using platform::CursorStack;

TEST(CursorStack, PopsPutBackPushedCursorsInReverseOrder)
{
    QWidget widget;
    widget.setCursor(Qt::CrossCursor);
    CursorStack::push(&widget, Qt::OpenHandCursor);
    CursorStack::set(&widget, Qt::ClosedHandCursor); // changes what shows, keeps nothing
    CursorStack::push(&widget, Qt::SizeHorCursor);
    EXPECT_EQ(CursorStack::depth(&widget), 2);
    EXPECT_EQ(widget.cursor().shape(), Qt::SizeHorCursor);
    CursorStack::pop(&widget);
    EXPECT_EQ(widget.cursor().shape(), Qt::ClosedHandCursor);
    CursorStack::pop(&widget);
    EXPECT_EQ(widget.cursor().shape(), Qt::CrossCursor);
    // Popping past the bottom leaves the cursor alone.
    widget.setCursor(Qt::IBeamCursor);
    CursorStack::pop(&widget);
    EXPECT_EQ(widget.cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(CursorStack::depth(&widget), 0);
}

TEST(CursorStack, PopAllPutsBackTheFirstKeptAndStacksAreKeptPerWidget)
{
    QWidget first;
    QWidget second;
    first.setCursor(Qt::CrossCursor);
    second.setCursor(Qt::ArrowCursor);
    CursorStack::push(&first, Qt::OpenHandCursor);
    CursorStack::push(&first, Qt::SizeHorCursor);
    CursorStack::push(&second, Qt::WaitCursor);
    CursorStack::popAll(&first);
    EXPECT_EQ(first.cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(CursorStack::depth(&first), 0);
    EXPECT_EQ(CursorStack::depth(&second), 1);
    EXPECT_EQ(second.cursor().shape(), Qt::WaitCursor);
    // No widget, no stack.
    CursorStack::push(nullptr, Qt::WaitCursor);
    CursorStack::pop(nullptr);
    EXPECT_EQ(CursorStack::depth(nullptr), 0);
}

TEST(CursorStack, KeepsItsStackApartFromTheWidgetsOtherChildren)
{
    // Overlays and helpers made before the first push come first among the children.
    QWidget widget;
    auto* overlay = new QWidget(&widget);
    overlay->setObjectName(QStringLiteral("overlay"));
    overlay->setCursor(Qt::PointingHandCursor);
    auto* helper = new QObject(&widget);
    widget.setCursor(Qt::CrossCursor);

    EXPECT_EQ(CursorStack::depth(&widget), 0);
    CursorStack::push(&widget, Qt::OpenHandCursor);
    CursorStack::push(&widget, Qt::SizeHorCursor);
    EXPECT_EQ(CursorStack::depth(&widget), 2);
    CursorStack::pop(&widget);
    EXPECT_EQ(widget.cursor().shape(), Qt::OpenHandCursor);
    CursorStack::push(&widget, Qt::WaitCursor);
    CursorStack::popAll(&widget);
    EXPECT_EQ(widget.cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(CursorStack::depth(&widget), 0);

    // The other children are untouched, and one holder was added however often it was pushed.
    EXPECT_EQ(overlay->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(overlay->objectName(), QStringLiteral("overlay"));
    EXPECT_EQ(helper->parent(), &widget);
    EXPECT_EQ(widget.children().size(), 3);
}
