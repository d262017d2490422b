#include "library/browser/LibraryItemPdfPreview.h"

#include "library/browser/LibraryItemBrowserRules.h"
#include "platform/foundation/ZQAssert.h"
#include "widgets/cells/ZQLabelledIconCell.h"
#include "widgets/iconview/JXDistributedView.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

namespace librarybrowser {

QByteArray pdfOfIconGrid(JXDistributedViewDataSource& dataSource, JXDistributedViewDelegate& delegate, qint64 count,
                         unsigned columns, QSizeF iconSize)
{
    if (!ZQ_EXPECT(columns > 0, QStringLiteral("number of columns must be > 0")))
        return {};
    const QSizeF cellSize = iconSize + QSizeF(2, 2);
    const qint64 rows = std::max<qint64>(1, (count + columns - 1) / columns);
    const QSizeF size(columns * cellSize.width(), double(rows) * cellSize.height());

    JXDistributedView grid;
    auto cell = std::make_shared<ZQLabelledIconCell>();
    cell->setHighlightColour(cellSelectionColour());
    cell->setTextBackgroundHighlightColour(QApplication::palette().color(QPalette::Highlight));
    grid.setPrototype(cell);
    grid.setCellInset(QSizeF(1, 1));
    grid.setContentInset(0);
    grid.setCellSize(cellSize);
    grid.resize(size.toSize());
    grid.setFrameSize(size);
    grid.setDataSource(&dataSource);
    grid.setDelegate(&delegate);
    grid.reloadData();

    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(size, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        grid.drawRect(painter, QRectF(QPointF(0, 0), size), false);
    }
    grid.setDataSource(nullptr);
    grid.setDelegate(nullptr);
    return pdf;
}

} // namespace librarybrowser
