#include "platform/ui/SheetFocus.h"

#include "platform/foundation/RunLoop.h"

#include <QApplication>
#include <QDialog>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define QUORVANE_HAS_XCB 1
#endif

namespace platform {

namespace {

#if QUORVANE_HAS_XCB
QWidget* topLevelWithNativeId(xcb_window_t id)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (window->internalWinId() == id)
            return window;
    return nullptr;
}
#endif

} // namespace

void SheetFocus::passKeysToSheets()
{
    static SheetFocus filter;
    QCoreApplication::instance()->installNativeEventFilter(&filter);
}

QDialog* SheetFocus::sheetCovering(const QWidget* window)
{
    QDialog* sheet = nullptr;
    for (const QWidget* covered = window; covered;) {
        QDialog* next = nullptr;
        const QList<QDialog*> dialogs = covered->findChildren<QDialog*>(Qt::FindDirectChildrenOnly);
        for (auto dialog = dialogs.rbegin(); dialog != dialogs.rend() && !next; ++dialog)
            if ((*dialog)->isVisible() && (*dialog)->isModal())
                next = *dialog;
        if (next)
            sheet = next;
        covered = next;
    }
    return sheet;
}

bool SheetFocus::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#if QUORVANE_HAS_XCB
    if (eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    switch (event->response_type & ~0x80) {
    case XCB_FOCUS_IN: {
        // Qt would make the covered window its focus window, and keys then go nowhere.
        QDialog* sheet = sheetCovering(topLevelWithNativeId(reinterpret_cast<xcb_focus_in_event_t*>(event)->event));
        if (!sheet)
            return false;
        RunLoop::runOnMainThread([sheet] {
            sheet->raise();
            sheet->activateWindow();
        }, sheet);
        return true;
    }
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE: {
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        if (const QDialog* sheet = sheetCovering(topLevelWithNativeId(key->event))) {
            key->event = xcb_window_t(sheet->winId());
            key->child = XCB_NONE;
        }
        return false;
    }
    default:
        return false;
    }
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    return false;
#endif
}

} // namespace platform
