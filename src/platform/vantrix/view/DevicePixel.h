#pragma once

// Device coordinates rounded to whole pixels. A file may place an object anywhere a double
// reaches, and its knobs land that far off the device: they are brought to a pixel still far
// off any device, where an int holds them with room to add an image's size.

#include <cmath>

namespace platform {

// Past any device, and far enough from the limits of an int to add sizes to.
inline constexpr int kFarOffDevicePixel = 1 << 24;

// The pixel nearest `coordinate`, or one kFarOffDevicePixel away on its side when it lies
// beyond (a coordinate that is not a number lies beyond, after the device).
inline int nearestDevicePixel(double coordinate)
{
    if (!(std::abs(coordinate) < kFarOffDevicePixel))
        return coordinate < 0 ? -kFarOffDevicePixel : kFarOffDevicePixel;
    // Halves away from zero, as std::round, without a call into the maths library: within the
    // range the whole part and the fraction are exact.
    const int whole = int(coordinate);
    const double fraction = coordinate - whole;
    return whole + (fraction >= 0.5) - (fraction <= -0.5);
}

} // namespace platform
