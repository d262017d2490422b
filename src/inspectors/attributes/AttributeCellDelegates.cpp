#include "inspectors/attributes/AttributeCellDelegates.h"

#include "inspectors/attributes/AttributeTableModel.h"
#include "inspectors/attributes/AttributeTables.h"
#include "platform/vantrix/model/VXMetadataItem.h"
#include "widgets/colour/ZQColourCell.h"

#include <QComboBox>

QWidget* AttributeTypeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* popUp = new QComboBox(parent);
    for (int index = 0; index < attributetables::kTypeIndexCount; ++index)
        popUp->addItem(attributetables::titleForIndex(index), index);
    // A choice is the edit: it goes to the table at once.
    connect(popUp, &QComboBox::activated, this, [this, popUp] {
        Q_EMIT const_cast<AttributeTypeDelegate*>(this)->commitData(popUp);
        Q_EMIT const_cast<AttributeTypeDelegate*>(this)->closeEditor(popUp);
    });
    return popUp;
}

void AttributeTypeDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* popUp = qobject_cast<QComboBox*>(editor))
        popUp->setCurrentIndex(popUp->findData(index.data(Qt::EditRole).toInt()));
}

void AttributeTypeDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const auto* popUp = qobject_cast<QComboBox*>(editor);
    if (popUp && popUp->currentIndex() >= 0)
        model->setData(index, popUp->currentData(), Qt::EditRole);
}

AttributeValueDelegate::AttributeValueDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_colourCell(new ZQColourCell(this))
{
}

bool AttributeValueDelegate::isColourSwatch(const QModelIndex& index)
{
    return index.data(AttributeTableModel::kTypeRole).toInt() == kVXMetadataTypeColour
           && !index.data(AttributeTableModel::kMixedRole).toBool();
}

void AttributeValueDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (isColourSwatch(index))
        m_colourCell->paint(painter, option, index);
    else
        QStyledItemDelegate::paint(painter, option, index);
}

QSize AttributeValueDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return isColourSwatch(index) ? m_colourCell->sizeHint(option, index) : QStyledItemDelegate::sizeHint(option, index);
}

bool AttributeValueDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                         const QModelIndex& index)
{
    if (isColourSwatch(index))
        return static_cast<QAbstractItemDelegate*>(m_colourCell)->editorEvent(event, model, option, index);
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
