#include "widgets/fields/ZQAugmentedTextField.h"

#include "platform/foundation/UserDefaults.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentationSliderController.h"
#include "widgets/tracking/WheelDelta.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

using platform::NumberFormatter;
using platform::Popover;

namespace {

QPointer<Popover>& currentPopover()
{
    static QPointer<Popover> popover;
    return popover;
}

} // namespace

ZQAugmentedTextField::ZQAugmentedTextField(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, &ZQAugmentedTextField::textDidChange);
    connect(this, &QLineEdit::editingFinished, this, [this] {
        m_value = doubleValue();
        sendActionFrom(this);
    });
}

ZQAugmentedTextField::~ZQAugmentedTextField() = default;

bool ZQAugmentedTextField::augmentedTextFieldPopoversEnabled()
{
    return platform::UserDefaults::standardUserDefaults()->boolForKey(kPopoversEnabledKey);
}

void ZQAugmentedTextField::setAugmentedTextFieldPopoversEnabled(bool enabled)
{
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(enabled, kPopoversEnabledKey);
}

Popover* ZQAugmentedTextField::currentAugmentedPopover() { return currentPopover(); }

void ZQAugmentedTextField::awakeFromInterface()
{
    if (!m_popover)
        makePopover(0);
    m_min = sliderMinimumValue();
    m_max = sliderMaximumValue();
    if (m_formatter)
        setLimitsFromFormatter(*m_formatter);
}

void ZQAugmentedTextField::makePopover(int options)
{
    const bool withStepper = options & kStepperOption;
    auto* content = new QWidget;
    content->setFixedSize(kPopoverContentSize);
    const int areaWidth = kPopoverContentSize.width() - (withStepper ? 16 : 0);
    auto* slider = new ZQDoubleSlider(content);
    slider->setGeometry(QRect(0, 0, areaWidth, kPopoverContentSize.height()).adjusted(3, 3, -3, -3));
    auto controller = std::make_shared<ZQAugmentationSliderController>();
    controller->setView(content);
    controller->setSliderControl(slider);
    if (withStepper) {
        auto* stepper = new ZQStepper(content);
        stepper->setGeometry(areaWidth, 0, 15, kPopoverContentSize.height());
        controller->setStepperControl(stepper);
    }
    controller->setTextField(this);

    auto* popover = new Popover(this);
    popover->setContentViewController(controller);
    popover->setContentSize(kPopoverContentSize);
    popover->setBehavior(Popover::SemitransientBehavior);
    setSliderPopover(popover);
    m_ownsPopover = true;
}

void ZQAugmentedTextField::setSliderPopover(Popover* popover)
{
    if (m_popover == popover)
        return;
    if (m_popover) {
        m_popover->disconnect(this);
        if (m_ownsPopover)
            m_popover->deleteLater();
    }
    m_popover = popover;
    m_ownsPopover = false;
    if (popover)
        connect(popover, &Popover::didClose, this, &ZQAugmentedTextField::popoverDidClose);
}

ZQAugmentationSliderController* ZQAugmentedTextField::sliderController() const
{
    return m_popover ? dynamic_cast<ZQAugmentationSliderController*>(m_popover->contentViewController().get())
                     : nullptr;
}

void ZQAugmentedTextField::setFormatter(std::shared_ptr<NumberFormatter> formatter)
{
    m_formatter = std::move(formatter);
    setText(textForNumber(m_value));
}

void ZQAugmentedTextField::setLimitsFromFormatter(const NumberFormatter& formatter)
{
    if (std::optional<double> minimum = formatter.minimum())
        setSliderMinimumValue(*minimum);
    else
        setSliderMinimumValue(m_ownsPopover ? 0.0 : m_min);

    if (std::optional<double> maximum = formatter.maximum())
        setSliderMaximumValue(*maximum == 0 ? 100.0 : *maximum);
    else if (m_ownsPopover)
        setSliderMaximumValue(formatter.numberStyle() == NumberFormatter::Style::Percent ? 1.0 : 1000.0);
    else
        setSliderMaximumValue(m_max);
}

double ZQAugmentedTextField::sliderMinimumValue() const
{
    const ZQAugmentationSliderController* controller = sliderController();
    return controller ? controller->sliderMinimumValue() : 0.0;
}

void ZQAugmentedTextField::setSliderMinimumValue(double minimum)
{
    if (ZQAugmentationSliderController* controller = sliderController())
        controller->setSliderMinimumValue(minimum);
}

double ZQAugmentedTextField::sliderMaximumValue() const
{
    const ZQAugmentationSliderController* controller = sliderController();
    return controller ? controller->sliderMaximumValue() : 0.0;
}

void ZQAugmentedTextField::setSliderMaximumValue(double maximum)
{
    if (ZQAugmentationSliderController* controller = sliderController())
        controller->setSliderMaximumValue(maximum);
}

std::optional<double> ZQAugmentedTextField::numberInText(const QString& text) const
{
    bool ok = false;
    double number = 0;
    if (m_formatter) {
        QVariant value;
        QString error;
        if (!m_formatter->getObjectValueForStringErrorDescription(&value, text, &error))
            return std::nullopt;
        number = value.toDouble(&ok); // a multiple-values marker is no number
    } else {
        number = text.trimmed().toDouble(&ok);
    }
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

QString ZQAugmentedTextField::textForNumber(double value) const
{
    return m_formatter ? m_formatter->stringForObjectValue(value) : QString::number(value, 'g', 15);
}

double ZQAugmentedTextField::doubleValue() const { return numberInText(text()).value_or(m_value); }

void ZQAugmentedTextField::setDoubleValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_value = value;
    setText(textForNumber(value));
    if (ZQAugmentationSliderController* controller = sliderController())
        controller->setSliderValue(value);
}

void ZQAugmentedTextField::setObjectValue(const QVariant& value)
{
    bool number = false;
    const double converted = value.toDouble(&number);
    if (number && value.typeId() != QMetaType::QString)
        setDoubleValue(converted);
    else
        setText(m_formatter ? m_formatter->attributedStringForObjectValueWithDefaultAttributes(value, {}).string()
                            : value.toString());
}

void ZQAugmentedTextField::showPopoverAndFocus(bool focus)
{
    if (!augmentedTextFieldPopoversEnabled() || !isEnabled() || isReadOnly() || !m_popover || m_openingPopover)
        return;
    const QScopedValueRollback<bool> opening(m_openingPopover, true);
    if (focus)
        setFocus(Qt::OtherFocusReason);
    currentPopover() = m_popover;
    if (ZQAugmentationSliderController* controller = sliderController())
        controller->setSliderValue(doubleValue());
    if (m_popover)
        m_popover->showRelativeToRectOfViewPreferredEdge(rect(), this, m_preferredEdge);
}

void ZQAugmentedTextField::sliderOrStepperAction(double value)
{
    const bool floats = m_formatter && m_formatter->allowsFloats();
    setDoubleValue(floats ? value : std::trunc(value));
    sendActionFrom(this);
}

void ZQAugmentedTextField::textDidChange(const QString& text)
{
    if (const std::optional<double> number = numberInText(text))
        if (ZQAugmentationSliderController* controller = sliderController())
            controller->setSliderValue(*number);
}

void ZQAugmentedTextField::closePopoverUnlessOpening()
{
    if (m_popover && !m_openingPopover)
        m_popover->close();
}

void ZQAugmentedTextField::popoverDidClose()
{
    if (currentPopover() == m_popover)
        currentPopover() = nullptr;
}

void ZQAugmentedTextField::mousePressEvent(QMouseEvent* event)
{
    showPopover();
    QLineEdit::mousePressEvent(event);
}

void ZQAugmentedTextField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        showPopover();
}

void ZQAugmentedTextField::focusOutEvent(QFocusEvent* event)
{
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        closePopoverUnlessOpening();
    QLineEdit::focusOutEvent(event);
}

void ZQAugmentedTextField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        closePopoverUnlessOpening();
    QLineEdit::keyPressEvent(event);
}

void ZQAugmentedTextField::wheelEvent(QWheelEvent* event)
{
    if (!isEnabled() || !m_popover)
        return QLineEdit::wheelEvent(event);
    event->accept();
    showPopoverAndFocus(false);
    const double multiplier = m_formatter ? m_formatter->effectiveMultiplier() : 1.0;
    const double value = doubleValue() + wheelDeltaY(*event) / multiplier;
    setDoubleValue(std::clamp(value, sliderMinimumValue(), std::max(sliderMinimumValue(), sliderMaximumValue())));
    sendActionFrom(this);
}
