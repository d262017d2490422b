#include "widgets/cells/ZQCheckboxCell.h"

#include "widgets/tracking/EventTracking.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionButton>
#include <memory>

namespace {

QStyleOptionButton checkBoxOption(const QStyleOptionViewItem& option, const QModelIndex& index, bool pressed)
{
    QStyleOptionButton box;
    box.state = option.state & QStyle::State_Enabled;
    box.state |= index.data(Qt::EditRole).toInt() != 0 ? QStyle::State_On : QStyle::State_Off;
    if (pressed)
        box.state |= QStyle::State_Sunken;
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const QSize size = style->subElementRect(QStyle::SE_CheckBoxIndicator, &box, option.widget).size();
    box.rect = QStyle::alignedRect(option.direction, Qt::AlignCenter, size, option.rect);
    return box;
}

} // namespace

qint8 ZQCheckboxCell::charValue(const QModelIndex& index)
{
    return qint8(index.data(Qt::EditRole).toInt());
}

void ZQCheckboxCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
    const QStyleOptionButton box = checkBoxOption(option, index, m_highlighted == index);
    style->drawControl(QStyle::CE_CheckBox, &box, painter, option.widget);
}

QSize ZQCheckboxCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return checkBoxOption(option, index, false).rect.size() + QSize(4, 4);
}

bool ZQCheckboxCell::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                 const QModelIndex& index)
{
    if (!(index.flags() & Qt::ItemIsEnabled))
        return false;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        toggle(model, index);
        return true;
    }
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    if (event->type() != QEvent::MouseButtonPress || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton ||
        !view)
        return false;
    trackMouse(view->viewport(), option.rect, index);
    return true;
}

void ZQCheckboxCell::toggle(QAbstractItemModel* model, const QModelIndex& index)
{
    model->setData(index, index.data(Qt::EditRole).toInt() == 0 ? 1 : 0, Qt::EditRole);
}

void ZQCheckboxCell::trackMouse(QWidget* view, const QRectF& cellFrame, const QModelIndex& index)
{
    const QRect dirty = cellFrame.toAlignedRect();
    m_highlighted = index;
    view->update(dirty);
    auto inside = std::make_shared<bool>(true);
    const QPointer<ZQCheckboxCell> cell(this);
    const QPersistentModelIndex item(index);
    const TrackedEventMask mask = eventMaskFromType(kLeftMouseUpEvent) | eventMaskFromType(kLeftMouseDraggedEvent);
    trackEventsUsingBlock(view, mask, [=](const QInputEvent* event, bool* stop) {
        if (!cell)
            return void(*stop = true);
        if (trackedEventType(*event) == kLeftMouseDraggedEvent) {
            const bool now = cellFrame.contains(static_cast<const QMouseEvent*>(event)->position());
            if (now != *inside) {
                cell->m_highlighted = now ? item : QPersistentModelIndex();
                view->update(dirty);
                *inside = now;
            }
            return;
        }
        *stop = true;
        cell->m_highlighted = QPersistentModelIndex();
        if (*inside && item.isValid())
            toggle(const_cast<QAbstractItemModel*>(item.model()), item);
        view->update(dirty);
    });
}
