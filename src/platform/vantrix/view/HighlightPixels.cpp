#include "platform/vantrix/view/HighlightPixels.h"

#include "platform/vantrix/view/VXKnob.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>
#include <optional>
#include <utility>

namespace platform {

namespace {

thread_local HighlightPixels* t_current = nullptr;

// `bounds` in device pixels, when the painter neither turns nor shears.
std::optional<QRectF> devicePixelsOfRect(const QPainter& painter, qreal ratio, const QRectF& bounds)
{
    const QTransform& world = painter.worldTransform();
    if (world.type() > QTransform::TxScale)
        return std::nullopt;
    const QRectF mapped = world.mapRect(bounds);
    return QRectF(mapped.topLeft() * ratio, mapped.size() * ratio);
}

QSize devicePixelsOf(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    if (!device)
        return {};
    // Widgets measure in logical pixels, images in device pixels: room for both.
    const qreal ratio = device->devicePixelRatioF();
    return QSize(int(std::ceil(device->width() * ratio)), int(std::ceil(device->height() * ratio)));
}

} // namespace

HighlightPixels::HighlightPixels(const QPainter& painter)
    : m_size(devicePixelsOf(painter).expandedTo(QSize(0, 0)))
    , m_ratio(painter.device() ? painter.device()->devicePixelRatioF() : 1.0)
    , m_previous(std::exchange(t_current, this))
{
}

HighlightPixels::~HighlightPixels() { t_current = m_previous; }

HighlightPixels* HighlightPixels::current() { return t_current; }

bool HighlightPixels::claimKnobBox(const QPainter& painter, const KnobBox& box, const QColor& colour)
{
    return box.angle != 0 || claim(painter, box.box, colour);
}

bool HighlightPixels::claim(const QPainter& painter, const QRectF& bounds, const QColor& colour)
{
    const std::optional<QRectF> pixels = devicePixelsOfRect(painter, m_ratio, bounds);
    if (!pixels || std::abs(pixels->width()) >= 1 || std::abs(pixels->height()) >= 1)
        return true;
    const QPointF centre = pixels->center();
    const double x = std::floor(centre.x());
    const double y = std::floor(centre.y());
    if (!(x >= 0 && y >= 0 && x < m_size.width() && y < m_size.height()))
        return true;
    // Made at the first small object, so paints without any cost nothing. Layers highlight in
    // colours of their own; objects of one layer come together.
    if (m_drawn.empty() || colour.rgba() != m_colour) {
        m_drawn.assign(size_t(m_size.width()) * size_t(m_size.height()), false);
        m_colour = colour.rgba();
    }
    const size_t index = size_t(y) * size_t(m_size.width()) + size_t(x);
    if (m_drawn[index])
        return false;
    m_drawn[index] = true;
    return true;
}

} // namespace platform
