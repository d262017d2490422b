#include "widgets/controls/ScrollwheelControls.h"

#include "widgets/tracking/WheelDelta.h"

#include <QWheelEvent>
#include <cmath>
#include <functional>

namespace {

// Applies the wheel to a control's value, starting from `current`; answers whether the
// control took the event.
template <typename Control>
bool applyScrollwheel(Control& control, QWheelEvent* event, double current, bool wraps,
                      const std::function<void(double)>& setValue)
{
    if (!control.isEnabled())
        return false;
    setValue(scrollwheelSteppedValue(current, control.minimum(), control.maximum(), wheelDeltaY(*event), wraps));
    control.sendActionFrom(&control);
    return true;
}

// A whole-number slider keeps the wheel's exact value while it still shows it, so steps of
// less than one unit add up instead of being rounded away at every notch.
bool applyScrollwheel(QAbstractSlider& slider, ControlAction& action, QWheelEvent* event, bool wraps,
                      std::optional<double>& wheelValue)
{
    if (!slider.isEnabled())
        return false;
    const double current = wheelValue && std::lround(*wheelValue) == slider.value() ? *wheelValue : slider.value();
    wheelValue = scrollwheelSteppedValue(current, slider.minimum(), slider.maximum(), wheelDeltaY(*event), wraps);
    slider.setValue(int(std::lround(*wheelValue)));
    action.sendActionFrom(&slider);
    return true;
}

void acceptOrIgnore(QWheelEvent* event, bool taken)
{
    if (taken)
        event->accept();
    else
        event->ignore();
}

} // namespace

double scrollwheelSteppedValue(double value, double minimum, double maximum, double deltaY, bool wraps)
{
    const float step = float(deltaY * (maximum - minimum) / 100.0);
    float v = float(value) + step;
    if (wraps) {
        if (v < minimum)
            v = float(maximum) - std::fabs(step);
        if (v > maximum)
            v = float(minimum) + std::fabs(step);
    }
    return v;
}

ZQScrollwheelSlider::ZQScrollwheelSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    sendActionOnUserChanges(this);
}

void ZQScrollwheelSlider::scrollWheel(QWheelEvent* event)
{
    acceptOrIgnore(event, applyScrollwheel(*this, *this, event, false, m_wheelValue));
}

void ZQScrollwheelSlider::wheelEvent(QWheelEvent* event)
{
    scrollWheel(event);
}

ZQScrollwheelCircularSlider::ZQScrollwheelCircularSlider(QWidget* parent)
    : QDial(parent)
{
    setWrapping(true);
    setFocusPolicy(Qt::StrongFocus);
    sendActionOnUserChanges(this);
}

void ZQScrollwheelCircularSlider::scrollWheel(QWheelEvent* event)
{
    acceptOrIgnore(event, applyScrollwheel(*this, *this, event, true, m_wheelValue));
}

void ZQScrollwheelCircularSlider::wheelEvent(QWheelEvent* event)
{
    scrollWheel(event);
}

ZQScrollwheelStepper::ZQScrollwheelStepper(QWidget* parent)
    : QDoubleSpinBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void ZQScrollwheelStepper::scrollWheel(QWheelEvent* event)
{
    acceptOrIgnore(event, applyScrollwheel(*this, event, value(), wrapping(), [this](double v) { setValue(v); }));
}

void ZQScrollwheelStepper::stepBy(int steps)
{
    QDoubleSpinBox::stepBy(steps);
    sendActionFrom(this);
}

void ZQScrollwheelStepper::wheelEvent(QWheelEvent* event)
{
    scrollWheel(event);
}
