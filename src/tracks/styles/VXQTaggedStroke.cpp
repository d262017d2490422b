#include "tracks/styles/VXQTaggedStroke.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QPainter>
#include <QtMath>

namespace {

bool isCapStyle(int style)
{
    return style >= int(platform::LineCapStyle::Butt) && style <= int(platform::LineCapStyle::Square);
}

Qt::PenCapStyle penCapStyle(int style)
{
    switch (platform::LineCapStyle(style)) {
    case platform::LineCapStyle::Round: return Qt::RoundCap;
    case platform::LineCapStyle::Square: return Qt::SquareCap;
    default: return Qt::FlatCap;
    }
}

} // namespace

VXQTaggedStroke::VXQTaggedStroke() = default;

QString VXQTaggedStroke::displayName() const
{
    return tr("Tagged Stroke");
}

void VXQTaggedStroke::setTagKind(int kind)
{
    if (kind >= kTagsRight && kind <= kTagsAcross)
        setValueForKeyWithUndo(m_tagKind, kind, "tagKind");
}

void VXQTaggedStroke::setTagLength(double length)
{
    setValueForKeyWithUndo(m_tagLength, std::max(length, 0.0), "tagLength");
}

void VXQTaggedStroke::setTagWidth(double width)
{
    setValueForKeyWithUndo(m_tagWidth, std::max(width, 0.0), "tagWidth");
}

void VXQTaggedStroke::setTagSpacing(double spacing)
{
    setValueForKeyWithUndo(m_tagSpacing, std::max(spacing, kMinimumTagSpacing), "tagSpacing");
}

void VXQTaggedStroke::setTagPhase(double phase)
{
    setValueForKeyWithUndo(m_tagPhase, phase, "tagPhase");
}

void VXQTaggedStroke::setTagAngle(double angle)
{
    setValueForKeyWithUndo(m_tagAngle, angle, "tagAngle");
}

void VXQTaggedStroke::setTagCapStyle(int style)
{
    if (isCapStyle(style))
        setValueForKeyWithUndo(m_tagCapStyle, style, "tagCapStyle");
}

void VXQTaggedStroke::setTagsAlternate(bool alternate)
{
    setValueForKeyWithUndo(m_tagsAlternate, alternate, "tagsAlternate");
}

void VXQTaggedStroke::setMainStrokeEnabled(bool enabled)
{
    setValueForKeyWithUndo(m_mainStrokeEnabled, enabled, "mainStrokeEnabled");
}

void VXQTaggedStroke::setTagTaperProportion(double proportion)
{
    setValueForKeyWithUndo(m_tagTaperProportion, std::clamp(proportion, 0.0, 1.0), "tagTaperProportion");
}

void VXQTaggedStroke::setTagTaperKind(int kind)
{
    if (VXQTaperedStroke::isTaperKind(kind))
        setValueForKeyWithUndo(m_tagTaperKind, kind, "tagTaperKind");
}

void VXQTaggedStroke::setLeftTagTaperEnabled(bool enabled)
{
    setValueForKeyWithUndo(m_leftTagTaperEnabled, enabled, "leftTagTaperEnabled");
}

void VXQTaggedStroke::setRightTagTaperEnabled(bool enabled)
{
    setValueForKeyWithUndo(m_rightTagTaperEnabled, enabled, "rightTagTaperEnabled");
}

void VXQTaggedStroke::synchroniseTagsWithDash()
{
    const VXStrokeDashPtr pattern = dash();
    // A dash adding up to nothing would give no spacing to divide by.
    if (!pattern || !pattern->isValid() || !(pattern->length() > 0))
        return;
    // The units the stroke draws the dash in.
    const double unit = pattern->scalesToLineWidth() && width() > 0 ? width() : 1.0;
    const double spacing = pattern->length() * unit;
    const double firstElement = pattern->dashPattern().constFirst();
    setTagSpacing(spacing);
    setTagPhase((pattern->phase() + firstElement / 2) * unit / spacing);
}

QPainterPath VXQTaggedStroke::tagPathForPath(const platform::BezierPath& path) const
{
    const std::lock_guard lock(m_cacheMutex);
    if (!m_cache.valid || !(m_cache.path == path)) {
        m_cache.tags = makeTagPath(path);
        m_cache.path = path;
        m_cache.valid = true;
    }
    return m_cache.tags;
}

QPainterPath VXQTaggedStroke::makeTagPath(const platform::BezierPath& path) const
{
    QPainterPath tags;
    const platform::BezierPath centreLine = styledPath(path);
    const double length = centreLine.length();
    if (!(length > 0) || m_tagLength <= 0)
        return tags;
    const double spacing = std::max(m_tagSpacing, length / kMaximumTagCount);
    const double phase = m_tagPhase - std::floor(m_tagPhase);
    double side = m_tagKind == kTagsLeft ? -1 : 1;
    for (double position = phase * spacing; position <= length; position += spacing) {
        double slope = 0;
        const QPointF point = centreLine.pointOnPathAtLengthSlope(position, &slope);
        const QPointF along(std::cos(slope), std::sin(slope));
        const QPointF across(-along.y(), along.x()); // to the right of travel
        const QPointF direction = across * std::cos(m_tagAngle) + along * std::sin(m_tagAngle);
        const QPointF tag = direction * (m_tagLength * tagLengthFactorAtPositionOfLength(position, length));
        if (m_tagKind == kTagsAcross) {
            tags.moveTo(point - tag / 2);
            tags.lineTo(point + tag / 2);
        } else {
            tags.moveTo(point);
            tags.lineTo(point + tag * side);
        }
        if (m_tagsAlternate)
            side = -side;
    }
    return tags;
}

double VXQTaggedStroke::tagLengthFactorAtPositionOfLength(double position, double length) const
{
    const double taper = m_tagTaperProportion * length;
    if (taper <= 0)
        return 1;
    double factor = 1;
    if (m_leftTagTaperEnabled)
        factor = std::min(factor, VXQTaperedStroke::taperFactor(m_tagTaperKind, position / taper));
    if (m_rightTagTaperEnabled)
        factor = std::min(factor, VXQTaperedStroke::taperFactor(m_tagTaperKind, (length - position) / taper));
    return factor;
}

void VXQTaggedStroke::render(const VXRenderable& object) const
{
    if (m_mainStrokeEnabled)
        VXStroke::render(object);
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || m_tagWidth <= 0 || !colour().isValid())
        return;
    const platform::BezierPath path = object.renderingPath();
    const QPainterPath tags = tagPathForPath(path);
    if (tags.isEmpty())
        return;
    QPen pen(colour(), m_tagWidth, Qt::SolidLine, penCapStyle(m_tagCapStyle), Qt::MiterJoin);
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, path.painterPathWithWindingRule(), clipping());
    painter->strokePath(tags, pen);
    painter->restore();
}

QSizeF VXQTaggedStroke::extraSpaceNeeded() const
{
    const QSizeF stroke = VXStroke::extraSpaceNeeded();
    // Square caps reach half the tag width beyond each end, diagonally at worst.
    const double tags = m_tagLength + m_tagWidth * M_SQRT2 / 2 + std::abs(lateralOffset());
    return {std::max(stroke.width(), tags), std::max(stroke.height(), tags)};
}

bool VXQTaggedStroke::isValid() const
{
    const bool drawsTags = m_tagLength > 0 && m_tagWidth > 0 && colour().isValid() && colour().alpha() > 0;
    return drawsTags || (m_mainStrokeEnabled && VXStroke::isValid());
}

void VXQTaggedStroke::componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath)
{
    if (component == this)
        dropCachedTagPath();
    VXStroke::componentDidChangeKeyPath(component, keyPath);
}

void VXQTaggedStroke::dropCachedTagPath()
{
    const std::lock_guard lock(m_cacheMutex);
    m_cache = {};
}
