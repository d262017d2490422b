// Keys typed into a window that shows a sheet reach the sheet: the focus the window system gives
// the covered window goes to its sheet, and key events aimed at the window are aimed at the sheet.

#include "UiTestSupport.h"

#include "platform/ui/Sheet.h"
#include "platform/ui/SheetFocus.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <gtest/gtest.h>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#endif

using platform::Sheet;
using platform::SheetFocus;

namespace {

class SheetFocusTest : public ::testing::Test {
protected:
    void SetUp() override { uitest::activate(&window); }

    // A dialog begun as a sheet of `parent`, shown.
    static QDialog* sheetOf(QWidget* parent)
    {
        auto* sheet = new QDialog;
        Sheet::beginSheetModalForWindowCompletionHandler(sheet, parent, {});
        return sheet;
    }

    QWidget window;
};

} // namespace

TEST_F(SheetFocusTest, TheSheetAnsweringForAWindowIsItsShownModalDialogOrThatDialogsOwn)
{
    EXPECT_EQ(SheetFocus::sheetCovering(&window), nullptr);
    EXPECT_EQ(SheetFocus::sheetCovering(nullptr), nullptr);
    auto* tool = new QDialog(&window); // shown but not modal: the window still takes its keys
    tool->show();
    auto* hidden = new QDialog(&window);
    hidden->setWindowModality(Qt::WindowModal);
    EXPECT_EQ(SheetFocus::sheetCovering(&window), nullptr);

    QDialog* question = sheetOf(&window);
    EXPECT_EQ(SheetFocus::sheetCovering(&window), question);
    // The save panel the question led to asks in turn whether to replace a file.
    QDialog* replace = sheetOf(question);
    EXPECT_EQ(SheetFocus::sheetCovering(&window), replace);
    EXPECT_EQ(SheetFocus::sheetCovering(question), replace);
    replace->reject();
    EXPECT_EQ(SheetFocus::sheetCovering(&window), question);
    question->reject();
    EXPECT_EQ(SheetFocus::sheetCovering(&window), nullptr);
    delete hidden;
    delete tool;
}

#if __has_include(<xcb/xcb.h>)
TEST_F(SheetFocusTest, FocusAndKeysGivenToACoveredWindowGoToItsSheet)
{
    SheetFocus filter;
    QWidget other;
    uitest::activate(&other);
    const auto id = [](const QWidget* widget) { return xcb_window_t(widget->winId()); };
    QDialog* sheet = sheetOf(&window);
    other.activateWindow();
    QTest::qWait(20);
    ASSERT_NE(QApplication::activeWindow(), sheet);

    xcb_focus_in_event_t focus{};
    focus.response_type = XCB_FOCUS_IN;
    focus.event = id(&window);
    EXPECT_TRUE(filter.nativeEventFilter("xcb_generic_event_t", &focus, nullptr));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == sheet; }, 1000));
    focus.event = id(&other);
    EXPECT_FALSE(filter.nativeEventFilter("xcb_generic_event_t", &focus, nullptr)) << "an uncovered window";

    for (const uint8_t type : {uint8_t(XCB_KEY_PRESS), uint8_t(XCB_KEY_RELEASE | 0x80)}) {
        xcb_key_press_event_t key{};
        key.response_type = type;
        key.event = id(&window);
        key.child = id(&other);
        EXPECT_FALSE(filter.nativeEventFilter("xcb_generic_event_t", &key, nullptr)) << "Qt still delivers it";
        EXPECT_EQ(key.event, id(sheet));
        EXPECT_EQ(key.child, xcb_window_t(XCB_NONE));
        key.event = id(&other);
        filter.nativeEventFilter("xcb_generic_event_t", &key, nullptr);
        EXPECT_EQ(key.event, id(&other));
    }
    // Once the sheet has ended, the window takes its own keys again.
    sheet->accept();
    xcb_key_press_event_t key{};
    key.response_type = XCB_KEY_PRESS;
    key.event = id(&window);
    filter.nativeEventFilter("xcb_generic_event_t", &key, nullptr);
    EXPECT_EQ(key.event, id(&window));
    focus.event = id(&window);
    EXPECT_FALSE(filter.nativeEventFilter("xcb_generic_event_t", &focus, nullptr));
    EXPECT_FALSE(filter.nativeEventFilter("windows_generic_MSG", &focus, nullptr));
}
#endif
