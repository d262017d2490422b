#include "widgets/fields/TableRowControl.h"

#include "platform/ui/ColourWell.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

TableRowControl::TableRowControl()
    : m_widget(new QWidget)
{
    auto* layout = new QHBoxLayout(m_widget);
    layout->setContentsMargins(0, 0, 0, 0);
}

TableRowControl::~TableRowControl() = default;

void TableRowControl::setControlsEnabled(bool enabled)
{
    m_widget->setEnabled(enabled);
}

void TableRowControl::addNumberControls(std::shared_ptr<platform::NumberFormatter> formatter, double minimum,
                                        double maximum, double increment)
{
    m_field = new ZQAugmentedTextField(m_widget);
    m_field->setFormatter(std::move(formatter));
    m_field->setTarget(this);
    m_field->setAction("rowAction");
    m_stepper = new ZQStepper(m_widget);
    m_stepper->setRange(minimum, maximum);
    m_stepper->setIncrement(increment);
    connect(m_stepper, &ZQStepper::moved, this, [this](double value) {
        m_field->setDoubleValue(value);
        stepperMoved(value);
    });
    m_widget->layout()->addWidget(m_field);
    m_widget->layout()->addWidget(m_stepper);
}

void TableRowControl::addCheckbox(const QString& title)
{
    m_checkbox = new QCheckBox(title, m_widget);
    connect(m_checkbox, &QCheckBox::clicked, this, [this] { rowAction(m_checkbox); });
    auto* layout = static_cast<QHBoxLayout*>(m_widget->layout());
    layout->addWidget(m_checkbox);
    layout->addStretch();
}

void TableRowControl::addPopUp(const Choices& choices)
{
    m_popUp = new QComboBox(m_widget);
    for (const auto& [title, tag] : choices)
        m_popUp->addItem(title, tag);
    connect(m_popUp, &QComboBox::activated, this, [this] { rowAction(m_popUp); });
    m_widget->layout()->addWidget(m_popUp);
}

void TableRowControl::addButtons(const Choices& choices, ButtonStyle style)
{
    m_buttons = new QButtonGroup(m_widget);
    for (const auto& [title, tag] : choices) {
        QAbstractButton* button = nullptr;
        if (style == ButtonStyle::Radio) {
            button = new QRadioButton(title, m_widget);
        } else {
            button = new QToolButton(m_widget);
            button->setText(title);
            button->setCheckable(true);
        }
        m_buttons->addButton(button, tag);
        m_widget->layout()->addWidget(button);
    }
    connect(m_buttons, &QButtonGroup::idClicked, this, [this] { rowAction(m_buttons); });
    static_cast<QHBoxLayout*>(m_widget->layout())->addStretch();
}

void TableRowControl::addTextField()
{
    m_text = new QLineEdit(m_widget);
    connect(m_text, &QLineEdit::editingFinished, this, [this] {
        if (m_text->isModified())
            rowAction(m_text);
    });
    m_widget->layout()->addWidget(m_text);
}

void TableRowControl::addColourWell()
{
    m_well = new platform::ColourWell(m_widget);
    m_well->setTarget(this);
    m_well->setAction("rowAction");
    auto* layout = static_cast<QHBoxLayout*>(m_widget->layout());
    layout->addWidget(m_well);
    layout->addStretch();
}

void TableRowControl::showNumber(std::optional<double> value)
{
    if (value)
        m_field->setDoubleValue(*value);
    else
        m_field->clear();
    m_stepper->setDoubleValue(value.value_or(0));
}

void TableRowControl::checkButtonTagged(std::optional<int> tag)
{
    QAbstractButton* button = tag ? m_buttons->button(*tag) : nullptr;
    // An exclusive group will not let its checked button go by itself.
    m_buttons->setExclusive(false);
    for (QAbstractButton* each : m_buttons->buttons())
        each->setChecked(each == button);
    m_buttons->setExclusive(true);
}
