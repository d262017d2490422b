#include "tracks/styles/FactoryTrackStyles.h"

#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "tracks/model/VXQTrack.h"

namespace {

VXStrokePtr roundStroke(double width, const QColor& colour)
{
    VXStrokePtr stroke = VXStroke::strokeWithWidthColour(width, colour);
    stroke->setLineCapStyle(int(platform::LineCapStyle::Round));
    stroke->setLineJoinStyle(int(platform::LineJoinStyle::Round));
    return stroke;
}

// Strokes listed bottom first.
VXStylePtr styleNamed(const QString& name, const QList<VXStrokePtr>& strokes)
{
    auto style = std::make_shared<VXStyle>();
    style->setName(name);
    for (const VXStrokePtr& stroke : strokes)
        style->addRenderer(stroke);
    return style;
}

} // namespace

VXStylePtr factoryRoadStyle()
{
    return styleNamed(QStringLiteral("Road"), {roundStroke(kFactoryRoadCasingWidth, QColor(0x4a, 0x3f, 0x35)),
                                               roundStroke(kFactoryRoadFillWidth, QColor(0xf6, 0xd8, 0x8a))});
}

VXStylePtr factoryRailStyle()
{
    VXStrokePtr bed = VXStroke::strokeWithWidthColour(4.0, QColor(0x30, 0x30, 0x30));
    VXStrokePtr stripes = VXStroke::strokeWithWidthColour(2.0, Qt::white);
    VXStrokeDashPtr dash = VXStrokeDash::dashWithPatternPhase({6.0, 6.0});
    dash->setScalesToLineWidth(false);
    stripes->setDash(dash);
    return styleNamed(QStringLiteral("Railway"), {bed, stripes});
}

VXStylePtr factoryRiverStyle()
{
    return styleNamed(QStringLiteral("River"), {roundStroke(5.0, QColor(0x3c, 0x8d, 0xd9))});
}

VXStylePtr factoryStyleForTrackType(const QString& trackType)
{
    if (trackType == kVXQRailTrackType)
        return factoryRailStyle();
    if (trackType == kVXQWatercourseTrackType)
        return factoryRiverStyle();
    return factoryRoadStyle();
}
