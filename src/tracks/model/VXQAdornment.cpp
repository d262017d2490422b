#include "tracks/model/VXQAdornment.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/KeyValueUndo.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QPainter>
#include <QtMath>

namespace {

const QString kObjectKey = QStringLiteral("VXQAdornment_object");
const QString kDisplayNameKey = QStringLiteral("VXQAdornment_displayName");
const QString kPositionKey = QStringLiteral("VXQAdornment_position");
const QString kLateralOffsetKey = QStringLiteral("VXQAdornment_lateralOffset");
const QString kAngleKey = QStringLiteral("VXQAdornment_angleInDegrees");
const QString kScaleKey = QStringLiteral("VXQAdornment_scale");
const QString kReversedKey = QStringLiteral("VXQAdornment_reversed");
const QString kIgnoresAngleKey = QStringLiteral("VXQAdornment_ignoresAngle");

// Archived objects may be damaged: a scale must stay usable as a divisor.
constexpr double kSmallestScale = 1e-6;
constexpr double kLargestScale = 1e6;

} // namespace

VXQAdornment::VXQAdornment() = default;

VXQAdornment::~VXQAdornment() = default;

VXQAdornmentPtr VXQAdornment::adornmentWithObjectPositionDisplayName(const VXDrawableObjectPtr& object, double position,
                                                                     const QString& displayName)
{
    auto adornment = std::make_shared<VXQAdornment>();
    adornment->m_object = object;
    adornment->m_displayName = displayName;
    adornment->m_position = std::isfinite(position) ? std::max(0.0, position) : 0.0;
    return adornment;
}

bool VXQAdornment::hasSymbol() const
{
    return m_object && m_object->inherits("VXQSymbol");
}

bool VXQAdornment::hasTextLabels() const
{
    return m_object && m_object->respondsToSelector("hasTextLabels")
           && m_object->performSelector("hasTextLabels").toBool();
}

template <class T>
void VXQAdornment::changeValueForKey(T& field, const T& value, const char* key)
{
    ZQMultiStylePath* path = container();
    if (field == value || (path && path->locked()))
        return;
    const QRectF oldBounds = path ? path->bounds() : QRectF();
    platform::registerUndoForKey(path ? path->undoManager() : nullptr, *this, QString::fromLatin1(key),
                                 platform::undoValue(field));
    announceChangeForKey(QString::fromLatin1(key), [&] { field = value; });
    if (path)
        path->notifyGeometryChange(oldBounds);
}

void VXQAdornment::setPosition(double position)
{
    if (std::isfinite(position))
        changeValueForKey(m_position, std::max(0.0, position), "position");
}

void VXQAdornment::setLateralOffset(double offset)
{
    if (std::isfinite(offset))
        changeValueForKey(m_lateralOffset, offset, "lateralOffset");
}

void VXQAdornment::setAngleInDegrees(double degrees)
{
    if (std::isfinite(degrees))
        changeValueForKey(m_angleInDegrees, degrees, "angleInDegrees");
}

void VXQAdornment::setScale(double scale)
{
    if (std::isfinite(scale) && scale > 0)
        changeValueForKey(m_scale, std::clamp(scale, kSmallestScale, kLargestScale), "scale");
}

void VXQAdornment::setReversed(bool reversed)
{
    changeValueForKey(m_reversed, reversed, "reversed");
}

void VXQAdornment::setIgnoresAngle(bool ignores)
{
    changeValueForKey(m_ignoresAngle, ignores, "ignoresAngle");
}

ZQMultiStylePath* VXQAdornment::container() const
{
    return m_container;
}

void VXQAdornment::setContainer(ZQMultiStylePath* path)
{
    m_container = path;
}

// --- Placement ---------------------------------------------------------------------------------

QTransform VXQAdornment::transformOnPath(const platform::BezierPath& path) const
{
    if (!m_object)
        return {};
    double slope = 0;
    const QPointF onPath = path.pointOnPathAtLengthSlope(m_position, &slope);
    // Right of the direction of travel on screen (y grows downwards).
    const QPointF right(-std::sin(slope), std::cos(slope));
    const QPointF target = onPath + right * m_lateralOffset;
    const double angle = (m_ignoresAngle ? 0.0 : slope) + qDegreesToRadians(m_angleInDegrees) + (m_reversed ? M_PI : 0.0);
    const QPointF origin = m_object->location();
    QTransform transform;
    transform.translate(target.x(), target.y());
    transform.rotateRadians(angle);
    transform.scale(m_scale, m_scale);
    transform.translate(-origin.x(), -origin.y());
    return transform;
}

QRectF VXQAdornment::boundsOnPath(const platform::BezierPath& path) const
{
    return m_object ? transformOnPath(path).mapRect(m_object->bounds()) : QRectF();
}

bool VXQAdornment::hitTestOnPath(QPointF point, const platform::BezierPath& path) const
{
    if (!m_object || !boundsOnPath(path).contains(point))
        return false;
    bool invertible = false;
    const QTransform toObject = transformOnPath(path).inverted(&invertible);
    return invertible && m_object->hitTest(toObject.map(point));
}

void VXQAdornment::drawOnPath(const platform::BezierPath& path) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!m_object || !context)
        return;
    QPainter* painter = context->painter();
    painter->save();
    painter->setTransform(transformOnPath(path), true);
    m_object->drawContent();
    painter->restore();
}

void VXQAdornment::drawTextLabelsInView(VXDrawingView* view) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!m_object || !m_container || !context)
        return;
    QPainter* painter = context->painter();
    painter->save();
    painter->setTransform(transformOnPath(m_container->renderingPath()), true);
    m_object->drawTextLabelsInView(view);
    painter->restore();
}

// --- Copying and archiving ---------------------------------------------------------------------------

std::shared_ptr<ZQObject> VXQAdornment::copy() const
{
    auto result = adornmentWithObjectPositionDisplayName(m_object ? m_object->copyDrawable() : nullptr, m_position,
                                                         m_displayName);
    result->m_lateralOffset = m_lateralOffset;
    result->m_angleInDegrees = m_angleInDegrees;
    result->m_scale = m_scale;
    result->m_reversed = m_reversed;
    result->m_ignoresAngle = m_ignoresAngle;
    return result;
}

void VXQAdornment::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeObject(m_object.get(), kObjectKey);
    coder.encodeString(m_displayName, kDisplayNameKey);
    coder.encodeDouble(m_position, kPositionKey);
    coder.encodeDouble(m_lateralOffset, kLateralOffsetKey);
    coder.encodeDouble(m_angleInDegrees, kAngleKey);
    coder.encodeDouble(m_scale, kScaleKey);
    coder.encodeBool(m_reversed, kReversedKey);
    coder.encodeBool(m_ignoresAngle, kIgnoresAngleKey);
}

void VXQAdornment::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    m_object = reader.object<VXDrawableObject>(kObjectKey);
    m_displayName = reader.string(kDisplayNameKey);
    m_position = reader.real(kPositionKey, 0, 0, kZQStyleRangeRunsToEnd);
    m_lateralOffset = reader.real(kLateralOffsetKey, 0);
    m_angleInDegrees = reader.real(kAngleKey, 0);
    m_scale = reader.real(kScaleKey, 1.0, kSmallestScale, kLargestScale);
    m_reversed = reader.boolean(kReversedKey, false);
    m_ignoresAngle = reader.boolean(kIgnoresAngleKey, false);
}
