#pragma once

// The content of the layers panel's opacity popover: a slider and a stepper, both showing the
// opacity as a percentage and both sending the same action to the same target, which reads
// the value (0 to 1) from the sender's `controlsValue`. One serves every layer row. While the
// slider is dragged (`tracking`) every position is sent, and once more at its release, so the
// target can show the drag live and record it as one change; a number typed into the stepper
// is sent once, when entered.

#include "platform/ui/ViewController.h"
#include "widgets/buttons/ZQAugmentedButton.h"

#include <QByteArray>
#include <QPointer>

class QSlider;
class QSpinBox;

class VLTMLayerOpacityPopoverController : public platform::ViewController, public ZQPopoverControlsReceiver {
    Q_OBJECT
    Q_PROPERTY(double controlsValue READ controlsValue)
    Q_PROPERTY(bool tracking READ isTracking)

public:
    VLTMLayerOpacityPopoverController();
    ~VLTMLayerOpacityPopoverController() override;

    QSlider* slider();
    QSpinBox* stepper();
    QObject* target() const { return m_target; }
    void setTarget(QObject* target) override { m_target = target; }
    QByteArray controlsAction() const { return m_action; }
    void setControlsAction(const QByteArray& action) override { m_action = action; }
    // Both controls show the value (0 to 1) without sending anything.
    void setControlsValue(double value);
    double controlsValue() const;
    bool isTracking() const;

protected:
    QWidget* loadView() override;

private:
    void controlDidChange(int percent);
    void sendAction();

    QPointer<QSlider> m_slider;
    QPointer<QSpinBox> m_stepper;
    QPointer<QObject> m_target;
    QByteArray m_action;
    bool m_settingValue = false;
};
