#pragma once

// Controls that change their value with the scroll wheel: each notch moves 1 % of the
// range. A circular slider, or a stepper that wraps, re-enters from the far end of its
// range a step's width in; the others stop at their limits. A disabled control ignores
// the wheel. Every change by wheel, mouse or keys sends the control's action. The sliders
// hold whole numbers; steps smaller than one add up over the notches.

#include "widgets/controls/ControlAction.h"

#include <QDial>
#include <QDoubleSpinBox>
#include <QSlider>
#include <optional>

// The value after turning the wheel by `deltaY` notches, before the control's own limits
// apply; single precision, as the controls keep it.
double scrollwheelSteppedValue(double value, double minimum, double maximum, double deltaY, bool wraps);

class ZQScrollwheelSlider : public QSlider, public ControlAction {
    Q_OBJECT

public:
    explicit ZQScrollwheelSlider(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    void scrollWheel(QWheelEvent* event);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    std::optional<double> m_wheelValue;
};

// The circular slider: a dial whose value wraps round.
class ZQScrollwheelCircularSlider : public QDial, public ControlAction {
    Q_OBJECT

public:
    explicit ZQScrollwheelCircularSlider(QWidget* parent = nullptr);

    void scrollWheel(QWheelEvent* event);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    std::optional<double> m_wheelValue;
};

// The stepper wraps when `wrapping()` is set.
class ZQScrollwheelStepper : public QDoubleSpinBox, public ControlAction {
    Q_OBJECT

public:
    explicit ZQScrollwheelStepper(QWidget* parent = nullptr);

    void scrollWheel(QWheelEvent* event);
    void stepBy(int steps) override;

protected:
    void wheelEvent(QWheelEvent* event) override;
};
