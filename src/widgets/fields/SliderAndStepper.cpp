#include "widgets/fields/SliderAndStepper.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

namespace {

double clamped(double value, double minimum, double maximum)
{
    return std::max(minimum, std::min(value, maximum));
}

} // namespace

ZQDoubleSlider::ZQDoubleSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    QSlider::setRange(0, kPositions);
    setTracking(true);
    connect(this, &QSlider::valueChanged, this, [this](int position) {
        if (m_showing)
            return;
        m_value = m_minimum + (m_maximum - m_minimum) * position / kPositions;
        Q_EMIT moved(m_value);
    });
}

void ZQDoubleSlider::setRange(double minimum, double maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    m_value = clamped(m_value, m_minimum, m_maximum);
    showValue();
}

void ZQDoubleSlider::setDoubleValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_value = clamped(value, m_minimum, m_maximum);
    showValue();
}

int ZQDoubleSlider::positionForValue(double value) const
{
    const double span = m_maximum - m_minimum;
    return span > 0 ? int(std::lround((value - m_minimum) / span * kPositions)) : 0;
}

void ZQDoubleSlider::showValue()
{
    m_showing = true;
    setValue(positionForValue(m_value));
    m_showing = false;
}

ZQStepper::ZQStepper(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void ZQStepper::setRange(double minimum, double maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    m_value = clamped(m_value, m_minimum, m_maximum);
}

void ZQStepper::setDoubleValue(double value)
{
    if (std::isfinite(value))
        m_value = clamped(value, m_minimum, m_maximum);
}

void ZQStepper::stepBy(int steps)
{
    const double value = clamped(m_value + steps * m_increment, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    Q_EMIT moved(m_value);
}

void ZQStepper::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    const int half = height() / 2;
    option.rect = QRect(0, 0, width(), half);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowUp, &option, &painter, this);
    option.rect = QRect(0, half, width(), height() - half);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, this);
}

void ZQStepper::mousePressEvent(QMouseEvent* event)
{
    stepBy(event->position().y() < height() / 2.0 ? 1 : -1);
}

void ZQStepper::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        stepBy(1);
    else if (event->key() == Qt::Key_Down)
        stepBy(-1);
    else
        QWidget::keyPressEvent(event);
}
