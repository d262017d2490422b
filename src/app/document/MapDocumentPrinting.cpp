#include "app/document/MapDocumentPrinting.h"

#include "app/document/MapDocumentDefaults.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "app/printing/MapPrintOperation.h"
#include "app/printing/PrintInfoCoding.h"
#include "app/services/WindowServices.h"
#include "app/setup/PaperMargins.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/PdfPageImage.h"
#include "platform/ui/Sheet.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

namespace {

// Shared pictures are made at twice the drawing's size in points, within this many pixels a side.
constexpr double kSharedImageScale = 2;
constexpr double kMaximumSharedImageSide = 8000;

} // namespace

MapDocumentPrinting::MapDocumentPrinting(ZQQuorvaneDocument& document)
    : m_document(document)
    , m_printInfo(MapDocumentDefaults::printInfo())
{
}

void MapDocumentPrinting::setPrintInfo(const QPageLayout& printInfo)
{
    // The page margins are the printer's unprintable border.
    QPageLayout layout = printInfo;
    layout.setMinimumMargins(QMarginsF());
    layout.setMargins(paperMargins(printInfo));
    if (layout.isEquivalentTo(m_printInfo))
        return;
    ZQUndoManager* undo = m_document.undoManager();
    undo->registerUndoWithTargetHandler(&m_document, [this, previous = m_printInfo] { setPrintInfo(previous); });
    m_printInfo = layout;
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(PrintInfoCoding::propertyList(layout),
                                                                   kDefaultPrintInfo);
    undo->setActionName(tr("Page Setup"));
}

void MapDocumentPrinting::runPageLayout()
{
    QWidget* window = m_document.windowForSheet();
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(m_printInfo);
    auto* dialog = new QPageSetupDialog(printer.get(), window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    platform::Sheet::beginSheetModalForWindowCompletionHandler(
        dialog, window, [this, printer, document = QPointer<ZQQuorvaneDocument>(&m_document)](int code) {
            if (document && code == platform::Sheet::kDefaultReturn)
                setPrintInfo(printer->pageLayout());
        });
}

void MapDocumentPrinting::printDocument()
{
    if (!m_document.drawing())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_printInfo);
    printer.setDocName(m_document.displayName());
    MapPrintOperation operation(m_document.drawing(), printer);
    runModalPrintOperation(operation);
}

bool MapDocumentPrinting::runModalPrintOperation(MapPrintOperation& operation)
{
    QPrintDialog dialog(&operation.printer(), m_document.windowForSheet());
    if (const auto& makeTab = WindowServices::installed().makePrintOptionsTab)
        dialog.setOptionTabs({makeTab(operation)});
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return operation.run();
}

QImage MapDocumentPrinting::sharableDocumentImage() const
{
    // The picture is the drawing's PDF as a reader shows it; a drawing that makes no PDF makes
    // no picture either.
    const VXDrawingPtr& drawing = m_document.drawing();
    if (!drawing)
        return {};
    const QSizeF size = drawing->drawingSize();
    const double scale = std::min(kSharedImageScale, kMaximumSharedImageSide / std::max(size.width(), size.height()));
    return platform::imageOfPdfPage(drawing->pdf(), 0, (size * scale).toSize(), Qt::white);
}

void MapDocumentPrinting::shareDocument(QObject* anchor) const
{
    const QImage image = sharableDocumentImage();
    const auto& showMenu = WindowServices::installed().showSharingMenu;
    if (image.isNull() || !showMenu) {
        ZQLogObjCMethod(QStringLiteral("nothing to share"));
        return;
    }
    auto* widget = qobject_cast<QWidget*>(anchor);
    showMenu(image, widget ? widget : m_document.windowForSheet());
}
