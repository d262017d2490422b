#pragma once

// A connectable track: a road, railway, watercourse or generic line whose ends can join other
// tracks of the same type.
//
// Links. Each end may be linked to a parent track it joins (a side road running into a main
// road, or one road continuing another). Links are back-references: a track never keeps
// another alive, and a link counts only while both tracks lie in the same layer, so removing
// a track (or undoing its creation) hides its junctions without touching the links, and
// bringing it back restores them. The child links of a track are the mirror of its
// children's parent links: only the parent links are archived, as conditional references,
// so a track copied or archived without its parent decodes with no link.
//
// Connecting. An end dropped within snapping distance of another track of the same type,
// when the track is drawn into a layer or when an end is dragged, snaps onto that track's
// path and is linked to it. Tracks of other types never connect, and a track never links to
// itself.
//
// Following. When a track changes, the ends joined to it follow, re-snapped onto it: on a
// track moved, turned or resized they keep their place along the segment they join; on a
// reshaped track (an end dragged, a new length) they stay where they are while the track
// still passes there (see PathAnchor). The tracks joined to a moved end's track follow in
// turn. The moves register their undo with the change, so they undo as one step with it;
// undo and redo replay them rather than follow again. A track moved with the selection
// leaves selected sub-tracks to make the same move themselves, as every track does while the
// whole content takes one transform. Ends whose parent leaves the
// layer stay where they are, unlinked.
//
// Drawing. On top of the multi-style path's drawing, each joined end draws a junction (each
// plain, solid, centred stroke of the style there as a disc, which fills the wedges that
// butt-capped strokes meeting at an angle leave) and each free end its terminator. Casing strokes go into the casing
// pass, the others into the content pass, so a mapping layer's junctions merge like its roads.
// Where an end joins its parent between the parent's ends, nothing of this track is drawn
// beyond the parent's centre line: its caps and junction discs would meet the parent's edges,
// and two antialiased edges drawn over each other notch the parent's casing. Where the end runs
// straight into the parent, the strokes stop short of it and each body stroke fills its last
// stretch up to the centre line, with its junction disc's near half, in the same fill as the
// rest of the stroke, so no clip is set up for every drawing; a bending end is clipped instead.

#include "tracks/model/ZQMultiStylePath.h"

#include <QMutex>
#include <QPainterPath>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>

class VXQTrack;
using VXQTrackPtr = std::shared_ptr<VXQTrack>;

inline const QString kVXQGenericTrackType = QStringLiteral("QVNL_GENERIC_TRACK");
inline const QString kVXQRoadTrackType = QStringLiteral("QVNL_ROAD_TYPE_TRACK");
inline const QString kVXQRailTrackType = QStringLiteral("QVNL_RAIL_TYPE_TRACK");
inline const QString kVXQWatercourseTrackType = QStringLiteral("QVNL_WATERCOURSE_TYPE_TRACK");

// How a free end finishes. Other values draw as kVXQPlainTerminator.
enum VXQTrackTerminatorType : quint32 {
    kVXQPlainTerminator = 0,  // the strokes' own caps
    kVXQRoundTerminator = 1,  // each stroke ends in a half disc
    kVXQSquareTerminator = 2, // each stroke runs on half its width, squared off
};

enum class VXQTrackEnd { Start, End };

class VXQTrack : public ZQMultiStylePath {
    Q_OBJECT
    Q_PROPERTY(QString trackType READ trackType WRITE setTrackType)
    Q_PROPERTY(quint32 startTerminatorType READ startTerminatorType WRITE setStartTerminatorType)
    Q_PROPERTY(quint32 endTerminatorType READ endTerminatorType WRITE setEndTerminatorType)
    Q_CLASSINFO("displayName", "Track")

public:
    VXQTrack();
    ~VXQTrack() override;

    static VXQTrackPtr trackWithPathType(const platform::BezierPath& path, const QString& trackType);
    // The four type names, in the order of their tags (0 generic ... 3 watercourse).
    static QStringList trackTypes();

    // One of trackTypes(); other names are refused.
    QString trackType() const { return m_trackType; }
    void setTrackType(const QString& type);
    // The type name.
    QString displayName() const override;

    quint32 startTerminatorType() const { return m_startTerminatorType; }
    void setStartTerminatorType(quint32 type);
    quint32 endTerminatorType() const { return m_endTerminatorType; }
    void setEndTerminatorType(quint32 type);

    // --- Links ---------------------------------------------------------------------------
    // The first or last point of the path.
    QPointF endPoint(VXQTrackEnd end) const;
    // The track the end joins, while both lie in the same layer; null otherwise.
    VXQTrack* linkAtEnd(VXQTrackEnd end) const;
    VXQTrack* startLink() const { return linkAtEnd(VXQTrackEnd::Start); }
    VXQTrack* endLink() const { return linkAtEnd(VXQTrackEnd::End); }
    // Linked, and the end still lies on the parent (a moved track keeps its link but draws
    // its terminator until its end is back on the parent).
    bool isJoinedAtEnd(VXQTrackEnd end) const;
    // Links the end to `parent` (null unlinks), undoably. Refuses this track itself and a
    // track of another type; answers whether the end is now linked as asked.
    bool setLinkAtEnd(VXQTrackEnd end, VXQTrack* parent);
    // Tracks in this track's layer with an end linked to it, in linking order.
    QList<VXQTrack*> childLinks() const;

    // The distance within which a dropped end finds a track: a few points, or half the
    // other track's widest stroke when that is more.
    static constexpr double kSnappingDistance = 5.0;
    // Snaps each end that has no link onto a track of this type in the layer that it lies
    // within snapping distance of, and links it. Answers the number of ends linked.
    int connectFreeEnds();
    // Links each end that has no link and meets an end of a track of this type in the layer
    // (within kMeetingDistance), moving nothing. Answers the number of ends linked.
    static constexpr double kMeetingDistance = 0.01;
    int connectMeetingEnds();
    // Moves the end to `point` (a dragged end dropped): it snaps onto and links to a track of
    // this type within reach, or stays where dropped and loses its link. Undoable; locked
    // tracks stay as they are (and connectFreeEnds leaves them alone too).
    void dropEndAtPoint(VXQTrackEnd end, QPointF point);

    // An edit that cuts tracks or relinks their ends itself (cutting, roundabouts): while one
    // is open, linked ends do not follow the changes it makes.
    class NetworkEdit {
    public:
        NetworkEdit() { ++s_openNetworkEdits; }
        ~NetworkEdit() { --s_openNetworkEdits; }
        NetworkEdit(const NetworkEdit&) = delete;
        NetworkEdit& operator=(const NetworkEdit&) = delete;
    };

    // Unlinks every sub-track attached to this track and this track's own ends, as one undo
    // step "Disconnect All Junctions", then redraws.
    Q_INVOKABLE void disconnectAll();

    // Replaces the selected stretch by a roundabout: a ring track of this track's type and
    // style centred on the stretch's middle, as wide as the stretch, with this track ending
    // at the ring and the rest of it continuing from the ring as a new track. Sub-tracks
    // joining the replaced stretch are shortened to run into the ring and join it, those
    // beyond it move to the continuation. Where the stretch replaces an end of this track
    // that joins another track (a side road at a T-junction), that track gives way to the
    // ring too. Without track left before the stretch, this track leaves the layer. One undo
    // step "Insert Roundabout"; nothing without a selected stretch, or when the track cannot
    // be cut at either end of it (see cutPathAtLength).
    Q_INVOKABLE void insertMagicRoundabout(QObject* sender);
    // Whether insertMagicRoundabout would change anything.
    bool canInsertMagicRoundabout() const;

    // After the path's items, "Insert Roundabout" and "Disconnect All Junctions", aimed at
    // this track; each is enabled only when it would change something.
    bool populateContextualMenuAtPoint(platform::Menu* menu, QPointF point) override;
    bool validateMenuItem(platform::MenuItem* item) override;

    // Tracks are never a symbol's graphic.
    bool canBeConvertedToSymbol() const override { return false; }

    // --- Geometry: joined ends follow (see the top of this file) -------------------------------
    void setPath(const platform::BezierPath& path) override;
    void applyTransform(const QTransform& transform) override;

    // --- Drawing (CasedDrawable) ------------------------------------------------------------
    QRectF bounds() const override;
    void drawContent() const override;
    void drawCasing() const override;
    void drawContentWithoutCasing() const override;

    // A track that arrives unlinked by an edit (drawn, pasted; not undo or redo) joins its free
    // ends; a copy laid out by a duplicate command (CopyPlacement) joins only the ends that meet.
    void objectWasAddedToLayer(VXObjectOwnerLayer* layer) override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    // Length and two distinct ends: closed and empty tracks neither join nor end.
    bool hasFreeEnds() const;
    // Direction of travel out of the track at the end, radians.
    double outwardAngleAtEnd(VXQTrackEnd end) const;
    // The topmost other track of this type with length near `point` that `accepts`.
    VXQTrack* topmostTrackNear(QPointF point, double distance, const std::function<bool(const VXQTrack&)>& accepts) const;
    VXQTrack* trackToJoinAt(QPointF point) const;
    // A track with an end at `point` not already linked to this track.
    VXQTrack* trackWithEndAt(QPointF point) const;
    // Links each free end to the track `parentAt` finds for it, snapping the end onto it or not.
    int linkFreeEnds(const std::function<VXQTrack*(QPointF)>& parentAt, bool snaps);
    // How far from this track's path a dropped end still finds it.
    double snappingReach() const;
    // Moves the end onto `parent`'s path and links it.
    void joinEndTo(VXQTrackEnd end, VXQTrack* parent);
    void setEndPoint(VXQTrackEnd end, QPointF point);
    // Where the sub-tracks join, as lengths along this track (negative: off it).
    struct Junction {
        VXQTrack* child;
        VXQTrackEnd end;
        double position;
    };
    QList<Junction> junctionsOfChildren() const;
    // A roundabout being inserted: its track, and the circle it runs on.
    struct Ring {
        VXQTrack* track = nullptr;
        QPointF centre;
        double radius = 0;
        static Ring aroundStretch(const VXQTrack& track, double from, double to);
        QPointF pointOnRing(QPointF point) const;
    };
    // Cuts the stretch between the lengths out of this track: the piece before ends on the
    // ring, the piece after starts there as a new track; sub-tracks joining the stretch run
    // out to the ring.
    void giveWayToRing(double from, double to, const Ring& ring);
    // Shortens the track so that the end, which lies inside the ring, stops on it and joins it;
    // a track that cannot be shortened so only loses its link.
    void runOutToRing(VXQTrackEnd end, const Ring& ring);
    struct EndCap {
        QColor colour;
        double radius;
        bool casing;
        // The stroke's place among the style's strokes (see StrokeAreas).
        int stroke;
    };
    // The junction or terminator at an end: a disc or square per body stroke.
    struct EndCaps {
        quint32 shape = kVXQPlainTerminator;
        double opacity = 1;
        QList<EndCap> caps;
    };
    // What drawing needs of the ends (indexed start, end), worked out once while neither this
    // track nor the tracks it joins change: their geometry checksums key it.
    struct EndDrawing {
        quint64 checksum = 0;
        std::array<const VXQTrack*, 2> parents{};
        std::array<quint64, 2> parentChecksums{};
        std::array<bool, 2> joined{};
        std::array<double, 2> outwardAngles{};
        std::array<EndCaps, 2> caps;
        // How far short of a parent's centre line the strokes stop at each end, and the near
        // sides they fill there instead of caps.
        StretchEnds stretchEnds;
        // Around each clipped junction between a parent's ends, the parent's side away from this track.
        QPainterPath farSidesOfParents;
    };
    EndDrawing endDrawing() const;
    EndDrawing makeEndDrawing() const;
    // The junction or terminator at an end; an end stopping short of its parent leaves no cap to
    // the strokes' own round caps.
    EndCaps capsAtEnd(VXQTrackEnd end, bool joined, bool stopsShort) const;
    // Where an end joins its parent between the parent's ends, heading across it.
    struct MidParentJunction {
        QPointF point;
        double slope;  // of the parent there, radians
        double across; // sine of the angle the end makes with the parent; its sign gives the far side
    };
    std::optional<MidParentJunction> midParentJunction(VXQTrackEnd end, const EndDrawing& ends) const;
    // Fits the end at a mid-parent junction: stops the strokes short and has each body stroke fill
    // its near side instead of a cap, or answers false where the end bends too close to the
    // parent for that.
    bool stopShortOfParent(VXQTrackEnd end, const MidParentJunction& junction, EndDrawing& ends) const;
    static QPainterPath farSideOfParent(const MidParentJunction& junction, double reach);
    StretchEnds stretchEnds() const override;
    // The junction or terminator at each end, with the casing strokes or the others.
    void drawEnds(const EndDrawing& ends, bool casing) const;
    // Ends meeting their parent at a smaller angle than this (its sine) have no far side.
    static constexpr double kParallelSine = 0.05;
    // setLinkAtEnd without its checks: undo puts back whatever was there.
    void assignLink(VXQTrackEnd end, VXQTrack* parent);
    void registerChild(VXQTrack* child);
    void unregisterChild(VXQTrack* child);

    // How a change of the path moves it: reshaped (the default), transformed, or translated
    // along with the selection.
    enum class PathChange { Reshape, Transform, SelectionMove };
    // The junctions whose ends follow a change of this track made now.
    QList<Junction> junctionsFollowingChanges() const;

    inline static int s_openNetworkEdits = 0;

    QString m_trackType = kVXQGenericTrackType;
    quint32 m_startTerminatorType = kVXQPlainTerminator;
    quint32 m_endTerminatorType = kVXQPlainTerminator;
    QPointer<VXQTrack> m_startLink;
    QPointer<VXQTrack> m_endLink;
    // Mirror of the children's links; a child with both ends here appears twice.
    QList<QPointer<VXQTrack>> m_children;
    // The change under way.
    PathChange m_pathChange = PathChange::Reshape;
    mutable QMutex m_endDrawingLock; // views may draw on several threads
    mutable EndDrawing m_endDrawing;
};

Q_DECLARE_METATYPE(VXQTrackPtr)
