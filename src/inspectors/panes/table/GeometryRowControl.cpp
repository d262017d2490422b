#include "inspectors/panes/table/GeometryRowControl.h"

#include "inspectors/panes/table/GeometryTablePane.h"
#include "platform/foundation/Markers.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/ui/ColourWell.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QToolButton>
#include <limits>

using Control = GeometryPaneRow::Control;

namespace {

bool isKnown(const QVariant& value)
{
    return value.isValid() && !platform::isNull(value) && !platform::isMultipleValuesMarker(value)
           && !platform::isNotApplicableMarker(value);
}

} // namespace

GeometryRowControl::GeometryRowControl(GeometryPaneRow row, GeometryTablePane& pane)
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
    case Control::Checkbox:
        m_checkbox = new QCheckBox(m_row.label, m_widget);
        connect(m_checkbox, &QCheckBox::clicked, this, [this] { rowAction(m_checkbox); });
        layout->addWidget(m_checkbox);
        layout->addStretch();
        break;
    case Control::PopUp:
    case Control::Segments:
        makeChoiceControls();
        break;
    case Control::Text:
        m_text = new QLineEdit(m_widget);
        connect(m_text, &QLineEdit::editingFinished, this, [this] {
            if (m_text->isModified())
                rowAction(m_text);
        });
        layout->addWidget(m_text);
        break;
    case Control::Colour:
        m_well = new platform::ColourWell(m_widget);
        m_well->setTarget(this);
        m_well->setAction("rowAction");
        layout->addWidget(m_well);
        layout->addStretch();
        break;
    }
}

void GeometryRowControl::makeNumberControls()
{
    m_field = new ZQAugmentedTextField(m_widget);
    auto formatter = std::make_shared<platform::NumberFormatter>();
    formatter->setNumberStyle(platform::NumberFormatter::Style::Decimal);
    formatter->setMaximumFractionDigits(m_row.fractionDigits);
    formatter->setAllowsFloats(m_row.fractionDigits > 0);
    if (m_row.minimum > -std::numeric_limits<double>::max())
        formatter->setMinimum(m_row.minimum);
    if (m_row.maximum < std::numeric_limits<double>::max())
        formatter->setMaximum(m_row.maximum);
    m_field->setFormatter(formatter);
    m_field->setTarget(this);
    m_field->setAction("rowAction");
    m_stepper = new ZQStepper(m_widget);
    m_stepper->setRange(m_row.minimum, m_row.maximum);
    m_stepper->setIncrement(m_row.increment);
    connect(m_stepper, &ZQStepper::moved, this, [this](double value) {
        m_field->setDoubleValue(value);
        m_pane.writeRowValue(m_row, value);
    });
    m_widget->layout()->addWidget(m_field);
    m_widget->layout()->addWidget(m_stepper);
}

void GeometryRowControl::makeChoiceControls()
{
    if (m_row.control == Control::PopUp) {
        m_popUp = new QComboBox(m_widget);
        for (const auto& [title, tag] : m_row.choices)
            m_popUp->addItem(title, tag);
        connect(m_popUp, &QComboBox::activated, this, [this] { rowAction(m_popUp); });
        m_widget->layout()->addWidget(m_popUp);
        return;
    }
    m_segments = new QButtonGroup(m_widget);
    for (const auto& [title, tag] : m_row.choices) {
        auto* button = new QToolButton(m_widget);
        button->setText(title);
        button->setCheckable(true);
        m_segments->addButton(button, tag);
        m_widget->layout()->addWidget(button);
    }
    connect(m_segments, &QButtonGroup::idClicked, this, [this] { rowAction(m_segments); });
    static_cast<QHBoxLayout*>(m_widget->layout())->addStretch();
}

void GeometryRowControl::setFormatter(std::shared_ptr<platform::NumberFormatter> formatter)
{
    if (!m_field || !formatter)
        return;
    m_field->setFormatter(std::move(formatter));
    showNumber(m_shown, isKnown(m_shown));
}

void GeometryRowControl::showNumber(const QVariant& value, bool known)
{
    double shown = known ? value.toDouble() : 0;
    if (known && m_row.shownValue)
        shown = m_row.shownValue(shown);
    if (known)
        m_field->setDoubleValue(shown);
    else
        m_field->clear();
    m_stepper->setDoubleValue(shown);
}

void GeometryRowControl::showValue(const QVariant& value, const QSet<int>& usedTags)
{
    const bool known = isKnown(value);
    m_shown = known ? value : QVariant();
    if (m_field) {
        showNumber(value, known);
    } else if (m_checkbox) {
        const bool mixed = platform::isMultipleValuesMarker(value);
        m_checkbox->setTristate(mixed);
        m_checkbox->setCheckState(mixed ? Qt::PartiallyChecked
                                        : (known && value == m_row.checkedValue ? Qt::Checked : Qt::Unchecked));
    } else if (m_popUp) {
        auto* model = qobject_cast<QStandardItemModel*>(m_popUp->model());
        const Qt::CheckState used = usedTags.size() > 1 ? Qt::PartiallyChecked : Qt::Checked;
        for (int index = 0; model && index < m_popUp->count(); ++index)
            model->item(index)->setData(usedTags.contains(m_popUp->itemData(index).toInt()) ? used : Qt::Unchecked,
                                        Qt::CheckStateRole);
        if (!known)
            m_popUp->setCurrentIndex(-1);
        else if (m_row.choiceValues.isEmpty())
            m_popUp->setCurrentIndex(m_popUp->findData(value.toInt()));
        else
            m_popUp->setCurrentIndex(int(m_row.choiceValues.indexOf(value)));
    } else if (m_segments) {
        QAbstractButton* button = known ? m_segments->button(value.toInt()) : nullptr;
        m_segments->setExclusive(false);
        for (QAbstractButton* each : m_segments->buttons())
            each->setChecked(each == button);
        m_segments->setExclusive(true);
    } else if (m_text) {
        m_text->setText(known ? value.toString() : QString());
        m_text->setModified(false);
    } else if (m_well) {
        m_well->setColor(known ? value.value<QColor>() : QColor(Qt::transparent));
    }
}

void GeometryRowControl::setControlsEnabled(bool enabled)
{
    m_widget->setEnabled(enabled);
}

void GeometryRowControl::rowAction(QObject*)
{
    if (m_field) {
        writeNumberFromField();
    } else if (m_checkbox) {
        // A click on the mixed state sets the value, it does not clear it.
        if (m_checkbox->checkState() == Qt::PartiallyChecked)
            m_checkbox->setCheckState(Qt::Checked);
        m_checkbox->setTristate(false);
        m_pane.writeRowValue(m_row, m_checkbox->isChecked() ? m_row.checkedValue : m_row.uncheckedValue);
    } else if (m_popUp) {
        const int index = m_popUp->currentIndex();
        if (index >= 0)
            m_pane.writeRowValue(m_row, m_row.choiceValues.isEmpty() ? m_popUp->currentData() : m_row.choiceValues.value(index));
    } else if (m_segments) {
        if (m_segments->checkedButton())
            m_pane.writeRowValue(m_row, m_segments->checkedId());
    } else if (m_text) {
        if (!m_text->text().isEmpty())
            m_pane.writeRowValue(m_row, m_text->text());
    } else if (m_well) {
        m_pane.writeRowValue(m_row, m_well->color());
    }
}

void GeometryRowControl::writeNumberFromField()
{
    QVariant typed;
    if (m_field->text().trimmed().isEmpty()
        || !m_field->formatter()->getObjectValueForStringErrorDescription(&typed, m_field->text(), nullptr)) {
        showNumber(m_shown, isKnown(m_shown));
        return;
    }
    m_stepper->setDoubleValue(typed.toDouble());
    m_pane.writeRowValue(m_row, typed.toDouble());
}
