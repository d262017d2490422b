#pragma once

// The content of the layers panel's opacity popover: a slider and a stepper, both showing the
// opacity as a percentage and both sending the same action to the same target, which reads
// the value (0 to 1) from the sender's `controlsValue`. One serves every layer row. A drag of
// the slider sends once, when released; a number typed into the stepper once, when entered.

#include "platform/ui/ViewController.h"
#include "widgets/buttons/ZQAugmentedButton.h"

#include <QByteArray>
#include <QPointer>

class QSlider;
class QSpinBox;

class VLTMLayerOpacityPopoverController : public platform::ViewController, public ZQPopoverControlsReceiver {
    Q_OBJECT
    Q_PROPERTY(double controlsValue READ controlsValue)

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

protected:
    QWidget* loadView() override;

private:
    void controlDidChange(int percent);

    QPointer<QSlider> m_slider;
    QPointer<QSpinBox> m_stepper;
    QPointer<QObject> m_target;
    QByteArray m_action;
    bool m_settingValue = false;
};
