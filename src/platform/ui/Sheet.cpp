#include "platform/ui/Sheet.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Application.h"

#include <QDialog>
#include <QPointer>

namespace platform {

void Sheet::beginSheetModalForWindowCompletionHandler(QDialog* sheet, QWidget* window, EndHandler handler)
{
    if (!ZQ_EXPECT(sheet, QStringLiteral("cannot begin a sheet without a dialog")))
        return;
    if (window && sheet->parentWidget() != window)
        sheet->setParent(window, sheet->windowFlags() | Qt::Dialog);
    QObject::connect(sheet, &QDialog::finished, sheet, [handler = std::move(handler), window = QPointer(window)](int code) {
        // The window takes the keys back, as it had them before its sheet: Undo right after
        // OK must reach it even where no window manager hands the focus back.
        if (window)
            window->activateWindow();
        if (handler)
            Application::runCommand("sheet end handler", [&] { handler(code); });
    }, Qt::SingleShotConnection);
    if (window) {
        sheet->open();
    } else {
        sheet->setWindowModality(Qt::ApplicationModal);
        sheet->show();
    }
}

void Sheet::endSheetReturnCode(QDialog* sheet, int returnCode)
{
    if (sheet)
        sheet->done(returnCode);
}

} // namespace platform
