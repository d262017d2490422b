#include "platform/vantrix/drawables/VXDrawablePath.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"

namespace {

const QString kPathKey = QStringLiteral("VXDrawablePath_path");

} // namespace

VXDrawablePath::VXDrawablePath() = default;

VXDrawablePath::~VXDrawablePath() = default;

VXDrawablePathPtr VXDrawablePath::drawablePathWithBezierPath(const platform::BezierPath& path)
{
    auto object = std::make_shared<VXDrawablePath>();
    object->m_path = path;
    return object;
}

VXDrawablePathPtr VXDrawablePath::drawablePathWithBezierPathWithStyle(const platform::BezierPath& path, const VXStylePtr& style)
{
    VXDrawablePathPtr object = drawablePathWithBezierPath(path);
    object->setStyle(style);
    return object;
}

void VXDrawablePath::setPath(const platform::BezierPath& path)
{
    changeValueForKey(m_path, path, "path", Change::Geometry);
}

double VXDrawablePath::lengthInDrawingUnits() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->convertLength(length()) : length();
}

double VXDrawablePath::trackWidth() const
{
    const VXStylePtr ownStyle = style();
    const double width = ownStyle ? ownStyle->maxStrokeWidth() : 0.0;
    const VXDrawing* owner = drawing();
    return owner ? owner->convertLength(width) : width;
}

bool VXDrawablePath::isSimpleStraightLine() const
{
    // Read from the painter path itself: the geometry tab asks this of every selected object,
    // and the path's element index would be built and kept for each of a million of them.
    const QPainterPath& p = path().painterPath();
    return p.elementCount() == 2 && p.elementAt(0).isMoveTo() && p.elementAt(1).isLineTo();
}

void VXDrawablePath::setLength(double length)
{
    if (!isSimpleStraightLine() || !std::isfinite(length) || length < 0)
        return;
    QPointF start[3], end[3];
    const platform::BezierPath& p = path();
    p.elementAtIndexAssociatedPoints(0, start);
    p.elementAtIndexAssociatedPoints(1, end);
    const double slope = platform::Slope(start[0], end[0]);
    platform::BezierPath line;
    line.moveToPoint(start[0]);
    line.lineToPoint(start[0] + QPointF(std::cos(slope), std::sin(slope)) * length);
    setPath(line);
}

QPointF VXDrawablePath::location() const
{
    return path().bounds().center();
}

QSizeF VXDrawablePath::size() const
{
    return path().bounds().size();
}

platform::BezierPath VXDrawablePath::renderingPath() const
{
    platform::BezierPath rendered = path();
    const QTransform container = containerTransform();
    if (!container.isIdentity())
        rendered.transformUsingAffineTransform(container);
    return rendered;
}

QRectF VXDrawablePath::logicalBounds() const
{
    // Read off the path, not a copy of it, and kept: a paint asks it of every selected object.
    if (!containerTransform().isIdentity())
        return VXDrawableObject::logicalBounds();
    if (!m_pathBounds)
        m_pathBounds = path().bounds();
    return *m_pathBounds;
}

void VXDrawablePath::invalidateGeometryCaches()
{
    m_pathBounds.reset();
    VXDrawableObject::invalidateGeometryCaches();
}

void VXDrawablePath::applyTransform(const QTransform& transform)
{
    if (transform.isIdentity())
        return;
    platform::BezierPath moved = path();
    moved.transformUsingAffineTransform(transform);
    setPath(moved);
}

bool VXDrawablePath::everyTranslatedPoint(const std::function<bool(QPointF)>& test) const
{
    // A subclass may move more than its path: it answers for itself.
    if (metaObject() != &staticMetaObject)
        return false;
    const QPainterPath& points = m_path.painterPath();
    for (int i = 0; i < points.elementCount(); ++i) {
        if (!test(points.elementAt(i)))
            return false;
    }
    return true;
}

QStringList VXDrawablePath::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    static const QStringList derivedFromPath{QStringLiteral("location"), QStringLiteral("size"),
                                             QStringLiteral("length"), QStringLiteral("isSimpleStraightLine")};
    if (derivedFromPath.contains(key))
        return {QStringLiteral("path")};
    return VXDrawableObject::keyPathsForValuesAffectingValueForKey(key);
}

bool VXDrawablePath::defaultOnPathHitDetectionPriority()
{
    return VXDrawingPreferences::current().onPathHitDetectionPriority;
}

bool VXDrawablePath::autoClosesPath()
{
    return VXDrawingPreferences::current().autoClosesPath;
}

double VXDrawablePath::defaultFreehandEpsilon()
{
    return VXDrawingPreferences::current().freehandEpsilon;
}

bool VXDrawablePath::combinesEndPointsOfClosedPath()
{
    return VXDrawingPreferences::current().combinesEndPointsOfClosedPath;
}

void VXDrawablePath::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableObject::encodeWithCoder(coder);
    coder.encodePath(m_path.painterPathWithWindingRule(), kPathKey);
}

void VXDrawablePath::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableObject::initWithCoder(coder);
    m_path = platform::ArchiveReader(coder).path(kPathKey);
    m_pathBounds.reset();
}
