#include "platform/vantrix/styles/VXArrowStroke.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/styles/VXClipping.h"

#include <QFont>
#include <QLocale>
#include <QPainter>
#include <QPainterPathStroker>
#include <QtMath>
#include <functional>

namespace {

// The notch of an inflected head, as a fraction of its length.
constexpr double kInflectionDepth = 0.7;
// Room between the line and its dimension text, as a fraction of the text size.
constexpr double kDimensionTextPadding = 0.25;
// Glyph outlines are made at this size and scaled, so text looks alike on every device.
constexpr int kGlyphMasterSize = 100;

struct DimensionUnits {
    double pointsPerUnit = 1;
    QString abbreviation = QStringLiteral("pt");
};

DimensionUnits& dimensionUnits()
{
    static DimensionUnits units;
    return units;
}

bool isHeadKind(int kind)
{
    return kind >= VXArrowStroke::kArrowHeadNone && kind <= VXArrowStroke::kArrowHeadBar;
}

struct Tip {
    QPointF point;
    double angle; // the way the head points
};

// The tip at one end of `path` and the way a head of `reach` points there: along the chord
// from where the head's back lies, so a curved end points the way the line arrives.
Tip tipAtEnd(const platform::BezierPath& path, double length, bool atEnd, double reach)
{
    double slope = 0;
    const QPointF tip = path.pointOnPathAtLengthSlope(atEnd ? length : 0, &slope);
    const QPointF back = path.pointOnPathAtLengthSlope(atEnd ? std::max(0.0, length - reach) : std::min(length, reach));
    if (QLineF(back, tip).length() < 1e-9)
        return {tip, atEnd ? slope : slope + M_PI};
    return {tip, std::atan2(tip.y() - back.y(), tip.x() - back.x())};
}

} // namespace

VXArrowStroke::VXArrowStroke() = default;

QString VXArrowStroke::displayName() const
{
    return tr("Arrow Stroke");
}

void VXArrowStroke::setArrowHeadAtStart(int kind)
{
    if (isHeadKind(kind))
        setValueForKeyWithUndo(m_arrowHeadAtStart, kind, "arrowHeadAtStart");
}

void VXArrowStroke::setArrowHeadAtEnd(int kind)
{
    if (isHeadKind(kind))
        setValueForKeyWithUndo(m_arrowHeadAtEnd, kind, "arrowHeadAtEnd");
}

void VXArrowStroke::setArrowHeadWidth(double width)
{
    setValueForKeyWithUndo(m_arrowHeadWidth, std::max(width, 0.0), "arrowHeadWidth");
}

void VXArrowStroke::setArrowHeadLength(double length)
{
    setValueForKeyWithUndo(m_arrowHeadLength, std::max(length, 0.0), "arrowHeadLength");
}

void VXArrowStroke::setOutlineColour(const QColor& colour)
{
    setValueForKeyWithUndo(m_outlineColour, colour, "outlineColour");
}

void VXArrowStroke::setOutlineWidth(double width)
{
    setValueForKeyWithUndo(m_outlineWidth, std::max(width, 0.0), "outlineWidth");
}

void VXArrowStroke::setDimensioningLineOptions(int options)
{
    if (options >= kDimensionNone && options <= kDimensionTextBelowLine)
        setValueForKeyWithUndo(m_dimensioningLineOptions, options, "dimensioningLineOptions");
}

void VXArrowStroke::setDimensionTextKind(int kind)
{
    if (kind == kDimensionTextLength || kind == kDimensionTextLengthAndUnits)
        setValueForKeyWithUndo(m_dimensionTextKind, kind, "dimensionTextKind");
}

void VXArrowStroke::setDimensionToleranceOption(int option)
{
    setValueForKeyWithUndo(m_dimensionToleranceOption, option != 0 ? 1 : 0, "dimensionToleranceOption");
}

void VXArrowStroke::setDimensionTolerance(double tolerance)
{
    setValueForKeyWithUndo(m_dimensionTolerance, std::max(tolerance, 0.0), "dimensionTolerance");
}

double VXArrowStroke::trimLengthForKind(int kind) const
{
    switch (kind) {
    case kArrowHeadStandard: return m_arrowHeadLength;
    case kArrowHeadInflected: return m_arrowHeadLength * kInflectionDepth;
    case kArrowHeadRound:
    case kArrowHeadSquare: return m_arrowHeadLength / 2;
    default: return 0;
    }
}

QString VXArrowStroke::dimensionTextForLength(double length) const
{
    const DimensionUnits& units = dimensionUnits();
    const QLocale locale;
    QString text = locale.toString(length / units.pointsPerUnit, 'f', 2);
    if (m_dimensionToleranceOption != 0)
        text += QStringLiteral(" \u00B1 ") + locale.toString(m_dimensionTolerance, 'f', 2);
    if (m_dimensionTextKind == kDimensionTextLengthAndUnits && !units.abbreviation.isEmpty())
        text += QLatin1Char(' ') + units.abbreviation;
    return text;
}

void VXArrowStroke::setDimensionUnits(double pointsPerUnit, const QString& abbreviation)
{
    if (std::isfinite(pointsPerUnit) && pointsPerUnit > 0)
        dimensionUnits() = {pointsPerUnit, abbreviation};
}

QPainterPath VXArrowStroke::headPath(int kind, QPointF tip, double angle) const
{
    const double l = m_arrowHeadLength;
    const double w = m_arrowHeadWidth;
    QPainterPath head; // tip at the origin, pointing along +x
    switch (kind) {
    case kArrowHeadStandard: head.addPolygon(QPolygonF({{0, 0}, {-l, -w / 2}, {-l, w / 2}})); break;
    case kArrowHeadInflected:
        head.addPolygon(QPolygonF({{0, 0}, {-l, -w / 2}, {-l * kInflectionDepth, 0}, {-l, w / 2}}));
        break;
    case kArrowHeadRound: head.addEllipse(QRectF(-l, -w / 2, l, w)); break;
    case kArrowHeadSquare: head.addRect(QRectF(-l, -w / 2, l, w)); break;
    case kArrowHeadBar: head.addRect(QRectF(-width() / 2, -w / 2, width(), w)); break;
    default: return {};
    }
    head.closeSubpath();
    QTransform placement;
    placement.translate(tip.x(), tip.y());
    placement.rotateRadians(angle);
    return placement.map(head);
}

QPainterPath VXArrowStroke::dimensionTextPath(const platform::BezierPath& path, QPainterPath* gap) const
{
    const double length = path.length();
    QFont font;
    font.setPixelSize(kGlyphMasterSize);
    QPainterPath glyphs;
    glyphs.addText(0, 0, font, dimensionTextForLength(length));
    const double scale = kDimensionTextSize / kGlyphMasterSize;
    glyphs = QTransform::fromScale(scale, scale).map(glyphs);

    // Along the x axis of a frame centred on the middle of the path, kept upright.
    double slope = 0;
    const QPointF middle = path.pointOnPathAtLengthSlope(length / 2, &slope);
    if (std::cos(slope) < 0)
        slope += M_PI;
    const QRectF box = glyphs.boundingRect();
    const double padding = kDimensionTextSize * kDimensionTextPadding;
    const double clearance = width() / 2 + m_outlineWidth + padding;
    double shift = -box.center().y();
    if (m_dimensioningLineOptions == kDimensionTextAboveLine)
        shift = -clearance - box.bottom();
    else if (m_dimensioningLineOptions == kDimensionTextBelowLine)
        shift = clearance - box.top();
    glyphs.translate(-box.center().x(), shift);

    QTransform placement;
    placement.translate(middle.x(), middle.y());
    placement.rotateRadians(slope);
    if (m_dimensioningLineOptions == kDimensionTextInLine) {
        const double halfHeight = std::max(clearance, box.height() / 2 + padding);
        QPainterPath opening;
        opening.addRect(QRectF(-box.width() / 2 - padding, -halfHeight, box.width() + 2 * padding, 2 * halfHeight));
        *gap = placement.map(opening);
    }
    return placement.map(glyphs);
}

void VXArrowStroke::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !isValid())
        return;
    const platform::BezierPath path = object.renderingPath();
    const double length = path.length();
    if (!(length > 0))
        return;

    QPainterPath heads;
    heads.setFillRule(Qt::WindingFill);
    for (const bool atEnd : {false, true}) {
        const Tip tip = tipAtEnd(path, length, atEnd, m_arrowHeadLength);
        heads.addPath(headPath(atEnd ? m_arrowHeadAtEnd : m_arrowHeadAtStart, tip.point, tip.angle));
    }
    const double startTrim = trimLengthForKind(m_arrowHeadAtStart);
    const double shaftLength = length - startTrim - trimLengthForKind(m_arrowHeadAtEnd);
    const platform::BezierPath shaft =
        shaftLength > 0 ? path.bezierPathWithRange(startTrim, shaftLength) : platform::BezierPath();
    QPainterPath gap;
    const QPainterPath text =
        m_dimensioningLineOptions != kDimensionNone ? dimensionTextPath(path, &gap) : QPainterPath();

    QPainter* painter = context->painter();
    painter->save();
    platform::clipPainterToPath(*painter, path.painterPathWithWindingRule(),
                                clipping());
    const auto drawShaft = [&](const std::function<void()>& draw) {
        painter->save();
        platform::clipPainterToPath(*painter, gap, gap.isEmpty() ? kVXNoClipping : kVXClipOutsidePath);
        draw();
        painter->restore();
    };
    // Outlines first, each twice as wide as asked: the fills cover their inner halves.
    if (m_outlineColour.isValid() && m_outlineWidth > 0) {
        QPen outline(m_outlineColour, 2 * m_outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        drawShaft([&] {
            const platform::BezierPath styled = styledPath(shaft);
            painter->strokePath(QPainterPathStroker(styled.penWithColour(Qt::black)).createStroke(styled.painterPath()),
                                outline);
        });
        painter->strokePath(heads, outline);
    }
    drawShaft([&] { renderPath(shaft); });
    if (shadow())
        shadow()->drawShadowForPath(heads, colour());
    if (colour().isValid()) {
        painter->fillPath(heads, colour());
        painter->fillPath(text, colour());
    }
    painter->restore();
}

QSizeF VXArrowStroke::extraSpaceNeeded() const
{
    double extra = std::max(m_arrowHeadWidth / 2, m_arrowHeadLength) + m_outlineWidth;
    if (m_dimensioningLineOptions != kDimensionNone)
        extra = std::max(extra, width() / 2 + m_outlineWidth + kDimensionTextSize * (1.5 + kDimensionTextPadding));
    const QSizeF stroke = VXStroke::extraSpaceNeeded();
    return {std::max(stroke.width(), extra), std::max(stroke.height(), extra)};
}
