#include "library/manager/LibraryManagerPrinting.h"

#include "app/printing/PrintInfoCoding.h"
#include "library/browser/VXQLibraryItemViewController.h"
#include "library/categories/VXQLibraryCategory.h"
#include "library/manager/LibraryManagerDefaults.h"
#include "library/manager/LibraryManagerItemList.h"
#include "library/manager/LibraryOutlineController.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Sheet.h"
#include "platform/ui/WindowController.h"

#include <QPageSetupDialog>
#include <QPrinter>

LibraryManagerPrinting::LibraryManagerPrinting(platform::WindowController& owner, LibraryOutlineController& outline,
                                               LibraryManagerItemList& itemList)
    : m_owner(owner)
    , m_outline(outline)
    , m_itemList(itemList)
{
}

void LibraryManagerPrinting::printDocument(QObject*)
{
    if (VXQLibraryItemViewController* browser = m_itemList.browser())
        browser->performPrintWithPrintInfo(printInfo());
}

void LibraryManagerPrinting::runPageLayout(QObject*)
{
    auto printer = std::make_shared<QPrinter>();
    if (const std::optional<QPageLayout> layout = printInfo())
        printer->setPageLayout(*layout);
    QWidget* window = m_owner.window();
    auto* dialog = new QPageSetupDialog(printer.get(), window);
    dialog->setObjectName(QStringLiteral("page_setup"));
    platform::Sheet::beginSheetModalForWindowCompletionHandler(dialog, window, [this, printer, dialog](int code) {
        if (code == platform::Sheet::kDefaultReturn)
            setPrintInfo(printer->pageLayout());
        dialog->deleteLater();
    });
}

std::optional<QPageLayout> LibraryManagerPrinting::printInfo()
{
    if (!m_printInfo)
        m_printInfo = PrintInfoCoding::pageLayout(managerDefaults().objectForKey(kLibManagerPrintInfo));
    return m_printInfo;
}

void LibraryManagerPrinting::setPrintInfo(const QPageLayout& layout)
{
    m_printInfo = layout;
    managerDefaults().setObjectForKey(PrintInfoCoding::propertyList(layout), kLibManagerPrintInfo);
}

QString LibraryManagerPrinting::printableDistributedViewHeaderStringForPage(JXDistributedView*, qint64)
{
    VXQLibraryCategory* category = m_outline.currentCategory();
    const QString library = category && category->library() ? category->library()->name() : QString();
    return tr("%1 (Category: %2) %3 items")
        .arg(library, category ? category->name() : QString())
        .arg(m_itemList.sortedAndFilteredItems().size());
}

QString LibraryManagerPrinting::printableDistributedViewFooterStringForPage(JXDistributedView*, qint64 page)
{
    return tr("Page %1").arg(page);
}

void LibraryManagerPrinting::printOperationDidRunSuccessContextInfo(bool success, const QString& contextInfo)
{
    ZQLogObjCMethod(QStringLiteral("print completed, op = %1, success = %2").arg(contextInfo).arg(int(success)));
}
