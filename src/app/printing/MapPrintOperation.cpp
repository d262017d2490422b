#include "app/printing/MapPrintOperation.h"

#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DrawingRenderer.h"

#include <QPainter>
#include <QPrinter>
#include <cmath>

namespace {

// Tiling stops here: a drawing this many pages wide or high at full size is a mistake.
constexpr int kMaximumPagesPerSide = 200;

bool isPrintableSize(QSizeF size)
{
    return std::isfinite(size.width()) && std::isfinite(size.height()) && size.width() > 0 && size.height() > 0;
}

} // namespace

MapPrintOperation::MapPrintOperation(std::shared_ptr<VXDrawing> drawing, QPrinter& printer)
    : m_drawing(std::move(drawing)), m_printer(printer)
{
}

QList<QRectF> MapPrintOperation::pagePiecesOfDrawing(QSizeF drawingSize, QSizeF printable, bool fit)
{
    if (!isPrintableSize(drawingSize) || !isPrintableSize(printable))
        return {};
    if (fit)
        return {QRectF(QPointF(), drawingSize)};
    const int columns = std::min(kMaximumPagesPerSide, int(std::ceil(drawingSize.width() / printable.width())));
    const int rows = std::min(kMaximumPagesPerSide, int(std::ceil(drawingSize.height() / printable.height())));
    QList<QRectF> pieces;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            pieces.append(QRectF(QPointF(column * printable.width(), row * printable.height()), printable)
                          & QRectF(QPointF(), drawingSize));
    return pieces;
}

// In points, from the paper's top left. At full size the drawing lies on the paper as its page
// does in the window, the unprintable border included: a map the size of the paper takes one
// sheet. A fitted drawing, and crop marks, keep to the printable area.
QRectF MapPrintOperation::contentArea() const
{
    const QPageLayout layout = m_printer.pageLayout();
    const bool cropMarks = m_cropMarkKind == kCropMarksCorners || m_cropMarkKind == kCropMarksEdges;
    if (!m_fitToSinglePage && !cropMarks)
        return layout.fullRect(QPageLayout::Point);
    QRectF area = layout.paintRect(QPageLayout::Point);
    if (cropMarks)
        area.adjust(kCropMarkRoom, kCropMarkRoom, -kCropMarkRoom, -kCropMarkRoom);
    return area;
}

bool MapPrintOperation::run()
{
    const QRectF content = contentArea();
    const QList<QRectF> pieces = pagePiecesOfDrawing(m_drawing->drawingSize(), content.size(), m_fitToSinglePage);
    if (pieces.isEmpty()) {
        ZQLogObjCMethod(QStringLiteral("nothing to print: the page has no printable area"));
        return false;
    }
    m_printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&m_printer)) {
        ZQLogObjCMethod(QStringLiteral("the printer could not start"));
        return false;
    }
    // Device units per point.
    const double resolution = m_printer.resolution() / 72.0;
    platform::DrawingRenderer::Options options;
    options.printing = true;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            m_printer.newPage();
        const QRectF& piece = pieces[i];
        const double scale = m_fitToSinglePage
                                 ? std::min(content.width() / piece.width(), content.height() / piece.height())
                                 : 1.0;
        const QRectF placed(content.topLeft(), piece.size() * scale);
        painter.save();
        painter.scale(resolution, resolution);
        drawCropMarks(painter, placed);
        painter.translate(placed.topLeft());
        painter.scale(scale, scale);
        painter.translate(-piece.topLeft());
        painter.setClipRect(piece);
        platform::DrawingRenderer::drawDrawing(*m_drawing, painter, piece, options);
        painter.restore();
    }
    return painter.end();
}

void MapPrintOperation::drawCropMarks(QPainter& painter, const QRectF& content) const
{
    if (m_cropMarkKind != kCropMarksCorners && m_cropMarkKind != kCropMarksEdges)
        return;
    constexpr double gap = 3;
    const double reach = gap + kCropMarkLength;
    painter.save();
    painter.setPen(QPen(Qt::black, 0.5));
    QList<QLineF> marks;
    if (m_cropMarkKind == kCropMarksCorners) {
        for (const QPointF corner : {content.topLeft(), content.topRight(), content.bottomLeft(), content.bottomRight()}) {
            const double outX = corner.x() <= content.left() ? -1 : 1;
            const double outY = corner.y() <= content.top() ? -1 : 1;
            marks.append({corner + QPointF(outX * gap, 0), corner + QPointF(outX * reach, 0)});
            marks.append({corner + QPointF(0, outY * gap), corner + QPointF(0, outY * reach)});
        }
    } else {
        const QPointF centre = content.center();
        marks.append({QPointF(centre.x(), content.top() - gap), QPointF(centre.x(), content.top() - reach)});
        marks.append({QPointF(centre.x(), content.bottom() + gap), QPointF(centre.x(), content.bottom() + reach)});
        marks.append({QPointF(content.left() - gap, centre.y()), QPointF(content.left() - reach, centre.y())});
        marks.append({QPointF(content.right() + gap, centre.y()), QPointF(content.right() + reach, centre.y())});
    }
    painter.drawLines(marks);
    painter.restore();
}
