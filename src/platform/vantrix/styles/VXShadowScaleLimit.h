#pragma once

// The zoom scale beyond which shadows stop growing with the view (0: no limit), the
// preference that keeps deep zooms from spending their time on huge blurs. Shadows do not
// read it yet. Values that are not a number or are negative mean no limit; larger ones are
// held to kMaximum.

class VXShadowScaleLimit {
public:
    static constexpr double kMaximum = 64.0;
    static double shadowScaleLimit();
    static void setShadowScaleLimit(double limit);
};
