#pragma once

// Text laid along a stretch of its container path: a street name along a road, a river's
// name along the river. The stretch is a ZQStyleRange of the path (a new label runs from 0 to
// the end); the text follows the path's curve or, with "Follow Trend Of Path", one smooth
// curve between the stretch's ends. The container is a multi-style path, whose label side
// (PathLabelContainer) creates, drags and keeps these labels in step with path edits.
//
// Range changes closer than 0.01 to the current range change nothing; each change of the
// range or the simplification is undoable. Ranges are archived in single precision under
// "VXQTextPathLabel.range.location", ".length" and ".type", the simplification under
// "VXQTextPathLabel_simplification". A label read back with an absolute range shorter than
// 1.0, or a relative range of no length, or a range that is not a number, is dropped.

#include "symbols/labels/VXQTextLabel.h"
#include "tracks/model/ZQStyleRange.h"

class ZQMultiStylePath;

class VXQTextPathLabel : public VXQTextLabel {
    Q_OBJECT
    Q_PROPERTY(int simplification READ simplification WRITE setSimplification)

public:
    // The simplification that lays the text on one curve between the stretch's ends.
    static constexpr int kFollowsTrendOfPath = 1;
    // What fitToText adds to the text's width.
    static constexpr double kFitMargin = 14.0;

    VXQTextPathLabel();
    ~VXQTextPathLabel() override;
    // A new label over the whole path, laid along it, justified and centred on the line.
    static std::shared_ptr<VXQTextPathLabel> label();

    // The container as a path; null without one.
    ZQMultiStylePath* path() const;
    ZQStyleRange styleRange() const { return m_range; }
    void setStyleRange(const ZQStyleRange& range);
    // The range in path-length units against the container's length (the stored range
    // without a container).
    ZQStyleRange absoluteRange() const;
    int simplification() const { return m_simplification; }
    void setSimplification(int simplification);
    Q_INVOKABLE void toggleSimplificationAction(QObject* sender = nullptr);

    // Text reading against the path's direction (layout mode 2).
    bool isReversed() const;
    Q_INVOKABLE void reverseLabel(QObject* sender = nullptr);
    // Perpendicular distance of the text from the line.
    double baselineOffset() const;
    // Proportional vertical alignment of offset / (2 x the adornment's maximum offset) + 0.5,
    // within 0...1.
    void setBaseline(double offset);
    // Font size 0.8 x the path's widest stroke (at least 6), for a container that has strokes.
    Q_INVOKABLE void sizeToPath(QObject* sender = nullptr);
    // The range's length becomes the text's width + 14 (the range converted to absolute
    // first), and the text is centred.
    Q_INVOKABLE void fitToText(QObject* sender = nullptr) override;
    // The label's line stroked 1.5 times as wide as the path's widest stroke (25 without a path).
    platform::BezierPath highlightPath() const;
    bool isGhosted() const;

    QRectF bounds() const override;
    void drawInView(VXDrawingView* view) const override;
    void highlightInView(VXDrawingView* view) const override;
    std::shared_ptr<VXDrawableObject> convertToTextObject() const override;
    void populateContextualMenu(platform::Menu* menu) override;
    bool validateMenuItem(platform::MenuItem* item) override;

    // VXRenderable: the container path cut to the range, or its end-point curve.
    platform::BezierPath renderingPath() const override;
    quint64 geometryChecksum() const override;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    std::shared_ptr<ZQObject> awakeAfterUsingCoder(platform::KeyedUnarchiver& coder) override;

protected:
    VXTextAdornmentPtr makeTextAdornment() const override;
    // An edited text gets a range that fits it, in the edit's undo step.
    void textWasEdited() override { fitToText(nullptr); }

private:
    ZQStyleRange m_range = ZQMakeAbsoluteStyleRange(0, kZQStyleRangeRunsToEnd);
    int m_simplification = 0;
    bool m_rangeIsReadable = true;
};

using VXQTextPathLabelPtr = std::shared_ptr<VXQTextPathLabel>;
