#include "platform/vantrix/view/VXRulerView.h"

#include "platform/vantrix/view/VXDrawingView.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr double kMarkerSize = 5;

// The least of 1, 2 and 5 times a power of ten that is at least `minimum` (> 0).
double roundStepAtLeast(double minimum)
{
    const double power = std::pow(10.0, std::floor(std::log10(minimum)));
    for (const double multiple : {1.0, 2.0, 5.0}) {
        if (multiple * power >= minimum)
            return multiple * power;
    }
    return 10 * power;
}

// Digits after the point that labels `step` apart need.
int decimalsForStep(double step)
{
    return std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
}

} // namespace

VXRulerView::VXRulerView(Qt::Orientation orientation, VXDrawingView* view)
    : QWidget(view)
    , m_orientation(orientation)
    , m_view(view)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont small = font();
    small.setPointSizeF(7);
    setFont(small);
}

VXRulerView::~VXRulerView() = default;

QSize VXRulerView::sizeHint() const
{
    return m_orientation == Qt::Horizontal ? QSize(100, kThickness) : QSize(kThickness, 100);
}

double VXRulerView::length() const { return m_orientation == Qt::Horizontal ? width() : height(); }

double VXRulerView::positionOfCoordinate(double coordinate) const
{
    if (!m_view)
        return 0;
    const QPointF at = m_view->convertPointFromDrawing({coordinate, coordinate});
    return m_orientation == Qt::Horizontal ? at.x() : at.y();
}

double VXRulerView::coordinateAtPosition(double position) const
{
    if (!m_view)
        return 0;
    const QPointF at = m_view->convertPointToDrawing({position, position});
    return m_orientation == Qt::Horizontal ? at.x() : at.y();
}

double VXRulerView::originCoordinate() const
{
    const QPointF origin = m_view->drawing()->interior().topLeft();
    return m_orientation == Qt::Horizontal ? origin.x() : origin.y();
}

double VXRulerView::labelStep() const
{
    const VXDrawing* drawing = m_view ? m_view->drawing() : nullptr;
    if (!drawing)
        return 0;
    const double pixelsPerUnit = drawing->unitToPointsConversionFactor() * m_view->scale();
    if (!std::isfinite(pixelsPerUnit) || pixelsPerUnit <= 0)
        return 0;
    return roundStepAtLeast(kMinimumLabelSpacing / pixelsPerUnit);
}

QList<VXRulerView::Tick> VXRulerView::ticks() const
{
    const double step = labelStep();
    if (step <= 0)
        return {};
    const double pointsPerUnit = m_view->drawing()->unitToPointsConversionFactor();
    const double labelSpacing = step * pointsPerUnit * m_view->scale();
    int divisions = 1;
    for (const int candidate : {10, 5, 2}) {
        if (labelSpacing / candidate >= kMinimumTickSpacing) {
            divisions = candidate;
            break;
        }
    }
    const double tickStep = step / divisions;
    const double origin = originCoordinate();
    const auto valueAt = [&](double position) { return (coordinateAtPosition(position) - origin) / pointsPerUnit; };
    // Whole multiples of the tick step, so every value is exact to the step's precision.
    const auto first = qint64(std::ceil(valueAt(0) / tickStep - 1e-9));
    const auto last = qint64(std::floor(valueAt(length()) / tickStep + 1e-9));
    QList<Tick> ticks;
    ticks.reserve(int(std::max<qint64>(0, last - first + 1)));
    for (qint64 n = first; n <= last; ++n) {
        const double value = double(n) * tickStep;
        ticks.append({positionOfCoordinate(origin + value * pointsPerUnit), value, n % divisions == 0});
    }
    return ticks;
}

void VXRulerView::setMarkerPositions(const QList<double>& coordinates)
{
    if (coordinates == m_markers)
        return;
    m_markers = coordinates;
    update();
}

void VXRulerView::setMousePosition(std::optional<double> coordinate)
{
    if (coordinate == m_mouse)
        return;
    m_mouse = coordinate;
    update();
}

// --- Painting -------------------------------------------------------------------------------

void VXRulerView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    if (m_orientation == Qt::Horizontal)
        painter.drawLine(QPointF(0, height() - 0.5), QPointF(width(), height() - 0.5));
    else
        painter.drawLine(QPointF(width() - 0.5, 0), QPointF(width() - 0.5, height()));
    const QList<Tick> all = ticks();
    if (all.isEmpty())
        return;
    const int decimals = decimalsForStep(labelStep());
    painter.setPen(palette().color(QPalette::WindowText));
    for (const Tick& tick : all) {
        drawTick(painter, tick, tick.labelled ? kThickness : kThickness / 4.0);
        if (tick.labelled)
            drawLabel(painter, tick, decimals);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    for (const double marker : m_markers)
        drawMarker(painter, positionOfCoordinate(marker), palette().color(QPalette::Highlight));
    if (m_mouse)
        drawMarker(painter, positionOfCoordinate(*m_mouse), palette().color(QPalette::WindowText));
}

void VXRulerView::drawTick(QPainter& painter, const Tick& tick, double height) const
{
    const double at = std::floor(tick.position) + 0.5; // crisp one-pixel lines
    if (m_orientation == Qt::Horizontal)
        painter.drawLine(QPointF(at, kThickness - height), QPointF(at, kThickness));
    else
        painter.drawLine(QPointF(kThickness - height, at), QPointF(kThickness, at));
}

void VXRulerView::drawLabel(QPainter& painter, const Tick& tick, int decimals) const
{
    const QString text = QString::number(tick.value, 'f', decimals);
    painter.save();
    if (m_orientation == Qt::Horizontal) {
        painter.translate(tick.position + 2, 0);
    } else {
        // Read upwards along the vertical ruler.
        painter.translate(0, tick.position - 2);
        painter.rotate(-90);
    }
    painter.drawText(QRectF(0, 0, kMinimumLabelSpacing, kThickness / 2.0 + 2), Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}

void VXRulerView::drawMarker(QPainter& painter, double position, const QColor& colour) const
{
    // A triangle pointing into the viewport from the ruler's inner edge.
    QPainterPath triangle;
    triangle.moveTo(0, 0);
    triangle.lineTo(-kMarkerSize, -kMarkerSize);
    triangle.lineTo(kMarkerSize, -kMarkerSize);
    triangle.closeSubpath();
    QTransform place;
    if (m_orientation == Qt::Horizontal)
        place.translate(position, kThickness);
    else
        place.translate(kThickness, position).rotate(-90);
    painter.fillPath(place.map(triangle), colour);
}
