#pragma once

// A block of text placed beside a point feature or a shape: in one of eight compass
// positions at the distance the container gives (labelOffsetRadiusForLabel), on the
// container's reference point, on its visual centre, or at a free offset the user drags it
// to. It turns about its anchor (labelOrigin) and may draw a leader line to its feature.
//
// Placement codes (y grows down the page, so north is up):
//   1 north-east (preferred), 2 north, 3 north-west, 4 west, 5 south-west, 6 south,
//   7 south-east, 8 east, 9 on the reference point, 10 on the visual centre,
//   11 free: reference point + freePosition.
// Setting a placement also sets the text alignment that suits it.
//
// Drawing changes nothing anyone can see: the text size is measured once per change of the
// text and the leader line follows the label as it draws, without notifications or undo
// (images of drawings are painted off the main thread).

#include "symbols/labels/VXQLabelLeaderLine.h"
#include "symbols/labels/VXQTextLabel.h"

#include <optional>

class VXQTextBlockLabel : public VXQTextLabel {
    Q_OBJECT
    Q_PROPERTY(int placement READ placement WRITE setPlacement)
    Q_PROPERTY(QPointF freePosition READ freePosition WRITE setFreePosition)
    Q_PROPERTY(double angle READ angle WRITE setAngle)
    Q_PROPERTY(bool handlesVisible READ handlesVisible WRITE setHandlesVisible)

public:
    enum Placement {
        kNorthEast = 1, kNorth, kNorthWest, kWest, kSouthWest, kSouth, kSouthEast, kEast,
        kOnReferencePoint, kOnCentroid, kFree,
    };
    // The part hitTest answers for the rotation knob.
    static constexpr int kRotationKnobPart = 3;

    VXQTextBlockLabel();
    ~VXQTextBlockLabel() override;
    // A new label: placement 1, text "%%name", font size 11, handles visible.
    static std::shared_ptr<VXQTextBlockLabel> label();

    static int alignmentForPlacement(int placement);
    // Single precision, as the direction angles have always been.
    static float placementAngleForPlacement(int placement);
    static int preferredPlacement() { return kNorthEast; }
    // The compass placement whose 45 degree sector holds the direction (y grows down).
    static int compassPlacementForDirection(QPointF direction);
    // A capsule: the rectangle's top and bottom edges with half circles of half its height
    // sticking out at each end.
    static platform::BezierPath textBlockHighlightPathWithRect(const QRectF& rect);

    // --- Placement (each change one undo step) ---------------------------------------------
    int placement() const { return m_placement; }
    void setPlacement(int placement);
    Q_INVOKABLE void setPlacementUsingTag(QObject* sender);
    // The anchor's offset from the reference point; setting it makes the placement free
    // (undo restores the offset, not the placement).
    QPointF freePosition() const { return m_freePositionOffset; }
    void setFreePosition(QPointF offset);
    double angle() const override { return m_angle; }
    void setAngle(double angle);
    // Turns the label so its rotation knob points at `point`; constrained, to 15 degree steps.
    void setAngleWithPointConstrain(QPointF point, bool constrain);
    bool handlesVisible() const { return m_handlesVisible; }
    void setHandlesVisible(bool visible);

    // --- Leader line -----------------------------------------------------------------------
    const VXQLabelLeaderLinePtr& leaderLine() const { return m_leaderLine; }
    // Null removes it; undoable.
    void setLeaderLine(const VXQLabelLeaderLinePtr& leaderLine);
    Q_INVOKABLE void toggleLeaderLineVisible(QObject* sender = nullptr);
    // Runs the leader line from the feature toward the text; quiet (see the top).
    void updateLeaderLine() const;

    // Font size a third of the container's height, within 6 ... 36.
    Q_INVOKABLE void sizeToHost(QObject* sender = nullptr);
    bool isGhosted() const;

    // --- Geometry --------------------------------------------------------------------------
    // The container's reference point; none when it answers none (the anchor is then the origin).
    std::optional<QPointF> referencePoint() const;
    QPointF labelOrigin() const;
    QPointF centroid() const;
    QRectF labelRect() const;
    QPointF rotationKnobPoint() const;
    // The size of the drawn text, measured once per change of the text.
    virtual QSizeF textSize() const;

    QRectF bounds() const override;
    QRectF hitTestBounds() const override;
    QRectF editingTextBounds() const override;
    int hitTest(QPointF point) const override;
    void drawInView(VXDrawingView* view) const override;
    void highlightInView(VXDrawingView* view) const override;
    std::shared_ptr<VXDrawableObject> convertToTextObject() const override;
    void populateContextualMenu(platform::Menu* menu) override;

    void setTextAdornment(const VXTextAdornmentPtr& adornment) override;
    void labelContentDidChange() override;

    // VXRenderable: the capsule round the text, turned about the anchor.
    platform::BezierPath renderingPath() const override;
    QSizeF size() const override { return labelRect().size(); }
    QPointF location() const override { return labelOrigin(); }
    QTransform containerTransform() const override;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    VXTextAdornmentPtr makeTextAdornment() const override;

private:
    // The empty rectangle as previous bounds: the container recomputes its geometry.
    void notifyGeometryChanged() const { notifyBoundsChange(QRectF()); }
    void emptyTextSizeCache() const { m_textSizeCache = QSizeF(0, 0); }

    int m_placement = kNorthEast;
    QPointF m_freePositionOffset;
    double m_angle = 0;
    VXQLabelLeaderLinePtr m_leaderLine;
    bool m_handlesVisible = true;
    // The container's centroid offset, kept while its geometry stays the same.
    mutable std::optional<QSizeF> m_centroidOffset;
    mutable quint64 m_centroidChecksum = 0;
    mutable QSizeF m_textSizeCache{0, 0};
};

using VXQTextBlockLabelPtr = std::shared_ptr<VXQTextBlockLabel>;
