#pragma once

// The content of an augmented field's popover: a slider and an optional stepper that move
// together and move the field. While the user moves one, the field's echo of the new value
// does not set the controls again.

#include "platform/ui/ViewController.h"

#include <QPointer>

class ZQAugmentedTextField;
class ZQDoubleSlider;
class ZQStepper;

class ZQAugmentationSliderController : public platform::ViewController {
    Q_OBJECT

public:
    ZQAugmentationSliderController();

    double sliderMinimumValue() const;
    void setSliderMinimumValue(double minimum);
    double sliderMaximumValue() const;
    // A maximum of exactly 1 (a fraction) makes the stepper step by hundredths.
    void setSliderMaximumValue(double maximum);
    double sliderValue() const;
    void setSliderValue(double value);

    // The user moved `sender` (the slider or the stepper).
    void sliderAction(QObject* sender);

    ZQAugmentedTextField* textField() const { return m_textField; }
    void setTextField(ZQAugmentedTextField* field) { m_textField = field; }
    ZQDoubleSlider* sliderControl() const { return m_slider; }
    void setSliderControl(ZQDoubleSlider* slider);
    ZQStepper* stepperControl() const { return m_stepper; }
    void setStepperControl(ZQStepper* stepper);

private:
    QPointer<ZQDoubleSlider> m_slider;
    QPointer<ZQStepper> m_stepper;
    QPointer<ZQAugmentedTextField> m_textField;
    bool m_settingValue = false;
};
