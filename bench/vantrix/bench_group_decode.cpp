// Opening a drawing whose one layer holds one group of 400,000 short lines (one shared style),
// as a grouped import makes it: the drawing's archive decoded as a map document reads it. The
// figure is the median of three decodings in seconds, each drawing let go of untimed; an
// argument gives another member count.

#include "support/BenchSupport.h"

#include "platform/foundation/FoundationClasses.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <cmath>

namespace {

constexpr QSizeF kPaper(7200, 7200);
constexpr double kTargetSeconds = 1.5;

QByteArray archiveOfOneGroup(int members)
{
    QRandomGenerator random(400);
    const VXStylePtr style = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), Qt::black, 0.5);
    QList<VXDrawableObjectPtr> lines;
    lines.reserve(members);
    for (int i = 0; i < members; ++i) {
        const QPointF start(random.bounded(kPaper.width()), random.bounded(kPaper.height()));
        const double heading = random.bounded(2 * M_PI);
        platform::BezierPath path;
        path.appendBezierPathWithPoints(QPolygonF{start, start + 6 * QPointF(std::cos(heading), std::sin(heading))});
        lines.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, style));
    }
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize(kPaper);
    const auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    layer->addObjectsFromArray({VXShapeGroup::groupWithObjects(lines)});
    return VXDrawingDocument::archivedDrawing(*drawing);
}

qsizetype groupSize(const VXDrawing& drawing)
{
    for (const VXLayerPtr& layer : drawing.layers()) {
        const auto* objects = dynamic_cast<const VXObjectDrawingLayer*>(layer.get());
        if (objects && objects->countOfObjects() == 1) {
            if (const auto* group = dynamic_cast<const VXShapeGroup*>(objects->objects().constFirst().get()))
                return group->groupObjects().size();
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QGuiApplication app(argc, argv);
    registerFoundationClasses();
    registerVantrixStyleClasses();
    registerVantrixDrawingClasses();

    const int members = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 400000;
    const QByteArray archive = archiveOfOneGroup(members);
    // The drawing read last goes before the next is timed: closing a map is no part of opening one.
    std::vector<double> times;
    for (VXDrawingPtr drawing; times.size() < 3; drawing.reset()) {
        times.push_back(bench::secondsOf([&] {
            QuorvaneError error;
            drawing = VXDrawingDocument::drawingFromArchive(archive, &error);
        }));
        bench::require(drawing && groupSize(*drawing) == members, "group_decode", "the group was not read whole");
    }
    const double seconds = bench::median(times);
    const QString label = members % 1000 == 0 ? QStringLiteral("%1k").arg(members / 1000) : QString::number(members);
    bench::printValue(QStringLiteral("group_decode_%1").arg(label), seconds, "s", kTargetSeconds);
    return 0;
}
