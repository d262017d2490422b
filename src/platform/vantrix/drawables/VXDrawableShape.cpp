#include "platform/vantrix/drawables/VXDrawableShape.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/drawables/Placement.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"

namespace {

const QString kPathKey = QStringLiteral("VXDrawableShape_path");
const QString kLocationKey = QStringLiteral("VXDrawableShape_location");
const QString kSizeKey = QStringLiteral("VXDrawableShape_size");
const QString kAngleKey = QStringLiteral("VXDrawableShape_angle");
const QString kOffsetKey = QStringLiteral("VXDrawableShape_offset");

const QRectF kUnitBox(-0.5, -0.5, 1, 1);

bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

bool isFinite(QSizeF s)
{
    return std::isfinite(s.width()) && std::isfinite(s.height());
}

} // namespace

VXDrawableShape::VXDrawableShape() : m_path(platform::BezierPath::bezierPathWithRect(kUnitBox)) {}

VXDrawableShape::~VXDrawableShape() = default;

VXDrawableShapePtr VXDrawableShape::makeShape()
{
    auto shape = std::dynamic_pointer_cast<VXDrawableShape>(
        platform::ClassRegistry::create(QString::fromLatin1(staticMetaObject.className())));
    return shape ? shape : std::make_shared<VXDrawableShape>();
}

VXDrawableShapePtr VXDrawableShape::drawableShapeWithStyle(const VXStylePtr& style)
{
    VXDrawableShapePtr shape = makeShape();
    shape->setStyle(style);
    return shape;
}

VXDrawableShapePtr VXDrawableShape::drawableShapeWithBezierPathWithStyle(const platform::BezierPath& path,
                                                                         const VXStylePtr& style)
{
    VXDrawableShapePtr shape = drawableShapeWithStyle(style);
    shape->adoptPathFromDrawing(path);
    return shape;
}

VXDrawableShapePtr VXDrawableShape::drawableShapeWithRect(const QRectF& rect, const VXStylePtr& style)
{
    return drawableShapeWithBezierPathWithStyle(platform::BezierPath::bezierPathWithRect(rect), style);
}

VXDrawableShapePtr VXDrawableShape::drawableShapeWithOvalInRect(const QRectF& rect, const VXStylePtr& style)
{
    return drawableShapeWithBezierPathWithStyle(platform::BezierPath::bezierPathWithOvalInRect(rect), style);
}

void VXDrawableShape::setPath(const platform::BezierPath& path)
{
    changeValueForKey(m_path, path, "path", Change::Geometry);
}

void VXDrawableShape::adoptPathFromDrawing(const platform::BezierPath& path)
{
    const QRectF box = path.bounds();
    // A side of no length stays 0 wide, its points at the box's centre line.
    const double w = box.width() != 0 ? box.width() : 1.0;
    const double h = box.height() != 0 ? box.height() : 1.0;
    platform::BezierPath unit = path;
    QTransform toUnit;
    toUnit.scale(1 / w, 1 / h);
    toUnit.translate(-box.center().x(), -box.center().y());
    unit.transformUsingAffineTransform(toUnit);
    setOffset(QSizeF(0, 0));
    setAngle(0);
    setPath(unit);
    setSize(box.size());
    setLocation(box.center());
}

void VXDrawableShape::setLocation(QPointF location)
{
    if (isFinite(location))
        changeValueForKey(m_location, location, "location", Change::Geometry);
}

void VXDrawableShape::setSize(QSizeF size)
{
    if (isFinite(size))
        changeValueForKey(m_size, size, "size", Change::Geometry);
}

void VXDrawableShape::setAngle(double radians)
{
    // One turn is no turn; keeping angles in -pi..pi keeps inspectors and archives tidy.
    if (std::isfinite(radians))
        changeValueForKey(m_angle, std::remainder(radians, 2 * M_PI), "angle", Change::Geometry);
}

void VXDrawableShape::setOffset(QSizeF offset)
{
    if (isFinite(offset))
        changeValueForKey(m_offset, QSizeF(std::clamp(offset.width(), -0.5, 0.5), std::clamp(offset.height(), -0.5, 0.5)),
                          "offset", Change::Geometry);
}

QPointF VXDrawableShape::locationIgnoringOffset() const
{
    return transform().map(QPointF());
}

QTransform VXDrawableShape::transform() const
{
    QTransform t;
    t.translate(m_location.x(), m_location.y());
    if (m_angle != 0)
        t.rotateRadians(m_angle);
    t.scale(m_size.width(), m_size.height());
    t.translate(-m_offset.width(), -m_offset.height());
    return t;
}

platform::BezierPath VXDrawableShape::renderingPath() const
{
    if (!m_renderingPath) {
        platform::BezierPath path = unitPath();
        path.transformUsingAffineTransform(transform() * containerTransform());
        m_renderingPath = std::move(path);
    }
    return *m_renderingPath;
}

QRectF VXDrawableShape::logicalBounds() const
{
    // Unturned, the placed path's bounds are the unit path's scaled and moved: a drag of thousands
    // of shapes then never builds their paths.
    const QTransform placing = transform() * containerTransform();
    if (!m_renderingPath && placing.type() <= QTransform::TxScale)
        return placing.mapRect(unitPath().bounds());
    return renderingPath().bounds();
}

void VXDrawableShape::invalidateGeometryCaches()
{
    m_renderingPath.reset();
    VXDrawableObject::invalidateGeometryCaches();
}

void VXDrawableShape::resizeWidthByHeightBy(double xFactor, double yFactor)
{
    setSize({m_size.width() * xFactor, m_size.height() * yFactor});
}

void VXDrawableShape::rotateByAngle(double radians)
{
    setAngle(m_angle + radians);
}

void VXDrawableShape::applyTransform(const QTransform& transform)
{
    // A move keeps size and turn as they are (a drag moves thousands of shapes a step).
    if (transform.type() <= QTransform::TxTranslate) {
        setLocation(m_location + QPointF(transform.dx(), transform.dy()));
        return;
    }
    const platform::Placement placed = platform::Placement{m_location, m_size, m_angle}.transformedBy(transform);
    setLocation(placed.location);
    setAngle(placed.angle);
    setSize(placed.size);
}

bool VXDrawableShape::everyTranslatedPoint(const std::function<bool(QPointF)>& test) const
{
    // A subclass may move more than its location: it answers for itself.
    return metaObject() == &staticMetaObject && test(m_location);
}

bool VXDrawableShape::showsDirectControls()
{
    return VXDrawingPreferences::current().showsDirectControls;
}

void VXDrawableShape::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableObject::encodeWithCoder(coder);
    coder.encodePath(m_path.painterPathWithWindingRule(), kPathKey);
    coder.encodePoint(m_location, kLocationKey);
    coder.encodeSize(m_size, kSizeKey);
    coder.encodeDouble(m_angle, kAngleKey);
    coder.encodeSize(m_offset, kOffsetKey);
}

void VXDrawableShape::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableObject::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    if (reader.contains(kPathKey))
        m_path = reader.path(kPathKey);
    m_location = reader.point(kLocationKey);
    m_size = reader.size(kSizeKey, m_size);
    m_angle = std::remainder(reader.real(kAngleKey, 0), 2 * M_PI);
    const QSizeF offset = reader.size(kOffsetKey);
    m_offset = QSizeF(std::clamp(offset.width(), -0.5, 0.5), std::clamp(offset.height(), -0.5, 0.5));
    invalidateGeometryCaches();
}
