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

using Control = StylePaneRow::Control;

StylePaneRowControl::StylePaneRowControl(StylePaneRow row, StyleTablePane& pane)
    : m_row(std::move(row))
    , m_pane(pane)
{
    switch (m_row.control) {
    case Control::Number:
    case Control::Length: {
        std::shared_ptr<platform::NumberFormatter> formatter = m_row.control == Control::Length
            ? std::make_shared<StyleLengthFormatter>()
            : std::make_shared<platform::NumberFormatter>();
        formatter->setMaximumFractionDigits(2);
        addNumberControls(formatter, m_row.minimum, m_row.maximum, m_row.increment);
        field()->setSliderMinimumValue(m_row.minimum);
        field()->setSliderMaximumValue(m_row.maximum);
        break;
    }
    case Control::Colour:
        addColourWell();
        break;
    case Control::Checkbox:
        addCheckbox();
        break;
    case Control::PopUp:
        addPopUp(m_row.choices);
        break;
    case Control::Segments:
        addButtons(m_row.choices, ButtonStyle::Segments);
        break;
    case Control::Radio:
        addButtons(m_row.choices, ButtonStyle::Radio);
        break;
    }
}

void StylePaneRowControl::showValue(const QVariant& value)
{
    const bool known = !platform::isNull(value) && !platform::isMultipleValuesMarker(value)
                       && !platform::isNotApplicableMarker(value);
    if (field()) {
        m_shownNumber = known ? value.toDouble() * m_row.displayFactor : 0;
        showNumber(known ? std::optional<double>(m_shownNumber) : std::nullopt);
    } else if (platform::ColourWell* well = colourWell()) {
        well->setColor(known ? value.value<QColor>() : QColor(Qt::lightGray));
    } else if (QCheckBox* box = checkbox()) {
        box->setChecked(known && (m_row.checkedUnlessUnchecked ? value != m_row.uncheckedValue
                                                                : value == m_row.checkedValue));
    } else if (QComboBox* menu = popUp()) {
        menu->setCurrentIndex(known ? menu->findData(value.toInt()) : -1);
    } else if (buttons()) {
        checkButtonTagged(known ? std::optional<int>(value.toInt()) : std::nullopt);
    }
}

void StylePaneRowControl::stepperMoved(double shown)
{
    write(shown / m_row.displayFactor);
}

void StylePaneRowControl::rowAction(QObject*)
{
    if (field()) {
        writeNumberFromField();
    } else if (platform::ColourWell* well = colourWell()) {
        write(QVariant::fromValue(well->color()));
    } else if (QCheckBox* box = checkbox()) {
        write(box->isChecked() ? m_row.checkedValue : m_row.uncheckedValue);
    } else if (QComboBox* menu = popUp()) {
        if (menu->currentIndex() >= 0)
            write(menu->currentData());
    } else if (buttons()) {
        if (buttons()->checkedButton())
            write(buttons()->checkedId());
    }
}

void StylePaneRowControl::writeNumberFromField()
{
    QVariant typed;
    if (!field()->formatter()->getObjectValueForStringErrorDescription(&typed, field()->text(), nullptr)) {
        // Empty or not a number: nothing is written, the value stays on show.
        field()->setDoubleValue(m_shownNumber);
        return;
    }
    const double shown = field()->doubleValue();
    stepper()->setDoubleValue(shown);
    write(shown / m_row.displayFactor);
}

void StylePaneRowControl::write(const QVariant& value)
{
    m_pane.setCommonValueForKeyPath(value, m_row.keyPath);
}
