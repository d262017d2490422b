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
#include <span>

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

// Whether knob stamps are placed under `world`: it neither turns, shears nor mirrors across
// the vertical.
bool stampsUnder(const QTransform& world)
{
    return world.type() <= QTransform::TxScale && world.m11() > 0 && world.m22() != 0;
}

// Whether `coordinates`, on a device of `ratio`, lie within less than a device pixel.
bool isWithinADevicePixel(std::span<const double> coordinates, qreal ratio)
{
    const auto [low, high] = std::minmax_element(coordinates.begin(), coordinates.end());
    return *high * ratio - *low * ratio < 1;
}

// The ratio of the painter's device, known to the batch that paint holds stamps in: widgets
// work it out anew each time they are asked.
qreal devicePixelRatioOf(const QPainter& painter)
{
    const platform::KnobStampBatch* batch = platform::KnobStampBatch::current();
    if (batch && batch->isFor(painter))
        return batch->devicePixelRatio();
    return painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
}

// Whether a box whose corners the world maps to `topLeft` and `bottomRight` lies on at most
// three device pixels both ways: every pixel its outline touches is then at most one pixel
// from the pixel of a corner.
bool isOnThreeDevicePixels(QPointF topLeft, QPointF bottomRight, qreal ratio)
{
    // Spans under two pixels always are, of three or more never: only those between need their pixels.
    const auto onThree = [](double a, double b) {
        const double span = std::abs(b - a);
        return span < 2 || (!(span >= 3) && std::abs(std::floor(a) - std::floor(b)) <= 2);
    };
    const QPointF a = topLeft * ratio;
    const QPointF b = bottomRight * ratio;
    return onThree(a.x(), b.x()) && onThree(a.y(), b.y());
}

bool boxIsOnThreeDevicePixels(const QTransform& world, qreal ratio, const platform::KnobBox& box)
{
    return box.angle == 0
           && isOnThreeDevicePixels(world.map(box.box.topLeft()), world.map(box.box.bottomRight()), ratio);
}

// Where a knob lies among the columns and rows of knob points.
struct KnobPlace {
    int column;
    int row;
};

// Where the bounds knobs lie on a box's columns (left, middle, right) and rows (top, middle,
// bottom), in their order.
constexpr std::array<KnobPlace, kBoundsKnobs.size()> kBoundsKnobPlaces{
    {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}}};
constexpr std::array<KnobPlace, 1> kLonePlace{{{0, 0}}};

} // namespace

struct VXKnob::MappedKnobs {
    std::span<const double> columns;   // at most three
    std::span<const double> rows;      // at most three
    std::span<const KnobPlace> places; // at most eight
    qreal ratio;                       // of the painter's device
};

struct VXKnob::ImageLook {
    int type;
    QRgb colour;
    qreal ratio;
    bool antialiased;
    // Exact, not fuzzy as QSizeF compares: a size that differs at all makes another image.
    double knobWidth;
    double knobHeight;
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
    if (angle == 0 && stampsUnder(painter.worldTransform())) {
        stampKnobAtPoint(painter, point, devicePixelRatioOf(painter), type, colour, false);
        return;
    }
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

const VXKnob::Stamp& VXKnob::knobStamp(int type, const QColor& colour, qreal ratio, bool antialiased) const
{
    const QSizeF knobSize = controlKnobSize();
    const ImageLook look{type, colour.rgba(), ratio, antialiased, knobSize.width(), knobSize.height()};
    // Knobs come in runs of one look: each thread keeps the last one it used, without the lock.
    struct Last {
        quint64 cache = 0;
        ImageLook look{};
        Stamp stamp;
    };
    thread_local Last last;
    if (last.cache != m_images->serial || !(last.look == look)) {
        QImage image = sharedKnobImage(look, colour);
        const QSizeF size = image.deviceIndependentSize();
        last = {m_images->serial, look, {std::move(image), QPointF(size.width() / 2, size.height() / 2)}};
    }
    return last.stamp;
}

QImage VXKnob::sharedKnobImage(const ImageLook& look, const QColor& colour) const
{
    const auto [type, rgba, ratio, antialiased, knobWidth, knobHeight] = look;
    const QSizeF knobSize(knobWidth, knobHeight);
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

void VXKnob::stampMappedKnobs(QPainter& painter, const MappedKnobs& knobs, int type, const QColor& colour,
                              bool ofSmallBox) const
{
    const qreal ratio = knobs.ratio;
    const Stamp& stamp = knobStamp(type, colour, ratio, painter.testRenderHint(QPainter::Antialiasing));
    // On whole device pixels, so the image is copied rather than resampled.
    std::array<int, 3> columns, rows;
    for (size_t i = 0; i < knobs.columns.size(); ++i)
        columns[i] = platform::nearestDevicePixel((knobs.columns[i] - stamp.middle.x()) * ratio);
    for (size_t i = 0; i < knobs.rows.size(); ++i)
        rows[i] = platform::nearestDevicePixel((knobs.rows[i] - stamp.middle.y()) * ratio);
    // The knobs of an object smaller than a pixel land on a few pixels: each is stamped once.
    const bool withinAPixel = isWithinADevicePixel(knobs.columns, ratio) && isWithinADevicePixel(knobs.rows, ratio);
    std::array<QPoint, kBoundsKnobs.size()> pixels;
    size_t count = 0;
    for (const KnobPlace place : knobs.places.first(std::min(knobs.places.size(), pixels.size()))) {
        const QPoint pixel(columns[size_t(place.column)], rows[size_t(place.row)]);
        if (!withinAPixel || std::find(pixels.begin(), pixels.begin() + count, pixel) == pixels.begin() + count)
            pixels[count++] = pixel;
    }
    const std::span<const QPoint> stamped(pixels.data(), count);
    platform::KnobStampBatch* batch = ofSmallBox ? platform::KnobStampBatch::current() : nullptr;
    if (batch && batch->canHoldFor(painter)) {
        batch->hold(stamp.image, stamped);
        return;
    }
    platform::KnobStampBatch::flushCurrent();
    const QTransform world = painter.worldTransform();
    painter.setWorldTransform(QTransform());
    for (const QPoint pixel : stamped)
        painter.drawImage(QPointF(pixel) / ratio, stamp.image);
    painter.setWorldTransform(world);
}

void VXKnob::stampKnobAtPoint(QPainter& painter, QPointF point, qreal ratio, int type, const QColor& colour,
                              bool ofSmallBox) const
{
    const QPointF mapped = painter.worldTransform().map(point);
    const std::array<double, 1> column{mapped.x()}, row{mapped.y()};
    stampMappedKnobs(painter, {column, row, kLonePlace, ratio}, type, colour, ofSmallBox);
}

bool VXKnob::boundsKnobsHideOutlineInBox(const QPainter& painter, const platform::KnobBox& box,
                                         const QColor& colour) const
{
    // The knob's opaque middle covers at least the pixels round its point's pixel when it is six
    // pixels wide.
    constexpr double kSmallestHidingKnob = 6;
    if (colour.alpha() != 255)
        return false;
    const QSizeF knobSize = controlKnobSize();
    const QTransform& world = painter.worldTransform();
    return knobSize.width() >= kSmallestHidingKnob && knobSize.height() >= kSmallestHidingKnob
           && stampsUnder(world) && boxIsOnThreeDevicePixels(world, devicePixelRatioOf(painter), box);
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
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = context ? context->painter() : nullptr;
    if (box.angle != 0 || !painter || !stampsUnder(painter->worldTransform())) {
        for (const VXBoundsKnob knob : kBoundsKnobs)
            drawKnobAtPointOfTypeAngleHighlightColour(box.pointOfKnob(knob), kVXBoundingRectKnobType, box.angle,
                                                      colour);
        return;
    }
    // An unturned world maps each column and each row of knob points alike: three points give
    // all eight knobs.
    const QTransform& world = painter->worldTransform();
    const QPointF topLeft = world.map(box.box.topLeft());
    const QPointF middle = world.map(box.box.center());
    const QPointF bottomRight = world.map(box.box.bottomRight());
    const std::array<double, 3> columns{topLeft.x(), middle.x(), bottomRight.x()};
    const std::array<double, 3> rows{topLeft.y(), middle.y(), bottomRight.y()};
    const qreal ratio = devicePixelRatioOf(*painter);
    stampMappedKnobs(*painter, {columns, rows, kBoundsKnobPlaces, ratio}, kVXBoundingRectKnobType, colour,
                     isOnThreeDevicePixels(topLeft, bottomRight, ratio));
}

void VXKnob::drawRotationKnobOfObject(const VXDrawableObject& object, const QColor& colour) const
{
    drawRotationKnobOnBox(platform::KnobBox::ofObject(object), colour);
}

void VXKnob::drawRotationKnobOnBox(const platform::KnobBox& box, const QColor& colour) const
{
    const QPointF point = rotationKnobPoint(box);
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = context ? context->painter() : nullptr;
    if (box.angle != 0 || !painter || !stampsUnder(painter->worldTransform())) {
        drawKnobAtPointOfTypeAngleHighlightColour(point, kVXRotationKnobType, box.angle, colour);
        return;
    }
    const qreal ratio = devicePixelRatioOf(*painter);
    stampKnobAtPoint(*painter, point, ratio, kVXRotationKnobType, colour,
                     boxIsOnThreeDevicePixels(painter->worldTransform(), ratio, box));
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
