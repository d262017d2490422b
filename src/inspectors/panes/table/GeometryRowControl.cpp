#include "inspectors/panes/table/GeometryRowControl.h"

#include "inspectors/panes/table/GeometryTablePane.h"
#include "platform/foundation/Markers.h"
#include "platform/ui/ColourWell.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStandardItemModel>
#include <limits>

using Control = GeometryPaneRow::Control;

namespace {

bool isKnown(const QVariant& value)
{
    return value.isValid() && !platform::isNull(value) && !platform::isMultipleValuesMarker(value)
           && !platform::isNotApplicableMarker(value);
}

std::shared_ptr<platform::NumberFormatter> formatterForRow(const GeometryPaneRow& row)
{
    auto formatter = std::make_shared<platform::NumberFormatter>();
    formatter->setNumberStyle(platform::NumberFormatter::Style::Decimal);
    formatter->setMaximumFractionDigits(row.fractionDigits);
    formatter->setAllowsFloats(row.fractionDigits > 0);
    if (row.minimum > -std::numeric_limits<double>::max())
        formatter->setMinimum(row.minimum);
    if (row.maximum < std::numeric_limits<double>::max())
        formatter->setMaximum(row.maximum);
    return formatter;
}

} // namespace

GeometryRowControl::GeometryRowControl(GeometryPaneRow row, GeometryTablePane& pane)
    : m_row(std::move(row))
    , m_pane(pane)
{
    switch (m_row.control) {
    case Control::Number:
    case Control::Length:
        addNumberControls(formatterForRow(m_row), m_row.minimum, m_row.maximum, m_row.increment);
        break;
    case Control::Checkbox:
        addCheckbox(m_row.label);
        break;
    case Control::PopUp:
        addPopUp(m_row.choices);
        break;
    case Control::Segments:
        addButtons(m_row.choices, ButtonStyle::Segments);
        break;
    case Control::Text:
        addTextField();
        break;
    case Control::Colour:
        addColourWell();
        break;
    }
}

void GeometryRowControl::setFormatter(std::shared_ptr<platform::NumberFormatter> formatter)
{
    if (!field() || !formatter)
        return;
    field()->setFormatter(std::move(formatter));
    showKnownNumber(m_shown);
}

void GeometryRowControl::showKnownNumber(const QVariant& value)
{
    if (!isKnown(value)) {
        showNumber(std::nullopt);
        m_shownText.clear();
        return;
    }
    const double number = value.toDouble();
    showNumber(m_row.shownValue ? m_row.shownValue(number) : number);
    m_shownText = field()->text();
}

void GeometryRowControl::showValue(const QVariant& value, const QSet<int>& usedTags)
{
    const bool known = isKnown(value);
    m_shown = known ? value : QVariant();
    if (field()) {
        showKnownNumber(value);
    } else if (QCheckBox* box = checkbox()) {
        const bool mixed = platform::isMultipleValuesMarker(value);
        box->setTristate(mixed);
        box->setCheckState(mixed ? Qt::PartiallyChecked
                                 : (known && value == m_row.checkedValue ? Qt::Checked : Qt::Unchecked));
    } else if (QComboBox* menu = popUp()) {
        auto* model = qobject_cast<QStandardItemModel*>(menu->model());
        const Qt::CheckState used = usedTags.size() > 1 ? Qt::PartiallyChecked : Qt::Checked;
        for (int index = 0; model && index < menu->count(); ++index)
            model->item(index)->setData(usedTags.contains(menu->itemData(index).toInt()) ? used : Qt::Unchecked,
                                        Qt::CheckStateRole);
        if (!known)
            menu->setCurrentIndex(-1);
        else if (m_row.choiceValues.isEmpty())
            menu->setCurrentIndex(menu->findData(value.toInt()));
        else
            menu->setCurrentIndex(int(m_row.choiceValues.indexOf(value)));
    } else if (buttons()) {
        checkButtonTagged(known ? std::optional<int>(value.toInt()) : std::nullopt);
    } else if (QLineEdit* text = textField()) {
        text->setText(known ? value.toString() : QString());
        text->setModified(false);
    } else if (platform::ColourWell* well = colourWell()) {
        well->setColor(known ? value.value<QColor>() : QColor(Qt::transparent));
    }
}

void GeometryRowControl::stepperMoved(double value)
{
    m_pane.writeRowValue(m_row, value);
}

void GeometryRowControl::rowAction(QObject*)
{
    if (field()) {
        writeNumberFromField();
    } else if (QCheckBox* box = checkbox()) {
        // A click on the mixed state sets the value, it does not clear it.
        if (box->checkState() == Qt::PartiallyChecked)
            box->setCheckState(Qt::Checked);
        box->setTristate(false);
        m_pane.writeRowValue(m_row, box->isChecked() ? m_row.checkedValue : m_row.uncheckedValue);
    } else if (QComboBox* menu = popUp()) {
        const int index = menu->currentIndex();
        if (index >= 0)
            m_pane.writeRowValue(m_row, m_row.choiceValues.isEmpty() ? menu->currentData() : m_row.choiceValues.value(index));
    } else if (buttons()) {
        if (buttons()->checkedButton())
            m_pane.writeRowValue(m_row, buttons()->checkedId());
    } else if (QLineEdit* text = textField()) {
        if (!text->text().isEmpty())
            m_pane.writeRowValue(m_row, text->text());
    } else if (platform::ColourWell* well = colourWell()) {
        m_pane.writeRowValue(m_row, well->color());
    }
}

void GeometryRowControl::writeNumberFromField()
{
    // Leaving a field as it was shown is no edit, and makes no undo step.
    if (field()->text() == m_shownText)
        return;
    QVariant typed;
    if (field()->text().trimmed().isEmpty()
        || !field()->formatter()->getObjectValueForStringErrorDescription(&typed, field()->text(), nullptr)) {
        showKnownNumber(m_shown);
        return;
    }
    stepper()->setDoubleValue(typed.toDouble());
    m_pane.writeRowValue(m_row, typed.toDouble());
}
