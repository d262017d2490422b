#include "tracks/rasterizers/VXQCuttingAndEmbankmentRasterizer.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"

#include <QPainter>
#include <QtMath>

namespace {

// The path's own line needs room between the two rows of wedges.
constexpr double kGapBreadth = 3.0;
constexpr double kDefaultScale = 4.0;
constexpr double kDefaultLeadInAndOut = 0.15;

bool isKind(int kind)
{
    return kind == VXQCuttingAndEmbankmentRasterizer::kCutting || kind == VXQCuttingAndEmbankmentRasterizer::kEmbankment;
}

// A wedge on one side of the path (side -1 above, +1 below), broad end outside or inside,
// reaching `extent` of the way out from the gap.
QPolygonF wedge(double side, bool broadOutside, double extent)
{
    using R = VXQCuttingAndEmbankmentRasterizer;
    const double inner = side * kGapBreadth / 2;
    const double outer = inner + side * (R::kMotifBreadth - kGapBreadth) / 2 * extent;
    const double broad = broadOutside ? outer : inner;
    const double tip = broadOutside ? inner : outer;
    const double halfBase = R::kMotifLength * 0.35 * extent;
    return QPolygonF({QPointF(-halfBase, broad), QPointF(halfBase, broad), QPointF(0, tip)});
}

} // namespace

VXQCuttingAndEmbankmentRasterizer::VXQCuttingAndEmbankmentRasterizer()
{
    const RestoringScope restoring(this);
    setScale(kDefaultScale);
    setLeadInAndOutLengthProportion(kDefaultLeadInAndOut);
    updateMotif();
}

QString VXQCuttingAndEmbankmentRasterizer::displayName() const
{
    return m_kind == kEmbankment ? tr("Embankment") : tr("Cutting");
}

void VXQCuttingAndEmbankmentRasterizer::setKind(int kind)
{
    if (isKind(kind))
        setValueForKeyWithUndo(m_kind, kind, "kind");
}

void VXQCuttingAndEmbankmentRasterizer::setColour(const QColor& colour)
{
    setValueForKeyWithUndo(m_colour, colour, "colour");
}

void VXQCuttingAndEmbankmentRasterizer::setSpacingProportion(double proportion)
{
    setValueForKeyWithUndo(m_spacingProportion, std::max(proportion, kMinimumSpacingProportion), "spacingProportion");
}

void VXQCuttingAndEmbankmentRasterizer::setTaperFunction(int function)
{
    if (VXQTaperedStroke::isTaperKind(function))
        setValueForKeyWithUndo(m_taperFunction, function, "taperFunction");
}

QPainterPath VXQCuttingAndEmbankmentRasterizer::motifPathForKindExtent(int kind, double extent)
{
    // The broad end of each wedge marks the top of the slope.
    const bool broadOutside = kind != kEmbankment;
    QPainterPath motif;
    motif.addPolygon(wedge(-1, broadOutside, extent));
    motif.closeSubpath();
    motif.addPolygon(wedge(1, broadOutside, extent));
    motif.closeSubpath();
    return motif;
}

void VXQCuttingAndEmbankmentRasterizer::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid())
        return;
    QPainterPath motifs;
    for (const Placement& placement : motifPlacementsForObject(object)) {
        if (placement.scale <= 0)
            continue;
        QTransform transform;
        transform.translate(placement.centre.x(), placement.centre.y());
        transform.rotateRadians(placement.angle);
        transform.scale(scale(), scale());
        motifs.addPath(transform.map(motifPathForKindExtent(m_kind, placement.scale / scale())));
    }
    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, object.renderingPath().painterPathWithWindingRule(), clippingForRender());
    painter->fillPath(motifs, m_colour);
    painter->restore();
}

bool VXQCuttingAndEmbankmentRasterizer::isValid() const
{
    return VXPathDecorator::isValid() && m_colour.isValid() && m_colour.alpha() > 0;
}

void VXQCuttingAndEmbankmentRasterizer::componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath)
{
    static const QStringList motifKeys = {QStringLiteral("kind"), QStringLiteral("colour"),
                                          QStringLiteral("spacingProportion"), QStringLiteral("scale")};
    if (component == this && motifKeys.contains(keyPath))
        updateMotif();
    VXPathDecorator::componentDidChangeKeyPath(component, keyPath);
}

void VXQCuttingAndEmbankmentRasterizer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXPathDecorator::initWithCoder(coder);
    updateMotif();
}

double VXQCuttingAndEmbankmentRasterizer::taperAtPositionOfLength(double position, double length) const
{
    return VXQTaperedStroke::taperFactor(m_taperFunction, VXPathDecorator::taperAtPositionOfLength(position, length));
}

void VXQCuttingAndEmbankmentRasterizer::updateMotif()
{
    // Derived from the keys above: neither undone nor announced on their own.
    const RestoringScope restoring(this);
    const QSize size(qCeil(kMotifLength), qCeil(kMotifBreadth));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(size.width() / 2.0, size.height() / 2.0);
        painter.fillPath(motifPathForKindExtent(m_kind), m_colour.isValid() ? m_colour : QColor(Qt::transparent));
    }
    setImage(image);
    setInterval(kMotifLength * scale() * m_spacingProportion);
}
