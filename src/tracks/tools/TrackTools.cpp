#include "tracks/tools/TrackTools.h"

#include "app/application/VLTMAppDelegate.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/ParametricPath.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "tracks/styles/FactoryTrackStyles.h"
#include "tracks/model/VXQTrack.h"

#include <limits>

namespace {

using Geometry = VXObjectCreationTool::Geometry;

constexpr double kAnyDistance = std::numeric_limits<double>::max();
// A curve through every point, as smooth as BezierPath::bezierPathByInterpolatingPath makes it.
constexpr double kFreehandSmoothing = 1.0;

// --- Registration ---------------------------------------------------------------------------

VXQTrackPtr trackPrototype(const QString& trackType)
{
    platform::BezierPath line;
    line.moveToPoint({0, 0});
    line.lineToPoint({100, 100});
    return VXQTrack::trackWithPathType(line, trackType);
}

VXDrawingToolPtr withFactoryStyle(const std::shared_ptr<VXObjectCreationTool>& tool, const QString& trackType)
{
    tool->setStyle(factoryStyleForTrackType(trackType));
    return tool;
}

VXDrawingToolPtr connectableTool(Geometry geometry, const QString& trackType)
{
    return withFactoryStyle(std::make_shared<VXObjectCreationTool>(trackPrototype(trackType), geometry), trackType);
}

void registerTool(VXToolRegistry& registry, const VXDrawingToolPtr& tool, const QString& name, const QString& key = {})
{
    tool->setKeyboardEquivalent(key);
    registry.registerDrawingToolWithName(tool, name);
}

// --- Cutting ----------------------------------------------------------------------------------

int subpathCount(const platform::BezierPath& path)
{
    int count = 0;
    QPointF points[3];
    for (int i = 0; i < path.elementCount(); ++i)
        count += path.elementAtIndexAssociatedPoints(i, points) == platform::PathElement::MoveTo;
    return count;
}

// Keeps the part of the path from..to, with what lies along it.
void reducePathToStretch(VXDrawablePath& path, double from, double to)
{
    if (auto* multiStylePath = qobject_cast<ZQMultiStylePath*>(&path))
        multiStylePath->reduceToStretch(from, to);
    else
        path.setPath(path.path().bezierPathWithRange(from, to - from));
}

double lengthNearestPoint(const VXDrawablePath& path, QPointF point, double tolerance)
{
    if (const auto* multiStylePath = qobject_cast<const ZQMultiStylePath*>(&path))
        return multiStylePath->lengthForPointTolerance(point, std::max(tolerance, multiStylePath->widestStrokeWidth() / 2));
    return path.path().lengthForPointTolerance(point, tolerance);
}

// A track's links as they were before it was cut at `cut`.
struct TrackNetwork {
    QPointer<VXQTrack> endParent;
    QList<std::pair<QPointer<VXQTrack>, VXQTrackEnd>> childrenBeyondCut;

    TrackNetwork(const VXQTrack& track, double cut)
        : endParent(track.endLink())
    {
        for (VXQTrack* child : track.childLinks()) {
            for (VXQTrackEnd end : {VXQTrackEnd::Start, VXQTrackEnd::End}) {
                if (child->linkAtEnd(end) == &track
                    && track.path().lengthForPointTolerance(child->endPoint(end), kAnyDistance) > cut)
                    childrenBeyondCut.append({child, end});
            }
        }
    }

    // The piece after the cut continues the piece before it and takes over the far end's links.
    void reconnect(VXQTrack& before, VXQTrack& after) const
    {
        before.setLinkAtEnd(VXQTrackEnd::End, nullptr);
        after.setLinkAtEnd(VXQTrackEnd::Start, &before);
        after.setLinkAtEnd(VXQTrackEnd::End, endParent);
        for (const auto& [child, end] : childrenBeyondCut) {
            if (child)
                child->setLinkAtEnd(end, &after);
        }
    }
};

} // namespace

void registerTrackTools(VXToolRegistry& registry)
{
    registerTool(registry, connectableTool(Geometry::ClickedPoints, kVXQRoadTrackType), kConnectableTrackToolName);
    registerTool(registry, connectableTool(Geometry::Line, kVXQRailTrackType), kConnectableLineToolName);
    registerTool(registry, connectableTool(Geometry::ClickedPolygon, kVXQRoadTrackType), kConnectablePolygonToolName);
    registerTool(registry,
                 withFactoryStyle(std::make_shared<FreehandTrackTool>(trackPrototype(kVXQWatercourseTrackType)),
                                  kVXQWatercourseTrackType),
                 kConnectableFreehandToolName);
    registerTool(registry, std::make_shared<PathCutterTool>(), kPathCutterToolName, QStringLiteral("u"));
    registerTool(registry, std::make_shared<LinearSelectTool>(), kLinearSelectToolName);
}

void addTrackToolRegistration()
{
    static const bool added = [] {
        VLTMAppDelegate::addToolRegistration(registerTrackTools);
        return true;
    }();
    Q_UNUSED(added);
}

// --- Freehand tracks ----------------------------------------------------------------------------

FreehandTrackTool::FreehandTrackTool(const VXQTrackPtr& prototype)
    : VXObjectCreationTool(prototype, Geometry::Freehand)
{
}

int FreehandTrackTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target,
                                                                      VXLayer* layer, QMouseEvent* event,
                                                                      VXToolController* delegate)
{
    const int part =
        VXObjectCreationTool::mouseDownAtPointTargetObjectLayerEventDelegate(point, target, layer, event, delegate);
    const auto* owner = qobject_cast<VXObjectOwnerLayer*>(layer);
    m_drawn = owner ? qobject_cast<VXDrawablePath*>(owner->pendingObject()) : nullptr;
    return part;
}

bool FreehandTrackTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                                 QMouseEvent* event, VXToolController* delegate)
{
    const QPointer<VXDrawablePath> drawn = std::exchange(m_drawn, nullptr);
    if (!VXObjectCreationTool::mouseUpAtPointPartCodeLayerEventDelegate(point, partCode, layer, event, delegate))
        return false;
    if (drawn)
        drawn->setPath(drawn->path().bezierPathByInterpolatingPath(kFreehandSmoothing));
    return true;
}

// --- Cutting paths ------------------------------------------------------------------------------

bool canCutPathAtLength(const VXDrawablePath& path, double length)
{
    if (qobject_cast<const platform::ParametricPath*>(&path))
        return false;
    const platform::BezierPath geometry = path.path();
    return subpathCount(geometry) == 1 && !geometry.isClosed() && length >= kMinimumCutPieceLength
           && length <= geometry.length() - kMinimumCutPieceLength;
}

VXDrawablePathPtr cutPathAtLength(VXDrawablePath& path, double length)
{
    if (!canCutPathAtLength(path, length))
        return nullptr;
    const VXQTrack::NetworkEdit edit; // the caller relinks what joined the track
    auto after = std::static_pointer_cast<VXDrawablePath>(path.copyDrawable());
    // The labels at or after the cut go over to the second piece, measured from its start.
    auto* labelled = qobject_cast<ZQMultiStylePath*>(&path);
    if (PathTextLabels* labels = PathTextLabels::installed(); labels && labelled) {
        auto& second = static_cast<ZQMultiStylePath&>(*after);
        second.setTextLabels({});
        second.labelBehaviourState().reset();
        labels->assignLabels(*labelled, second, length, -length);
    }
    reducePathToStretch(*after, length, after->length());
    reducePathToStretch(path, 0, length);
    return after;
}

bool PathCutterTool::cutPathInLayerAtPoint(VXObjectDrawingLayer& layer, const VXDrawablePathPtr& path, QPointF point)
{
    if (!path || path->locked() || !layer.containsObject(path.get()))
        return false;
    const double length = lengthNearestPoint(*path, point, VXDrawableObject::kHitTolerance);
    if (length < 0 || !canCutPathAtLength(*path, length))
        return false;
    auto* track = qobject_cast<VXQTrack*>(path.get());
    const std::optional<TrackNetwork> network =
        track ? std::optional<TrackNetwork>(std::in_place, *track, length) : std::nullopt;

    layer.recordSelectionForUndo();
    const VXDrawablePathPtr after = cutPathAtLength(*path, length);
    layer.insertObjectInObjectsAtIndex(after, layer.indexOfObject(path.get()) + 1);
    if (network)
        network->reconnect(*track, static_cast<VXQTrack&>(*after));
    layer.exchangeSelectionWithObjectsFromArray({path, after});
    layer.commitSelectionUndoWithActionName(kPathCutterToolName);
    if (ZQUndoManager* undo = layer.undoManager(); undo && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(kPathCutterToolName);
    return true;
}

int PathCutterTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target,
                                                                   VXLayer* layer, QMouseEvent*, VXToolController*)
{
    auto* drawingLayer = qobject_cast<VXObjectDrawingLayer*>(layer);
    auto* path = qobject_cast<VXDrawablePath*>(target);
    m_cut = drawingLayer && path
            && cutPathInLayerAtPoint(*drawingLayer, std::static_pointer_cast<VXDrawablePath>(path->shared_from_this()),
                                     point);
    return m_cut ? kVXDrawingEntireObjectPart : kVXDrawingNoPart;
}

bool PathCutterTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent*, VXToolController*)
{
    return std::exchange(m_cut, false);
}

// --- Linear selection -----------------------------------------------------------------------------

int LinearSelectTool::mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target,
                                                                     VXLayer* layer, QMouseEvent*, VXToolController*)
{
    m_path.clear();
    auto* drawingLayer = qobject_cast<VXObjectDrawingLayer*>(layer);
    if (!drawingLayer)
        return kVXDrawingNoPart;
    if (!target) {
        drawingLayer->deselectAll();
        return kVXDrawingNoPart;
    }
    drawingLayer->replaceSelectionWithObject(std::static_pointer_cast<VXDrawableObject>(target->shared_from_this()));
    if (auto* path = qobject_cast<ZQMultiStylePath*>(target)) {
        m_path = path;
        m_anchorLength = path->path().lengthForPointTolerance(point, kAnyDistance);
        path->setSelectionRange(ZQMakeAbsoluteStyleRange(m_anchorLength, 0));
    }
    return kVXDrawingEntireObjectPart;
}

void LinearSelectTool::mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int, VXLayer*, QMouseEvent*,
                                                                     VXToolController*)
{
    extendSelectionTo(point);
}

bool LinearSelectTool::mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int, VXLayer*, QMouseEvent*,
                                                                 VXToolController*)
{
    extendSelectionTo(point);
    m_path.clear();
    return false;
}

void LinearSelectTool::extendSelectionTo(QPointF point)
{
    if (!m_path)
        return;
    const double at = m_path->path().lengthForPointTolerance(point, kAnyDistance);
    m_path->setSelectionRange(ZQMakeAbsoluteStyleRange(std::min(at, m_anchorLength), std::abs(at - m_anchorLength)));
}
