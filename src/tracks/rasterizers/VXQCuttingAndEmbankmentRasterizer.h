#pragma once

// The slope symbol of a cutting or an embankment: wedges on both sides of the path, their
// broad ends at the top of the slope (away from the path for a cutting, at the path for an
// embankment), shrinking towards the ends of the stretch. The motif is a vector shape in
// the rasterizer's colour; the decorator's motif image is kept in step with it so sizes,
// swatches and bounds follow, while drawing uses the shape itself to stay sharp at any zoom.

#include "platform/vantrix/styles/VXPathDecorator.h"
#include "tracks/styles/VXQTaperedStroke.h"

#include <QColor>
#include <QPainterPath>

class VXQCuttingAndEmbankmentRasterizer : public VXPathDecorator {
    Q_OBJECT
    Q_PROPERTY(int kind READ kind WRITE setKind)
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
    Q_PROPERTY(double spacingProportion READ spacingProportion WRITE setSpacingProportion)
    Q_PROPERTY(int taperFunction READ taperFunction WRITE setTaperFunction)
    Q_CLASSINFO("actionName:kind", "#kind# Type")
    Q_CLASSINFO("actionName:colour", "#kind# Colour")
    Q_CLASSINFO("actionName:spacingProportion", "#kind# Spacing")
    Q_CLASSINFO("actionName:taperFunction", "#kind# Taper")

public:
    enum Kind { kCutting = 0, kEmbankment = 1 };
    // The motif's extent at scale 1: along the path, and across it.
    static constexpr double kMotifLength = 3.0;
    static constexpr double kMotifBreadth = 8.0;
    static constexpr double kMinimumSpacingProportion = 0.1;

    // A black cutting at scale 4, wedges end to end, tapering linearly over 0.15 of the
    // length at each end.
    VXQCuttingAndEmbankmentRasterizer();

    QString displayName() const override; // "Cutting" or "Embankment"

    int kind() const { return m_kind; }
    void setKind(int kind); // a Kind; others are ignored
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    // Motif spacing in motif lengths: 1 puts them end to end.
    double spacingProportion() const { return m_spacingProportion; }
    void setSpacingProportion(double proportion); // at least kMinimumSpacingProportion
    // How motifs shrink over the lead-in and lead-out: a VXQTaperedStroke::TaperKind.
    int taperFunction() const { return m_taperFunction; }
    void setTaperFunction(int function); // others are ignored

    // The motif of `kind` at scale 1, centred on the origin, the path running along +x.
    // Towards the ends the wedges shrink to `extent` of their size but keep clear of the path.
    static QPainterPath motifPathForKindExtent(int kind, double extent = 1.0);

    void render(const VXRenderable& object) const override;
    bool isValid() const override;

    void componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath) override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    double taperAtPositionOfLength(double position, double length) const override;

private:
    // Brings the motif image and the interval in line with kind, colour, scale and spacing.
    void updateMotif();

    int m_kind = kCutting;
    QColor m_colour = Qt::black;
    double m_spacingProportion = 1.0;
    int m_taperFunction = VXQTaperedStroke::kLinearTaper;
};

using VXQCuttingAndEmbankmentRasterizerPtr = std::shared_ptr<VXQCuttingAndEmbankmentRasterizer>;
