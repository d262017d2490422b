#include "widgets/tabs/XQIconTabBar.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/Gradient.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QtMath>

namespace {

platform::Gradient greys(double ends, double middle)
{
    return platform::Gradient(QGradientStops{{0.0, platform::rgbGrey(ends)}, {0.5, platform::rgbGrey(middle)},
                                             {1.0, platform::rgbGrey(ends)}});
}

platform::Gradient greys(double start, double middle, double end)
{
    return platform::Gradient(QGradientStops{{0.0, platform::rgbGrey(start)}, {0.5, platform::rgbGrey(middle)},
                                             {1.0, platform::rgbGrey(end)}});
}

} // namespace

// --- XQIconTabBarItem ------------------------------------------------------------------------

XQIconTabBarItem::XQIconTabBarItem(const QImage& icon, const QString& tooltip)
    : m_icon(icon)
    , m_tooltip(tooltip)
{
}

std::shared_ptr<XQIconTabBarItem> XQIconTabBarItem::itemWithIconTooltip(const QImage& icon, const QString& tooltip)
{
    return std::make_shared<XQIconTabBarItem>(icon, tooltip);
}

void XQIconTabBarItem::setIcon(const QImage& icon)
{
    if (icon == m_icon)
        return;
    m_icon = icon;
    if (m_tabBar)
        m_tabBar->update();
}

// --- XQIconTabBar ----------------------------------------------------------------------------

XQIconTabBar::XQIconTabBar(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    m_items.reserve(3);
}

void XQIconTabBar::setItems(const QList<Item>& items)
{
    if (items == m_items)
        return;
    m_items = items;
    for (const Item& item : m_items)
        item->setTabBar(this);
    m_selectedIndexes.erase(m_selectedIndexes.lower_bound(int(m_items.size())), m_selectedIndexes.end());
    if (m_selectedIndexes.empty() && !m_items.isEmpty())
        m_selectedIndexes.insert(0);
    update();
}

XQIconTabBarItem* XQIconTabBar::itemAtX(double x) const
{
    if (m_itemWidth <= 0)
        return nullptr;
    const double index = std::floor((x - startX) / m_itemWidth);
    return index >= 0 && index < m_items.size() ? m_items[int(index)].get() : nullptr;
}

int XQIconTabBar::indexOfItem(const XQIconTabBarItem* item) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == item)
            return i;
    return kNotFound;
}

void XQIconTabBar::setItemWidth(double width)
{
    m_itemWidth = width;
    updateGeometry();
    update();
}

void XQIconTabBar::setMultipleSelection(bool multiple)
{
    m_multipleSelection = multiple;
    if (!multiple && m_selectedIndexes.size() > 1) {
        m_selectedIndexes = {*m_selectedIndexes.begin()};
        update();
    }
}

XQIconTabBarItem* XQIconTabBar::selectedItem() const
{
    const int index = selectedIndex();
    return index == kNotFound ? nullptr : m_items[index].get();
}

int XQIconTabBar::selectedIndex() const
{
    return m_selectedIndexes.empty() ? kNotFound : *m_selectedIndexes.begin();
}

QList<XQIconTabBarItem*> XQIconTabBar::selectedItems() const
{
    QList<XQIconTabBarItem*> items;
    for (int index : m_selectedIndexes)
        items.append(m_items[index].get());
    return items;
}

bool XQIconTabBar::isSelected(const XQIconTabBarItem* item) const
{
    return m_selectedIndexes.count(indexOfItem(item)) > 0;
}

void XQIconTabBar::selectIndexesByExtendingSelection(const IndexSet& indexes, bool extend)
{
    IndexSet valid;
    for (int index : indexes)
        if (index >= 0 && index < m_items.size())
            valid.insert(index);
    if (valid.empty()) {
        ZQLog("Selection indexset empty.");
        return;
    }
    if (!extend || !m_multipleSelection)
        m_selectedIndexes.clear();
    if (m_multipleSelection)
        m_selectedIndexes.insert(valid.begin(), valid.end());
    else
        m_selectedIndexes.insert(*valid.begin());
    update();
}

void XQIconTabBar::selectIndex(int index)
{
    selectIndexesByExtendingSelection({index}, true);
}

void XQIconTabBar::selectItem(XQIconTabBarItem* item)
{
    const int index = indexOfItem(item);
    if (index != kNotFound)
        selectIndex(index);
}

void XQIconTabBar::deselectIndexes(const IndexSet& indexes)
{
    if (indexes.empty()) {
        ZQLog("Deselection indexset empty.");
        return;
    }
    for (int index : indexes)
        m_selectedIndexes.erase(index);
    update();
}

void XQIconTabBar::deselectIndex(int index)
{
    deselectIndexes({index});
}

void XQIconTabBar::deselectItem(XQIconTabBarItem* item)
{
    const int index = indexOfItem(item);
    if (index != kNotFound)
        deselectIndex(index);
}

void XQIconTabBar::deselectAll()
{
    m_selectedIndexes.clear();
    update();
}

void XQIconTabBar::selectAll()
{
    for (int i = 0; i < m_items.size(); ++i)
        m_selectedIndexes.insert(i);
    update();
}

void XQIconTabBar::notify()
{
    sendActionFrom(this);
    if (m_delegate && platform::findMethod(m_delegate, "tabBarChangedSelection", 1).isValid())
        platform::invokeSelector(m_delegate, "tabBarChangedSelection", QVariant::fromValue<QObject*>(this));
}

QRectF XQIconTabBar::itemRect(int index) const
{
    return QRectF(std::floor(itemX(index) + 0.5), 1, m_itemWidth, height() - 2);
}

QSize XQIconTabBar::sizeHint() const
{
    return QSize(qCeil(startX * 2 + m_items.size() * m_itemWidth), 24);
}

// --- Mouse and keys --------------------------------------------------------------------------

void XQIconTabBar::mousePressEvent(QMouseEvent* event)
{
    XQIconTabBarItem* item = event->button() == Qt::LeftButton ? itemAtX(event->position().x()) : nullptr;
    if (!item) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_pressedItem = item;
    if (m_multipleSelection) {
        m_firstItemWasSelected = !isSelected(item);
        if (m_firstItemWasSelected)
            selectItem(item);
        else
            deselectItem(item);
    } else {
        selectItem(item);
    }
    notify();
    update();
}

void XQIconTabBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    XQIconTabBarItem* item = itemAtX(event->position().x());
    if (item == m_pressedItem)
        return;
    m_pressedItem = item;
    if (!item)
        return;
    if (m_multipleSelection && !m_firstItemWasSelected)
        deselectItem(item);
    else
        selectItem(item);
    notify();
    update();
}

void XQIconTabBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_pressedItem = nullptr;
    m_dragging = false;
    update();
}

void XQIconTabBar::keyPressEvent(QKeyEvent* event)
{
    const int current = selectedIndex();
    int target = kNotFound;
    switch (event->key()) {
    case Qt::Key_Left:
        target = current == kNotFound ? 0 : current - 1;
        break;
    case Qt::Key_Right:
        target = current == kNotFound ? 0 : current + 1;
        break;
    case Qt::Key_Space:
        if (current == kNotFound || !m_multipleSelection)
            return;
        deselectIndex(current);
        notify();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (target < 0 || target >= m_items.size())
        return;
    selectIndexesByExtendingSelection({target}, false);
    notify();
}

bool XQIconTabBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        XQIconTabBarItem* item = itemAtX(help->pos().x());
        if (item && !item->tooltip().isEmpty())
            QToolTip::showText(help->globalPos(), item->tooltip(), this, itemRect(indexOfItem(item)).toRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

// --- Drawing ---------------------------------------------------------------------------------

void XQIconTabBar::drawSelection(QPainter& painter, int index, bool key) const
{
    static const platform::Gradient keyFill = greys(0.99, 0.8), keyOuter = greys(0.9, 0.6, 0.8),
                                    keyInner = greys(0.99, 0.7);
    static const platform::Gradient otherFill = greys(0.99, 0.79), otherOuter = greys(0.83, 0.43, 0.71),
                                    otherInner = greys(0.99, 0.71);
    const platform::Gradient& fill = key ? keyFill : otherFill;
    const platform::Gradient& outer = key ? keyOuter : otherOuter;
    const platform::Gradient& inner = key ? keyInner : otherInner;
    const double x = itemX(index);
    const double h = height() - 2;
    fill.drawInRect(painter, itemRect(index), 90);
    outer.drawInRect(painter, QRectF(std::floor(x + 0.5), 1, 1, h), 90);
    inner.drawInRect(painter, QRectF(std::floor(x + 1.5), 1, 1, h), 90);
    outer.drawInRect(painter, QRectF(std::floor(x + m_itemWidth + 0.5), 1, 1, h), 90);
    inner.drawInRect(painter, QRectF(std::floor(x + m_itemWidth - 0.5), 1, 1, h), 90);
}

void XQIconTabBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool key = isActiveWindow();
    for (int index : m_selectedIndexes)
        drawSelection(painter, index, key);
    for (int i = 0; i < m_items.size(); ++i) {
        const QImage& icon = m_items[i]->icon();
        if (icon.isNull())
            continue;
        const QSizeF size = icon.deviceIndependentSize();
        const QPointF origin(std::round(itemX(i) + m_itemWidth / 2 - size.width() / 2),
                             std::round(height() / 2.0 - size.height() / 2));
        painter.drawImage(QRectF(origin, size), icon);
    }
    painter.setPen(QPen(platform::rgbGrey(0.7), 1));
    painter.drawLine(QPointF(0, 0.5), QPointF(width(), 0.5));
}
