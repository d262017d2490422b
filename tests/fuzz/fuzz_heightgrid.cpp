// Reads arbitrary bytes as height-grid text. Whatever reads must write and read back to
// the same values; small grids are also sculpted and contoured.
#include "geodata/MatrixContourSource.h"
#include "geodata/ZQBezierContourer.h"
#include "geodata/ZQKernel.h"

#include "platform/foundation/ZQLog.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    platform::Log::setSink([](LogEventKind, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::shared_ptr<ZQMatrixArray> grid = ZQMatrixArray::matrixArrayWithTabDelimitedData(text, &error);
    if (!grid)
        return 0;
    // Read grids are always full, so they can always be written.
    const std::optional<QByteArray> written = grid->tabDelimitedData();
    if (!written)
        std::abort();
    const std::shared_ptr<ZQMatrixArray> back = ZQMatrixArray::matrixArrayWithTabDelimitedData(*written);
    if (!back || back->rowWidth() != grid->rowWidth() || back->objects() != grid->objects())
        std::abort();

    if (grid->count() > 4096)
        return 0;
    const auto brush = ZQKernel::gaussianKernelWithKernelSize(1 + 2 * (size % 4));
    const ZQMatrixArray::Index centre{qint64(size % 7) - 2, qint64(size % 5) - 2};
    grid->offsetInPlaceWithKernelAtIndexWithSign(*brush, centre, size % 2);
    const QList<double> values = grid->objects();
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    QList<double> levels;
    for (int i = 1; i <= 5; ++i)
        levels.append(*lowest + (*highest - *lowest) * i / 6);
    geodata::MatrixContourSource source(grid, levels);
    ZQBezierContourer contourer;
    contourer.setSimplifies(size % 3 == 0);
    ZQContourPlotter plotter;
    plotter.initWithDataSourceDataReceiver(&source, &contourer);
    plotter.computeContours();
    contourer.allContourPaths();
    return 0;
}
