#include "furniture/ruler/VXQRuler.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/text/TextEffects.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "widgets/paint/CGShinyGradient.h"

#include <QPainter>
#include <cmath>

namespace {

// The orange of a latched tool button.
const QColor kStickyButtonColour = QColor::fromRgbF(1.0, 0.65, 0.2);
constexpr double kSmallestMarkDistance = 2.0;
constexpr double kLargestMarkDistance = 32.0;
// Text and its frame need more room than this inside the body.
constexpr double kSmallestInnerWidth = 16.0;
constexpr double kLogoInset = 8.0;
// The label's white shadow lies this far below it.
constexpr double kLabelShadowOffset = 1.5;

QColor withAlpha(QColor colour, double alpha)
{
    colour.setAlphaF(float(alpha));
    return colour;
}

// The arrangement of text whose own paragraph style decides, wrapped to its box.
platform::TextArrangement wrappedText()
{
    platform::TextArrangement arrangement;
    arrangement.alignment = platform::TextAlignment::Natural;
    return arrangement;
}

// One line centred on its box, running past it rather than wrapping.
platform::TextArrangement centredLine()
{
    platform::TextArrangement arrangement;
    arrangement.alignment = platform::TextAlignment::Centre;
    arrangement.wrapsLines = false;
    return arrangement;
}

QRectF bodyRect(double length)
{
    return {-VXQRuler::kRulerEndOverhang, 0, length + 2 * VXQRuler::kRulerEndOverhang, VXQRuler::kRulerHeight};
}

// The frame the logo and the label sit in.
QRectF innerRect(double length)
{
    const double inset = VXQRuler::kRulerEndOverhang + 2;
    const double height = VXQRuler::kRulerHeight;
    return bodyRect(length).adjusted(inset, height / 3.5, -inset, -height / 3.5);
}

// Text set in `rect`, clipped to it, into the current graphics context.
void drawTextClippedInRect(const platform::AttributedString& text, const QRectF& rect,
                           const platform::TextArrangement& arrangement, const platform::TextEffects& effects = {})
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || text.isEmpty() || rect.isEmpty())
        return;
    QPainter* painter = context->painter();
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    const platform::TextBox box{rect.size(), QTransform::fromTranslate(rect.x(), rect.y())};
    effects.draw(platform::placeTextInBox(text, box, arrangement, effects.needsOutlines()));
    painter->restore();
}

} // namespace

VXQRuler::VXQRuler()
    : m_rulerColour(defaultRulerColour())
    , m_marksColour(QColor::fromRgbF(0.2, 0.2, 0.2))
    , m_borderColour(withAlpha(Qt::white, 0.75))
{
    calculatePaths();
}

VXQRuler::~VXQRuler() = default;

// --- Class-wide look -------------------------------------------------------------------------------

QColor VXQRuler::defaultRulerColour()
{
    return withAlpha(kStickyButtonColour, 0.8);
}

const platform::TextAttributes& VXQRuler::labelTextAttributes()
{
    static const platform::TextAttributes attributes = [] {
        platform::ParagraphStyle paragraph;
        paragraph.alignment = platform::TextAlignment::Centre;
        return platform::TextAttributes{
            {platform::kFontAttributeName, platform::boldSystemFontOfSize(12)},
            {platform::kForegroundColourAttributeName, QColor::fromRgbF(0.2, 0.2, 0.2)},
            {platform::kParagraphStyleAttributeName, QVariant::fromValue(paragraph)},
        };
    }();
    return attributes;
}

const platform::TextAttributes& VXQRuler::logoAttributes()
{
    static const platform::TextAttributes attributes = [] {
        platform::ParagraphStyle paragraph;
        paragraph.alignment = platform::TextAlignment::Left;
        paragraph.lineBreakMode = platform::LineBreakMode::CharWrapping;
        QFont font = platform::fontWithNameSize(QStringLiteral("Gill Sans Bold"), 10)
                         .value_or(platform::boldSystemFontOfSize(10));
        font.setBold(true);
        return platform::TextAttributes{
            {platform::kFontAttributeName, font},
            {platform::kForegroundColourAttributeName, withAlpha(defaultRulerColour(), 0.5)},
            {platform::kStrokeColourAttributeName, withAlpha(Qt::white, 0.5)},
            // Negative: filled and outlined, the outline 1 % of the font size.
            {platform::kStrokeWidthAttributeName, -1.0},
            {platform::kParagraphStyleAttributeName, QVariant::fromValue(paragraph)},
        };
    }();
    return attributes;
}

const platform::AttributedString& VXQRuler::logoText()
{
    static const platform::AttributedString text = [] {
        platform::AttributedString logo(tr("Quorvane™"), logoAttributes());
        constexpr qsizetype kTrademarkIndex = 8;
        if (logo.length() > kTrademarkIndex) {
            QFont small = logoAttributes().value(platform::kFontAttributeName).value<QFont>();
            small.setPointSizeF(6);
            logo.addAttributeValueRange(platform::kFontAttributeName, small, {kTrademarkIndex, 1});
            logo.addAttributeValueRange(platform::kSuperscriptAttributeName, 1, {kTrademarkIndex, 1});
        }
        logo.addAttributeValueRange(platform::kKernAttributeName, -0.6, {0, 1});
        return logo;
    }();
    return text;
}

// --- Geometry --------------------------------------------------------------------------------------

void VXQRuler::setStartPoint(QPointF point)
{
    m_startPoint = point;
    calculatePaths();
}

void VXQRuler::setEndPoint(QPointF point)
{
    m_endPoint = point;
    calculatePaths();
}

double VXQRuler::length() const
{
    return std::hypot(m_endPoint.x() - m_startPoint.x(), m_endPoint.y() - m_startPoint.y());
}

double VXQRuler::angle() const
{
    return std::atan2(m_endPoint.y() - m_startPoint.y(), m_endPoint.x() - m_startPoint.x());
}

void VXQRuler::setMarksDistanceStepUpRatioStepDownRatio(double distance, qint64 stepUpRatio, qint64 stepDownRatio)
{
    // An infinite distance (a grid without divisions) would be halved for ever.
    if (std::isfinite(distance)) {
        distance = std::max(distance, 1.0);
        while (distance < kSmallestMarkDistance)
            distance *= 2;
        while (distance > kLargestMarkDistance)
            distance /= 2;
        m_markDistance = distance;
    }
    m_stepUpRatio = stepUpRatio;
    m_stepDownRatio = stepDownRatio;
    calculatePaths();
}

QTransform VXQRuler::rulerTransform() const
{
    QTransform transform;
    transform.translate(m_startPoint.x(), m_startPoint.y());
    transform.rotateRadians(angle());
    return transform;
}

void VXQRuler::calculatePaths()
{
    const double length = this->length();
    const double height = kRulerHeight;
    const double overhang = kRulerEndOverhang;
    m_boundingPath = platform::BezierPath::bezierPathWithRect(bodyRect(length));
    m_leftEndPath = platform::BezierPath::bezierPathWithRect({-overhang, 0, overhang, height});
    m_rightEndPath = platform::BezierPath::bezierPathWithRect({length, 0, overhang, height});

    m_marksPath.removeAllPoints();
    m_marksPath.moveToPoint({0, 0});
    m_marksPath.lineToPoint({0, height / 2});
    m_marksPath.moveToPoint({length, height / 2});
    m_marksPath.lineToPoint({length, 0});
    // A ratio below 1 marks no tick of its kind rather than dividing by zero.
    const auto isEvery = [](qint64 tick, qint64 ratio) { return ratio > 0 && tick % ratio == 0; };
    for (qint64 tick = 0; double(tick) * m_markDistance < length; ++tick) {
        const double x = double(tick) * m_markDistance;
        const double rise = isEvery(tick, m_stepUpRatio)     ? height / 3
                            : isEvery(tick, m_stepDownRatio) ? height / 4
                                                              : height / 8;
        m_marksPath.moveToPoint({x, 0});
        m_marksPath.lineToPoint({x, rise});
    }

    const QTransform toDrawing = rulerTransform();
    for (platform::BezierPath* path : {&m_boundingPath, &m_leftEndPath, &m_rightEndPath, &m_marksPath})
        path->transformUsingAffineTransform(toDrawing);
    // The label of the new length, so that the bounds cover it before it is drawn.
    updateAnnotationFromDelegate();
    placeLabel();
}

void VXQRuler::placeLabel()
{
    const double length = this->length();
    if (innerRect(length).width() <= kSmallestInnerWidth || m_annotation.isEmpty()) {
        m_labelRect = QRectF();
        return;
    }
    const double width = std::max(length, std::ceil(platform::AttributedStringLayout(m_annotation, 0).size().width()));
    m_labelRect = QRectF((length - width) / 2, kRulerHeight / 2, width, kRulerHeight / 2);
}

QRectF VXQRuler::bounds() const
{
    QRectF covered = m_boundingPath.bounds();
    if (!m_labelRect.isEmpty())
        covered |= rulerTransform().mapRect(m_labelRect.adjusted(0, 0, 0, kLabelShadowOffset));
    return covered.adjusted(-1, -1, 1, 1);
}

int VXQRuler::hitTest(QPointF point) const
{
    if (!bounds().contains(point))
        return kNoPart;
    if (m_leftEndPath.containsPoint(point))
        return kLeftEndPart;
    if (m_rightEndPath.containsPoint(point))
        return kRightEndPart;
    if (m_boundingPath.containsPoint(point))
        return kBodyPart;
    return kNoPart;
}

// --- Dragging --------------------------------------------------------------------------------------

void VXQRuler::redisplayInView(VXDrawingView* view) const
{
    if (view)
        view->setNeedsDisplayInRect(bounds());
}

void VXQRuler::mouseDownWithPartInView(QPointF point, int part, VXDrawingView* view)
{
    if (part != kNoPart) {
        m_leftDragOffset = point - m_startPoint;
        m_rightDragOffset = point - m_endPoint;
        return;
    }
    redisplayInView(view);
    m_startPoint = m_endPoint = point;
    m_leftDragOffset = m_rightDragOffset = QPointF();
    calculatePaths();
    redisplayInView(view);
}

void VXQRuler::mouseDraggedWithPartInView(QPointF point, int part, VXDrawingView* view)
{
    redisplayInView(view);
    switch (part) {
    case kRightEndPart:
        m_endPoint = point - m_rightDragOffset;
        break;
    case kLeftEndPart:
        m_startPoint = point - m_leftDragOffset;
        break;
    case kBodyPart: {
        const QPointF delta = (point - m_leftDragOffset) - m_startPoint;
        m_startPoint += delta;
        m_endPoint += delta;
        break;
    }
    default:
        return;
    }
    calculatePaths();
    redisplayInView(view);
}

// --- Drawing ---------------------------------------------------------------------------------------

void VXQRuler::updateAnnotationFromDelegate()
{
    static const QByteArray kSelector = QByteArrayLiteral("distanceLabelForLength");
    if (!m_delegate)
        return;
    const QMetaMethod method = platform::findMethod(m_delegate, kSelector, 1);
    if (!method.isValid())
        return;
    const QVariant label = platform::invokeMethod(m_delegate, method, {length()});
    if (label.isValid() && !label.isNull() && label.toString() != m_annotation.string())
        setAnnotation(platform::AttributedString(label.toString(), labelTextAttributes()));
}

void VXQRuler::setAnnotation(const platform::AttributedString& annotation)
{
    m_annotation = annotation;
    placeLabel();
}

void VXQRuler::drawInView(VXDrawingView* view)
{
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !context->isDrawingToScreen() || !view || !view->needsToDrawRect(bounds()))
        return;
    updateAnnotationFromDelegate();
    drawPaths();
}

void VXQRuler::drawPaths() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    const double length = this->length();

    context->saveGraphicsState();
    context->painter()->setTransform(rulerTransform(), true);
    CGContextDrawShinyGradient(context->painter(), bodyRect(length), m_rulerColour, context->isFlipped());
    const QRectF inner = innerRect(length);
    if (inner.width() > kSmallestInnerWidth) {
        platform::BezierPath frame = platform::BezierPath::bezierPathWithRoundEndedRectInRect(inner);
        frame.setLineWidth(0.5);
        context->setStrokeColour(withAlpha(m_rulerColour, 0.5));
        frame.stroke();

        platform::TextEffects logoEffects;
        const double logoSize = logoAttributes().value(platform::kFontAttributeName).value<QFont>().pointSizeF();
        logoEffects.outlineWidth = -logoAttributes().value(platform::kStrokeWidthAttributeName).toDouble() / 100 * logoSize;
        logoEffects.outlineColour = logoAttributes().value(platform::kStrokeColourAttributeName).value<QColor>();
        drawTextClippedInRect(logoText(), inner.adjusted(kLogoInset, 0, -kLogoInset, 0), wrappedText(), logoEffects);

        platform::AttributedString shadow = m_annotation;
        shadow.addAttributeValueRange(platform::kForegroundColourAttributeName, QColor(Qt::white), {0, shadow.length()});
        drawTextClippedInRect(shadow, m_labelRect.translated(0, kLabelShadowOffset), centredLine());
        drawTextClippedInRect(m_annotation, m_labelRect, centredLine());
    }
    context->restoreGraphicsState();

    platform::BezierPath outline = m_boundingPath;
    outline.setLineWidth(0.25);
    outline.setLineJoinStyle(platform::LineJoinStyle::Round);
    context->setStrokeColour(m_borderColour);
    outline.stroke();

    platform::BezierPath marks = m_marksPath;
    marks.setLineWidth(0.5);
    marks.setLineCapStyle(platform::LineCapStyle::Round);
    platform::BezierPath engraving = marks;
    engraving.transformUsingAffineTransform(QTransform::fromTranslate(0.25, 0.15));
    context->setStrokeColour(Qt::white);
    engraving.stroke();
    context->setStrokeColour(m_marksColour);
    marks.stroke();
}
