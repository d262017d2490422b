#pragma once

// A height grid resampled bilinearly to another size: the benchmarks' way of making grids of
// the size they time from the one elevation sample in tests/data.

#include "geodata/ZQMatrixArray.h"

#include <algorithm>
#include <memory>

namespace bench {

inline std::shared_ptr<ZQMatrixArray> bilinearlyResampled(const ZQMatrixArray& source, qint64 columns, qint64 rows)
{
    auto grid = ZQMatrixArray::makeWithRowWidth(columns);
    const double sx = double(source.columns() - 1) / double(columns - 1);
    const double sy = double(source.rows() - 1) / double(rows - 1);
    for (qint64 y = 0; y < rows; ++y) {
        const double fy = double(y) * sy;
        const qint64 y0 = std::min<qint64>(qint64(fy), qint64(source.rows()) - 2);
        for (qint64 x = 0; x < columns; ++x) {
            const double fx = double(x) * sx;
            const qint64 x0 = std::min<qint64>(qint64(fx), qint64(source.columns()) - 2);
            const double tx = fx - double(x0), ty = fy - double(y0);
            const double top = source.objectAtIndex({x0, y0}) * (1 - tx) + source.objectAtIndex({x0 + 1, y0}) * tx;
            const double bottom =
                source.objectAtIndex({x0, y0 + 1}) * (1 - tx) + source.objectAtIndex({x0 + 1, y0 + 1}) * tx;
            grid->addObject(top * (1 - ty) + bottom * ty);
        }
    }
    return grid;
}

} // namespace bench
