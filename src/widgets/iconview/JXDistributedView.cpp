#include "widgets/iconview/JXDistributedView.h"

#include "widgets/iconview/JXDistributedViewAccessibility.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QtEndian>
#include <qdrawutil.h>
#include <cmath>

namespace {

// Positions beyond this are clamped, so layout, sizing and slot searches stay finite.
constexpr double kLargestCoordinate = 1.0e7;
// Archived sizes beyond this are damage, not settings.
constexpr double kLargestArchivedSize = 1.0e5;

double saneCoordinate(double value)
{
    if (!std::isfinite(value))
        return 0.0;
    return std::clamp(value, -kLargestCoordinate, kLargestCoordinate);
}

// One axis of the grid anchored at 0: the nearest grid point, halfway going up. Negative
// coordinates are shifted into the positive range first, as the truncation rounds towards 0.
double snapToGridStep(double p, double step)
{
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(p))
        return p;
    double shift = 0.0;
    if (p < 0.0) {
        shift = (std::trunc(float(-p / step)) + 1.0) * step;
        p += shift;
    }
    p = std::trunc(float((p + step * 0.5) / step)) * step;
    return p - shift;
}

QByteArray sizeBytes(QSizeF size)
{
    QByteArray bytes(16, '\0');
    qToLittleEndian<double>(size.width(), bytes.data());
    qToLittleEndian<double>(size.height(), bytes.data() + 8);
    return bytes;
}

std::optional<QSizeF> sizeFromBytes(const QByteArray& bytes)
{
    if (bytes.size() != 16)
        return std::nullopt;
    const double width = qFromLittleEndian<double>(bytes.constData());
    const double height = qFromLittleEndian<double>(bytes.constData() + 8);
    const auto sound = [](double v) { return std::isfinite(v) && v > 0.0 && v <= kLargestArchivedSize; };
    if (!sound(width) || !sound(height))
        return std::nullopt;
    return QSizeF(width, height);
}

bool meets(const QRectF& a, const QRectF& b)
{
    return a.intersects(b);
}

} // namespace

JXDistributedView::JXDistributedView(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_prototype(std::make_shared<JXDistributedViewCell>())
    , m_gridColor(defaultGridColor())
{
    viewport()->setMouseTracking(false);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    installDistributedViewAccessibility();
}

JXDistributedView::~JXDistributedView() = default;

QColor JXDistributedView::defaultGridColor()
{
    return QColor::fromRgbF(0.8f, 0.8f, 0.8f);
}

// --- Data source, delegate, prototype -----------------------------------------------------------

void JXDistributedView::setDataSource(JXDistributedViewDataSource* dataSource)
{
    m_dataSource = dataSource;
    m_dataSourceObject = dynamic_cast<QObject*>(dataSource);
    reloadData();
}

void JXDistributedView::setPrototype(JXDistributedViewCellPtr prototype)
{
    m_prototype = std::move(prototype);
    setNeedsDisplay();
}

qint64 JXDistributedView::numberOfItems() const
{
    if (!m_dataSource)
        return 0;
    return std::max<qint64>(0, m_dataSource->numberOfItemsInDistributedView(const_cast<JXDistributedView*>(this)));
}

void JXDistributedView::fillPrototypeForItem(qint64 index)
{
    if (m_dataSource && m_prototype && index >= 0 && index < numberOfItems())
        m_dataSource->distributedViewPositionForCellAtItemIndex(this, m_prototype.get(), index);
}

// --- Settings ------------------------------------------------------------------------------------

void JXDistributedView::setCellSize(QSizeF size)
{
    textDidEndEditing();
    m_cellSize = size;
    m_gridSize = size / 2.0;
    invalidateVisibleItemsCache();
    contentSizeChanged();
    setNeedsDisplay();
}

void JXDistributedView::setGridSize(QSizeF size)
{
    m_gridSize = size;
    setNeedsDisplay();
}

void JXDistributedView::setContentInset(float inset)
{
    m_contentInset = inset;
    contentSizeChanged();
    setNeedsDisplay();
}

void JXDistributedView::setCellInset(QSizeF inset)
{
    m_cellInset = inset;
    setNeedsDisplay();
}

void JXDistributedView::setGridColor(const QColor& colour)
{
    m_gridColor = colour;
    if (drawsGrid())
        setNeedsDisplay();
}

void JXDistributedView::setFlag(JXDVPersistentFlags::Bit bit, bool on)
{
    m_flags = on ? (m_flags | bit) : (m_flags & ~quint32(bit));
}

void JXDistributedView::setFlagAndRedraw(JXDVPersistentFlags::Bit bit, bool on)
{
    setFlag(bit, on);
    setNeedsDisplay();
}

void JXDistributedView::setSizeToFit(bool on)
{
    setFlag(JXDVPersistentFlags::sizeToFit, on);
    contentSizeChanged();
}

void JXDistributedView::setForceToGrid(bool on)
{
    setFlag(JXDVPersistentFlags::forceToGrid, on);
    invalidateVisibleItemsCache();
    contentSizeChanged();
    setNeedsDisplay();
}

void JXDistributedView::setDragDelay(double seconds)
{
    m_dragDelay = std::isfinite(seconds) ? std::clamp(seconds, 0.0, 2.0) : 0.0;
}

void JXDistributedView::setCanBecomeKeyView(bool on)
{
    m_canBecomeKey = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void JXDistributedView::setMultiPositioningMode(bool on)
{
    m_multiPositioningMode = on;
    if (on) {
        m_lastSuggestedItemPos = QPointF(0, 0);
        std::vector<qint64> all(static_cast<size_t>(numberOfItems()));
        for (size_t i = 0; i < all.size(); ++i)
            all[i] = qint64(i);
        m_itemsBelowLastSuggested = std::move(all);
    } else {
        m_itemsBelowLastSuggested.reset();
    }
}

// --- Archive ---------------------------------------------------------------------------------------

void JXDistributedView::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeData(sizeBytes(m_cellSize), QStringLiteral("JXDVcellSize"));
    coder.encodeData(sizeBytes(m_gridSize), QStringLiteral("JXDVgridSize"));
    coder.encodeDouble(m_contentInset, QStringLiteral("JXDVcontentInset"));
    coder.encodeInt(qint32(m_flags), QStringLiteral("JXDVflags"));
    coder.encodeObject(m_prototype.get(), QStringLiteral("JXDVprototype"));
    coder.encodeColor(m_gridColor, QStringLiteral("JXDVgridColor"));
}

void JXDistributedView::initWithCoder(platform::KeyedUnarchiver& coder)
{
    m_cellSize = sizeFromBytes(coder.decodeData(QStringLiteral("JXDVcellSize"))).value_or(kDefaultCellSize);
    m_gridSize = sizeFromBytes(coder.decodeData(QStringLiteral("JXDVgridSize"))).value_or(kDefaultGridSize);
    const double inset = coder.decodeDouble(QStringLiteral("JXDVcontentInset"));
    m_contentInset = std::isfinite(inset) && std::abs(inset) <= kLargestArchivedSize ? float(inset)
                                                                                      : kDefaultContentInset;
    m_flags = quint32(coder.decodeInt(QStringLiteral("JXDVflags")));
    m_prototype = coder.decodeObjectOfClass<JXDistributedViewCell>(QStringLiteral("JXDVprototype"));
    if (!m_prototype)
        m_prototype = std::make_shared<JXDistributedViewCell>();
    const QColor colour = coder.decodeColor(QStringLiteral("JXDVgridColor"));
    m_gridColor = colour.isValid() ? colour : defaultGridColor();
    m_mouseItem = -1;
    m_dragDestItem = -1;
    m_editedItem = -1;
    m_lastPos = QPointF();
    m_selectionRect = QRectF();
    m_selection.clear();
    invalidateVisibleItemsCache();
    setCanBecomeKeyView(false);
    m_dragDelay = 0.0;
    contentSizeChanged();
    setNeedsDisplay();
}

// --- Geometry ------------------------------------------------------------------------------------

QPointF JXDistributedView::rawPosition(qint64 index) const
{
    const QPointF position = m_dataSource->distributedViewPositionForCellAtItemIndex(
        const_cast<JXDistributedView*>(this), nullptr, index);
    return QPointF(saneCoordinate(position.x()), saneCoordinate(position.y()));
}

QRectF JXDistributedView::rectForItemAtIndex(qint64 index) const
{
    if (!ZQ_EXPECT(index >= 0 && index < numberOfItems(),
                   QStringLiteral("Invalid parameter not satisfying: %1")
                       .arg(QStringLiteral("indx >= 0 && indx < [[self dataSource] numberOfItemsInDistributedView: self]"))))
        return {};
    return QRectF(rawPosition(index), m_cellSize);
}

QPointF JXDistributedView::itemPositionBasedOnItemIndex(qint64 index) const
{
    const double usable = m_frameSize.width() - 2.0 * m_contentInset;
    const qint64 columns = std::max<qint64>(1, qint64(std::trunc(float(usable / m_cellSize.width()))));
    return QPointF(m_contentInset + double(index % columns) * m_cellSize.width(),
                   m_contentInset + double(index / columns) * m_cellSize.height());
}

QRectF JXDistributedView::forceRectToGrid(const QRectF& rect) const
{
    const double inset = m_contentInset;
    return QRectF(snapToGridStep(rect.x() - inset, m_gridSize.width()) + inset,
                  snapToGridStep(rect.y() - inset, m_gridSize.height()) + inset, rect.width(), rect.height());
}

QRectF JXDistributedView::snapRectToGrid(const QRectF& rect) const
{
    return forceToGrid() ? forceRectToGrid(rect) : rect;
}

QRectF JXDistributedView::rectEnclosingItemsAtIndexes(const JXIndexSet& indexes) const
{
    QRectF result;
    const qint64 count = numberOfItems();
    for (qint64 index : indexes)
        if (index >= 0 && index < count)
            result = result.united(rectForItemAtIndex(index));
    return result;
}

QRectF JXDistributedView::rectEnclosingItemsInRange(qint64 location, qint64 length) const
{
    QRectF result;
    const qint64 end = std::min(numberOfItems(), location + std::max<qint64>(length, 0));
    for (qint64 index = std::max<qint64>(location, 0); index < end; ++index)
        result = result.united(rectForItemAtIndex(index));
    return result;
}

QRectF JXDistributedView::rectAroundItems(const std::vector<qint64>& indexes) const
{
    return rectEnclosingItemsAtIndexes(JXIndexSet(indexes.begin(), indexes.end()));
}

bool JXDistributedView::hitsCell(qint64, const QRectF& snappedBox, const QRectF& rect) const
{
    if (!m_prototype)
        return false;
    return meets(m_prototype->imageRectForBounds(snappedBox), rect)
        || meets(m_prototype->titleRectForBounds(snappedBox), rect);
}

qint64 JXDistributedView::getItemIndexAtPoint(QPointF point) const
{
    const qint64 count = numberOfItems();
    if (count == 0 || !m_prototype)
        return NSNotFound;
    for (qint64 index = 0; index < count; ++index) {
        const QRectF box = snappedRectForItemAtIndex(index);
        if (!box.contains(point))
            continue;
        if (m_prototype->imageRectForBounds(box).contains(point) || m_prototype->titleRectForBounds(box).contains(point))
            return index;
    }
    return NSNotFound;
}

qint64 JXDistributedView::getItemIndexInRect(const QRectF& rect)
{
    if (numberOfItems() == 0)
        return NSNotFound;
    ensureVisibleItemsCache();
    const qint64 count = numberOfItems();
    for (auto it = m_visibleItems.rbegin(); it != m_visibleItems.rend(); ++it) {
        if (*it >= count)
            continue;
        if (hitsCell(*it, snappedRectForItemAtIndex(*it), rect))
            return *it;
    }
    return NSNotFound;
}

qint64 JXDistributedView::getUncachedItemIndexInRect(const QRectF& rect) const
{
    const qint64 count = numberOfItems();
    for (qint64 index = 0; index < count; ++index)
        if (meets(snappedRectForItemAtIndex(index), rect))
            return index;
    return NSNotFound;
}

qint64 JXDistributedView::getItemIndexForSuggestionInRect(const QRectF& rect) const
{
    if (!m_multiPositioningMode || !m_itemsBelowLastSuggested)
        return getUncachedItemIndexInRect(rect);
    const qint64 count = numberOfItems();
    for (qint64 index : *m_itemsBelowLastSuggested)
        if (index < count && meets(snappedRectForItemAtIndex(index), rect))
            return index;
    return NSNotFound;
}

bool JXDistributedView::itemIsVisible(qint64 index) const
{
    return index >= 0 && index < numberOfItems() && meets(rectForItemAtIndex(index), visibleRect());
}

bool JXDistributedView::itemIsVisibleAtPosition(QPointF position) const
{
    return meets(snapRectToGrid(QRectF(position, m_cellSize)), m_visibleItemRect);
}

QRectF JXDistributedView::bestRect() const
{
    const qint64 count = numberOfItems();
    if (count == 0)
        return QRectF(0, 0, m_contentInset, m_contentInset);
    double right = -kLargestCoordinate, bottom = -kLargestCoordinate;
    for (qint64 index = 0; index < count; ++index) {
        const QRectF box = snappedRectForItemAtIndex(index);
        right = std::max(right, box.right());
        bottom = std::max(bottom, box.bottom());
    }
    return QRectF(0, 0, std::max(0.0, right + m_contentInset), std::max(0.0, bottom + m_contentInset));
}

QSizeF JXDistributedView::bestSize() const
{
    const qint64 count = numberOfItems();
    if (count == 0)
        return QSizeF(0, 0);
    QRectF all = snappedRectForItemAtIndex(0);
    for (qint64 index = 1; index < count; ++index)
        all = all.united(snappedRectForItemAtIndex(index));
    return QSizeF(all.width() + 2.0 * m_contentInset, all.height() + 2.0 * m_contentInset);
}

QRectF JXDistributedView::computeFrame() const
{
    QRectF frame = bestRect();
    frame.setWidth(std::max<double>(frame.width(), viewport()->width()));
    frame.setHeight(std::max<double>(frame.height(), viewport()->height()));
    return frame;
}

QSize JXDistributedView::windowFrameSizeForBestSize() const
{
    const QWidget* top = window();
    const QSize chrome = top->frameGeometry().size() - viewport()->size();
    QSizeF best = bestSize();
    if (best.width() == 0)
        best.setWidth(100);
    if (best.height() == 0)
        best.setHeight(100);
    return QSize(chrome.width() + int(std::ceil(best.width())) + 17, chrome.height() + int(std::ceil(best.height())) + 17);
}

QRect JXDistributedView::windowFrameForBestSize() const
{
    return QRect(window()->frameGeometry().topLeft(), windowFrameSizeForBestSize());
}

QPointF JXDistributedView::suggestedPosition()
{
    const double inset = m_contentInset;
    const QPointF fallback(inset, inset);
    if (!(m_gridSize.width() > 0) || !(m_gridSize.height() > 0))
        return fallback;
    const qint64 rows = qint64(std::trunc(float((m_frameSize.height() - 2 * inset) / m_gridSize.height())));
    const qint64 columns = qint64(std::trunc(float((m_frameSize.width() - 2 * inset) / m_gridSize.width())));
    if (rows <= 0 || columns <= 0)
        return fallback;
    const qint64 startRow = m_multiPositioningMode ? qint64(m_lastSuggestedItemPos.y()) : 0;
    qint64 column = m_multiPositioningMode ? qint64(m_lastSuggestedItemPos.x()) : 0;
    // Each item blocks a bounded number of slots, so a free one lies within this many tests.
    const qint64 budget = (numberOfItems() + 1) * (qint64(m_cellSize.width() / m_gridSize.width()) + 2)
        * (qint64(m_cellSize.height() / m_gridSize.height()) + 2);
    qint64 tested = 0;
    for (qint64 row = startRow; row < startRow + 10 * rows && tested <= budget; ++row, column = 0) {
        for (; column < columns && tested <= budget; ++column, ++tested) {
            const QRectF slot(inset + double(column) * m_gridSize.width(), inset + double(row) * m_gridSize.height(),
                              m_cellSize.width(), m_cellSize.height());
            if (getItemIndexForSuggestionInRect(slot) != NSNotFound)
                continue;
            if (m_multiPositioningMode && m_itemsBelowLastSuggested) {
                if (double(row) > m_lastSuggestedItemPos.y()) {
                    std::erase_if(*m_itemsBelowLastSuggested, [&](qint64 index) {
                        return index >= numberOfItems() || snappedRectForItemAtIndex(index).bottom() < slot.y();
                    });
                }
                m_itemsBelowLastSuggested->push_back(numberOfItems());
            }
            m_lastSuggestedItemPos = QPointF(double(column), double(row));
            return slot.topLeft();
        }
    }
    return fallback;
}

void JXDistributedView::positionItem(qint64 index)
{
    const qint64 count = numberOfItems();
    if (!ZQ_EXPECT(index >= 0 && index < count,
                   QStringLiteral("Invalid parameter not satisfying: %1")
                       .arg(QStringLiteral("indx >= 0 && indx < [[self dataSource] numberOfItemsInDistributedView: self]"))))
        return;
    if (!m_dataSource->answers(JXDistributedViewDataSource::Message::SetPosition) || !(m_gridSize.width() > 0))
        return;
    const double inset = m_contentInset;
    // At least one column: a view narrower than a grid step would otherwise test no slot at all.
    const qint64 columns = std::max<qint64>(
        1, qint64(std::trunc(float((m_frameSize.width() - 2 * inset) / m_gridSize.width()))));
    // An item blocks at most this many slots, so the search ends within count * it slots.
    const qint64 blockedPerItem = 2 * (qint64(m_cellSize.width() / m_gridSize.width()) + 2);
    const qint64 lastRow = (count * blockedPerItem) / columns + 1;
    qint64 row = m_multiPositioningMode ? qint64(m_lastSuggestedItemPos.y()) : 0;
    qint64 column = m_multiPositioningMode ? qint64(m_lastSuggestedItemPos.x()) : 0;
    for (; row <= lastRow + qint64(m_multiPositioningMode ? m_lastSuggestedItemPos.y() : 0); ++row, column = 0) {
        for (; column < columns; ++column) {
            const QRectF slot(inset + double(column) * m_gridSize.width(), inset + double(row) * m_cellSize.height(),
                              m_cellSize.width(), m_cellSize.height());
            if (getUncachedItemIndexInRect(slot) != NSNotFound)
                continue;
            m_dataSource->distributedViewSetPositionForItemIndex(this, slot.topLeft(), index);
            m_lastSuggestedItemPos = QPointF(double(column), double(row));
            return;
        }
    }
}

void JXDistributedView::setFrameSize(QSizeF size)
{
    size = QSizeF(std::clamp(size.width(), 0.0, kLargestCoordinate), std::clamp(size.height(), 0.0, kLargestCoordinate));
    if (size == m_frameSize)
        return;
    m_frameSize = size;
    invalidateVisibleItemsCache();
    updateScrollBars();
}

QRectF JXDistributedView::visibleRect() const
{
    const QRectF shown(QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()),
                       QSizeF(viewport()->size()));
    return shown.intersected(frame());
}

QPointF JXDistributedView::documentPoint(QPointF viewportPoint) const
{
    return viewportPoint + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void JXDistributedView::updateScrollBars()
{
    const QSize shown = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(m_frameSize.width())) - shown.width()));
    horizontalScrollBar()->setPageStep(shown.width());
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(m_frameSize.height())) - shown.height()));
    verticalScrollBar()->setPageStep(shown.height());
}

// --- Layout commands -------------------------------------------------------------------------------

void JXDistributedView::positionAllItems(QObject*)
{
    if (!m_dataSource || !m_dataSource->answers(JXDistributedViewDataSource::Message::SetPosition))
        return;
    const qint64 count = numberOfItems();
    for (qint64 index = 0; index < count; ++index)
        m_dataSource->distributedViewSetPositionForItemIndex(this, itemPositionBasedOnItemIndex(index), index);
    invalidateVisibleItemsCache();
    contentSizeChanged();
    setNeedsDisplay();
}

void JXDistributedView::snapAllItemsToGrid(QObject*)
{
    if (!m_dataSource || !m_dataSource->answers(JXDistributedViewDataSource::Message::SetPosition))
        return;
    const qint64 count = numberOfItems();
    for (qint64 index = 0; index < count; ++index)
        m_dataSource->distributedViewSetPositionForItemIndex(this, forceRectToGrid(rectForItemAtIndex(index)).topLeft(),
                                                             index);
    invalidateVisibleItemsCache();
    contentSizeChanged();
    setNeedsDisplay();
}

void JXDistributedView::rescrollItems(QObject*)
{
    if (!m_dataSource || !m_dataSource->answers(JXDistributedViewDataSource::Message::SetPosition))
        return;
    const qint64 count = numberOfItems();
    if (count == 0)
        return;
    double minX = 2147483647.0, minY = 2147483647.0;
    for (qint64 index = 0; index < count; ++index) {
        const QPointF position = rawPosition(index);
        minX = std::min(minX, std::trunc(position.x()));
        minY = std::min(minY, std::trunc(position.y()));
    }
    const QPointF shift(std::trunc(m_contentInset - minX), std::trunc(m_contentInset - minY));
    for (qint64 index = 0; index < count; ++index)
        m_dataSource->distributedViewSetPositionForItemIndex(this, rawPosition(index) + shift, index);
    invalidateVisibleItemsCache();
    contentSizeChanged();
    setNeedsDisplay();
}

// --- Redisplay and cache ---------------------------------------------------------------------------

void JXDistributedView::setNeedsDisplayInRect(const QRectF& rect)
{
    const QPointF offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->update(rect.translated(-offset).toAlignedRect());
}

void JXDistributedView::setNeedsDisplayInRegion(const QRegion& region)
{
    viewport()->update(region.translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
}

void JXDistributedView::selectionRectChanged(const QRectF& from, const QRectF& to)
{
    // The band's fill and outline, and its inside that only the fill covers.
    const auto drawn = [](const QRectF& band) {
        return band.isEmpty() ? QRect() : band.toAlignedRect().adjusted(-1, -1, 1, 1);
    };
    const auto filledOnly = [](const QRectF& band) {
        return band.isEmpty() ? QRect() : band.toAlignedRect().adjusted(2, 2, -2, -2);
    };
    const QRegion before(drawn(from)), after(drawn(to));
    setNeedsDisplayInRegion((before ^ after) + (before - filledOnly(from)) + (after - filledOnly(to)));
}

void JXDistributedView::setNeedsDisplay()
{
    viewport()->update();
}

void JXDistributedView::itemNeedsDisplay(qint64 index)
{
    if (index < 0 || index >= numberOfItems())
        return;
    const QRectF box = rectForItemAtIndex(index);
    if (!forceToGrid())
        setNeedsDisplayInRect(box);
    if (forceToGrid() || m_drawSnappedRects)
        setNeedsDisplayInRect(forceRectToGrid(box));
}

void JXDistributedView::itemsNeedDisplayAtIndexes(const JXIndexSet& indexes)
{
    // A few boxes each on their own: a growing rubber band changes the cells along two of its
    // edges, whose enclosing rectangle is the whole band. Many as one rectangle: a region of
    // thousands costs more to build than to paint.
    constexpr size_t kMostSeparateBoxes = 64;
    const bool separate = indexes.size() <= kMostSeparateBoxes;
    const qint64 count = numberOfItems();
    QRectF enclosing;
    QRegion boxes;
    const auto add = [&](const QRectF& box) {
        if (separate)
            boxes += box.toAlignedRect();
        else
            enclosing = enclosing.united(box);
    };
    for (qint64 index : indexes) {
        if (index < 0 || index >= count)
            continue;
        const QRectF box = rectForItemAtIndex(index);
        if (!forceToGrid())
            add(box);
        if (forceToGrid() || m_drawSnappedRects)
            add(forceRectToGrid(box));
    }
    if (!boxes.isEmpty())
        setNeedsDisplayInRegion(boxes);
    if (!enclosing.isEmpty())
        setNeedsDisplayInRect(enclosing);
}

void JXDistributedView::selectionSetNeedsDisplay()
{
    itemsNeedDisplayAtIndexes(m_selection);
}

void JXDistributedView::reloadData()
{
    invalidateVisibleItemsCache();
    updateSelectionSet();
    contentSizeChanged();
    setNeedsDisplay();
    m_oldItemCount = numberOfItems();
}

void JXDistributedView::noteNumberOfItemsChanged()
{
    const qint64 count = numberOfItems();
    if (count > m_oldItemCount && !m_visibleItemRect.isNull()) {
        extendCacheByVisibleItemIndexesInRectStartingAtIndex(m_visibleItemRect, m_oldItemCount);
        contentSizeChanged();
        setNeedsDisplay();
    } else {
        reloadData();
    }
    updateSelectionSet();
    m_oldItemCount = count;
}

void JXDistributedView::contentSizeChanged()
{
    if (sizeToFit()) {
        const QRectF wanted = computeFrame();
        if (wanted.size() != m_frameSize) {
            setFrameSize(wanted.size());
            setNeedsDisplay();
        }
    } else if (m_frameSize.isEmpty()) {
        setFrameSize(QSizeF(viewport()->size()));
    }
}

void JXDistributedView::invalidateVisibleItemsCache()
{
    m_visibleItems.clear();
    m_visibleItemRect = QRectF();
}

void JXDistributedView::extendCacheByVisibleItemIndexesInRectStartingAtIndex(const QRectF& rect, qint64 start)
{
    if (m_delegate && m_delegate->answers(JXDistributedViewDelegate::Message::DidStartCachingItems))
        m_delegate->distributedViewDidStartCachingItems(this);
    const qint64 count = numberOfItems();
    for (qint64 index = std::max<qint64>(0, start); index < count; ++index)
        if (meets(snappedRectForItemAtIndex(index), rect))
            m_visibleItems.push_back(index);
    m_visibleItemRect = rect;
    if (m_delegate && m_delegate->answers(JXDistributedViewDelegate::Message::WillEndCachingItems))
        m_delegate->distributedViewWillEndCachingItems(this);
}

void JXDistributedView::ensureVisibleItemsCache()
{
    const QRectF shown = visibleRect();
    if (shown == m_visibleItemRect && !shown.isNull())
        return;
    invalidateVisibleItemsCache();
    extendCacheByVisibleItemIndexesInRectStartingAtIndex(shown, 0);
}

// --- Scrolling -------------------------------------------------------------------------------------

void JXDistributedView::scrollToPoint(QPointF point)
{
    // Moving the bars scrolls the drawn pixels along: only the uncovered strips get painted.
    horizontalScrollBar()->setValue(int(std::lround(point.x())));
    verticalScrollBar()->setValue(int(std::lround(point.y())));
}

void JXDistributedView::scrollByXY(float dx, float dy)
{
    scrollToPoint(visibleRect().topLeft() + QPointF(dx, dy));
}

void JXDistributedView::pageDown(QObject*)
{
    scrollByXY(0, float(viewport()->height()));
}

void JXDistributedView::pageUp(QObject*)
{
    scrollByXY(0, -float(viewport()->height()));
}

void JXDistributedView::scrollItemToVisible(qint64 index)
{
    if (index < 0 || index >= numberOfItems())
        return;
    const QRectF shown(QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()),
                       QSizeF(viewport()->size()));
    const QRectF shrunk(shown.topLeft(), shown.size() - m_cellSize);
    const QRectF box = rectForItemAtIndex(index);
    if (shrunk.contains(box))
        return;
    QPointF target = shown.topLeft();
    if (box.x() < shown.x() || box.right() > shown.right())
        target.setX(box.x() < shown.x() ? box.x() : box.x() - (shrunk.width() - box.width()));
    if (box.y() < shown.y() || box.bottom() > shown.bottom())
        target.setY(box.y() < shown.y() ? box.y() : box.y() - (shrunk.height() - box.height()));
    scrollToPoint(target);
}

// --- Drawing ---------------------------------------------------------------------------------------

void JXDistributedView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QPointF offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-offset);
    drawRect(painter, QRectF(event->rect()).translated(offset), true, event->region().translated(offset.toPoint()));
}

void JXDistributedView::drawRect(QPainter& painter, const QRectF& rect, bool toScreen, const QRegion& exposed)
{
    if (!m_dataSource) {
        painter.save();
        qDrawShadeRect(&painter, frame().toAlignedRect(), palette(), true);
        painter.drawText(QPointF(8, 20), QStringLiteral("JXDistributedView"));
        painter.restore();
        return;
    }
    if (drawsBackground())
        drawBackgroundInRect(painter, rect);
    if (drawsGrid())
        drawGridForDrawRect(painter, rect);
    if (m_drawDropHilite && toScreen) {
        painter.save();
        QColor colour = palette().color(QPalette::Highlight);
        colour.setAlphaF(0.5f);
        painter.setPen(QPen(colour, 3.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(visibleRect().adjusted(1.5, 1.5, -1.5, -1.5));
        painter.restore();
    }
    drawCellsForDrawRect(painter, rect, toScreen, exposed);
    if (toScreen)
        drawSelectionRectForDrawRect(painter);
}

void JXDistributedView::drawBackgroundInRect(QPainter& painter, const QRectF& rect)
{
    painter.fillRect(rect, Qt::white);
}

void JXDistributedView::drawGridForDrawRect(QPainter& painter, const QRectF& rect)
{
    if (!(m_gridSize.width() > 0) || !(m_gridSize.height() > 0))
        return;
    painter.save();
    painter.setPen(QPen(m_gridColor, 1.0));
    painter.setBrush(Qt::NoBrush);
    const double inset = m_contentInset;
    const QRectF box = frame().adjusted(inset, inset, -inset, -inset).translated(0.5, -0.5);
    painter.drawRect(box);
    painter.setClipRect(box.intersected(rect.adjusted(-1, -1, 1, 1)));
    const qint64 columns = qint64(box.width() / m_gridSize.width() + 1);
    const qint64 rows = qint64(box.height() / m_gridSize.height() + 1);
    // Only the lines that cross the redrawn area.
    const qint64 firstColumn = std::max<qint64>(0, qint64((rect.left() - inset) / m_gridSize.width()) - 1);
    const qint64 lastColumn = std::min<qint64>(columns, qint64((rect.right() - inset) / m_gridSize.width()) + 1);
    const qint64 firstRow = std::max<qint64>(0, qint64((rect.top() - inset) / m_gridSize.height()) - 1);
    const qint64 lastRow = std::min<qint64>(rows, qint64((rect.bottom() - inset) / m_gridSize.height()) + 1);
    for (qint64 column = firstColumn; column < lastColumn; ++column)
        for (qint64 row = firstRow; row < lastRow; ++row)
            painter.drawRect(QRectF(inset + double(column) * m_gridSize.width() + 0.5,
                                    inset + double(row) * m_gridSize.height() + 0.5, m_gridSize.width(),
                                    m_gridSize.height()));
    painter.restore();
}

void JXDistributedView::drawCellsForDrawRect(QPainter& painter, const QRectF& rect, bool toScreen,
                                             const QRegion& exposed)
{
    if (!m_prototype)
        return;
    JXDistributedViewCell::DrawContext context;
    context.toScreen = toScreen;
    context.windowIsMain = !toScreen || isActiveWindow();
    context.controlView = this;
    // On screen the items met by the visible area are known; a page or an image may show any.
    const bool onlyVisible = toScreen && visibleRect().contains(rect);
    if (onlyVisible)
        ensureVisibleItemsCache();
    const qint64 count = onlyVisible ? qint64(m_visibleItems.size()) : numberOfItems();
    for (qint64 position = 0; position < count; ++position) {
        const qint64 index = onlyVisible ? m_visibleItems[size_t(position)] : position;
        const QRectF box = snappedRectForItemAtIndex(index).adjusted(m_cellInset.width(), m_cellInset.height(),
                                                                      -m_cellInset.width(), -m_cellInset.height());
        if (!box.intersects(rect) || (!exposed.isEmpty() && !exposed.intersects(box.toAlignedRect())))
            continue;
        const bool highlighted = toScreen && (isItemSelected(index) || index == m_dragDestItem);
        if (highlighted && m_drawSnappedRects)
            drawSnapGuideInRect(painter, forceRectToGrid(box));
        m_dataSource->distributedViewPositionForCellAtItemIndex(this, m_prototype.get(), index);
        m_prototype->setHighlighted(highlighted);
        if (m_prototype->showsEditingState())
            m_prototype->setIsEditing(index == m_editedItem);
        painter.save();
        m_prototype->drawWithFrame(painter, box, context);
        painter.restore();
    }
    if (m_prototype->showsEditingState())
        m_prototype->setIsEditing(false);
}

void JXDistributedView::drawSelectionRectForDrawRect(QPainter& painter)
{
    if (!useSelectionRect() || !(m_selectionRect.width() > 0) || !(m_selectionRect.height() > 0))
        return;
    painter.save();
    const QRectF band = QRectF(m_selectionRect.toAlignedRect()).translated(0.5, 0.5);
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlphaF(0.25f);
    painter.fillRect(band, fill);
    painter.setPen(QPen(QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.5f), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(band);
    painter.restore();
}

void JXDistributedView::drawSnapGuideInRect(QPainter& painter, const QRectF& rect)
{
    painter.save();
    const QRectF guide = rect.adjusted(2, 2, -2, -2).translated(0.5, 0.5);
    painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.5f));
    painter.setPen(QPen(palette().color(QPalette::Mid), 2.0));
    painter.drawRect(guide);
    painter.restore();
}

// --- Events ----------------------------------------------------------------------------------------

void JXDistributedView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    contentSizeChanged();
    if (!sizeToFit())
        setFrameSize(m_frameSize.expandedTo(QSizeF(viewport()->size())));
    updateScrollBars();
    invalidateVisibleItemsCache();
}

void JXDistributedView::scrollContentsBy(int dx, int dy)
{
    // All but the drop highlight and the title editor move with the document: what was shown
    // moves along and only the uncovered strip is drawn.
    if (m_drawDropHilite || (m_fieldEditor && m_fieldEditor->isVisible()))
        viewport()->update();
    else
        viewport()->scroll(dx, dy);
}

bool JXDistributedView::event(QEvent* event)
{
    // Highlights and title boxes are drawn differently in an inactive window. The window
    // hands its activation to every child as these two events.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
        setNeedsDisplay();
    return QAbstractScrollArea::event(event);
}

bool JXDistributedView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (m_dataSource && m_dataSource->answers(JXDistributedViewDataSource::Message::ToolTip)) {
            const QPointF point = documentPoint(help->pos());
            const qint64 count = numberOfItems();
            for (qint64 index = count - 1; index >= 0; --index) {
                const QRectF box = rectForItemAtIndex(index);
                if (box.contains(point)) {
                    const QPointF offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
                    QToolTip::showText(help->globalPos(),
                                       m_dataSource->distributedViewToolTipForItemAtIndex(this, index), viewport(),
                                       box.translated(-offset).toAlignedRect());
                    return true;
                }
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
