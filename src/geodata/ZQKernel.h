#pragma once

// A sculpting kernel: a square grid of k x k weights (k odd) that the terrain brush adds to,
// subtracts from or convolves with the height grid. Made kernels are normalised to sum 1;
// kernels derived by scaling or offsetting are not.

#include "geodata/ZQMatrixArray.h"

class ZQKernel : public ZQMatrixArray {
    Q_OBJECT

public:
    // Pascal rows beyond this size no longer fit 64-bit integers.
    static constexpr quint64 kMaximumKernelSize = 63;

    // A Gaussian kernel of size k; false (and no kernel) for an even k, 0 or a size above
    // kMaximumKernelSize.
    bool initWithKernelSize(quint64 kernelSize);
    static std::shared_ptr<ZQKernel> gaussianKernelWithKernelSize(quint64 kernelSize);
    static std::shared_ptr<ZQKernel> boxKernelWithKernelSize(quint64 kernelSize);
    // Weights falling off linearly from the centre.
    static std::shared_ptr<ZQKernel> tentKernelWithKernelSize(quint64 kernelSize);

    // Refill the k x k weights with that shape, normalised.
    void setGaussian();
    void setBox();
    void setTent();

    // Row n of Pascal's triangle counted from 1: C(n - 1, i) for i = 0 .. n - 1; rows 0 and 1
    // are {1}. Rows above kMaximumKernelSize are a programming error.
    static QList<quint64> pascalAtRow(quint64 row);

    quint64 kernelSize() const { return rowWidth(); }
    double sum() const;
    double valueAtIndex(Index index) const { return objectAtIndex(index); }
    double centreValue() const;
    // Divides every weight by the sum; a sum of exactly 1 leaves the weights untouched.
    void normalize();
    std::shared_ptr<ZQKernel> kernelByMultiplyingBy(double factor) const;
    std::shared_ptr<ZQKernel> kernelByAddingOffset(double offset) const;

    std::shared_ptr<ZQObject> copy() const override;

private:
    static std::shared_ptr<ZQKernel> makeShaped(quint64 kernelSize, void (ZQKernel::*shape)());
    // Fills row r, column c with weight(r) x weight(c), then normalises.
    void setSeparable(const QList<double>& weights);
    std::shared_ptr<ZQKernel> kernelByMapping(double (*map)(double value, double operand), double operand) const;
};
