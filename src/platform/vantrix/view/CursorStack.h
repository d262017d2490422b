#pragma once

// Cursors that come and go over a widget, such as the feedback of a hover over a handle:
// push keeps the cursor the widget shows and shows another, set changes what shows without
// keeping anything, pop puts back the cursor kept last. Each widget has its own stack, which
// goes with the widget. Popping an empty stack does nothing, so hover code may pop on every
// way out without counting its pushes.

#include <QCursor>

class QWidget;

namespace platform {

class CursorStack {
public:
    static void push(QWidget* widget, const QCursor& cursor);
    static void set(QWidget* widget, const QCursor& cursor);
    static void pop(QWidget* widget);
    // Puts back the cursor kept first and empties the stack: the owner of the pushes is going.
    static void popAll(QWidget* widget);
    static int depth(const QWidget* widget);
};

} // namespace platform
