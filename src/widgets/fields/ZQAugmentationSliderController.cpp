#include "widgets/fields/ZQAugmentationSliderController.h"

#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QScopedValueRollback>

ZQAugmentationSliderController::ZQAugmentationSliderController() = default;

void ZQAugmentationSliderController::setSliderControl(ZQDoubleSlider* slider)
{
    if (m_slider)
        m_slider->disconnect(this);
    m_slider = slider;
    if (slider)
        connect(slider, &ZQDoubleSlider::moved, this, [this, slider] { sliderAction(slider); });
}

void ZQAugmentationSliderController::setStepperControl(ZQStepper* stepper)
{
    if (m_stepper)
        m_stepper->disconnect(this);
    m_stepper = stepper;
    if (stepper)
        connect(stepper, &ZQStepper::moved, this, [this, stepper] { sliderAction(stepper); });
}

double ZQAugmentationSliderController::sliderMinimumValue() const
{
    return m_slider ? m_slider->minimumValue() : 0.0;
}

void ZQAugmentationSliderController::setSliderMinimumValue(double minimum)
{
    if (m_slider)
        m_slider->setRange(minimum, m_slider->maximumValue());
    if (m_stepper)
        m_stepper->setRange(minimum, m_stepper->maximumValue());
}

double ZQAugmentationSliderController::sliderMaximumValue() const
{
    return m_slider ? m_slider->maximumValue() : 0.0;
}

void ZQAugmentationSliderController::setSliderMaximumValue(double maximum)
{
    if (m_slider)
        m_slider->setRange(m_slider->minimumValue(), maximum);
    if (m_stepper) {
        m_stepper->setRange(m_stepper->minimumValue(), maximum);
        if (maximum == 1.0)
            m_stepper->setIncrement(0.01);
    }
}

double ZQAugmentationSliderController::sliderValue() const
{
    return m_slider ? m_slider->doubleValue() : 0.0;
}

void ZQAugmentationSliderController::setSliderValue(double value)
{
    if (m_settingValue)
        return;
    if (m_slider)
        m_slider->setDoubleValue(value);
    if (m_stepper)
        m_stepper->setDoubleValue(value);
}

void ZQAugmentationSliderController::sliderAction(QObject* sender)
{
    const QScopedValueRollback<bool> moving(m_settingValue, true);
    double value = 0;
    if (sender == m_slider) {
        value = m_slider->doubleValue();
        if (m_stepper)
            m_stepper->setDoubleValue(value);
    } else if (sender == m_stepper) {
        value = m_stepper->doubleValue();
        if (m_slider)
            m_slider->setDoubleValue(value);
    } else {
        return;
    }
    if (m_textField)
        m_textField->sliderOrStepperAction(value);
}
