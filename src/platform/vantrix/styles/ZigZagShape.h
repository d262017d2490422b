#pragma once

// A zig-zag following a path: it swings `amplitude` to either side, peaking every half
// `wavelength`. With `spread` (0 ... 1) each peak is held flat for that fraction of the half
// wave, from a sharp zig-zag (0) to a square wave (1). When `closed`, a whole number of waves
// fits each subpath, so the ends meet the path and a closed outline joins without a step.

#include "platform/graphics/BezierPath.h"

namespace platform {

struct ZigZagShape {
    static constexpr double kMinimumWavelength = 0.1;
    // Peaks in one path; longer paths get longer waves.
    static constexpr int kMaximumPeakCount = 100000;

    double amplitude = 2;
    double wavelength = 8;
    double spread = 0;
    bool closed = false;

    static double validAmplitude(double amplitude) { return std::max(amplitude, 0.0); }
    static double validWavelength(double wavelength) { return std::max(wavelength, kMinimumWavelength); }
    static double validSpread(double spread) { return std::clamp(spread, 0.0, 1.0); }

    // The zig-zag of every subpath of `path`; the path itself when the amplitude is 0.
    BezierPath pathAlong(const BezierPath& path) const;
};

} // namespace platform
