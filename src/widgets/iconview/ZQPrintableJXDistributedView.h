#pragma once

// The free-layout icon view prepared for printing: pages break between rows of cells, and each
// page can carry a header and a footer whose texts the delegate gives for the page number.
// Items never print highlighted. Printing runs its own page loop on any paged device
// (QPrinter, QPdfWriter), one view unit to the point.

#include "widgets/iconview/JXDistributedView.h"

#include <QFont>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;

// Optional messages a printable view's delegate may also answer (a null string draws no text).
class ZQPrintableJXDistributedViewDelegate {
public:
    virtual ~ZQPrintableJXDistributedViewDelegate() = default;
    virtual QString printableDistributedViewHeaderStringForPage(JXDistributedView*, qint64) { return {}; }
    virtual QString printableDistributedViewFooterStringForPage(JXDistributedView*, qint64) { return {}; }
};

class ZQPrintableJXDistributedView : public JXDistributedView {
    Q_OBJECT

public:
    struct TextAttributes {
        QFont font;
        Qt::Alignment alignment;
        QColor colour;
    };

    using JXDistributedView::JXDistributedView;

    bool showsHeaders() const { return m_showHeaders; }
    void setShowsHeaders(bool on) { m_showHeaders = on; }
    bool showsFooters() const { return m_showFooters; }
    void setShowsFooters(bool on) { m_showFooters = on; }
    qint64 pageNumber() const { return m_pageNumber; }

    static const TextAttributes& headerAttributes();
    static const TextAttributes& footerAttributes();

    // Where a page that starts at `top` ends instead of `proposedBottom`: on a whole row of
    // cells counted from the content inset. A page that would not advance (a cell taller than
    // the page) or end above `limit` keeps the proposed bottom, so printing always ends.
    double adjustPageHeightNewTopBottomLimit(double top, double proposedBottom, double limit) const;
    // The [top, bottom) bands of the document down to its last row of items, one per page of
    // `pageHeight` points; one band for an empty view.
    QList<std::pair<double, double>> pageBands(double pageHeight) const;

    // Prints the whole document, a page per band, at 72 dots per inch so that fonts and items
    // keep their sizes in points (items wider than the page are scaled to its width); answers
    // the number of pages.
    int printToPrinter(QPrinter& printer);
    int printToPdfWriter(QPdfWriter& writer);

    void beginDocument() { m_pageNumber = 0; }
    void beginPage() { ++m_pageNumber; }
    // Header and footer of the current page, drawn on a page of `pageSize` points.
    void drawPageBorderWithSize(QPainter& painter, QSizeF pageSize);
    void drawHeaders(QPainter& painter, const QRectF& bounds);
    void drawFooters(QPainter& painter, const QRectF& bounds);

    static QRectF headerBoxForBounds(const QRectF& bounds);
    static QRectF footerBoxForBounds(const QRectF& bounds);
    // Where items print on a page of `paper` whose printer reaches `printable` (both in points):
    // the printable area, clear of the header rules and the footer rule when those are shown,
    // since narrow margins would otherwise lay the first and last rows over them.
    QRectF itemAreaForPage(const QRectF& paper, const QRectF& printable) const;

private:
    ZQPrintableJXDistributedViewDelegate* printableDelegate() const;
    int printPages(QPagedPaintDevice& device);

    bool m_showHeaders = false;
    bool m_showFooters = false;
    qint64 m_pageNumber = 0;
};
