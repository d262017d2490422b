#pragma once

// Printing the library manager's item grid: the page set-up sheet, the stored page layout
// (kLibManagerPrintInfo), and the header ("Roads (Category: Major) 12 items") and footer
// ("Page 2") of each printed page.
//
// The manager owns it and forwards "printDocument" and "runPageLayout" to it; the item
// browser prints the grid and asks for the header and footer through the manager's answers.

#include "widgets/iconview/ZQPrintableJXDistributedView.h"

#include <QObject>
#include <QPageLayout>
#include <optional>

class LibraryManagerItemList;
class LibraryOutlineController;
namespace platform {
class WindowController;
}

class LibraryManagerPrinting : public QObject, public ZQPrintableJXDistributedViewDelegate {
    Q_OBJECT

public:
    LibraryManagerPrinting(platform::WindowController& owner, LibraryOutlineController& outline,
                           LibraryManagerItemList& itemList);

    Q_INVOKABLE void printDocument(QObject* sender);
    Q_INVOKABLE void runPageLayout(QObject* sender);
    // The stored page set-up; none when nothing (or nothing readable) is stored.
    std::optional<QPageLayout> printInfo();
    void setPrintInfo(const QPageLayout& layout);

    QString printableDistributedViewHeaderStringForPage(JXDistributedView* view, qint64 page) override;
    QString printableDistributedViewFooterStringForPage(JXDistributedView* view, qint64 page) override;
    void printOperationDidRunSuccessContextInfo(bool success, const QString& contextInfo);

private:
    platform::WindowController& m_owner;
    LibraryOutlineController& m_outline;
    LibraryManagerItemList& m_itemList;
    std::optional<QPageLayout> m_printInfo;
};
