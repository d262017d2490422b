#include "platform/vantrix/model/VXGuideLayer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QPainter>

namespace {

const QString kHorizontalKey = QStringLiteral("VXGuideLayer_horizontalGuides");
const QString kVerticalKey = QStringLiteral("VXGuideLayer_verticalGuides");
const QString kToleranceKey = QStringLiteral("VXGuideLayer_snapTolerance");
const QString kColourKey = QStringLiteral("VXGuideLayer_guideColour");
const QString kGuideInfoKey = QStringLiteral("guide");

constexpr qsizetype kMaximumGuides = 10000;

QVariantList positionsValue(const QList<double>& positions)
{
    QVariantList list;
    for (const double position : positions)
        list.append(position);
    return list;
}

} // namespace

VXGuideLayer::VXGuideLayer()
{
    setShouldDrawToPrinter(false);
}

VXGuideLayer::~VXGuideLayer() = default;

QList<double> VXGuideLayer::horizontalGuides() const
{
    QList<double> positions;
    for (const platform::Guide& guide : m_guides)
        if (!guide.isVertical)
            positions.append(guide.position);
    return positions;
}

QList<double> VXGuideLayer::verticalGuides() const
{
    QList<double> positions;
    for (const platform::Guide& guide : m_guides)
        if (guide.isVertical)
            positions.append(guide.position);
    return positions;
}

void VXGuideLayer::addGuide(const platform::Guide& guide)
{
    if (!std::isfinite(guide.position) || m_guides.contains(guide))
        return;
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, guide] { removeGuide(guide); });
    insertGuide(guide);
}

void VXGuideLayer::removeGuide(const platform::Guide& guide)
{
    if (!m_guides.contains(guide))
        return;
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, guide] { addGuide(guide); });
    eraseGuide(guide);
}

void VXGuideLayer::insertGuide(const platform::Guide& guide)
{
    m_guides.append(guide);
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXGuideLayerDidAddGuide, this,
                                                                       {{kGuideInfoKey, QVariant::fromValue(guide)}});
    setNeedsDisplay();
}

void VXGuideLayer::eraseGuide(const platform::Guide& guide)
{
    m_guides.removeOne(guide);
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXGuideLayerDidRemoveGuide, this,
                                                                       {{kGuideInfoKey, QVariant::fromValue(guide)}});
    setNeedsDisplay();
}

void VXGuideLayer::clearGuides(QObject*)
{
    ZQUndoManager* undo = undoManager();
    if (undo)
        undo->beginUndoGrouping();
    for (const platform::Guide& guide : QList<platform::Guide>(m_guides))
        removeGuide(guide);
    if (undo) {
        undo->setActionName(tr("Delete All Guides"));
        undo->endUndoGrouping();
    }
}

void VXGuideLayer::setSnapTolerance(double points)
{
    if (std::isfinite(points) && points >= 0)
        changeValueForKey(m_snapTolerance, points, "snapTolerance");
}

void VXGuideLayer::setGuideColour(const QColor& colour)
{
    if (colour.isValid())
        changeValueForKey(m_guideColour, colour, "guideColour");
}

std::optional<double> VXGuideLayer::nearestGuide(double value, bool vertical) const
{
    std::optional<double> nearest;
    for (const platform::Guide& guide : m_guides) {
        const double distance = std::abs(guide.position - value);
        if (guide.isVertical == vertical && distance <= m_snapTolerance
            && (!nearest || distance < std::abs(*nearest - value)))
            nearest = guide.position;
    }
    return nearest;
}

QPointF VXGuideLayer::snapPointToGuide(QPointF point) const
{
    return {nearestGuide(point.x(), true).value_or(point.x()), nearestGuide(point.y(), false).value_or(point.y())};
}

QPointF VXGuideLayer::offsetToSnapPointsToGuide(const QList<QPointF>& points) const
{
    std::optional<double> dx, dy;
    for (const QPointF point : points) {
        if (!dx)
            if (const auto x = nearestGuide(point.x(), true))
                dx = *x - point.x();
        if (!dy)
            if (const auto y = nearestGuide(point.y(), false))
                dy = *y - point.y();
    }
    return {dx.value_or(0), dy.value_or(0)};
}

void VXGuideLayer::drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView*, bool) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    const VXDrawing* owner = drawing();
    if (!context || !owner)
        return;
    const QRectF area = owner->bounds() & rect;
    // Verticals first whatever the order of adding, so crossings draw the same after reading.
    QList<QLineF> lines;
    for (const double x : verticalGuides())
        if (x >= area.left() && x <= area.right())
            lines.append(QLineF(x, area.top(), x, area.bottom()));
    for (const double y : horizontalGuides())
        if (y >= area.top() && y <= area.bottom())
            lines.append(QLineF(area.left(), y, area.right(), y));
    QPainter& painter = *context->painter();
    painter.save();
    painter.setPen(QPen(m_guideColour, 0)); // a hairline at every zoom
    painter.drawLines(lines);
    painter.restore();
}

void VXGuideLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXLayer::encodeWithCoder(coder);
    coder.encodeObject(QVariant(positionsValue(horizontalGuides())), kHorizontalKey);
    coder.encodeObject(QVariant(positionsValue(verticalGuides())), kVerticalKey);
    coder.encodeDouble(m_snapTolerance, kToleranceKey);
    coder.encodeColor(m_guideColour, kColourKey);
}

void VXGuideLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXLayer::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_guides.clear();
    for (const bool vertical : {false, true}) {
        const QVariant list = coder.decodeValue(vertical ? kVerticalKey : kHorizontalKey);
        if (list.metaType() != QMetaType::fromType<QVariantList>())
            continue;
        for (const QVariant& value : list.toList()) {
            bool ok = false;
            const double position = value.toDouble(&ok);
            const platform::Guide guide{position, vertical};
            if (ok && std::isfinite(position) && !m_guides.contains(guide) && m_guides.size() < kMaximumGuides)
                m_guides.append(guide);
        }
    }
    m_snapTolerance = reader.real(kToleranceKey, m_snapTolerance, 0, 1000);
    m_guideColour = reader.colour(kColourKey, m_guideColour);
}
