#pragma once

// Sheets: dialogs that are modal to one window and end with a code, 1 for the default
// button and 0 for Cancel (QDialog's Accepted and Rejected); other codes end a sheet
// through endSheetReturnCode. The end handler runs once, after the dialog has closed and
// its window is active again.

#include <QWidget>
#include <functional>

class QDialog;

namespace platform {

class Sheet {
public:
    using EndHandler = std::function<void(int returnCode)>;

    static constexpr int kDefaultReturn = 1;
    static constexpr int kCancelReturn = 0;

    // Opens `sheet` modal to `window` (to the application when the window is null) and
    // returns at once. The sheet becomes a child of the window.
    static void beginSheetModalForWindowCompletionHandler(QDialog* sheet, QWidget* window, EndHandler handler);
    static void endSheetReturnCode(QDialog* sheet, int returnCode);
};

} // namespace platform
