#include "windows/reposition/DashedFrame.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace adjustment {

namespace {

// A subpath of a stroke's outline: its elements and the device pixels it may touch.
struct Dash {
    int first = 0;
    int end = 0;
    QRect pixels;
};

std::vector<Dash> dashesOf(const QPainterPath& outline, const QTransform& device)
{
    std::vector<Dash> dashes;
    QPointF low, high;
    const auto close = [&] {
        if (!dashes.empty())
            dashes.back().pixels = QRectF(low, high).toAlignedRect().adjusted(-1, -1, 1, 1);
    };
    for (int i = 0; i < outline.elementCount(); ++i) {
        const QPointF at = device.map(QPointF(outline.elementAt(i)));
        if (outline.elementAt(i).isMoveTo()) {
            close();
            dashes.push_back({i, i, {}});
            low = high = at;
        } else {
            low = {std::min(low.x(), at.x()), std::min(low.y(), at.y())};
            high = {std::max(high.x(), at.x()), std::max(high.y(), at.y())};
        }
        dashes.back().end = i + 1;
    }
    close();
    return dashes;
}

// Groups of the dashes whose pixels on the device may meet (the ends of a closed frame's
// pattern, dashes either side of a corner), each named by its first dash.
std::vector<int> groupsOfMeetingDashes(const std::vector<Dash>& dashes)
{
    const int count = int(dashes.size());
    std::vector<int> group(static_cast<size_t>(count));
    std::iota(group.begin(), group.end(), 0);
    const auto root = [&](int i) {
        while (group[size_t(i)] != i)
            i = group[size_t(i)] = group[size_t(group[size_t(i)])];
        return i;
    };
    // A sweep from left to right meets only the pairs whose columns overlap.
    std::vector<int> byLeft(static_cast<size_t>(count));
    std::iota(byLeft.begin(), byLeft.end(), 0);
    const auto pixels = [&](int i) -> const QRect& { return dashes[size_t(i)].pixels; };
    std::sort(byLeft.begin(), byLeft.end(), [&](int a, int b) { return pixels(a).left() < pixels(b).left(); });
    for (size_t i = 0; i < byLeft.size(); ++i) {
        const QRect& first = pixels(byLeft[i]);
        for (size_t j = i + 1; j < byLeft.size() && pixels(byLeft[j]).left() <= first.right(); ++j)
            if (first.intersects(pixels(byLeft[j]))) {
                const int a = root(byLeft[i]), b = root(byLeft[j]);
                group[size_t(std::max(a, b))] = std::min(a, b);
            }
    }
    for (int i = 0; i < count; ++i)
        group[size_t(i)] = root(i);
    return group;
}

// Whether the engine draws all of `deviceArea`: a stroke reaching past its clip is dashed
// with the clip in mind, which may shift its dashes by a hair. A widget painting into its
// window's backing store sits anywhere in it: the system clip, in the engine's coordinates,
// holds the part being painted; without one the device is painted from its origin.
bool isUnclipped(const QPainter& painter, const QRectF& deviceArea)
{
    const QPaintEngine* engine = painter.paintEngine();
    QRectF visible;
    if (engine && !engine->systemClip().isEmpty()) {
        visible = engine->systemClip().boundingRect();
    } else {
        const QPaintDevice* device = painter.device();
        visible = QRectF(0, 0, device->width() * device->devicePixelRatioF(), device->height() * device->devicePixelRatioF());
    }
    if (painter.hasClipping())
        visible &= painter.deviceTransform().mapRect(painter.clipBoundingRect());
    return visible.contains(deviceArea);
}

// The smallest factor by which the device mapping stretches a length.
double leastScale(const QTransform& device)
{
    return std::min(std::hypot(device.m11(), device.m12()), std::hypot(device.m21(), device.m22()));
}

bool hasCurves(const QPainterPath& path)
{
    for (int i = 0; i < path.elementCount(); ++i)
        if (path.elementAt(i).isCurveTo())
            return true;
    return false;
}

// The outline of the dashes `pen` strokes round `rect`; empty where the pen must stroke them.
QPainterPath dashesOutline(const QPainter& painter, const QRectF& rect, const QPen& pen)
{
    const QTransform& device = painter.deviceTransform();
    // Pens thinner than a pixel the engine strokes its own way.
    if (pen.isCosmetic() || pen.style() == Qt::SolidLine || pen.style() == Qt::NoPen ||
        pen.widthF() * leastScale(device) < 1)
        return {};
    QPainterPath frame;
    frame.addRect(rect);
    const QPainterPath outline = QPainterPathStroker(pen).createStroke(frame);
    // Round joins and caps the pen flattens as finely as the device needs, the stroker as it likes.
    if (outline.isEmpty() || hasCurves(outline) || !isUnclipped(painter, device.mapRect(outline.controlPointRect())))
        return {};
    return outline;
}

} // namespace

bool fillsDashesApart(const QPainter& painter, const QRectF& rect, const QPen& pen)
{
    return !dashesOutline(painter, rect, pen).isEmpty();
}

void strokeDashedRect(QPainter& painter, const QRectF& rect, const QPen& pen)
{
    const QPainterPath outline = dashesOutline(painter, rect, pen);
    if (outline.isEmpty()) {
        painter.setPen(pen);
        painter.drawRect(rect);
        return;
    }
    const QTransform& device = painter.deviceTransform();
    // The pen fills its dashes as one outline: where two meet they are filled together, as there.
    const std::vector<Dash> dashes = dashesOf(outline, device);
    const std::vector<int> groups = groupsOfMeetingDashes(dashes);
    std::vector<QPainterPath> fills(dashes.size());
    for (size_t i = 0; i < dashes.size(); ++i) {
        QPainterPath& fill = fills[size_t(groups[i])];
        if (fill.isEmpty())
            fill.setFillRule(outline.fillRule());
        fill.moveTo(outline.elementAt(dashes[i].first));
        for (int e = dashes[i].first + 1; e < dashes[i].end; ++e)
            fill.lineTo(outline.elementAt(e));
    }
    for (const QPainterPath& fill : fills)
        if (!fill.isEmpty())
            painter.fillPath(fill, pen.brush());
}

} // namespace adjustment
