#include "widgets/cells/RSVerticallyCenteredTextFieldCell.h"

#include "platform/foundation/MetaInvoke.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <algorithm>

namespace {

const QStyle* styleOf(const QStyleOptionViewItem& option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

QRectF RSVerticallyCenteredTextFieldCell::centredLineRect(const QRectF& rect, double lineHeight)
{
    const float d = float(rect.height()) - float(lineHeight);
    if (d <= 0)
        return rect;
    return {rect.x(), rect.y() + double(d * 0.5f), rect.width(), rect.height() - d};
}

QRectF RSVerticallyCenteredTextFieldCell::drawingRectForBounds(const QStyleOptionViewItem& option,
                                                               const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QRectF base = styleOf(option)->subElementRect(QStyle::SE_ItemViewItemText, &item, option.widget);
    return centredLineRect(base, QFontMetricsF(item.font).height());
}

QMenu* RSVerticallyCenteredTextFieldCell::menuForEventInRectOfView(const QRectF& cellFrame, QWidget* view)
{
    auto* table = qobject_cast<QTableView*>(view);
    QObject* delegate = view ? view->property("delegate").value<QObject*>() : nullptr;
    if (!table || !delegate)
        return nullptr;
    const QMetaMethod supplier = platform::findMethod(delegate, "contextualMenuForTableViewTableColumnRow", 3);
    if (!supplier.isValid())
        return nullptr;
    const QPoint centre = cellFrame.center().toPoint();
    const int row = table->rowAt(centre.y());
    const int column = table->columnAt(centre.x());
    return platform::invokeMethod(delegate, supplier, {QVariant::fromValue(table), column, row}).value<QMenu*>();
}

void RSVerticallyCenteredTextFieldCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QStyle* style = styleOf(option);
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, option.widget);

    const QRectF line = drawingRectForBounds(option, index);
    const QPalette::ColorRole role =
        item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    const QString elided = QFontMetricsF(item.font).elidedText(text, item.textElideMode, line.width());
    painter->save();
    painter->setFont(item.font);
    style->drawItemText(painter, line.toAlignedRect(),
                        int(item.displayAlignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop, item.palette,
                        item.state & QStyle::State_Enabled, elided, role);
    painter->restore();
}

void RSVerticallyCenteredTextFieldCell::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                             const QModelIndex& index) const
{
    const QRect line = drawingRectForBounds(option, index).toAlignedRect();
    const int height = std::min(std::max(line.height(), editor->sizeHint().height()), option.rect.height());
    editor->setGeometry(line.x(), line.center().y() - height / 2, line.width(), height);
}

bool RSVerticallyCenteredTextFieldCell::editorEvent(QEvent* event, QAbstractItemModel* model,
                                                    const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        auto* view = const_cast<QWidget*>(option.widget);
        if (QMenu* menu = menuForEventInRectOfView(option.rect, view)) {
            menu->exec(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
