#include "media/window/ZQImageBrowserView.h"

#include "media/window/MediaGridModel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
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
    : QAbstractItemView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
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
    if (!model() || row < 0 || row >= itemCount())
        return false;
    return visualRect(model()->index(row, 0, rootIndex())).intersects(viewport()->rect());
}

void ZQImageBrowserView::updateCellSize()
{
    const int side = kSmallestThumbnail + qRound(m_zoomValue * (kLargestThumbnail - kSmallestThumbnail));
    setIconSize(QSize(side, side));
    m_gridSize = ImageBrowserCellDelegate::cellSize(side, fontMetrics()) + QSize(kPadding, kPadding);
    doItemsLayout();
}

int ZQImageBrowserView::itemCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

void ZQImageBrowserView::updateGrid()
{
    m_grid = UniformCellGrid(m_gridSize, ImageBrowserCellDelegate::cellSize(iconSize().width(), fontMetrics()),
                             itemCount(), viewport()->width());
}

void ZQImageBrowserView::doItemsLayout()
{
    updateGeometries();
    viewport()->update();
}

void ZQImageBrowserView::updateGeometries()
{
    updateGrid();
    const QSize content = m_grid.contentSize();
    const QSize shown = viewport()->size();
    verticalScrollBar()->setSingleStep(m_grid.itemRect(0).height());
    verticalScrollBar()->setPageStep(shown.height());
    verticalScrollBar()->setRange(0, std::max(0, content.height() - shown.height()));
    horizontalScrollBar()->setSingleStep(m_grid.itemRect(0).width());
    horizontalScrollBar()->setPageStep(shown.width());
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - shown.width()));
    QAbstractItemView::updateGeometries();
}

int ZQImageBrowserView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int ZQImageBrowserView::verticalOffset() const
{
    return verticalScrollBar()->value();
}

QRect ZQImageBrowserView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.parent() != rootIndex() || index.row() >= m_grid.count())
        return {};
    return m_grid.itemRect(index.row()).translated(-offset());
}

QModelIndex ZQImageBrowserView::indexAt(const QPoint& point) const
{
    const int row = m_grid.itemAt(point + offset());
    return row < 0 || !model() ? QModelIndex() : model()->index(row, 0, rootIndex());
}

void ZQImageBrowserView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const QRect item = visualRect(index);
    if (item.isEmpty())
        return;
    const QRect shown = viewport()->rect();
    QScrollBar* vertical = verticalScrollBar();
    switch (hint) {
    case PositionAtTop:
        vertical->setValue(vertical->value() + item.top());
        break;
    case PositionAtBottom:
        vertical->setValue(vertical->value() + item.bottom() - shown.bottom());
        break;
    case PositionAtCenter:
        vertical->setValue(vertical->value() + item.center().y() - shown.center().y());
        break;
    case EnsureVisible:
        if (item.top() < shown.top() || item.height() > shown.height())
            vertical->setValue(vertical->value() + item.top());
        else if (item.bottom() > shown.bottom())
            vertical->setValue(vertical->value() + item.bottom() - shown.bottom());
        break;
    }
    QScrollBar* horizontal = horizontalScrollBar();
    if (item.left() < shown.left() || item.width() > shown.width())
        horizontal->setValue(horizontal->value() + item.left());
    else if (item.right() > shown.right())
        horizontal->setValue(horizontal->value() + item.right() - shown.right());
}

QModelIndex ZQImageBrowserView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int count = itemCount();
    if (count == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    const int row = current.row();
    const int columns = m_grid.columns();
    const int pageRows = std::max(1, viewport()->height() / m_gridSize.height()) * columns;
    int target = row;
    switch (action) {
    case MoveLeft:
    case MovePrevious:
        target = row - 1;
        break;
    case MoveRight:
    case MoveNext:
        target = row + 1;
        break;
    case MoveUp:
        target = row - columns;
        break;
    case MoveDown:
        // A shorter last row: down from above its end goes to its last item.
        target = row / columns < (count - 1) / columns ? std::min(row + columns, count - 1) : row;
        break;
    case MovePageUp:
        target = std::max(row % columns, row - pageRows);
        break;
    case MovePageDown:
        target = std::min(count - 1, row + pageRows);
        break;
    case MoveHome:
        target = 0;
        break;
    case MoveEnd:
        target = count - 1;
        break;
    }
    return target < 0 || target >= count ? current : model()->index(target, 0, rootIndex());
}

void ZQImageBrowserView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel())
        return;
    const QRect area = rect.normalized().translated(offset());
    const auto [first, end] = m_grid.itemsMeeting(area);
    QItemSelection selection;
    for (int row = first; row < end; ++row)
        if (m_grid.itemRect(row).intersects(area)) {
            const QModelIndex index = model()->index(row, 0, rootIndex());
            selection.select(index, index);
        }
    selectionModel()->select(selection, command);
}

QRegion ZQImageBrowserView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    const QRect shown = viewport()->rect();
    for (const QItemSelectionRange& range : selection) {
        if (range.parent() != rootIndex())
            continue;
        const auto [first, end] = m_grid.itemsMeeting(shown.translated(offset()));
        for (int row = std::max(range.top(), first); row <= std::min(range.bottom(), end - 1); ++row)
            region += visualRect(model()->index(row, 0, rootIndex()));
    }
    return region;
}

void ZQImageBrowserView::paintEvent(QPaintEvent* event)
{
    if (!model())
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State common = option.state;
    const QModelIndex current = currentIndex();
    const QModelIndex hovered = indexAt(viewport()->mapFromGlobal(QCursor::pos()));
    QPainter painter(viewport());
    const auto [first, end] = m_grid.itemsMeeting(event->rect().translated(offset()));
    for (int row = first; row < end; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        option.rect = visualRect(index);
        if (!event->region().intersects(option.rect))
            continue;
        option.state = common;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (index == current && hasFocus())
            option.state |= QStyle::State_HasFocus;
        if (index == hovered && underMouse())
            option.state |= QStyle::State_MouseOver;
        if (!(model()->flags(index) & Qt::ItemIsEnabled))
            option.state &= ~QStyle::State_Enabled;
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
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
    drawCentredText(painter, text, elidedName(index.data().toString(), option, text.width()));
    text.translate(0, lineHeight + kTextGap);
    painter->setPen(palette.color(QPalette::Disabled, QPalette::Text));
    drawCentredText(painter, text, index.data(MediaGridModel::SubtitleRole).toString());
    painter->restore();
}

QString ImageBrowserCellDelegate::elidedName(const QString& name, const QStyleOptionViewItem& option, int width) const
{
    if (width != m_elidedWidth || option.font != m_elidedFont) {
        m_elidedNames.clear();
        m_elidedWidth = width;
        m_elidedFont = option.font;
    }
    if (const QString* elided = m_elidedNames.object(name))
        return *elided;
    const QString elided = option.fontMetrics.elidedText(name, Qt::ElideMiddle, width);
    m_elidedNames.insert(name, new QString(elided));
    return elided;
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
