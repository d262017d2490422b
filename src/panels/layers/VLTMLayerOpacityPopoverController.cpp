#include "panels/layers/VLTMLayerOpacityPopoverController.h"

#include "platform/foundation/MetaInvoke.h"

#include <QHBoxLayout>
#include <QScopedValueRollback>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>

VLTMLayerOpacityPopoverController::VLTMLayerOpacityPopoverController() = default;
VLTMLayerOpacityPopoverController::~VLTMLayerOpacityPopoverController() = default;

QSlider* VLTMLayerOpacityPopoverController::slider()
{
    view();
    return m_slider;
}

QSpinBox* VLTMLayerOpacityPopoverController::stepper()
{
    view();
    return m_stepper;
}

QWidget* VLTMLayerOpacityPopoverController::loadView()
{
    auto* content = new QWidget;
    auto* layout = new QHBoxLayout(content);
    layout->setContentsMargins(8, 6, 8, 6);
    m_slider = new QSlider(Qt::Horizontal, content);
    m_slider->setRange(0, 100);
    m_slider->setMinimumWidth(120);
    m_stepper = new QSpinBox(content);
    m_stepper->setRange(0, 100);
    m_stepper->setSuffix(QStringLiteral(" %"));
    // A typed number is one change, not one per digit.
    m_stepper->setKeyboardTracking(false);
    layout->addWidget(m_slider, 1);
    layout->addWidget(m_stepper);
    connect(m_slider, &QSlider::valueChanged, this, &VLTMLayerOpacityPopoverController::controlDidChange);
    connect(m_stepper, &QSpinBox::valueChanged, this, &VLTMLayerOpacityPopoverController::controlDidChange);
    connect(m_slider, &QSlider::sliderReleased, this, &VLTMLayerOpacityPopoverController::sendAction);
    return content;
}

void VLTMLayerOpacityPopoverController::setControlsValue(double value)
{
    view();
    const QScopedValueRollback setting(m_settingValue, true);
    const int percent = qRound(std::clamp(value, 0.0, 1.0) * 100);
    m_slider->setValue(percent);
    m_stepper->setValue(percent);
}

double VLTMLayerOpacityPopoverController::controlsValue() const
{
    return m_slider ? m_slider->value() / 100.0 : 1.0;
}

bool VLTMLayerOpacityPopoverController::isTracking() const
{
    return m_slider && m_slider->isSliderDown();
}

void VLTMLayerOpacityPopoverController::controlDidChange(int percent)
{
    if (m_settingValue)
        return;
    setControlsValue(percent / 100.0);
    sendAction();
}

void VLTMLayerOpacityPopoverController::sendAction()
{
    if (m_target && !m_action.isEmpty())
        platform::invokeSelector(m_target, m_action, QVariant::fromValue(static_cast<QObject*>(this)));
}
