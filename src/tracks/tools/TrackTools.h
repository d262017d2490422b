#pragma once

// The drawing tools of tracks, registered with the tool registry at launch:
//  - "Connectable Track", "Connectable Line", "Connectable Polygon" and "Connectable Freehand":
//    creation tools whose prototypes are tracks, drawn like the framework's Path, Line,
//    Polygon and Freehand tools; roads, railways, roads and rivers respectively, each with
//    its factory style. Each creation is one undo step "New <tool name>". Freehand tracks
//    are fitted with curves (FreehandTrackTool).
//  - "Path Cutter" (key "u"): a click on a path or track cuts it there (PathCutterTool).
//  - "Linear Select": selects a stretch along a track's length (LinearSelectTool).

#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/tools/VXObjectCreationTool.h"

#include <QPointer>

class VXObjectDrawingLayer;
class VXQTrack;
class VXToolRegistry;
class ZQMultiStylePath;

inline const QString kConnectableTrackToolName = QStringLiteral("Connectable Track");
inline const QString kConnectableLineToolName = QStringLiteral("Connectable Line");
inline const QString kConnectablePolygonToolName = QStringLiteral("Connectable Polygon");
inline const QString kConnectableFreehandToolName = QStringLiteral("Connectable Freehand");
inline const QString kPathCutterToolName = QStringLiteral("Path Cutter");
inline const QString kLinearSelectToolName = QStringLiteral("Linear Select");

// Registers the tools above.
void registerTrackTools(VXToolRegistry& registry);
// Has the application delegate's registerQuorvaneTools call registerTrackTools; adds it once
// however often it is called.
void addTrackToolRegistration();

// The freehand gesture of the creation tools, whose thinned points are then fitted with a
// smooth curve through them (each point kept, the corners between them rounded), so that a
// river drawn by hand flows instead of zigzagging. The fitting is part of the creation's undo step.
class FreehandTrackTool : public VXObjectCreationTool {
    Q_OBJECT

public:
    explicit FreehandTrackTool(const std::shared_ptr<VXQTrack>& prototype);

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;

private:
    // The track being drawn, pending in its layer until the release.
    QPointer<VXDrawablePath> m_drawn;
};

// Whether a cut at `length` along the path is possible: the path is one open subpath, not made
// from parameters (polygons, arcs), and the cut leaves at least kMinimumCutPieceLength on each
// side. Closed paths have no ends to cut between: a cut would only move where they start.
inline constexpr double kMinimumCutPieceLength = 1.0;
bool canCutPathAtLength(const VXDrawablePath& path, double length);
// Cuts the path at `length`, undoably: the path keeps the part before the cut and the answer,
// a new path outside any layer, holds the part after (range styles, overlays and adornments go
// with their stretch). Null when the cut is not possible.
VXDrawablePathPtr cutPathAtLength(VXDrawablePath& path, double length);

// A click on a path cuts it at the point clicked, as one undo step named after the tool: the
// piece after the cut goes right above the path in the stacking order and both are selected.
// Cutting a track keeps its network: the piece after the cut joins the piece before it, takes
// over the link of the track's end, and tracks joining beyond the cut move to it.
class PathCutterTool : public VXDrawingTool {
    Q_OBJECT

public:
    QCursor cursor() const override { return Qt::CrossCursor; }
    QString actionName() const override { return registeredName(); }

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF, int, VXLayer*, QMouseEvent*,
                                                       VXToolController*) override {}
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;

    // Cuts the layer's `path` at the point of it nearest `point`; answers whether it did.
    static bool cutPathInLayerAtPoint(VXObjectDrawingLayer& layer, const VXDrawablePathPtr& path, QPointF point);

private:
    bool m_cut = false;
};

// A selection tool for stretches of tracks: pressing on a multi-style path selects it, and
// dragging along it sets its selection range from the press to the pointer (the stretch that
// bridges, tunnels and other special items are inserted over). A press on any other object
// selects that object; a press on nothing clears the selection. Changes no document content.
class LinearSelectTool : public VXDrawingTool {
    Q_OBJECT

public:
    bool isSelectionTool() const override { return true; }
    int supportedLibraryItemKind() const override { return kAnyLibraryItemKind; }

    int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                       QMouseEvent* event, VXToolController* delegate) override;
    bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer, QMouseEvent* event,
                                                  VXToolController* delegate) override;
    void abandonGesture() override { m_path.clear(); }

private:
    void extendSelectionTo(QPointF point);

    QPointer<ZQMultiStylePath> m_path;
    double m_anchorLength = 0;
};
