#include "terrain/layer/ContourLevels.h"

#include "geodata/ZQMatrixArray.h"

#include <cmath>
#include <limits>

namespace {

// The remainder of value / interval in single precision, floored into [0, interval).
double flooredRemainder(double value, double interval)
{
    float remainder = std::fmod(float(value), float(interval));
    if (remainder < 0)
        remainder += float(interval);
    return remainder;
}

} // namespace

ContourLevels ContourLevels::forHeightsAtInterval(double minimum, double maximum, double interval)
{
    if (!(interval > 0) || !std::isfinite(interval) || !std::isfinite(minimum) || !std::isfinite(maximum) ||
        minimum > maximum)
        return {};
    ContourLevels levels;
    levels.interval = interval;
    levels.highest = maximum - flooredRemainder(maximum, interval) + interval;
    levels.lowest = minimum - flooredRemainder(minimum, interval);
    const double count = std::floor((levels.highest - levels.lowest) / interval);
    if (std::isfinite(count) && count > 0)
        levels.count = quint64(std::min(count, double(kMaximumCount)));
    return levels;
}

std::pair<double, double> ContourLevels::heightRangeOfGrid(const ZQMatrixArray* grid)
{
    float minimum = std::numeric_limits<float>::infinity();
    float maximum = -minimum;
    if (grid)
        for (double height : grid->objects()) {
            minimum = std::min(minimum, float(height));
            maximum = std::max(maximum, float(height));
        }
    return {minimum, maximum};
}
