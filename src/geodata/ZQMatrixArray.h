#pragma once

// A two-dimensional grid of numbers: the heights under a terrain layer, and the weights of
// a sculpting kernel. Values are kept row after row in one list; only the row width is
// stored, so the number of rows follows from the number of values (a short last row
// counts as a row). It also reads and writes the height-grid text format: one line per
// row, each value followed by a tab.

#include "geodata/NumberList.h"

#include "platform/foundation/ZQObject.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>
#include <limits>
#include <optional>
#include <span>

class ZQKernel;

// Limits of a height-grid reading from outside: more values than `maximumCount`, or a field
// naming no finite number ("nan", "inf") or a number beyond a double's range ("1e999"), both
// of which the format reads as 0, fail the reading with the reason.
struct MatrixTextLimits {
    quint64 maximumCount = std::numeric_limits<quint64>::max();
    bool refusesNonFiniteNumbers = false;
};

class ZQMatrixArray : public ZQObject {
    Q_OBJECT

public:
    // {x, y}: x is the column, y the row.
    struct Index {
        qint64 x = 0;
        qint64 y = 0;
        bool operator==(const Index&) const = default;
    };
    static constexpr qint64 kNotFound = std::numeric_limits<qint64>::max();
    static constexpr Index kNotFoundIndex{kNotFound, kNotFound};

    ZQMatrixArray() = default; // row width 1
    void initWithRowWidth(quint64 rowWidth);
    static std::shared_ptr<ZQMatrixArray> makeWithRowWidth(quint64 rowWidth);

    quint64 rowWidth() const { return m_rowWidth; }
    // Reinterprets the same values with another width. A width of 0 is refused (logged).
    void setRowWidth(quint64 rowWidth);
    quint64 rows() const;
    quint64 columns() const;
    quint64 count() const { return quint64(m_values.size()); }

    // Indexes must lie inside the stored values; anything else is a programming error.
    double objectAtRowColumn(quint64 row, quint64 column) const;
    double objectAtIndex(Index index) const;
    // Row `row`'s values from column `column` on, one per slot of `out`; checked once for the run.
    void copyRowFromColumn(quint64 row, quint64 column, std::span<double> out) const;
    void insertObjectAtRowColumn(double value, quint64 row, quint64 column);
    void insertObjectAtIndex(double value, Index index);
    void replaceObjectAtIndexWithObject(Index index, double value);
    Index addObject(double value);
    // The first value equal to `value`, or kNotFoundIndex.
    Index indexOfObject(double value) const;
    void removeObject(double value);
    void removeObjectAtIndex(Index index);
    void removeAllObjects();
    QList<double> objects() const;
    void setObjectsFromArray(const QList<double>& values);

    // Not-found in either component gives not-found.
    qint64 linearIndexForIndex(Index index) const;
    Index indexForLinearIndex(qint64 linearIndex) const;

    std::shared_ptr<ZQObject> copy() const override;
    // The values, row after row, as one block of little-endian floats ("ZQMatrixArray_valueData",
    // 4 or 8 bytes each as "ZQMatrixArray_valueSize" says), and "ZQMatrixArray_rowWidth".
    // Archives that list the values one by one ("ZQMatrixArray_objects") still read.
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

    // --- Height-grid text --------------------------------------------------------------
    // The text form; nullopt (logged) for a grid whose last row is short, which the
    // format cannot express. An empty grid gives the empty text.
    std::optional<QString> dataAsTabDelimitedString() const;
    std::optional<QByteArray> tabDelimitedData() const;
    // A grid read from text; null for text without data, and null with `error` set when
    // the rows differ in length. Numbers are read regardless of the locale.
    static std::shared_ptr<ZQMatrixArray> matrixArrayWithTabDelimitedString(const QString& text,
                                                                          QString* error = nullptr);
    // For text from outside: see MatrixTextLimits.
    using TextLimits = MatrixTextLimits;
    static std::shared_ptr<ZQMatrixArray> matrixArrayWithTabDelimitedData(QByteArrayView text,
                                                                        QString* error = nullptr,
                                                                        const TextLimits& limits = {});

    // --- Resampling ----------------------------------------------------------------------
    // The value at column `x`, row `y` of a full grid, read between grid points.
    using InterpolationDelegate = std::function<double(const ZQMatrixArray& grid, double x, double y)>;
    // Bilinear: the four surrounding values weighted by nearness; positions are clamped into the grid.
    double bilinearValueAt(double x, double y) const;
    // A grid of the receiver's class with `rows` x `columns` values spread evenly over this one,
    // corner on corner, each asked of the delegate (bilinear without one). Empty when either
    // grid would have no values, or this one has a short last row.
    std::shared_ptr<ZQMatrixArray> resampledMatrixWithRowsColumnsInterpolationDelegate(
        quint64 rows, quint64 columns, const InterpolationDelegate& interpolationDelegate = {}) const;

    // --- Kernel operations -------------------------------------------------------------
    // The kernel is centred on `index`; kernel cells that land outside the grid are skipped.
    void offsetInPlaceWithKernelAtIndex(const ZQKernel& kernel, Index index);
    void offsetInPlaceWithKernelAtIndexWithSign(const ZQKernel& kernel, Index index, bool subtract);
    // Replaces the one cell at `index` by the kernel-weighted sum of its neighbourhood.
    void convolveInPlaceWithKernelAtIndex(const ZQKernel& kernel, Index index);
    // A copy (values passed through performKernelOperationOnObjectKernelValue with weight 1)
    // in which only the cell at `index` holds that weighted sum.
    std::shared_ptr<ZQMatrixArray> matrixArrayByConvolvingWithKernelAtIndex(const ZQKernel& kernel,
                                                                            Index index) const;
    // How a grid value and a kernel weight combine; value x weight unless overridden.
    virtual double performKernelOperationOnObjectKernelValue(double value, double weight) const;

protected:
    void assignValues(const ZQMatrixArray& other);
    geodata::NumberList& values() { return m_values; }
    const geodata::NumberList& values() const { return m_values; }

private:
    void readValueData(const QByteArray& bytes, qint64 valueSize);
    void readValueList(const QVariantList& values);
    qint64 checkedLinearIndex(Index index, qint64 limit) const;

    geodata::NumberList m_values;
    quint64 m_rowWidth = 1;
};
