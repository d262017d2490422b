#include "geodata/ZQKernel.h"

#include "platform/foundation/ZQAssert.h"

#include <cmath>

namespace {

bool isKernelSize(quint64 size) { return size % 2 == 1 && size <= ZQKernel::kMaximumKernelSize; }

} // namespace

bool ZQKernel::initWithKernelSize(quint64 kernelSize)
{
    if (!isKernelSize(kernelSize))
        return false;
    initWithRowWidth(kernelSize);
    setGaussian();
    return true;
}

std::shared_ptr<ZQKernel> ZQKernel::makeShaped(quint64 kernelSize, void (ZQKernel::*shape)())
{
    if (!isKernelSize(kernelSize))
        return nullptr;
    auto kernel = std::make_shared<ZQKernel>();
    kernel->initWithRowWidth(kernelSize);
    (kernel.get()->*shape)();
    return kernel;
}

std::shared_ptr<ZQKernel> ZQKernel::gaussianKernelWithKernelSize(quint64 kernelSize)
{
    return makeShaped(kernelSize, &ZQKernel::setGaussian);
}

std::shared_ptr<ZQKernel> ZQKernel::boxKernelWithKernelSize(quint64 kernelSize)
{
    return makeShaped(kernelSize, &ZQKernel::setBox);
}

std::shared_ptr<ZQKernel> ZQKernel::tentKernelWithKernelSize(quint64 kernelSize)
{
    return makeShaped(kernelSize, &ZQKernel::setTent);
}

void ZQKernel::setGaussian()
{
    QList<double> weights;
    for (quint64 value : pascalAtRow(kernelSize()))
        weights.append(double(value));
    setSeparable(weights);
}

void ZQKernel::setBox()
{
    setSeparable(QList<double>(qsizetype(kernelSize()), 1.0));
}

void ZQKernel::setTent()
{
    const qint64 half = qint64(kernelSize()) / 2;
    QList<double> weights;
    for (qint64 i = 0; i < qint64(kernelSize()); ++i)
        weights.append(double(half + 1 - std::abs(i - half)));
    setSeparable(weights);
}

void ZQKernel::setSeparable(const QList<double>& weights)
{
    values().clear();
    values().reserve(weights.size() * weights.size());
    for (double row : weights) {
        for (double column : weights)
            values().append(float(row * column));
    }
    normalize();
}

QList<quint64> ZQKernel::pascalAtRow(quint64 row)
{
    ZQ_ASSERT(row <= kMaximumKernelSize, QStringLiteral("Pascal row %1 does not fit 64-bit integers").arg(row));
    QList<quint64> values{1};
    for (quint64 n = 2; n <= row; ++n) {
        // Row n: the first value of row n - 1, then the sums of its neighbouring pairs, its last paired with 0.
        QList<quint64> next{values.first()};
        for (qsizetype i = 0; i < values.size(); ++i)
            next.append(values[i] + (i + 1 < values.size() ? values[i + 1] : 0));
        values = std::move(next);
    }
    return values;
}

double ZQKernel::sum() const
{
    double total = 0;
    for (qsizetype i = 0; i < values().size(); ++i)
        total += values().at(i);
    return total;
}

double ZQKernel::centreValue() const
{
    return objectAtIndex({qint64(columns() / 2), qint64(rows() / 2)});
}

void ZQKernel::normalize()
{
    const double factor = 1.0 / sum();
    // A zero sum has no normal form; such kernels only come from offsetting.
    if (factor == 1.0 || !std::isfinite(factor))
        return;
    for (qsizetype i = 0; i < values().size(); ++i)
        values().set(i, float(values().at(i) * factor));
}

std::shared_ptr<ZQKernel> ZQKernel::kernelByMapping(double (*map)(double, double), double operand) const
{
    auto kernel = std::static_pointer_cast<ZQKernel>(copy());
    for (qsizetype i = 0; i < values().size(); ++i)
        kernel->values().set(i, float(map(values().at(i), operand)));
    return kernel;
}

std::shared_ptr<ZQKernel> ZQKernel::kernelByMultiplyingBy(double factor) const
{
    return kernelByMapping([](double value, double f) { return value * f; }, factor);
}

std::shared_ptr<ZQKernel> ZQKernel::kernelByAddingOffset(double offset) const
{
    return kernelByMapping([](double value, double d) { return value + d; }, offset);
}

std::shared_ptr<ZQObject> ZQKernel::copy() const
{
    auto kernel = std::make_shared<ZQKernel>();
    kernel->assignValues(*this);
    return kernel;
}
