#include "terrain/section/ProfileSampling.h"

#include <algorithm>
#include <numeric>

namespace profilesampling {

QList<qint64> sampledIndices(qint64 count, const std::function<double(qint64)>& height, qint64 most)
{
    QList<qint64> indices;
    if (count <= 0)
        return indices;
    if (count <= most) {
        indices.resize(count);
        std::iota(indices.begin(), indices.end(), qint64(0));
        return indices;
    }
    // Two points a bucket, and room for the last point of all.
    const qint64 buckets = std::max<qint64>((most - 1) / 2, 1);
    indices.reserve(2 * buckets + 1);
    for (qint64 b = 0; b < buckets; ++b) {
        const qint64 first = count * b / buckets, end = count * (b + 1) / buckets;
        qint64 lowest = first, highest = first;
        double low = height(first), high = low;
        for (qint64 i = first + 1; i < end; ++i) {
            const double h = height(i);
            if (h < low) {
                low = h;
                lowest = i;
            } else if (h > high) {
                high = h;
                highest = i;
            }
        }
        indices.append(std::min(lowest, highest));
        if (lowest != highest)
            indices.append(std::max(lowest, highest));
    }
    // The profile still ends where the grid does.
    if (indices.last() != count - 1)
        indices.append(count - 1);
    return indices;
}

} // namespace profilesampling
