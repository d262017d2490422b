#pragma once

// Colours at positions from 0 to 1, interpolated in between (RGB with alpha). The named
// gradients paint interface chrome such as the gradient stop editor's swatches.

#include "platform/vantrix/styles/VXRasterizer.h"

#include <QColor>
#include <QGradientStops>
#include <QList>

class VXGradient;
using VXGradientPtr = std::shared_ptr<VXGradient>;

class VXGradient : public VXValueObject {
    Q_OBJECT

public:
    struct ColourStop {
        QColor colour;
        double position = 0; // 0 to 1
        bool operator==(const ColourStop&) const = default;
    };

    // A damaged archive cannot make more stops than this.
    static constexpr int kMaximumStops = 256;

    // Black to white.
    VXGradient();
    static VXGradientPtr gradientWithStartingColourEndingColour(const QColor& start, const QColor& end);
    // Stops in order of position; positions are clamped to 0 to 1.
    static VXGradientPtr gradientWithColourStops(const QList<ColourStop>& stops);

    static VXGradientPtr unifiedNormalGradient();
    static VXGradientPtr unifiedDarkGradient();
    static VXGradientPtr sourceListSelectedGradient();

    const QList<ColourStop>& colourStops() const { return m_stops; }
    void setColourStops(const QList<ColourStop>& stops);
    int numberOfColours() const { return int(m_stops.size()); }
    // Invalid outside 0 .. numberOfColours() - 1.
    QColor colourAtStopIndex(int index) const;
    double positionAtStopIndex(int index) const;
    // The interpolated colour at a position (the end colours beyond the ends).
    QColor interpolatedColourAtPosition(double position) const;
    bool hasTransparency() const;

    // Stops as Qt's gradients take them.
    QGradientStops gradientStops() const;

    bool isEqualToValue(const VXValueObject& other) const override;
    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    QList<ColourStop> m_stops;
};

Q_DECLARE_METATYPE(VXGradientPtr)
