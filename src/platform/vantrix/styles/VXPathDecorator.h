#pragma once

// Places copies of a motif image along the object's path, `interval` apart (or end to end
// with usesChainMethod), turned to follow the path when normalToPath, moved sideways by
// lateralOffset (to the right of travel; alternately left and right when it alternates).
// Motifs shrink towards the ends over the lead-in and lead-out, each a proportion of the
// length. Scale randomness (0 ... 1) varies their size and wobblyness (0 ... 1) their place,
// both the same way on every redraw of an object. An image pixel is a drawing unit.

#include "platform/vantrix/styles/VXClipping.h"
#include "platform/vantrix/styles/VXRasterizer.h"

#include <QImage>
#include <QList>
#include <QPointF>

class QPainter;

class VXPathDecorator : public VXRasterizer {
    Q_OBJECT
    Q_PROPERTY(QImage image READ image WRITE setImage)
    Q_PROPERTY(double interval READ interval WRITE setInterval)
    Q_PROPERTY(double scale READ scale WRITE setScale)
    Q_PROPERTY(double scaleRandomness READ scaleRandomness WRITE setScaleRandomness)
    Q_PROPERTY(double lateralOffset READ lateralOffset WRITE setLateralOffset)
    Q_PROPERTY(bool lateralOffsetAlternates READ lateralOffsetAlternates WRITE setLateralOffsetAlternates)
    Q_PROPERTY(bool normalToPath READ normalToPath WRITE setNormalToPath)
    Q_PROPERTY(double leadInAndOutLengthProportion READ leadInAndOutLengthProportion WRITE
                   setLeadInAndOutLengthProportion)
    Q_PROPERTY(bool usesChainMethod READ usesChainMethod WRITE setUsesChainMethod)
    Q_PROPERTY(double wobblyness READ wobblyness WRITE setWobblyness)
    Q_PROPERTY(int clipping READ clipping WRITE setClipping)
    Q_CLASSINFO("actionName:image", "Change #kind# Image")
    Q_CLASSINFO("actionName:interval", "#kind# Spacing")
    Q_CLASSINFO("actionName:scale", "#kind# Scale")
    Q_CLASSINFO("actionName:scaleRandomness", "#kind# Scale Randomness")
    Q_CLASSINFO("actionName:lateralOffset", "#kind# Lateral Offset")
    Q_CLASSINFO("actionName:lateralOffsetAlternates", "#kind# Alternate Sides")
    Q_CLASSINFO("actionName:normalToPath", "#kind# Follows Path")
    Q_CLASSINFO("actionName:leadInAndOutLengthProportion", "#kind# Lead-in and Lead-out")
    Q_CLASSINFO("actionName:usesChainMethod", "#kind# Chaining")
    Q_CLASSINFO("actionName:wobblyness", "#kind# Wobble")
    Q_CLASSINFO("actionName:clipping", "#kind# Clipping")

public:
    // More motifs than this on one object are drawn further apart.
    static constexpr int kMaximumMotifCount = 100000;
    static constexpr double kMinimumInterval = 0.1;

    struct Placement {
        QPointF centre;
        double angle; // radians
        double scale;
    };

    // No motif, 20 apart, following the path, unclipped.
    VXPathDecorator();

    QString displayName() const override;

    QImage image() const { return m_image; }
    // Kept as premultiplied ARGB.
    void setImage(const QImage& image);
    double interval() const { return m_interval; }
    void setInterval(double interval); // at least kMinimumInterval
    double scale() const { return m_scale; }
    void setScale(double scale); // above 0
    double scaleRandomness() const { return m_scaleRandomness; }
    void setScaleRandomness(double randomness);
    double lateralOffset() const { return m_lateralOffset; }
    void setLateralOffset(double offset);
    bool lateralOffsetAlternates() const { return m_lateralOffsetAlternates; }
    void setLateralOffsetAlternates(bool alternates);
    bool normalToPath() const { return m_normalToPath; }
    void setNormalToPath(bool normal);
    double leadInAndOutLengthProportion() const { return m_leadInAndOutLengthProportion; }
    void setLeadInAndOutLengthProportion(double proportion); // 0 ... 0.5
    bool usesChainMethod() const { return m_usesChainMethod; }
    void setUsesChainMethod(bool chain);
    double wobblyness() const { return m_wobblyness; }
    void setWobblyness(double wobblyness);
    int clipping() const { return m_clipping; }
    void setClipping(int clipping); // VXClipping values

    // Where the motifs go on the object, at most kMaximumMotifCount.
    virtual QList<Placement> motifPlacementsForObject(const VXRenderable& object) const;

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;
    bool isValid() const override;

protected:
    // The motif's scale factor at `position` along a path of `length`: 1, falling linearly to
    // 0 at the ends over the lead-in and lead-out.
    virtual double taperAtPositionOfLength(double position, double length) const;
    // The clipping render applies.
    virtual int clippingForRender() const { return m_clipping; }
    // A random scale about `scale()`, never negative; `unit` is in [-1, 1).
    double randomisedScale(double unit) const;
    // The longest reach of a motif from its centre at scale 1.
    double motifRadius() const;

private:
    void drawMotif(QPainter& painter, const Placement& placement) const;

    QImage m_image;
    double m_interval = 20;
    double m_scale = 1;
    double m_scaleRandomness = 0;
    double m_lateralOffset = 0;
    bool m_lateralOffsetAlternates = false;
    bool m_normalToPath = true;
    double m_leadInAndOutLengthProportion = 0;
    bool m_usesChainMethod = false;
    double m_wobblyness = 0;
    int m_clipping = kVXNoClipping;
};

using VXPathDecoratorPtr = std::shared_ptr<VXPathDecorator>;
