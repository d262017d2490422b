#pragma once

// A stroke carrying short tags at regular intervals along the path: the ticks of a cliff
// edge, a railway's sleepers, a boundary's crosses. Tags run across the path (turned by
// tagAngle), on one side or straight across, optionally alternating sides, and may shorten
// towards the ends of the path with a taper like the tapered stroke's. The main stroke can
// be switched off to leave only the tags.
//
// Tags sit at (k + tagPhase) * tagSpacing along the path, k = 0, 1, ... The tags' geometry
// for the last path drawn is cached; any change of the stroke drops it.

#include "platform/graphics/BezierPath.h"
#include "tracks/styles/VXQTaperedStroke.h"

#include <QPainterPath>
#include <mutex>

class VXQTaggedStroke : public VXStroke {
    Q_OBJECT
    Q_PROPERTY(int tagKind READ tagKind WRITE setTagKind)
    Q_PROPERTY(double tagLength READ tagLength WRITE setTagLength)
    Q_PROPERTY(double tagWidth READ tagWidth WRITE setTagWidth)
    Q_PROPERTY(double tagSpacing READ tagSpacing WRITE setTagSpacing)
    Q_PROPERTY(double tagPhase READ tagPhase WRITE setTagPhase)
    Q_PROPERTY(double tagAngle READ tagAngle WRITE setTagAngle)
    Q_PROPERTY(int tagCapStyle READ tagCapStyle WRITE setTagCapStyle)
    Q_PROPERTY(bool tagsAlternate READ tagsAlternate WRITE setTagsAlternate)
    Q_PROPERTY(bool mainStrokeEnabled READ mainStrokeEnabled WRITE setMainStrokeEnabled)
    Q_PROPERTY(double tagTaperProportion READ tagTaperProportion WRITE setTagTaperProportion)
    Q_PROPERTY(int tagTaperKind READ tagTaperKind WRITE setTagTaperKind)
    Q_PROPERTY(bool leftTagTaperEnabled READ leftTagTaperEnabled WRITE setLeftTagTaperEnabled)
    Q_PROPERTY(bool rightTagTaperEnabled READ rightTagTaperEnabled WRITE setRightTagTaperEnabled)
    Q_CLASSINFO("actionName:tagKind", "#kind# Tag Kind")
    Q_CLASSINFO("actionName:tagLength", "#kind# Tag Length")
    Q_CLASSINFO("actionName:tagWidth", "#kind# Tag Width")
    Q_CLASSINFO("actionName:tagSpacing", "#kind# Tag Spacing")
    Q_CLASSINFO("actionName:tagPhase", "#kind# Tag Phase")
    Q_CLASSINFO("actionName:tagAngle", "#kind# Tag Angle")
    Q_CLASSINFO("actionName:tagCapStyle", "#kind# Tag Cap Style")
    Q_CLASSINFO("actionName:tagsAlternate", "#kind# Alternate Tags")
    Q_CLASSINFO("actionName:mainStrokeEnabled", "#kind# Enable Main Stroke")
    Q_CLASSINFO("actionName:tagTaperProportion", "#kind# Tag Taper Length")
    Q_CLASSINFO("actionName:tagTaperKind", "#kind# Tag Taper Kind")
    Q_CLASSINFO("actionName:leftTagTaperEnabled", "#kind# Enable Left Taper")
    Q_CLASSINFO("actionName:rightTagTaperEnabled", "#kind# Enable Right Taper")

public:
    enum TagKind {
        kTagsRight = 0,  // from the path out to the right of travel
        kTagsLeft = 1,   // from the path out to the left
        kTagsAcross = 2, // centred on the path
    };
    // More tags than this on one object are drawn further apart.
    static constexpr int kMaximumTagCount = 100000;
    static constexpr double kMinimumTagSpacing = 0.5;

    // Tags 4 long, 1 wide and 8 apart on the right, untapered, with the main stroke.
    VXQTaggedStroke();

    QString displayName() const override;

    int tagKind() const { return m_tagKind; }
    void setTagKind(int kind); // a TagKind; others are ignored
    double tagLength() const { return m_tagLength; }
    void setTagLength(double length); // negative counts as 0
    double tagWidth() const { return m_tagWidth; }
    void setTagWidth(double width); // negative counts as 0
    double tagSpacing() const { return m_tagSpacing; }
    void setTagSpacing(double spacing); // at least kMinimumTagSpacing
    // A fraction of the spacing; only its fractional part matters.
    double tagPhase() const { return m_tagPhase; }
    void setTagPhase(double phase);
    // Radians from square across the path, turning towards the direction of travel.
    double tagAngle() const { return m_tagAngle; }
    void setTagAngle(double angle);
    int tagCapStyle() const { return m_tagCapStyle; }
    void setTagCapStyle(int style); // a platform::LineCapStyle; others are ignored
    bool tagsAlternate() const { return m_tagsAlternate; }
    void setTagsAlternate(bool alternate);
    bool mainStrokeEnabled() const { return m_mainStrokeEnabled; }
    void setMainStrokeEnabled(bool enabled);
    // The tapers' length at each end, a fraction of the path length (0 ... 1).
    double tagTaperProportion() const { return m_tagTaperProportion; }
    void setTagTaperProportion(double proportion);
    int tagTaperKind() const { return m_tagTaperKind; }
    void setTagTaperKind(int kind); // a VXQTaperedStroke::TaperKind; others are ignored
    bool leftTagTaperEnabled() const { return m_leftTagTaperEnabled; }
    void setLeftTagTaperEnabled(bool enabled);
    bool rightTagTaperEnabled() const { return m_rightTagTaperEnabled; }
    void setRightTagTaperEnabled(bool enabled);

    // Places a tag in the middle of each dash: the spacing becomes the dash's length and the
    // phase that of the first dash's middle. Nothing without a dash that draws.
    Q_INVOKABLE void synchroniseTagsWithDash();

    // The tags along `path` as open line segments, to be stroked tagWidth wide.
    QPainterPath tagPathForPath(const platform::BezierPath& path) const;

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;
    bool isValid() const override;

    void componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath) override;

private:
    QPainterPath makeTagPath(const platform::BezierPath& path) const;
    double tagLengthFactorAtPositionOfLength(double position, double length) const;
    void dropCachedTagPath();

    int m_tagKind = kTagsRight;
    double m_tagLength = 4.0;
    double m_tagWidth = 1.0;
    double m_tagSpacing = 8.0;
    double m_tagPhase = 0;
    double m_tagAngle = 0;
    int m_tagCapStyle = 0;
    bool m_tagsAlternate = false;
    bool m_mainStrokeEnabled = true;
    double m_tagTaperProportion = 0.5;
    int m_tagTaperKind = VXQTaperedStroke::kLinearTaper;
    bool m_leftTagTaperEnabled = false;
    bool m_rightTagTaperEnabled = false;

    struct CachedTags {
        platform::BezierPath path;
        QPainterPath tags;
        bool valid = false;
    };
    mutable std::mutex m_cacheMutex;
    mutable CachedTags m_cache;
};

using VXQTaggedStrokePtr = std::shared_ptr<VXQTaggedStroke>;
