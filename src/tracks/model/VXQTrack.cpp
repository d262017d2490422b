#include "tracks/model/VXQTrack.h"

#include "app/commands/CopyPlacement.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/WholeContentTransform.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "tracks/model/PathAnchor.h"
#include "tracks/tools/TrackTools.h"
#include "tracks/styles/ZQRangeDrawingStyle.h"

#include <QLineF>
#include <QPainter>
#include <QScopedValueRollback>
#include <QtMath>

namespace {

const QString kTrackTypeKey = QStringLiteral("VXQTrack_trackType");
const QString kStartTerminatorKey = QStringLiteral("VXQTrack_startTerminatorType");
const QString kEndTerminatorKey = QStringLiteral("VXQTrack_endTerminatorType");
const QString kStartLinkKey = QStringLiteral("VXQTrack_startLink");
const QString kEndLinkKey = QStringLiteral("VXQTrack_endLink");

const QString kDisconnectAllActionName = QStringLiteral("Disconnect All Junctions");
const QString kInsertRoundaboutActionName = QStringLiteral("Insert Roundabout");

constexpr VXQTrackEnd kBothEnds[] = {VXQTrackEnd::Start, VXQTrackEnd::End};

// Where an end's entries stand in the per-end arrays.
constexpr int indexOf(VXQTrackEnd end)
{
    return end == VXQTrackEnd::Start ? 0 : 1;
}

// Strokes that form the body of the line: plain, solid and centred. Dashed and offset strokes
// are markings, which a junction or terminator must not blot across the end, and special
// strokes (tapers, tags, bridges) shape their own ends.
bool isBodyStroke(const VXStroke& stroke)
{
    return stroke.metaObject() == &VXStroke::staticMetaObject && stroke.enabled() && stroke.isValid()
        && !stroke.dash() && stroke.lateralOffset() == 0;
}

// The parent's frame at a junction, turned so that the far side lies at positive y.
QTransform junctionFrame(QPointF point, double slope, double across)
{
    QTransform frame;
    frame.translate(point.x(), point.y());
    frame.rotateRadians(slope);
    frame.scale(1, across > 0 ? 1 : -1);
    return frame;
}

// Clips the current drawing to keep out of `hidden` for the scope.
class ClipOut {
public:
    ClipOut(const QPainterPath& hidden, const QRectF& drawn)
    {
        const platform::GraphicsContext* context = platform::GraphicsContext::current();
        if (!context || hidden.isEmpty())
            return;
        m_painter = context->painter();
        // The hidden parts as holes: far cheaper than subtracting them.
        QPainterPath kept = hidden;
        kept.addRect(drawn.united(hidden.boundingRect()));
        kept.setFillRule(Qt::OddEvenFill);
        m_painter->save();
        m_painter->setClipPath(kept, Qt::IntersectClip);
    }
    ~ClipOut()
    {
        if (m_painter)
            m_painter->restore();
    }
    ClipOut(const ClipOut&) = delete;
    ClipOut& operator=(const ClipOut&) = delete;

private:
    QPainter* m_painter = nullptr;
};

// Marks a track whose joined ends are following its change for the scope: in a network with a
// loop the change must not go round it again.
class FollowedTrack {
public:
    explicit FollowedTrack(const VXQTrack* track) { s_tracks.append(track); }
    ~FollowedTrack() { s_tracks.removeLast(); }
    FollowedTrack(const FollowedTrack&) = delete;
    FollowedTrack& operator=(const FollowedTrack&) = delete;
    static bool isFollowed(const VXQTrack* track) { return s_tracks.contains(track); }

private:
    inline static QList<const VXQTrack*> s_tracks;
};

} // namespace

VXQTrack::VXQTrack() = default;
VXQTrack::~VXQTrack() = default;

VXQTrackPtr VXQTrack::trackWithPathType(const platform::BezierPath& path, const QString& trackType)
{
    auto track = std::make_shared<VXQTrack>();
    track->setPath(path);
    track->setTrackType(trackType);
    return track;
}

QStringList VXQTrack::trackTypes()
{
    return {kVXQGenericTrackType, kVXQRoadTrackType, kVXQRailTrackType, kVXQWatercourseTrackType};
}

void VXQTrack::setTrackType(const QString& type)
{
    if (trackTypes().contains(type))
        changeValueForKey(m_trackType, type, "trackType", Change::Appearance);
}

QString VXQTrack::displayName() const
{
    // The type keys are for archives; people read the names the track pane shows.
    if (m_trackType == kVXQRoadTrackType)
        return tr("Road");
    if (m_trackType == kVXQRailTrackType)
        return tr("Rail");
    if (m_trackType == kVXQWatercourseTrackType)
        return tr("Watercourse");
    return ZQMultiStylePath::displayName();
}

void VXQTrack::setStartTerminatorType(quint32 type)
{
    changeValueForKey(m_startTerminatorType, type, "startTerminatorType", Change::Appearance);
}

void VXQTrack::setEndTerminatorType(quint32 type)
{
    changeValueForKey(m_endTerminatorType, type, "endTerminatorType", Change::Appearance);
}

// --- Links ----------------------------------------------------------------------------------------

VXQTrack* VXQTrack::linkAtEnd(VXQTrackEnd end) const
{
    VXQTrack* parent = end == VXQTrackEnd::Start ? m_startLink.data() : m_endLink.data();
    const VXObjectOwnerLayer* ownLayer = layer();
    return parent && ownLayer && parent->layer() == ownLayer ? parent : nullptr;
}

bool VXQTrack::isJoinedAtEnd(VXQTrackEnd end) const
{
    const VXQTrack* parent = linkAtEnd(end);
    return parent && parent->path().lengthForPointTolerance(endPoint(end), parent->snappingReach()) >= 0;
}

bool VXQTrack::setLinkAtEnd(VXQTrackEnd end, VXQTrack* parent)
{
    if (parent == this || (parent && parent->trackType() != m_trackType))
        return false;
    assignLink(end, parent);
    return true;
}

void VXQTrack::assignLink(VXQTrackEnd end, VXQTrack* parent)
{
    QPointer<VXQTrack>& link = end == VXQTrackEnd::Start ? m_startLink : m_endLink;
    if (link == parent)
        return;
    if (ZQUndoManager* undo = undoManager()) {
        // The closure keeps both tracks, so the undo can reach them after they left the layer.
        const auto self = std::static_pointer_cast<VXQTrack>(shared_from_this());
        const VXQTrackPtr old = link ? std::static_pointer_cast<VXQTrack>(link->shared_from_this()) : nullptr;
        undo->registerUndoWithTargetHandler(this, [self, old, end] { self->assignLink(end, old.get()); });
    }
    if (link)
        link->unregisterChild(this);
    link = parent;
    if (parent)
        parent->registerChild(this);
    notifyVisualChange();
}

QList<VXQTrack*> VXQTrack::childLinks() const
{
    QList<VXQTrack*> children;
    for (const QPointer<VXQTrack>& child : m_children) {
        if (child && !children.contains(child.data())
            && (child->startLink() == this || child->endLink() == this))
            children.append(child.data());
    }
    return children;
}

void VXQTrack::registerChild(VXQTrack* child)
{
    m_children.append(child);
}

void VXQTrack::unregisterChild(VXQTrack* child)
{
    m_children.removeOne(child);
    m_children.removeAll(nullptr);
}

// --- Connecting -----------------------------------------------------------------------------------

bool VXQTrack::hasFreeEnds() const
{
    return length() > 0 && !path().isClosed();
}

QPointF VXQTrack::endPoint(VXQTrackEnd end) const
{
    const QPainterPath& points = path().painterPath();
    if (points.elementCount() == 0)
        return {};
    return end == VXQTrackEnd::Start ? QPointF(points.elementAt(0)) : QPointF(points.elementAt(points.elementCount() - 1));
}

double VXQTrack::outwardAngleAtEnd(VXQTrackEnd end) const
{
    double slope = 0;
    const platform::BezierPath& p = path();
    p.pointOnPathAtLengthSlope(end == VXQTrackEnd::Start ? 0 : p.length(), &slope);
    return end == VXQTrackEnd::Start ? slope + M_PI : slope;
}

void VXQTrack::setEndPoint(VXQTrackEnd end, QPointF point)
{
    QPainterPath points = path().painterPath();
    const int count = points.elementCount();
    if (count == 0)
        return;
    const int index = end == VXQTrackEnd::Start ? 0 : count - 1;
    const QPointF delta = point - QPointF(points.elementAt(index));
    points.setElementPositionAt(index, point.x(), point.y());
    // The control point next to a curve's end moves with it, so the curve leaves the end as before.
    const int neighbour = end == VXQTrackEnd::Start ? 1 : count - 2;
    const bool endsCurve = end == VXQTrackEnd::Start
        ? count > 1 && points.elementAt(1).type == QPainterPath::CurveToElement
        : points.elementAt(index).type == QPainterPath::CurveToDataElement;
    if (endsCurve) {
        const QPointF control = QPointF(points.elementAt(neighbour)) + delta;
        points.setElementPositionAt(neighbour, control.x(), control.y());
    }
    platform::BezierPath moved(points);
    moved.setWindingRule(path().windingRule());
    setPath(moved);
}

VXQTrack* VXQTrack::topmostTrackNear(QPointF point, double distance,
                                     const std::function<bool(const VXQTrack&)>& accepts) const
{
    const VXObjectOwnerLayer* owner = layer();
    if (!owner)
        return nullptr;
    const QRectF near(point - QPointF(distance, distance), QSizeF(2 * distance, 2 * distance));
    const QList<VXDrawableObject*> candidates = owner->visibleObjectsInRect(near);
    // The topmost track wins, as it is the one the user sees under the end.
    for (auto it = candidates.crbegin(); it != candidates.crend(); ++it) {
        auto* track = qobject_cast<VXQTrack*>(*it);
        if (track && track != this && track->trackType() == m_trackType && track->length() > 0 && accepts(*track))
            return track;
    }
    return nullptr;
}

VXQTrack* VXQTrack::trackToJoinAt(QPointF point) const
{
    return topmostTrackNear(point, kSnappingDistance, [point](const VXQTrack& track) {
        return track.path().lengthForPointTolerance(point, track.snappingReach()) >= 0;
    });
}

VXQTrack* VXQTrack::trackWithEndAt(QPointF point) const
{
    // One link per meeting: an end already linked to this track is joined from its side.
    return topmostTrackNear(point, kMeetingDistance, [this, point](const VXQTrack& track) {
        return std::any_of(std::begin(kBothEnds), std::end(kBothEnds), [&](VXQTrackEnd end) {
            return QLineF(point, track.endPoint(end)).length() <= kMeetingDistance && track.linkAtEnd(end) != this;
        });
    });
}

double VXQTrack::snappingReach() const
{
    return std::max(kSnappingDistance, widestStrokeWidth() / 2);
}

void VXQTrack::joinEndTo(VXQTrackEnd end, VXQTrack* parent)
{
    const platform::BezierPath& parentPath = parent->path();
    const double along = parentPath.lengthForPointTolerance(endPoint(end), parent->snappingReach());
    if (along >= 0)
        setEndPoint(end, parentPath.pointOnPathAtLengthSlope(along));
    setLinkAtEnd(end, parent);
}

int VXQTrack::linkFreeEnds(const std::function<VXQTrack*(QPointF)>& parentAt, bool snaps)
{
    if (locked() || !hasFreeEnds())
        return 0;
    int linked = 0;
    for (const VXQTrackEnd end : kBothEnds) {
        if (linkAtEnd(end))
            continue;
        if (VXQTrack* parent = parentAt(endPoint(end))) {
            if (snaps)
                joinEndTo(end, parent);
            else
                setLinkAtEnd(end, parent);
            ++linked;
        }
    }
    return linked;
}

int VXQTrack::connectFreeEnds()
{
    return linkFreeEnds([this](QPointF point) { return trackToJoinAt(point); }, true);
}

int VXQTrack::connectMeetingEnds()
{
    return linkFreeEnds([this](QPointF point) { return trackWithEndAt(point); }, false);
}

void VXQTrack::dropEndAtPoint(VXQTrackEnd end, QPointF point)
{
    if (locked() || path().painterPath().elementCount() == 0)
        return;
    setEndPoint(end, point);
    if (VXQTrack* parent = hasFreeEnds() ? trackToJoinAt(point) : nullptr)
        joinEndTo(end, parent);
    else
        assignLink(end, nullptr);
}

bool VXQTrack::populateContextualMenuAtPoint(platform::Menu* menu, QPointF point)
{
    if (!ZQMultiStylePath::populateContextualMenuAtPoint(menu, point))
        return false;
    menu->addItemWithTitleActionKeyEquivalent(kInsertRoundaboutActionName, "insertMagicRoundabout")->setTarget(this);
    menu->addItemWithTitleActionKeyEquivalent(kDisconnectAllActionName, "disconnectAll")->setTarget(this);
    return true;
}

bool VXQTrack::validateMenuItem(platform::MenuItem* item)
{
    if (item && item->action() == "insertMagicRoundabout")
        return canInsertMagicRoundabout();
    if (item && item->action() == "disconnectAll")
        return startLink() || endLink() || !childLinks().isEmpty();
    return ZQMultiStylePath::validateMenuItem(item);
}

void VXQTrack::disconnectAll()
{
    ZQUndoManager* undo = undoManager();
    if (undo)
        undo->beginUndoGrouping();
    for (VXQTrack* child : childLinks()) {
        for (const VXQTrackEnd end : kBothEnds) {
            if (child->linkAtEnd(end) == this)
                child->assignLink(end, nullptr);
        }
        child->notifyVisualChange();
    }
    for (const VXQTrackEnd end : kBothEnds)
        assignLink(end, nullptr);
    if (undo) {
        undo->setActionName(kDisconnectAllActionName);
        undo->endUndoGrouping();
    }
    notifyVisualChange();
}

QList<VXQTrack::Junction> VXQTrack::junctionsOfChildren() const
{
    QList<Junction> junctions;
    const platform::BezierPath geometry = path();
    for (VXQTrack* child : childLinks()) {
        for (const VXQTrackEnd end : kBothEnds) {
            if (child->linkAtEnd(end) == this)
                junctions.append({child, end, geometry.lengthForPointTolerance(child->endPoint(end), snappingReach())});
        }
    }
    return junctions;
}

bool VXQTrack::canInsertMagicRoundabout() const
{
    const ZQStyleRange stretch = ZQResolvedStyleRange(selectionRange(), length());
    return layer() && !locked() && canInsertSpecialItem()
           && (canCutPathAtLength(*this, stretch.location)
               || canCutPathAtLength(*this, stretch.location + stretch.length));
}

namespace {

// The length along `path`, walking from `from` towards `towards`, at which it first leaves the
// circle; negative when it stays inside up to `towards`.
double lengthLeavingCircle(const platform::BezierPath& path, double from, double towards, QPointF centre, double radius)
{
    const auto outside = [&](double length) { return QLineF(centre, path.pointOnPathAtLengthSlope(length)).length() >= radius; };
    constexpr int kSteps = 256;
    double inside = from;
    for (int step = 1; step <= kSteps; ++step) {
        const double probe = from + (towards - from) * step / kSteps;
        if (!outside(probe)) {
            inside = probe;
            continue;
        }
        double out = probe;
        for (int halving = 0; halving < 40; ++halving) {
            const double middle = (inside + out) / 2;
            (outside(middle) ? out : inside) = middle;
        }
        return out;
    }
    return -1;
}

} // namespace

VXQTrack::Ring VXQTrack::Ring::aroundStretch(const VXQTrack& track, double from, double to)
{
    Ring ring;
    ring.centre = track.path().pointOnPathAtLengthSlope((from + to) / 2);
    ring.radius = (to - from) / 2;
    return ring;
}

QPointF VXQTrack::Ring::pointOnRing(QPointF point) const
{
    const QLineF spoke(centre, point);
    return spoke.length() > 0 ? spoke.pointAt(radius / spoke.length()) : point;
}

void VXQTrack::insertMagicRoundabout(QObject*)
{
    if (!canInsertMagicRoundabout())
        return;
    const NetworkEdit edit;
    const ZQStyleRange stretch = ZQResolvedStyleRange(selectionRange(), length());
    double from = stretch.location;
    double to = from + stretch.length;
    Ring ring = Ring::aroundStretch(*this, from, to);
    // A stretch that takes in an end joining another track (a side road at a T-junction) makes
    // a roundabout at the junction: centred on it, with the other track giving way to it too.
    VXQTrack* crossing = nullptr;
    for (const VXQTrackEnd end : kBothEnds) {
        const bool atStart = end == VXQTrackEnd::Start;
        VXQTrack* parent = linkAtEnd(end);
        if (crossing || !parent || canCutPathAtLength(*this, atStart ? from : to))
            continue;
        const double leaving = lengthLeavingCircle(path(), atStart ? 0 : length(), atStart ? length() : 0,
                                                   endPoint(end), ring.radius);
        if (!canCutPathAtLength(*this, leaving))
            continue;
        crossing = parent;
        ring.centre = endPoint(end);
        from = atStart ? 0 : leaving;
        to = atStart ? leaving : length();
    }
    auto track = trackWithPathType(platform::BezierPath::bezierPathWithOvalInRect(QRectF(
                                       ring.centre - QPointF(ring.radius, ring.radius), QSizeF(2 * ring.radius, 2 * ring.radius))),
                                   m_trackType);
    if (const ZQRangeDrawingStylePtr middle = styleForPositionIncludingShims((from + to) / 2, false))
        track->setStyle(middle->style());
    ring.track = track.get();

    ZQUndoManager* undo = undoManager();
    if (undo)
        undo->beginUndoGrouping();
    layer()->insertObjectInObjectsAtIndex(track, layer()->indexOfObject(this) + 1);
    giveWayToRing(from, to, ring);
    if (crossing && !crossing->locked()) {
        const platform::BezierPath& road = crossing->path();
        const double at = road.lengthForPointTolerance(ring.centre, crossing->snappingReach());
        const double before = at < 0 ? -1 : lengthLeavingCircle(road, at, 0, ring.centre, ring.radius);
        const double after = at < 0 ? -1 : lengthLeavingCircle(road, at, crossing->length(), ring.centre, ring.radius);
        if (canCutPathAtLength(*crossing, before) || canCutPathAtLength(*crossing, after))
            crossing->giveWayToRing(before < 0 ? 0 : before, after < 0 ? crossing->length() : after, ring);
    }
    if (undo) {
        undo->setActionName(kInsertRoundaboutActionName);
        undo->endUndoGrouping();
    }
}

void VXQTrack::giveWayToRing(double from, double to, const Ring& ring)
{
    const bool keepsBefore = canCutPathAtLength(*this, from);
    const bool keepsAfter = canCutPathAtLength(*this, to);
    VXObjectOwnerLayer* owner = layer();
    // This track may leave the layer below; the undo keeps it from then on.
    const auto self = std::static_pointer_cast<VXQTrack>(shared_from_this());
    const QList<Junction> junctions = junctionsOfChildren();
    VXQTrack* const endParent = endLink();

    // This track keeps the stretch before the roundabout; the stretch after it is a new track.
    const auto after = keepsAfter ? std::static_pointer_cast<VXQTrack>(cutPathAtLength(*this, to)) : nullptr;
    VXQTrack* const before = keepsBefore ? this : nullptr;
    if (before) {
        cutPathAtLength(*this, from);
        setEndPoint(VXQTrackEnd::End, ring.pointOnRing(endPoint(VXQTrackEnd::End)));
        assignLink(VXQTrackEnd::End, ring.track);
        setEndTerminatorType(kVXQPlainTerminator);
    } else {
        owner->removeObject(this);
    }
    if (after) {
        after->m_startTerminatorType = kVXQPlainTerminator;
        after->setEndPoint(VXQTrackEnd::Start, ring.pointOnRing(after->endPoint(VXQTrackEnd::Start)));
        after->assignLink(VXQTrackEnd::Start, ring.track);
        after->assignLink(VXQTrackEnd::End, endParent);
        owner->insertObjectInObjectsAtIndex(after, owner->indexOfObject(ring.track) + 1);
    }
    for (const Junction& junction : junctions) {
        if (junction.position > from && junction.position < to)
            junction.child->runOutToRing(junction.end, ring);
        else
            junction.child->assignLink(junction.end, junction.position <= from ? before : after.get());
    }
}

void VXQTrack::runOutToRing(VXQTrackEnd end, const Ring& ring)
{
    const double total = length();
    const bool atStart = end == VXQTrackEnd::Start;
    const double leaving = lengthLeavingCircle(path(), atStart ? 0 : total, atStart ? total : 0, ring.centre, ring.radius);
    if (locked() || leaving < 0 || !canCutPathAtLength(*this, leaving)) {
        assignLink(end, nullptr);
        return;
    }
    if (atStart)
        reduceToStretch(leaving, total);
    else
        reduceToStretch(0, leaving);
    setEndPoint(end, ring.pointOnRing(endPoint(end)));
    assignLink(end, ring.track);
}

// --- Following ------------------------------------------------------------------------------------

QList<VXQTrack::Junction> VXQTrack::junctionsFollowingChanges() const
{
    const ZQUndoManager* undo = undoManager();
    if (s_openNetworkEdits > 0 || WholeContentTransform::isOpen() || (undo && (undo->isUndoing() || undo->isRedoing())))
        return {};
    QList<Junction> following = junctionsOfChildren();
    following.removeIf([this](const Junction& junction) {
        return junction.position < 0 || FollowedTrack::isFollowed(junction.child)
               || (m_pathChange == PathChange::SelectionMove && junction.child->isSelected());
    });
    return following;
}

void VXQTrack::setPath(const platform::BezierPath& path)
{
    const platform::BezierPath before = this->path();
    QList<std::pair<Junction, PathAnchor>> followers;
    for (const Junction& junction : junctionsFollowingChanges())
        followers.append({junction, PathAnchor(before, junction.position)});
    ZQMultiStylePath::setPath(path);
    if (followers.isEmpty() || this->path() == before)
        return;
    const FollowedTrack followed(this);
    const platform::BezierPath changed = this->path();
    for (const auto& [junction, anchor] : std::as_const(followers)) {
        junction.child->setEndPoint(junction.end, m_pathChange == PathChange::Reshape
                                                      ? anchor.pointNear(changed, snappingReach())
                                                      : anchor.pointAlong(changed));
    }
}

void VXQTrack::applyTransform(const QTransform& transform)
{
    const bool movesWithSelection = transform.type() <= QTransform::TxTranslate && isSelected();
    const QScopedValueRollback<PathChange> change(m_pathChange, movesWithSelection ? PathChange::SelectionMove
                                                                                   : PathChange::Transform);
    ZQMultiStylePath::applyTransform(transform);
}

// --- Drawing --------------------------------------------------------------------------------------

QRectF VXQTrack::bounds() const
{
    const QRectF pathBounds = ZQMultiStylePath::bounds();
    if (m_startTerminatorType != kVXQSquareTerminator && m_endTerminatorType != kVXQSquareTerminator)
        return pathBounds;
    // A square end turned along a slanting path reaches past the strokes' half width.
    const double reach = widestStrokeWidth() * (M_SQRT2 - 1) / 2;
    return pathBounds.adjusted(-reach, -reach, reach, reach);
}

void VXQTrack::drawContent() const
{
    drawCasing();
    drawContentWithoutCasing();
}

void VXQTrack::drawCasing() const
{
    const EndDrawing ends = endDrawing();
    const ClipOut clip(ends.farSidesOfParents, bounds());
    ZQMultiStylePath::drawCasing();
    drawEnds(ends, true);
}

void VXQTrack::drawContentWithoutCasing() const
{
    const EndDrawing ends = endDrawing();
    const ClipOut clip(ends.farSidesOfParents, bounds());
    ZQMultiStylePath::drawContentWithoutCasing();
    drawEnds(ends, false);
}

VXQTrack::EndDrawing VXQTrack::endDrawing() const
{
    const QMutexLocker locker(&m_endDrawingLock);
    const auto current = [this](const EndDrawing& ends) {
        if (ends.checksum != geometryChecksum())
            return false;
        for (const VXQTrackEnd end : kBothEnds) {
            const VXQTrack* parent = linkAtEnd(end);
            const int index = indexOf(end);
            if (parent != ends.parents[index] || (parent && parent->geometryChecksum() != ends.parentChecksums[index]))
                return false;
        }
        return true;
    };
    if (!current(m_endDrawing))
        m_endDrawing = makeEndDrawing();
    return m_endDrawing;
}

VXQTrack::EndDrawing VXQTrack::makeEndDrawing() const
{
    EndDrawing ends;
    ends.checksum = geometryChecksum();
    const bool hasEnds = hasFreeEnds();
    for (const VXQTrackEnd end : kBothEnds) {
        const int index = indexOf(end);
        const VXQTrack* parent = linkAtEnd(end);
        ends.parents[index] = parent;
        ends.parentChecksums[index] = parent ? parent->geometryChecksum() : 0;
        ends.joined[index] = isJoinedAtEnd(end);
        ends.outwardAngles[index] = outwardAngleAtEnd(end);
        if (hasEnds)
            ends.caps[index] = capsAtEnd(end, ends.joined[index], false);
    }
    for (const VXQTrackEnd end : kBothEnds) {
        const std::optional<MidParentJunction> junction = midParentJunction(end, ends);
        if (!junction || (hasEnds && stopShortOfParent(end, *junction, ends)))
            continue;
        const QPainterPath side = farSideOfParent(*junction, ends.parents[indexOf(end)]->widestStrokeWidth()
                                                                + widestStrokeWidth());
        // Holes must not overlap, or the clip's even-odd rule would show their overlap again.
        if (ends.farSidesOfParents.intersects(side))
            ends.farSidesOfParents = ends.farSidesOfParents.united(side);
        else
            ends.farSidesOfParents.addPath(side);
    }
    return ends;
}

VXQTrack::EndCaps VXQTrack::capsAtEnd(VXQTrackEnd end, bool joined, bool stopsShort) const
{
    EndCaps caps;
    caps.shape = joined ? kVXQRoundTerminator : end == VXQTrackEnd::Start ? m_startTerminatorType : m_endTerminatorType;
    if (caps.shape != kVXQRoundTerminator && caps.shape != kVXQSquareTerminator)
        return {};
    const ZQRangeDrawingStylePtr rangeStyle =
        styleForPositionIncludingShims(end == VXQTrackEnd::Start ? 0 : length(), false);
    const VXStylePtr style = rangeStyle ? rangeStyle->style() : nullptr;
    if (!style)
        return {};
    caps.opacity = style->opacity();
    const VXStrokePtr casingStroke = ZQRangeDrawingStyle::casingStrokeOfStyle(*style);
    const QList<VXStrokePtr> strokes = style->renderersOfClass<VXStroke>();
    for (qsizetype i = 0; i < strokes.size(); ++i) {
        const VXStroke& stroke = *strokes[i];
        // A round cap of the stroke's own already is the disc, and drawn twice its edge darkens.
        const bool ownCapIsDisc = stroke.lineCapStyle() == int(platform::LineCapStyle::Round)
                               && caps.shape == kVXQRoundTerminator && !stopsShort;
        if (isBodyStroke(stroke) && !ownCapIsDisc)
            caps.caps.append({stroke.colour(), stroke.width() / 2, strokes[i] == casingStroke, int(i)});
    }
    return caps;
}

std::optional<VXQTrack::MidParentJunction> VXQTrack::midParentJunction(VXQTrackEnd end, const EndDrawing& ends) const
{
    const int index = indexOf(end);
    const VXQTrack* parent = ends.joined[index] ? ends.parents[index] : nullptr;
    if (!parent)
        return std::nullopt;
    const platform::BezierPath& parentPath = parent->path();
    const double along = parentPath.lengthForPointTolerance(endPoint(end), parent->snappingReach());
    const double halfWidth = parent->widestStrokeWidth() / 2;
    if (!parentPath.isClosed() && (along < halfWidth || along > parentPath.length() - halfWidth))
        return std::nullopt; // at the parent's end: the junction disc fills the corner beyond it
    MidParentJunction junction;
    junction.slope = 0;
    junction.point = parentPath.pointOnPathAtLengthSlope(along, &junction.slope);
    // Which side of the parent this track runs on: the far side is where its end heads.
    junction.across = std::sin(ends.outwardAngles[index] - junction.slope);
    if (std::abs(junction.across) < kParallelSine)
        return std::nullopt;
    return junction;
}

bool VXQTrack::stopShortOfParent(VXQTrackEnd end, const MidParentJunction& junction, EndDrawing& ends) const
{
    const int index = indexOf(end);
    // In the junction's frame the end heads along (cosine, sine), sine > 0.
    const double sine = std::abs(junction.across);
    const double cosine = std::cos(ends.outwardAngles[index] - junction.slope);
    const double radius = widestStrokeWidth() / 2;
    // Far enough back that no cap of the strokes, round, square or butt, reaches the centre line.
    const double undrawn = radius * (sine + std::abs(cosine)) / sine;
    // The strokes end flat there, square to the path, and their near sides carry them on square
    // to the end's heading: the path must run straight a little further back than that.
    const double straight = undrawn + radius;
    const double otherUndrawn = index == 0 ? ends.stretchEnds.undrawn.second : ends.stretchEnds.undrawn.first;
    const double otherStraight = otherUndrawn > 0 ? otherUndrawn + radius : 0;
    const double total = length();
    if (radius <= 0 || straight + otherStraight >= total)
        return false;
    constexpr double kBendTolerance = 0.02; // radians
    const platform::BezierPath& own = path();
    for (const double back : {straight / 2, straight}) {
        double slope = 0;
        own.pointOnPathAtLengthSlope(end == VXQTrackEnd::Start ? back : total - back, &slope);
        const double outward = end == VXQTrackEnd::Start ? slope + M_PI : slope;
        if (std::abs(std::remainder(outward - ends.outwardAngles[index], 2 * M_PI)) > kBendTolerance)
            return false;
    }
    (index == 0 ? ends.stretchEnds.undrawn.first : ends.stretchEnds.undrawn.second) = undrawn;
    const QTransform frame = junctionFrame(junction.point, junction.slope, junction.across);
    const QPointF heading(cosine, sine);
    const QPointF normal(-sine, cosine);
    // The end lies on the parent only to within snapping distance: the near sides start from the
    // strokes' flat ends where they are, and meet the centre line about the junction.
    const QPointF stop = frame.inverted().map(endPoint(end)) - undrawn * heading;
    for (const EndCap& cap : capsAtEnd(end, true, true).caps) {
        const double r = cap.radius;
        // The stroke's last stretch, from its flat end to where its edges cross the centre line,
        // and the near half of its junction disc, both turning as stroke outlines do.
        QPainterPath nearSide;
        nearSide.addPolygon(
            QPolygonF({stop + r * normal, QPointF(-r / sine, 0), QPointF(r / sine, 0), stop - r * normal}));
        nearSide.closeSubpath();
        nearSide.moveTo(r, 0);
        nearSide.arcTo(QRectF(-r, -r, 2 * r, 2 * r), 0, 180);
        nearSide.closeSubpath();
        // A frame that mirrors turns them the other way.
        nearSide = junction.across > 0 ? frame.map(nearSide) : frame.map(nearSide).toReversed();
        ends.stretchEnds.areas[index].add({cap.stroke, nearSide, cap.colour, cap.casing, {}});
    }
    ends.caps[index] = {};
    return true;
}

QPainterPath VXQTrack::farSideOfParent(const MidParentJunction& junction, double reach)
{
    QPainterPath side;
    side.addPolygon(junctionFrame(junction.point, junction.slope, junction.across)
                        .map(QPolygonF(QRectF(-reach, 0, 2 * reach, reach))));
    side.closeSubpath();
    return side;
}

StretchEnds VXQTrack::stretchEnds() const
{
    return endDrawing().stretchEnds;
}

void VXQTrack::drawEnds(const EndDrawing& ends, bool casing) const
{
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainter* painter = context->painter();
    const double opacity = painter->opacity();
    for (const VXQTrackEnd end : kBothEnds) {
        const int index = indexOf(end);
        const EndCaps& caps = ends.caps[index];
        const auto drawn = [casing](const EndCap& cap) { return cap.casing == casing; };
        if (std::none_of(caps.caps.cbegin(), caps.caps.cend(), drawn))
            continue;
        painter->setOpacity(opacity * caps.opacity);
        for (const EndCap& cap : caps.caps) {
            if (!drawn(cap))
                continue;
            painter->save();
            painter->setPen(Qt::NoPen);
            painter->setBrush(cap.colour);
            QTransform frame;
            frame.translate(endPoint(end).x(), endPoint(end).y());
            frame.rotateRadians(ends.outwardAngles[index]);
            const QRectF square(-cap.radius, -cap.radius, 2 * cap.radius, 2 * cap.radius);
            if (caps.shape == kVXQSquareTerminator)
                painter->drawPolygon(frame.map(QPolygonF(square)));
            else
                painter->drawEllipse(frame.map(QPointF()), cap.radius, cap.radius);
            painter->restore();
        }
        painter->setOpacity(opacity);
    }
}

// --- Layer and archive ----------------------------------------------------------------------------

void VXQTrack::objectWasAddedToLayer(VXObjectOwnerLayer* layer)
{
    ZQMultiStylePath::objectWasAddedToLayer(layer);
    const ZQUndoManager* undo = undoManager();
    const bool replayed = undo && (undo->isUndoing() || undo->isRedoing());
    // Pieces of a cut track arrive linked: they keep the network they were given.
    if (replayed || m_startLink || m_endLink)
        return;
    if (CopyPlacement::isOpen())
        connectMeetingEnds();
    else
        connectFreeEnds();
}

void VXQTrack::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    ZQMultiStylePath::encodeWithCoder(coder);
    coder.encodeString(m_trackType, kTrackTypeKey);
    coder.encodeInt(m_startTerminatorType, kStartTerminatorKey);
    coder.encodeInt(m_endTerminatorType, kEndTerminatorKey);
    // The parents are the layer's to keep: a copy or an archive without them has no links.
    coder.encodeConditionalObject(m_startLink.data(), kStartLinkKey);
    coder.encodeConditionalObject(m_endLink.data(), kEndLinkKey);
}

void VXQTrack::initWithCoder(platform::KeyedUnarchiver& coder)
{
    ZQMultiStylePath::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    const QString type = reader.string(kTrackTypeKey, kVXQGenericTrackType);
    m_trackType = trackTypes().contains(type) ? type : kVXQGenericTrackType;
    m_startTerminatorType = quint32(reader.integer(kStartTerminatorKey, kVXQPlainTerminator, 0, UINT32_MAX));
    m_endTerminatorType = quint32(reader.integer(kEndTerminatorKey, kVXQPlainTerminator, 0, UINT32_MAX));
    const std::pair<VXQTrackEnd, const QString*> links[] = {{VXQTrackEnd::Start, &kStartLinkKey},
                                                            {VXQTrackEnd::End, &kEndLinkKey}};
    for (const auto& [end, key] : links) {
        const VXQTrackPtr parent = reader.object<VXQTrack>(*key);
        if (parent.get() == this)
            ZQLogObjCMethod(QStringLiteral("a track linked to itself; the link is dropped"));
        else if (parent)
            assignLink(end, parent.get());
    }
}
