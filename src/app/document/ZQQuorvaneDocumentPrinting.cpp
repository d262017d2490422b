// The map document's page set-up, printing and sharing.
#include "app/printing/MapPrintOperation.h"
#include "app/setup/PaperMargins.h"
#include "app/printing/PrintInfoCoding.h"
#include "app/services/WindowServices.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Sheet.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DrawingRenderer.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPointer>
#include <QPrinter>
#include <QWidget>

namespace {

// Shared pictures are made at twice the drawing's size in points, within this many pixels a side.
constexpr double kSharedImageScale = 2;
constexpr double kMaximumSharedImageSide = 8000;

} // namespace

void ZQQuorvaneDocument::setPrintInfo(const QPageLayout& printInfo)
{
    // The page margins are the printer's unprintable border.
    QPageLayout layout = printInfo;
    layout.setMinimumMargins(QMarginsF());
    layout.setMargins(paperMargins(printInfo));
    if (layout.isEquivalentTo(m_printInfo))
        return;
    ZQUndoManager* undo = undoManager();
    undo->registerUndoWithTargetHandler(this, [this, previous = m_printInfo] { setPrintInfo(previous); });
    m_printInfo = layout;
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(PrintInfoCoding::propertyList(layout),
                                                                   kDefaultPrintInfo);
    undo->setActionName(tr("Page Setup"));
}

void ZQQuorvaneDocument::runPageLayout(QObject*)
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(m_printInfo);
    auto* dialog = new QPageSetupDialog(printer.get(), windowForSheet());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    platform::Sheet::beginSheetModalForWindowCompletionHandler(
        dialog, windowForSheet(), [this, printer, self = QPointer<ZQQuorvaneDocument>(this)](int code) {
            if (self && code == platform::Sheet::kDefaultReturn)
                setPrintInfo(printer->pageLayout());
        });
}

void ZQQuorvaneDocument::printDocument(QObject*)
{
    if (!drawing())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_printInfo);
    printer.setDocName(displayName());
    MapPrintOperation operation(drawing(), printer);
    runModalPrintOperation(operation);
}

bool ZQQuorvaneDocument::runModalPrintOperation(MapPrintOperation& operation)
{
    QPrintDialog dialog(&operation.printer(), windowForSheet());
    if (const auto& makeTab = WindowServices::installed().makePrintOptionsTab)
        dialog.setOptionTabs({makeTab(operation)});
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return operation.run();
}

QImage ZQQuorvaneDocument::sharableDocumentImage() const
{
    // The picture the drawing's PDF holds (the same output, painted once); a drawing whose
    // bounds make no PDF makes no picture either.
    const VXDrawingPtr& drawing = this->drawing();
    if (!drawing)
        return {};
    const QSizeF size = drawing->drawingSize();
    const double scale = std::min(kSharedImageScale, kMaximumSharedImageSide / std::max(size.width(), size.height()));
    return platform::DrawingRenderer::imageOfDrawing(*drawing, drawing->bounds(), (size * scale).toSize(), Qt::white);
}

void ZQQuorvaneDocument::shareDocumentAction(QObject* sender)
{
    const QImage image = sharableDocumentImage();
    const auto& showMenu = WindowServices::installed().showSharingMenu;
    if (image.isNull() || !showMenu) {
        ZQLogObjCMethod(QStringLiteral("nothing to share"));
        return;
    }
    auto* anchor = qobject_cast<QWidget*>(sender);
    showMenu(image, anchor ? anchor : windowForSheet());
}
