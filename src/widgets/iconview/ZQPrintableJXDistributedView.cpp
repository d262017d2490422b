#include "widgets/iconview/ZQPrintableJXDistributedView.h"

#include "platform/graphics/FontUtilities.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <cmath>

namespace {
constexpr double kBorderInset = 10.0;
constexpr double kHeaderHeight = 24.0;
constexpr double kFooterHeight = 14.0;
constexpr double kRuleWidth = 0.1;
// Room left between the rules and the nearest row of items.
constexpr double kRuleClearance = 4.0;
} // namespace

const ZQPrintableJXDistributedView::TextAttributes& ZQPrintableJXDistributedView::headerAttributes()
{
    static const TextAttributes attributes{
        platform::fontWithNameSize(QStringLiteral("Helvetica Bold"), 9).value_or(platform::boldSystemFontOfSize(9)),
        Qt::AlignHCenter, Qt::black};
    return attributes;
}

const ZQPrintableJXDistributedView::TextAttributes& ZQPrintableJXDistributedView::footerAttributes()
{
    static const TextAttributes attributes{
        platform::fontWithNameSize(QStringLiteral("Helvetica"), 8).value_or(platform::systemFontOfSize(8)),
        Qt::AlignRight, Qt::black};
    return attributes;
}

ZQPrintableJXDistributedViewDelegate* ZQPrintableJXDistributedView::printableDelegate() const
{
    return dynamic_cast<ZQPrintableJXDistributedViewDelegate*>(delegate());
}

double ZQPrintableJXDistributedView::adjustPageHeightNewTopBottomLimit(double top, double proposedBottom,
                                                                      double limit) const
{
    const double cellHeight = cellSize().height();
    if (!(cellHeight > 0) || !std::isfinite(proposedBottom))
        return proposedBottom;
    // Row boundaries in document coordinates, so every page after the first breaks on them too.
    const double bottom = proposedBottom - std::fmod(proposedBottom - contentInset(), cellHeight);
    if (bottom <= top || bottom < limit)
        return proposedBottom;
    return bottom;
}

QList<std::pair<double, double>> ZQPrintableJXDistributedView::pageBands(double pageHeight) const
{
    QList<std::pair<double, double>> bands;
    if (!(pageHeight > 0) || !std::isfinite(pageHeight))
        return bands;
    // Down to the last row of items: the empty rest of a tall view prints no pages.
    const double height = numberOfItems() > 0 ? bestRect().height() - contentInset() : 0.0;
    for (double top = 0; top < height || bands.empty();) {
        const double bottom = adjustPageHeightNewTopBottomLimit(top, top + pageHeight, top + 1.0);
        bands.append({top, bottom});
        top = bottom;
    }
    return bands;
}

int ZQPrintableJXDistributedView::printToPrinter(QPrinter& printer)
{
    printer.setResolution(72);
    return printPages(printer);
}

int ZQPrintableJXDistributedView::printToPdfWriter(QPdfWriter& writer)
{
    writer.setResolution(72);
    return printPages(writer);
}

int ZQPrintableJXDistributedView::printPages(QPagedPaintDevice& device)
{
    const QPageLayout layout = device.pageLayout();
    const QRectF paper = layout.fullRect(QPageLayout::Point);
    const QRectF printable = layout.paintRect(QPageLayout::Point);
    const QRectF content = itemAreaForPage(paper, printable);
    // Items wider than the page are scaled down to its width, so no column is cut off.
    const double width = bestRect().width();
    const double scale = width > content.width() ? content.width() / width : 1.0;
    const QList<std::pair<double, double>> bands = pageBands(content.height() / scale);
    QPainter painter(&device);
    if (!painter.isActive())
        return 0;
    beginDocument();
    for (qsizetype page = 0; page < bands.size(); ++page) {
        if (page > 0)
            device.newPage();
        beginPage();
        const auto [top, bottom] = bands[page];
        painter.save();
        // The device's origin is the printable area's corner.
        painter.translate(content.topLeft() - printable.topLeft());
        painter.scale(scale, scale);
        painter.setClipRect(QRectF(0, 0, content.width() / scale, bottom - top));
        painter.translate(0, -top);
        drawRect(painter, QRectF(0, top, frame().width(), bottom - top), false);
        painter.restore();
        painter.save();
        painter.translate(paper.topLeft() - printable.topLeft());
        drawPageBorderWithSize(painter, paper.size());
        painter.restore();
    }
    return int(bands.size());
}

QRectF ZQPrintableJXDistributedView::headerBoxForBounds(const QRectF& bounds)
{
    QRectF box = bounds.adjusted(kBorderInset, kBorderInset, -kBorderInset, -kBorderInset);
    box.setHeight(kHeaderHeight);
    return box;
}

QRectF ZQPrintableJXDistributedView::footerBoxForBounds(const QRectF& bounds)
{
    return QRectF(bounds.x() + kBorderInset, bounds.top() + bounds.height() - kHeaderHeight,
                  bounds.width() - 2 * kBorderInset, kFooterHeight);
}

QRectF ZQPrintableJXDistributedView::itemAreaForPage(const QRectF& paper, const QRectF& printable) const
{
    const QRectF bounds(QPointF(0, 0), paper.size());
    QRectF area = printable.translated(-paper.topLeft());
    if (m_showHeaders)
        area.setTop(std::max(area.top(), headerBoxForBounds(bounds).top() + kHeaderHeight + kRuleClearance));
    if (m_showFooters)
        area.setBottom(std::min(area.bottom(), footerBoxForBounds(bounds).top() - kRuleClearance));
    if (area.height() < 1.0)
        area.setHeight(1.0);
    return area.translated(paper.topLeft());
}

void ZQPrintableJXDistributedView::drawPageBorderWithSize(QPainter& painter, QSizeF pageSize)
{
    const QRectF bounds(QPointF(0, 0), pageSize);
    if (m_showHeaders)
        drawHeaders(painter, bounds);
    if (m_showFooters)
        drawFooters(painter, bounds);
}

void ZQPrintableJXDistributedView::drawHeaders(QPainter& painter, const QRectF& bounds)
{
    const QRectF box = headerBoxForBounds(bounds);
    painter.save();
    if (ZQPrintableJXDistributedViewDelegate* printable = printableDelegate()) {
        const QString text = printable->printableDistributedViewHeaderStringForPage(this, m_pageNumber);
        if (!text.isNull()) {
            painter.setFont(headerAttributes().font);
            painter.setPen(headerAttributes().colour);
            painter.drawText(box, int(headerAttributes().alignment | Qt::AlignTop), text);
        }
    }
    painter.setPen(QPen(Qt::black, kRuleWidth));
    painter.drawLine(QPointF(box.left(), box.top() + 24), QPointF(box.right(), box.top() + 24));
    painter.drawLine(QPointF(box.left(), box.top() + 22), QPointF(box.right(), box.top() + 22));
    painter.restore();
}

void ZQPrintableJXDistributedView::drawFooters(QPainter& painter, const QRectF& bounds)
{
    const QRectF box = footerBoxForBounds(bounds);
    painter.save();
    if (ZQPrintableJXDistributedViewDelegate* printable = printableDelegate()) {
        const QString text = printable->printableDistributedViewFooterStringForPage(this, m_pageNumber);
        if (!text.isNull()) {
            painter.setFont(footerAttributes().font);
            painter.setPen(footerAttributes().colour);
            painter.drawText(box, int(footerAttributes().alignment | Qt::AlignBottom), text);
        }
    }
    painter.setPen(QPen(Qt::black, kRuleWidth));
    painter.drawLine(box.topLeft(), box.topRight());
    painter.restore();
}
