#pragma once

// The map document's page layout and what it is used for: File > Page Setup..., File >
// Print..., and sharing the drawing as a picture. The document owns one and forwards its
// commands here; the layout travels in the document's package.
//
// A page layout set by the user is one undo step ("Page Setup") on the document's undo
// manager and also becomes the layout new documents start with.

#include <QCoreApplication>
#include <QImage>
#include <QPageLayout>

class MapPrintOperation;
class QObject;
class ZQQuorvaneDocument;

class MapDocumentPrinting {
    // The texts are the document's own.
    Q_DECLARE_TR_FUNCTIONS(ZQQuorvaneDocument)

public:
    // Starts with the layout new documents are given.
    explicit MapDocumentPrinting(ZQQuorvaneDocument& document);
    MapDocumentPrinting(const MapDocumentPrinting&) = delete;
    MapDocumentPrinting& operator=(const MapDocumentPrinting&) = delete;

    const QPageLayout& printInfo() const { return m_printInfo; }
    // Undoable: the layout's margins become its printer margins (paperMargins). An equivalent
    // layout changes nothing.
    void setPrintInfo(const QPageLayout& printInfo);
    // The layout read from the package, taken as it is, without an undo step.
    void restorePrintInfo(const QPageLayout& printInfo) { m_printInfo = printInfo; }

    // The page set-up dialog on the document's window; an accepted layout is set as above.
    void runPageLayout();
    // The print dialog for the whole drawing; nothing without a drawing.
    void printDocument();
    // Shows the print dialog for `operation` (the installed print options join it) and, when
    // accepted, prints. Answers whether it printed.
    bool runModalPrintOperation(MapPrintOperation& operation);

    // The whole drawing as a picture read from its PDF; null when there is none.
    QImage sharableDocumentImage() const;
    // Offers that picture to the installed share menu beside `anchor` (the window without one).
    void shareDocument(QObject* anchor) const;

private:
    ZQQuorvaneDocument& m_document;
    QPageLayout m_printInfo;
};
