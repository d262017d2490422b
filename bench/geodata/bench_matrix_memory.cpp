// Peak memory of a 2,000 x 2,000 height grid built as the terrain layer builds one (value
// by value, single-precision heights) and sculpted with a brush. Runs in a process of its
// own, as the peak resident size only grows.

#include "support/BenchSupport.h"

#include "geodata/ZQKernel.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    auto brush = ZQKernel::gaussianKernelWithKernelSize(7)->kernelByMultiplyingBy(20);
    const double before = bench::statusMegabytes("VmRSS:");

    auto grid = ZQMatrixArray::makeWithRowWidth(2000);
    for (int i = 0; i < 2000 * 2000; ++i)
        grid->addObject(3.5);
    for (qint64 step = 0; step < 2000; ++step)
        grid->offsetInPlaceWithKernelAtIndex(*brush, {step, step});
    bench::keep(grid);

    const double peak = bench::statusMegabytes("VmHWM:") - before;
    std::printf("grid of %llu values, %s precision\n", grid->count(),
                grid->objectAtIndex({5, 5}) == float(grid->objectAtIndex({5, 5})) ? "single" : "double");
    bench::printValue(QStringLiteral("matrix_array_2000x2000_peak_memory"), peak, "MB", 40);
    return 0;
}
