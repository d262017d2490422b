#pragma once

// Bitmap tracing. An image is reduced to a few levels (grey thresholds or quantised
// colours); each level is a one-bit mask that is traced into a filled outline of the level's
// colour. Levels stack: a level's mask holds its own pixels and those of every level after
// it, so filling the outlines in order leaves no seams between neighbouring regions.
// Pixels less than half opaque belong to no level.
//
// Nothing here is a QObject, so tracing may run on any thread.

#include "platform/graphics/BezierPath.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QVariantMap>
#include <optional>

// Tracing parameter keys (dictionary values are numbers; opticurve a boolean).
inline const QString kVXTracingParam_colourmode = QStringLiteral("kVXTracingParam_colourmode");   // 0 colour, else grey
inline const QString kVXTracingParam_levels = QStringLiteral("kVXTracingParam_levels");           // 2^levels levels
inline const QString kVXTracingParam_turdsize = QStringLiteral("kVXTracingParam_turdsize");       // specks up to this area go
inline const QString kVXTracingParam_alphamax = QStringLiteral("kVXTracingParam_alphamax");       // corner threshold
inline const QString kVXTracingParam_turnpolicy = QStringLiteral("kVXTracingParam_turnpolicy");   // 0..6
inline const QString kVXTracingParam_opticurve = QStringLiteral("kVXTracingParam_opticurve");     // join curve segments
inline const QString kVXTracingParam_opttolerance = QStringLiteral("kVXTracingParam_opttolerance"); // how far joins may stray

// Quantisation methods of vectorizeToColourWithPrecisionQuantizationMethod.
inline constexpr int kVXQuantizeMedianCut = 3;

namespace platform {

// The tracer's settings, read from a parameter dictionary; absent or unusable values keep
// the defaults and the others are clamped to their ranges.
struct TracingSettings {
    int turdsize = 2;
    int turnpolicy = 4; // minority
    double alphamax = 1.0;
    bool opticurve = true;
    double opttolerance = 0.2;

    static TracingSettings fromParameters(const QVariantMap& parameters);
    bool operator==(const TracingSettings&) const = default;
};

// The default parameters: colour, 2^3 levels and the tracer's defaults.
QVariantMap defaultTracingParameters();
// The number of levels a levels value asks for: 2^levels, levels clamped to 1..6.
int tracingLevelCount(int levels);

// The outline of a mask's set pixels (Format_Mono, bit 1 set) in pixel units, y down,
// even-odd filled. Empty for an empty mask.
BezierPath traceMask(const QImage& mask, const TracingSettings& settings);

// One level of a traced image: its colour and its mask, traced on first use.
class TracedLevel {
public:
    TracedLevel(const QColor& colour, const QImage& mask);

    QColor colour() const { return m_colour; }
    const QImage& mask() const { return m_mask; }
    QVariantMap tracingParameters() const { return m_parameters; }
    // A path traced with other settings is traced again when next asked for.
    void setTracingParameters(const QVariantMap& parameters);
    // The level's outline in the image's pixel units, y down.
    BezierPath vectorPath() const;

private:
    QColor m_colour;
    QImage m_mask;
    QVariantMap m_parameters;
    mutable std::optional<BezierPath> m_path;
};

} // namespace platform

// 2^precision grey levels, lightest first. Levels no pixel falls in are left out.
QList<platform::TracedLevel> vectorizeToGrayscaleWithPrecision(const QImage& image, int precision);
// At most 2^precision colours, most common first. Every method quantises by median cut.
QList<platform::TracedLevel> vectorizeToColourWithPrecisionQuantizationMethod(const QImage& image, int precision,
                                                                               int method);
// The levels the parameters ask for (colour mode, levels), each given the parameters and
// traced; the levels are traced in parallel.
QList<platform::TracedLevel> tracedLevelsWithParameters(const QImage& image, const QVariantMap& parameters);
