#include "media/window/ZQImageBrowserView.h"

#include "media/window/MediaGridModel.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr int kPadding = 6;
constexpr int kTextGap = 2;

// A one-point line inside `rect`, its edges filled: a stroke on a scaled screen would take
// the path stroker, the dearest part of a cell.
void drawOutline(QPainter* painter, const QRect& rect, const QColor& colour)
{
    painter->fillRect(QRect(rect.topLeft(), QSize(rect.width(), 1)), colour);
    painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    painter->fillRect(QRect(rect.left(), rect.top() + 1, 1, rect.height() - 2), colour);
    painter->fillRect(QRect(rect.right(), rect.top() + 1, 1, rect.height() - 2), colour);
}

} // namespace

ZQImageBrowserView::ZQImageBrowserView(QWidget* parent)
    : QListView(parent)
{
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setItemDelegate(new ImageBrowserCellDelegate(this));
    updateCellSize();
}

void ZQImageBrowserView::setZoomValue(double zoom)
{
    m_zoomValue = std::clamp(zoom, 0.0, 1.0);
    updateCellSize();
}

bool ZQImageBrowserView::isRowVisible(int row) const
{
    if (!model() || row < 0 || row >= model()->rowCount(rootIndex()))
        return false;
    return visualRect(model()->index(row, 0, rootIndex())).intersects(viewport()->rect());
}

void ZQImageBrowserView::updateCellSize()
{
    const int side = kSmallestThumbnail + qRound(m_zoomValue * (kLargestThumbnail - kSmallestThumbnail));
    setIconSize(QSize(side, side));
    setGridSize(ImageBrowserCellDelegate::cellSize(side, fontMetrics()) + QSize(kPadding, kPadding));
}

QSize ImageBrowserCellDelegate::cellSize(int iconSide, const QFontMetrics& metrics)
{
    return QSize(iconSide + 2 * kPadding, iconSide + 2 * kPadding + 2 * (metrics.height() + kTextGap));
}

QSize ImageBrowserCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return cellSize(option.decorationSize.width(), option.fontMetrics);
}

void ImageBrowserCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    const QRect cell = option.rect;
    const int side = option.decorationSize.width();
    const QPalette& palette = option.palette;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    painter->save();

    const QRect frame(cell.left() + (cell.width() - side) / 2 - kPadding / 2, cell.top() + kPadding / 2,
                      side + kPadding, side + kPadding);
    if (selected)
        painter->fillRect(frame, palette.color(QPalette::Highlight).lighter(160));
    drawOutline(painter, frame, palette.color(QPalette::Highlight));

    const QImage image = index.data(Qt::DecorationRole).value<QImage>();
    if (!image.isNull()) {
        const QSizeF fitted = QSizeF(image.size()).scaled(QSizeF(side, side), Qt::KeepAspectRatio);
        const QRectF target(frame.center().x() - fitted.width() / 2 + 0.5, frame.center().y() - fitted.height() / 2 + 0.5,
                            fitted.width(), fitted.height());
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(target, image);
    }

    const int lineHeight = option.fontMetrics.height();
    QRect text(cell.left() + 2, frame.bottom() + kTextGap + 1, cell.width() - 4, lineHeight);
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    if (selected)
        painter->fillRect(text, palette.color(QPalette::Highlight));
    drawCentredText(painter, text, option.fontMetrics.elidedText(index.data().toString(), Qt::ElideMiddle, text.width()));
    text.translate(0, lineHeight + kTextGap);
    painter->setPen(palette.color(QPalette::Disabled, QPalette::Text));
    drawCentredText(painter, text, index.data(MediaGridModel::SubtitleRole).toString());
    painter->restore();
}

void ImageBrowserCellDelegate::drawCentredText(QPainter* painter, const QRect& rect, const QString& text) const
{
    if (text.isEmpty())
        return;
    QStaticText* laidOut = m_texts.object(text);
    if (!laidOut) {
        laidOut = new QStaticText(text);
        laidOut->setTextFormat(Qt::PlainText); // a file named "<b>" is not markup
        laidOut->prepare(painter->transform(), painter->font());
        m_texts.insert(text, laidOut);
    }
    const QSizeF size = laidOut->size();
    painter->drawStaticText(QPointF(rect.left() + (rect.width() - size.width()) / 2, rect.top()), *laidOut);
}
