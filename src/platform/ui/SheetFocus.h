#pragma once

// A window that shows a sheet hands its keys to the sheet, as a window with a sheet attached
// would. Where no window manager gives the focus to a modal dialog (a bare X server, or a click
// on the window under it), the window system can focus the window beneath, and Qt drops what is
// typed there: a Return meant for "Save?" vanishes, and a quit that asks never gets its answer.
// So the focus such a window is given goes to its sheet, and keys aimed at it are aimed at the
// sheet. Only the X11 platform sends what this reads; elsewhere it does nothing.

#include <QAbstractNativeEventFilter>

class QDialog;
class QWidget;

namespace platform {

class SheetFocus : public QAbstractNativeEventFilter {
public:
    // Installs the filter on the application; called once, as it starts.
    static void passKeysToSheets();

    // The sheet answering for `window`: its last shown modal dialog, or that dialog's own, in
    // turn; null when it shows none.
    static QDialog* sheetCovering(const QWidget* window);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
};

} // namespace platform
