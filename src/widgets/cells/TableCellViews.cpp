#include "widgets/cells/TableCellViews.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>

namespace {

// The control fills the cell, less a small margin.
template <typename Control>
Control* addControl(QWidget* cell)
{
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(2, 0, 2, 0);
    auto* control = new Control(cell);
    layout->addWidget(control);
    return control;
}

} // namespace

ZQPopUpMenuTableCellView::ZQPopUpMenuTableCellView(QWidget* parent)
    : QWidget(parent), m_popUpButton(addControl<QComboBox>(this))
{
}

QComboBox* ZQPopUpMenuTableCellView::popUpButton() const
{
    return m_popUpButton;
}

void ZQPopUpMenuTableCellView::setPopUpButton(QComboBox* button)
{
    m_popUpButton = button;
}

ZQBooleanTableCellView::ZQBooleanTableCellView(QWidget* parent)
    : QWidget(parent), m_checkbox(addControl<QCheckBox>(this))
{
}

QCheckBox* ZQBooleanTableCellView::checkbox() const
{
    return m_checkbox;
}

void ZQBooleanTableCellView::setCheckbox(QCheckBox* checkbox)
{
    m_checkbox = checkbox;
}

QVariant ZQBooleanTableCellView::objectValue() const
{
    return m_checkbox ? QVariant(m_checkbox->isChecked()) : QVariant();
}

void ZQBooleanTableCellView::setObjectValue(const QVariant& value)
{
    if (m_checkbox)
        m_checkbox->setChecked(value.toBool());
}
