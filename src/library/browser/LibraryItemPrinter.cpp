#include "library/browser/LibraryItemPrinter.h"

#include "library/browser/LibraryItemBrowserRules.h"
#include "library/items/VXQLibraryItem.h"
#include "library/items/LibraryObjects.h"
#include "library/store/VXQLibrary.h"
#include "widgets/cells/ZQLabelledIconCell.h"
#include "widgets/iconview/ZQPrintableJXDistributedView.h"

#include <QPrinter>

namespace {

constexpr int kMaximumPrintedIconResolution = 600;

} // namespace

int LibraryItemPrinter::print(QPrinter& printer, qint64 count, JXDistributedViewDataSource* source,
                              JXDistributedViewDelegate* delegate)
{
    const double width = printer.pageLayout().paintRect(QPageLayout::Point).width();
    const auto grid = librarybrowser::PrintGrid::forWidthAndCount(width, count);
    ZQPrintableJXDistributedView printed;
    auto cell = std::make_shared<ZQLabelledIconCell>();
    printed.setPrototype(cell);
    printed.setShowsHeaders(true);
    printed.setShowsFooters(true);
    printed.setCellSize(QSizeF(kCellSide, kCellSide));
    printed.setContentInset(0);
    printed.setCellInset(QSizeF(1, 1));
    printed.resize(grid.viewSize().toSize());
    printed.setFrameSize(grid.viewSize());
    printed.setDataSource(source);
    printed.setDelegate(delegate);
    printed.reloadData();
    // Beyond 600 dots per inch icons only grow the file.
    m_pixelsPerPoint = std::min(printer.resolution(), kMaximumPrintedIconResolution) / 72.0;
    const int pages = printed.printToPrinter(printer);
    m_pixelsPerPoint = 0;
    printed.setDataSource(nullptr);
    printed.setDelegate(nullptr);
    return pages;
}

QImage LibraryItemPrinter::printedIcon(VXQLibraryItem& item) const
{
    const QImage preview = item.previewImageLoadingAsynchronously(false);
    const auto object = LibraryObjects::libraryObjectFor(item.representedObject());
    if (preview.isNull() || !object)
        return preview;
    // Fine enough for the printer at the largest the cell can show it.
    const QSizeF size = preview.deviceIndependentSize();
    const qreal ratio = m_pixelsPerPoint * kCellSide / std::max(size.width(), size.height());
    if (ratio <= 1)
        return preview;
    const QImage icon = object->imageToFitSizeWithPixelRatio(size, ratio);
    return icon.isNull() ? preview : icon;
}
