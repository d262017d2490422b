#include "platform/vantrix/view/VXKnob.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/view/DevicePixel.h"
#include "platform/vantrix/view/KnobStampBatch.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QMutex>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

namespace {

// Screen pixels between the top edge and the rotation knob: clear of the top knob at any zoom.
constexpr double kRotationKnobDistance = 20;

constexpr std::array<VXBoundsKnob, 8> kBoundsKnobs{kVXTopLeftKnob,     kVXTopKnob,    kVXTopRightKnob,
                                                   kVXRightKnob,       kVXBottomRightKnob, kVXBottomKnob,
                                                   kVXBottomLeftKnob,  kVXLeftKnob};

// Drawing units per pixel of the painter's device.
double painterUnitsPerPixel(const QPainter& painter)
{
    const double scale = std::sqrt(std::abs(painter.worldTransform().determinant()));
    return scale > 1e-9 ? 1.0 / scale : 1.0;
}

// Whether `points` drawn with `world` on a device of `ratio` span less than a device pixel both ways.
bool isWithinADevicePixel(const QTransform& world, qreal ratio, std::span<const QPointF> points)
{
    if (points.empty())
        return false;
    QPointF low = world.map(points.front()) * ratio;
    QPointF high = low;
    for (const QPointF point : points.subspan(1)) {
        const QPointF mapped = world.map(point) * ratio;
        low = {std::min(low.x(), mapped.x()), std::min(low.y(), mapped.y())};
        high = {std::max(high.x(), mapped.x()), std::max(high.y(), mapped.y())};
    }
    return high.x() - low.x() < 1 && high.y() - low.y() < 1;
}

// Device coordinates rounded to whole pixels, the last few remembered: rounding is a call
// into the maths library, and a box's knobs repeat their coordinates.
class PixelRounding {
public:
    int round(double coordinate)
    {
        for (size_t i = 0; i < m_count; ++i)
            if (m_exact[i] == coordinate)
                return m_rounded[i];
        const int rounded = platform::nearestDevicePixel(coordinate);
        const size_t slot = m_count < kKept ? m_count++ : m_next++ % kKept;
        m_exact[slot] = coordinate;
        m_rounded[slot] = rounded;
        return rounded;
    }

private:
    static constexpr size_t kKept = 3;
    std::array<double, kKept> m_exact{};
    std::array<int, kKept> m_rounded{};
    size_t m_count = 0;
    size_t m_next = 0;
};

// The ratio of the painter's device, known to the batch that paint holds stamps in: widgets
// work it out anew each time they are asked.
qreal devicePixelRatioOf(const QPainter& painter)
{
    const platform::KnobStampBatch* batch = platform::KnobStampBatch::current();
    if (batch && batch->isFor(painter))
        return batch->devicePixelRatio();
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}

// Whether an unturned knob box drawn with `painter` lies on at most three device pixels both
// ways: every pixel its outline touches is then at most one pixel from the pixel of a corner.
bool boxIsOnThreeDevicePixels(const QPainter& painter, const platform::KnobBox& box)
{
    if (box.angle != 0)
        return false;
    const qreal ratio = devicePixelRatioOf(painter);
    const QPointF a = painter.worldTransform().map(box.box.topLeft()) * ratio;
    const QPointF b = painter.worldTransform().map(box.box.bottomRight()) * ratio;
    return std::abs(std::floor(a.x()) - std::floor(b.x())) <= 2 && std::abs(std::floor(a.y()) - std::floor(b.y())) <= 2;
}

} // namespace

struct VXKnob::ImageLook {
    int type;
    QRgb colour;
    qreal ratio;
    bool antialiased;
    QSizeF knobSize;
    bool operator==(const ImageLook&) const = default;
};

struct VXKnob::ImageCache {
    // Looks are few (a type in a layer's colour): a short list searched in order, emptied if
    // that ever changes.
    static constexpr int kMaximumImages = 64;
    QMutex mutex;
    QList<std::pair<ImageLook, QImage>> images;
    // Tells this cache from one made later at the same address.
    const quint64 serial = nextSerial();
    static quint64 nextSerial()
    {
        static std::atomic<quint64> next{1};
        return next++;
    }
};

VXKnob::VXKnob()
    : m_images(std::make_unique<ImageCache>())
{
}

VXKnob::~VXKnob() = default;

VXKnob& VXKnob::knobs()
{
    static VXKnob shared;
    return shared;
}

QSizeF VXKnob::controlKnobSize() { return VXDrawingPreferences::current().controlKnobSize; }

double VXKnob::drawingUnitsPerPixel()
{
    const VXDrawingView* view = VXDrawingView::currentView();
    return view ? 1.0 / view->scale() : 1.0;
}

QRectF VXKnob::controlKnobRectAtPoint(QPointF point, int type) const
{
    // Label hit areas are a little more forgiving than the knobs they stand for.
    const double grow = type == kVXHotspotKnobType ? 1.5 : 1.0;
    const QSizeF size = controlKnobSize() * grow * drawingUnitsPerPixel();
    return {point.x() - size.width() / 2, point.y() - size.height() / 2, size.width(), size.height()};
}

QPainterPath VXKnob::knobPath(int type) const
{
    QPainterPath path;
    switch (type) {
    case kVXBaselineKnobType:
        path.moveTo(0.5, 0);
        path.lineTo(0, 0.5);
        path.lineTo(-0.5, 0);
        path.lineTo(0, -0.5);
        path.closeSubpath();
        break;
    case kVXRotationKnobType:
        path.addEllipse(QPointF(), 0.5, 0.5);
        break;
    case kVXCentreTargetKnobType:
        path.addEllipse(QPointF(), 0.5, 0.5);
        path.moveTo(-0.7, 0);
        path.lineTo(0.7, 0);
        path.moveTo(0, -0.7);
        path.lineTo(0, 0.7);
        break;
    case kVXRangeStartKnobType:
    case kVXRangeEndKnobType: {
        const double tip = type == kVXRangeStartKnobType ? 0.6 : -0.6;
        path.moveTo(tip, 0);
        path.lineTo(-tip, 0.5);
        path.lineTo(-tip, -0.5);
        path.closeSubpath();
        break;
    }
    default:
        path.addRect(-0.5, -0.5, 1, 1);
        break;
    }
    return path;
}

void VXKnob::drawKnobAtPointOfTypeAngleUserInfo(QPointF point, int type, double angle, const QVariant& userInfo) const
{
    const QColor colour = userInfo.canConvert<QColor>() && userInfo.value<QColor>().isValid()
                              ? userInfo.value<QColor>()
                              : QColor(0, 100, 255);
    drawKnobAtPointOfTypeAngleHighlightColour(point, type, angle, colour);
}

void VXKnob::drawKnobAtPointOfTypeAngleHighlightColour(QPointF point, int type, double angle,
                                                       const QColor& colour) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainter& painter = *context->painter();
    if (angle == 0 && stampKnobsAtPointsOfTypeColour(painter, {&point, 1}, type, colour, false))
        return;
    platform::KnobStampBatch::flushCurrent();
    const double unit = painterUnitsPerPixel(painter);
    QTransform placement;
    placement.translate(point.x(), point.y());
    placement.rotateRadians(angle);
    placement.scale(controlKnobSize().width() * unit, controlKnobSize().height() * unit);
    const QPainterPath path = placement.map(knobPath(type));
    painter.save();
    painter.setPen(QPen(type == kVXHotspotKnobType ? colour : QColor(Qt::white), 0));
    painter.setBrush(type == kVXHotspotKnobType ? QBrush(Qt::NoBrush) : QBrush(colour));
    painter.drawPath(path);
    painter.restore();
}

const QImage& VXKnob::knobImage(int type, const QColor& colour, qreal ratio, bool antialiased) const
{
    const ImageLook look{type, colour.rgba(), ratio, antialiased, controlKnobSize()};
    // Knobs come in runs of one look: each thread keeps the last one it used, without the lock.
    struct Last {
        quint64 cache = 0;
        ImageLook look{};
        QImage image;
    };
    thread_local Last last;
    if (last.cache != m_images->serial || !(last.look == look))
        last = {m_images->serial, look, sharedKnobImage(look, colour)};
    return last.image;
}

QImage VXKnob::sharedKnobImage(const ImageLook& look, const QColor& colour) const
{
    const auto [type, rgba, ratio, antialiased, knobSize] = look;
    const QMutexLocker lock(&m_images->mutex);
    for (const auto& [made, image] : std::as_const(m_images->images))
        if (made == look)
            return image;
    // Room for the longest knob (the centre target reaches 0.7 of the size) and the outline.
    const double side = 2 * std::ceil(std::max(knobSize.width(), knobSize.height())) + 4;
    QImage image(QSizeF(side * ratio, side * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, antialiased);
        QTransform placement;
        placement.translate(side / 2, side / 2);
        placement.scale(knobSize.width(), knobSize.height());
        painter.setPen(QPen(type == kVXHotspotKnobType ? colour : QColor(Qt::white), 0));
        painter.setBrush(type == kVXHotspotKnobType ? QBrush(Qt::NoBrush) : QBrush(colour));
        painter.drawPath(placement.map(knobPath(type)));
    }
    if (m_images->images.size() >= ImageCache::kMaximumImages)
        m_images->images.clear();
    m_images->images.append({look, image});
    return image;
}

bool VXKnob::stampKnobsAtPointsOfTypeColour(QPainter& painter, std::span<const QPointF> points, int type,
                                            const QColor& colour, bool ofSmallBox) const
{
    const QTransform world = painter.worldTransform();
    if (world.type() > QTransform::TxScale || world.m11() <= 0 || world.m22() == 0)
        return false;
    const qreal ratio = devicePixelRatioOf(painter);
    const QImage& image = knobImage(type, colour, ratio, painter.testRenderHint(QPainter::Antialiasing));
    const QSizeF size = image.deviceIndependentSize();
    // The knobs of an object smaller than a pixel land on a few pixels: each is stamped once.
    const bool withinAPixel = isWithinADevicePixel(world, ratio, points);
    std::array<QPoint, kBoundsKnobs.size()> stamped;
    size_t stampedCount = 0;
    platform::KnobStampBatch* batch = ofSmallBox ? platform::KnobStampBatch::current() : nullptr;
    if (batch && !batch->canHoldFor(painter))
        batch = nullptr;
    // A box's knobs share three columns and three rows: each is rounded once.
    PixelRounding columns, rows;
    bool unturned = false; // the painter, while stamps are drawn at once
    for (const QPointF point : points) {
        const QPointF corner = (world.map(point) - QPointF(size.width() / 2, size.height() / 2)) * ratio;
        // On whole device pixels, so the image is copied rather than resampled.
        const QPoint pixel(columns.round(corner.x()), rows.round(corner.y()));
        if (withinAPixel) {
            if (std::find(stamped.begin(), stamped.begin() + stampedCount, pixel) != stamped.begin() + stampedCount)
                continue;
            if (stampedCount < stamped.size())
                stamped[stampedCount++] = pixel;
        }
        if (batch) {
            batch->hold(image, pixel);
            continue;
        }
        if (!unturned) {
            platform::KnobStampBatch::flushCurrent();
            painter.setWorldTransform(QTransform());
            unturned = true;
        }
        painter.drawImage(QPointF(pixel) / ratio, image);
    }
    if (unturned)
        painter.setWorldTransform(world);
    return true;
}

bool VXKnob::boundsKnobsHideOutlineInBox(const QPainter& painter, const platform::KnobBox& box,
                                         const QColor& colour) const
{
    // The knob's opaque middle covers at least the pixels round its point's pixel when it is six
    // pixels wide.
    constexpr double kSmallestHidingKnob = 6;
    const QTransform& world = painter.worldTransform();
    if (colour.alpha() != 255 || controlKnobSize().width() < kSmallestHidingKnob
        || controlKnobSize().height() < kSmallestHidingKnob || world.type() > QTransform::TxScale
        || world.m11() <= 0 || world.m22() == 0)
        return false;
    return boxIsOnThreeDevicePixels(painter, box);
}

bool VXKnob::hitTestPointInKnobAtPointOfTypeUserInfo(QPointF point, QPointF knobPoint, int type,
                                                     const QVariant&) const
{
    return controlKnobRectAtPoint(knobPoint, type).contains(point);
}

// --- Bounds knobs -----------------------------------------------------------------------------

QPointF VXKnob::pointOfBoundsKnob(const QRectF& bounds, VXBoundsKnob knob)
{
    const QPointF c = bounds.center();
    switch (knob) {
    case kVXTopLeftKnob: return bounds.topLeft();
    case kVXTopKnob: return {c.x(), bounds.top()};
    case kVXTopRightKnob: return bounds.topRight();
    case kVXRightKnob: return {bounds.right(), c.y()};
    case kVXBottomRightKnob: return bounds.bottomRight();
    case kVXBottomKnob: return {c.x(), bounds.bottom()};
    case kVXBottomLeftKnob: return bounds.bottomLeft();
    case kVXLeftKnob: return {bounds.left(), c.y()};
    case kVXNoBoundsKnob: break;
    }
    return c;
}

void VXKnob::drawBoundsKnobsOfObject(const VXDrawableObject& object, const QColor& colour) const
{
    drawBoundsKnobsOnBox(platform::KnobBox::ofObject(object), colour);
}

void VXKnob::drawBoundsKnobsOnBox(const platform::KnobBox& box, const QColor& colour) const
{
    std::array<QPointF, kBoundsKnobs.size()> points;
    std::transform(kBoundsKnobs.cbegin(), kBoundsKnobs.cend(), points.begin(),
                   [&](VXBoundsKnob knob) { return box.pointOfKnob(knob); });
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (box.angle == 0 && context
        && stampKnobsAtPointsOfTypeColour(*context->painter(), points, kVXBoundingRectKnobType, colour,
                                          boxIsOnThreeDevicePixels(*context->painter(), box)))
        return;
    for (const QPointF point : points)
        drawKnobAtPointOfTypeAngleHighlightColour(point, kVXBoundingRectKnobType, box.angle, colour);
}

void VXKnob::drawRotationKnobOfObject(const VXDrawableObject& object, const QColor& colour) const
{
    drawRotationKnobOnBox(platform::KnobBox::ofObject(object), colour);
}

void VXKnob::drawRotationKnobOnBox(const platform::KnobBox& box, const QColor& colour) const
{
    const QPointF point = rotationKnobPoint(box);
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (box.angle == 0 && context
        && stampKnobsAtPointsOfTypeColour(*context->painter(), {&point, 1}, kVXRotationKnobType, colour,
                                          boxIsOnThreeDevicePixels(*context->painter(), box)))
        return;
    drawKnobAtPointOfTypeAngleHighlightColour(point, kVXRotationKnobType, box.angle, colour);
}

VXBoundsKnob VXKnob::boundsKnobHitByPoint(const VXDrawableObject& object, QPointF point) const
{
    const platform::KnobBox box = platform::KnobBox::ofObject(object);
    for (const VXBoundsKnob knob : kBoundsKnobs) {
        if (hitTestPointInKnobAtPointOfTypeUserInfo(point, box.pointOfKnob(knob), kVXBoundingRectKnobType, {}))
            return knob;
    }
    return kVXNoBoundsKnob;
}

QPointF VXKnob::rotationKnobPoint(const platform::KnobBox& box) const
{
    const QPointF topCentre(box.box.center().x(), box.box.top());
    return box.toDrawing(topCentre - QPointF(0, kRotationKnobDistance * drawingUnitsPerPixel()));
}

bool VXKnob::rotationKnobIsHitByPoint(const VXDrawableObject& object, QPointF point) const
{
    return hitTestPointInKnobAtPointOfTypeUserInfo(point, rotationKnobPoint(platform::KnobBox::ofObject(object)),
                                                   kVXRotationKnobType, {});
}

VXBoundsKnob VXKnob::oppositeBoundsKnob(VXBoundsKnob knob)
{
    // The knobs run round the rectangle, so the opposite one is four steps on.
    return knob == kVXNoBoundsKnob ? kVXNoBoundsKnob : VXBoundsKnob((knob + 3) % 8 + 1);
}

QRectF VXKnob::boundsByDraggingKnobToPoint(const QRectF& bounds, VXBoundsKnob knob, QPointF point)
{
    double left = bounds.left(), top = bounds.top(), right = bounds.right(), bottom = bounds.bottom();
    const bool movesLeft = knob == kVXTopLeftKnob || knob == kVXLeftKnob || knob == kVXBottomLeftKnob;
    const bool movesRight = knob == kVXTopRightKnob || knob == kVXRightKnob || knob == kVXBottomRightKnob;
    const bool movesTop = knob == kVXTopLeftKnob || knob == kVXTopKnob || knob == kVXTopRightKnob;
    const bool movesBottom = knob == kVXBottomLeftKnob || knob == kVXBottomKnob || knob == kVXBottomRightKnob;
    if (movesLeft)
        left = point.x();
    if (movesRight)
        right = point.x();
    if (movesTop)
        top = point.y();
    if (movesBottom)
        bottom = point.y();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

double VXKnob::knobReachInPixels()
{
    return kRotationKnobDistance + std::max(controlKnobSize().width(), controlKnobSize().height());
}

QRectF VXKnob::knobAreaForBounds(const QRectF& bounds)
{
    // The corners of a w x h box's turned knob box lie within (w + h) / 2 of its centre.
    const double w = bounds.width(), h = bounds.height();
    return bounds.adjusted(-h / 2, -w / 2, h / 2, w / 2);
}

bool VXKnob::knobsMayMeetRect(const QRectF& bounds, const QRectF& rect, double scale)
{
    const double reach = knobReachInPixels() / (scale > 0 ? scale : 1.0);
    return knobAreaForBounds(bounds).adjusted(-reach, -reach, reach, reach).intersects(rect);
}

// --- Knob boxes -------------------------------------------------------------------------------

namespace platform {

KnobBox KnobBox::ofObject(const VXDrawableObject& object)
{
    const double angle = std::isfinite(object.angle()) ? object.angle() : 0.0;
    // Unturned boxes are the logical bounds exactly, with no rounding from a turn there and back.
    if (angle == 0)
        return {object.logicalBounds(), 0};
    KnobBox turned{{}, angle};
    BezierPath outline = object.renderingPath();
    outline.transformUsingAffineTransform(turned.frameToDrawing().inverted());
    turned.box = outline.bounds();
    return turned;
}

QPointF KnobBox::pointOfKnob(VXBoundsKnob knob) const { return toDrawing(VXKnob::pointOfBoundsKnob(box, knob)); }

} // namespace platform
