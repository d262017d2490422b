#include "style_editor/panes/table/StylePaneRowControl.h"

#include "platform/foundation/Markers.h"
#include "platform/ui/ColourWell.h"
#include "style_editor/panes/StyleLengthFormatter.h"
#include "style_editor/panes/table/StyleTablePane.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QToolButton>

using Control = StylePaneRow::Control;

StylePaneRowControl::StylePaneRowControl(StylePaneRow row, StyleTablePane& pane)
    : m_row(std::move(row))
    , m_pane(pane)
{
    m_widget = new QWidget;
    auto* layout = new QHBoxLayout(m_widget);
    layout->setContentsMargins(0, 0, 0, 0);
    switch (m_row.control) {
    case Control::Number:
    case Control::Length:
        makeNumberControls();
        break;
    case Control::Colour:
        m_well = new platform::ColourWell(m_widget);
        m_well->setTarget(this);
        m_well->setAction("rowAction");
        layout->addWidget(m_well);
        layout->addStretch();
        break;
    case Control::Checkbox:
        m_checkbox = new QCheckBox(m_widget);
        connect(m_checkbox, &QCheckBox::clicked, this, [this] { rowAction(m_checkbox); });
        layout->addWidget(m_checkbox);
        break;
    case Control::PopUp:
    case Control::Segments:
    case Control::Radio:
        makeChoiceControls();
        break;
    }
}

void StylePaneRowControl::makeNumberControls()
{
    std::shared_ptr<platform::NumberFormatter> formatter = m_row.control == Control::Length
        ? std::make_shared<StyleLengthFormatter>()
        : std::make_shared<platform::NumberFormatter>();
    formatter->setMaximumFractionDigits(2);
    m_field = new ZQAugmentedTextField(m_widget);
    m_field->setFormatter(formatter);
    m_field->setSliderMinimumValue(m_row.minimum);
    m_field->setSliderMaximumValue(m_row.maximum);
    m_field->setTarget(this);
    m_field->setAction("rowAction");
    m_stepper = new ZQStepper(m_widget);
    m_stepper->setRange(m_row.minimum, m_row.maximum);
    m_stepper->setIncrement(m_row.increment);
    connect(m_stepper, &ZQStepper::moved, this, [this](double shown) {
        m_field->setDoubleValue(shown);
        write(shown / m_row.displayFactor);
    });
    m_widget->layout()->addWidget(m_field);
    m_widget->layout()->addWidget(m_stepper);
}

void StylePaneRowControl::makeChoiceControls()
{
    if (m_row.control == Control::PopUp) {
        m_popUp = new QComboBox(m_widget);
        for (const auto& [title, tag] : m_row.choices)
            m_popUp->addItem(title, tag);
        connect(m_popUp, &QComboBox::activated, this, [this] { rowAction(m_popUp); });
        m_widget->layout()->addWidget(m_popUp);
        return;
    }
    m_buttons = new QButtonGroup(m_widget);
    m_buttons->setExclusive(true);
    for (const auto& [title, tag] : m_row.choices) {
        QAbstractButton* button = nullptr;
        if (m_row.control == Control::Radio) {
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

void StylePaneRowControl::showValue(const QVariant& value)
{
    const bool known = !platform::isNull(value) && !platform::isMultipleValuesMarker(value)
                       && !platform::isNotApplicableMarker(value);
    if (m_field) {
        m_shownNumber = known ? value.toDouble() * m_row.displayFactor : 0;
        if (known)
            m_field->setDoubleValue(m_shownNumber);
        else
            m_field->clear();
        m_stepper->setDoubleValue(m_shownNumber);
    } else if (m_well) {
        m_well->setColor(known ? value.value<QColor>() : QColor(Qt::lightGray));
    } else if (m_checkbox) {
        m_checkbox->setChecked(known && (m_row.checkedUnlessUnchecked ? value != m_row.uncheckedValue
                                                                        : value == m_row.checkedValue));
    } else if (m_popUp) {
        m_popUp->setCurrentIndex(known ? m_popUp->findData(value.toInt()) : -1);
    } else if (m_buttons) {
        QAbstractButton* button = known ? m_buttons->button(value.toInt()) : nullptr;
        if (button) {
            button->setChecked(true);
        } else if (QAbstractButton* checked = m_buttons->checkedButton()) {
            m_buttons->setExclusive(false);
            checked->setChecked(false);
            m_buttons->setExclusive(true);
        }
    }
}

void StylePaneRowControl::setControlsEnabled(bool enabled)
{
    m_widget->setEnabled(enabled);
}

void StylePaneRowControl::rowAction(QObject*)
{
    if (m_field) {
        writeNumberFromField();
    } else if (m_well) {
        write(QVariant::fromValue(m_well->color()));
    } else if (m_checkbox) {
        write(m_checkbox->isChecked() ? m_row.checkedValue : m_row.uncheckedValue);
    } else if (m_popUp) {
        if (m_popUp->currentIndex() >= 0)
            write(m_popUp->currentData());
    } else if (m_buttons) {
        if (m_buttons->checkedButton())
            write(m_buttons->checkedId());
    }
}

void StylePaneRowControl::writeNumberFromField()
{
    QVariant typed;
    if (!m_field->formatter()->getObjectValueForStringErrorDescription(&typed, m_field->text(), nullptr)) {
        // Empty or not a number: nothing is written, the value stays on show.
        m_field->setDoubleValue(m_shownNumber);
        return;
    }
    const double shown = m_field->doubleValue();
    m_stepper->setDoubleValue(shown);
    write(shown / m_row.displayFactor);
}

void StylePaneRowControl::write(const QVariant& value)
{
    m_pane.setCommonValueForKeyPath(value, m_row.keyPath);
}
