#include "geodata/ZQMatrixArray.h"

#include "geodata/NumberText.h"
#include "geodata/ZQKernel.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QtEndian>
#include <algorithm>

namespace {

const QString kValueListKey = QStringLiteral("ZQMatrixArray_objects");
const QString kValueDataKey = QStringLiteral("ZQMatrixArray_valueData");
const QString kValueSizeKey = QStringLiteral("ZQMatrixArray_valueSize");
const QString kRowWidthKey = QStringLiteral("ZQMatrixArray_rowWidth");

// A function object rather than a function, so that the searches below inline it.
constexpr auto isLineEnd = [](char c) {
    return c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == char(0x85);
};

// Calls visit(linear grid index, kernel weight) for each kernel cell that lands inside the
// grid when the kernel is centred on `at`.
template <class Visit>
void forEachLandingCell(const ZQMatrixArray& grid, const geodata::NumberList& weights, qint64 kernelSize,
                        ZQMatrixArray::Index at, Visit&& visit)
{
    const qint64 rows = qint64(grid.rows()), columns = qint64(grid.columns()), count = qint64(grid.count());
    const qint64 width = qint64(grid.rowWidth());
    // Far-away centres (including not-found) land nowhere; checking first keeps the sums below from overflowing.
    if (at.x < -kernelSize || at.x > columns + kernelSize || at.y < -kernelSize || at.y > rows + kernelSize)
        return;
    const qint64 half = kernelSize / 2;
    for (qint64 i = 0; i * kernelSize < weights.size(); ++i) {
        const qint64 y = at.y - half + i;
        if (y < 0 || y >= rows)
            continue;
        for (qint64 j = 0; j < kernelSize && i * kernelSize + j < weights.size(); ++j) {
            const qint64 x = at.x - half + j;
            if (x >= 0 && x < columns && y * width + x < count)
                visit(y * width + x, weights.at(i * kernelSize + j));
        }
    }
}

} // namespace

void ZQMatrixArray::initWithRowWidth(quint64 rowWidth)
{
    setRowWidth(rowWidth);
}

std::shared_ptr<ZQMatrixArray> ZQMatrixArray::makeWithRowWidth(quint64 rowWidth)
{
    auto grid = std::make_shared<ZQMatrixArray>();
    grid->initWithRowWidth(rowWidth);
    return grid;
}

void ZQMatrixArray::setRowWidth(quint64 rowWidth)
{
    if (rowWidth == 0) {
        ZQLogObjCMethod(QStringLiteral("a row width of 0 was refused; the width stays %1").arg(m_rowWidth));
        return;
    }
    m_rowWidth = rowWidth;
}

quint64 ZQMatrixArray::rows() const
{
    return count() == 0 ? 0 : (count() - 1) / m_rowWidth + 1;
}

quint64 ZQMatrixArray::columns() const
{
    return std::min(count(), m_rowWidth);
}

qint64 ZQMatrixArray::checkedLinearIndex(Index index, qint64 limit) const
{
    const qint64 linear = linearIndexForIndex(index);
    ZQ_ASSERT(index.x >= 0 && index.y >= 0 && quint64(index.x) < m_rowWidth && linear != kNotFound
                  && linear <= limit,
              QStringLiteral("index {%1, %2} is outside the grid").arg(index.x).arg(index.y));
    return linear;
}

double ZQMatrixArray::objectAtRowColumn(quint64 row, quint64 column) const
{
    return objectAtIndex({qint64(column), qint64(row)});
}

double ZQMatrixArray::objectAtIndex(Index index) const
{
    return m_values.at(checkedLinearIndex(index, m_values.size() - 1));
}

void ZQMatrixArray::copyRowFromColumn(quint64 row, quint64 column, std::span<double> out) const
{
    if (out.empty())
        return;
    const qint64 first = checkedLinearIndex({qint64(column), qint64(row)}, m_values.size() - 1);
    checkedLinearIndex({qint64(column + out.size() - 1), qint64(row)}, m_values.size() - 1);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = m_values.at(first + qsizetype(i));
}

void ZQMatrixArray::insertObjectAtRowColumn(double value, quint64 row, quint64 column)
{
    insertObjectAtIndex(value, {qint64(column), qint64(row)});
}

void ZQMatrixArray::insertObjectAtIndex(double value, Index index)
{
    m_values.insert(checkedLinearIndex(index, m_values.size()), value);
}

void ZQMatrixArray::replaceObjectAtIndexWithObject(Index index, double value)
{
    m_values.set(checkedLinearIndex(index, m_values.size() - 1), value);
}

ZQMatrixArray::Index ZQMatrixArray::addObject(double value)
{
    m_values.append(value);
    return indexForLinearIndex(m_values.size() - 1);
}

ZQMatrixArray::Index ZQMatrixArray::indexOfObject(double value) const
{
    const qsizetype at = m_values.indexOf(value);
    return at < 0 ? kNotFoundIndex : indexForLinearIndex(at);
}

void ZQMatrixArray::removeObject(double value)
{
    m_values.removeAll(value);
}

void ZQMatrixArray::removeObjectAtIndex(Index index)
{
    m_values.removeAt(checkedLinearIndex(index, m_values.size() - 1));
}

void ZQMatrixArray::removeAllObjects()
{
    m_values.clear();
}

QList<double> ZQMatrixArray::objects() const
{
    QList<double> list;
    list.reserve(m_values.size());
    for (qsizetype i = 0; i < m_values.size(); ++i)
        list.append(m_values.at(i));
    return list;
}

void ZQMatrixArray::setObjectsFromArray(const QList<double>& values)
{
    m_values.clear();
    m_values.reserve(values.size());
    for (double value : values)
        m_values.append(value);
}

qint64 ZQMatrixArray::linearIndexForIndex(Index index) const
{
    if (index.x == kNotFound || index.y == kNotFound)
        return kNotFound;
    return index.y * qint64(m_rowWidth) + index.x;
}

ZQMatrixArray::Index ZQMatrixArray::indexForLinearIndex(qint64 linearIndex) const
{
    if (linearIndex == kNotFound)
        return kNotFoundIndex;
    return {linearIndex % qint64(m_rowWidth), linearIndex / qint64(m_rowWidth)};
}

std::shared_ptr<ZQObject> ZQMatrixArray::copy() const
{
    auto grid = std::make_shared<ZQMatrixArray>();
    grid->assignValues(*this);
    return grid;
}

void ZQMatrixArray::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    ZQObject::encodeWithCoder(coder);
    // One data entry, not an archive entry per value: readers refuse archives of more than
    // 2^24 entries, and a noisy grid shares few values.
    const bool singles = m_values.isSinglePrecision();
    const qsizetype valueSize = singles ? 4 : 8;
    QByteArray bytes(m_values.size() * valueSize, Qt::Uninitialized);
    char* out = bytes.data();
    for (qsizetype i = 0; i < m_values.size(); ++i, out += valueSize) {
        if (singles)
            qToLittleEndian(float(m_values.at(i)), out);
        else
            qToLittleEndian(m_values.at(i), out);
    }
    coder.encodeData(bytes, kValueDataKey);
    coder.encodeInt(valueSize, kValueSizeKey);
    coder.encodeInt(qint64(m_rowWidth), kRowWidthKey);
}

// Archives come from files: a value that is not a number, or a width below 1, is damage.
void ZQMatrixArray::initWithCoder(platform::KeyedUnarchiver& coder)
{
    ZQObject::initWithCoder(coder);
    const qint64 rowWidth = coder.decodeInt(kRowWidthKey);
    ZQ_ASSERT(rowWidth > 0, QStringLiteral("a height grid with a row width of %1").arg(rowWidth));
    m_rowWidth = quint64(rowWidth);
    m_values.clear();
    if (coder.containsValueForKey(kValueDataKey))
        readValueData(coder.decodeData(kValueDataKey), coder.decodeInt(kValueSizeKey));
    else
        readValueList(coder.decodeValue(kValueListKey).toList());
}

void ZQMatrixArray::readValueData(const QByteArray& bytes, qint64 valueSize)
{
    ZQ_ASSERT((valueSize == 4 || valueSize == 8) && bytes.size() % valueSize == 0,
              QStringLiteral("height grid data of %1 bytes in values of %2 bytes").arg(bytes.size()).arg(valueSize));
    m_values.reserve(bytes.size() / valueSize);
    for (const char* in = bytes.constData(); in < bytes.constData() + bytes.size(); in += valueSize)
        m_values.append(valueSize == 4 ? double(qFromLittleEndian<float>(in)) : qFromLittleEndian<double>(in));
}

// Grids archived before they were written as data list one number per value.
void ZQMatrixArray::readValueList(const QVariantList& values)
{
    m_values.reserve(values.size());
    for (const QVariant& value : values) {
        bool isNumber = false;
        const double number = value.toDouble(&isNumber);
        ZQ_ASSERT(isNumber && value.typeId() != QMetaType::QString, QStringLiteral("a height grid value is not a number"));
        m_values.append(number);
    }
}

void ZQMatrixArray::assignValues(const ZQMatrixArray& other)
{
    m_values = other.m_values;
    m_rowWidth = other.m_rowWidth;
}

std::optional<QString> ZQMatrixArray::dataAsTabDelimitedString() const
{
    const std::optional<QByteArray> data = tabDelimitedData();
    return data ? std::optional(QString::fromLatin1(*data)) : std::nullopt;
}

std::optional<QByteArray> ZQMatrixArray::tabDelimitedData() const
{
    if (count() % m_rowWidth != 0) {
        ZQLogObjCMethod(QStringLiteral("a grid of %1 values in rows of %2 has a short last row and cannot be written")
                            .arg(count())
                            .arg(m_rowWidth));
        return std::nullopt;
    }
    QByteArray text;
    text.reserve(m_values.size() * 6);
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        geodata::appendNumber(text, m_values.at(i));
        text.append('\t');
        if (quint64(i + 1) % m_rowWidth == 0)
            text.append('\n');
    }
    return text;
}

std::shared_ptr<ZQMatrixArray> ZQMatrixArray::matrixArrayWithTabDelimitedString(const QString& text, QString* error)
{
    QString lines = text;
    lines.replace(QChar(0x2028), u'\n').replace(QChar(0x2029), u'\n');
    return matrixArrayWithTabDelimitedData(lines.toLatin1(), error);
}

// Every newline character ends a line and empty lines count for nothing, so CR LF pairs and
// blank lines read like plain line feeds. A tab at the end of a line ends its last value.
std::shared_ptr<ZQMatrixArray> ZQMatrixArray::matrixArrayWithTabDelimitedData(QByteArrayView text, QString* error,
                                                                               const TextLimits& limits)
{
    std::shared_ptr<ZQMatrixArray> grid;
    const char* const end = text.data() + text.size();
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return nullptr;
    };
    quint64 rowsRead = 0;
    for (const char* line = text.data(); line < end;) {
        const char* lineEnd = std::find_if(line, end, isLineEnd);
        quint64 values = 0;
        for (const char* field = line; field < lineEnd;) {
            const char* tab = std::find(field, lineEnd, '\t');
            const QByteArrayView number(field, tab);
            const geodata::LeadingNumber reading = geodata::readLeadingNumber(number);
            if (limits.refusesNonFiniteNumbers && (reading.kind == geodata::LeadingNumber::NotFinite
                                                   || reading.kind == geodata::LeadingNumber::BeyondRange)) {
                const QByteArrayView shown = number.trimmed();
                return fail(QStringLiteral("“%1” in row %2 %3")
                                .arg(QString::fromLatin1(shown.first(std::min<qsizetype>(shown.size(), 40))))
                                .arg(rowsRead + 1)
                                .arg(reading.kind == geodata::LeadingNumber::NotFinite
                                         ? QStringLiteral("is not a finite number")
                                         : QStringLiteral("is a number out of range")));
            }
            if (!grid)
                grid = std::make_shared<ZQMatrixArray>();
            if (grid->count() >= limits.maximumCount)
                return fail(QStringLiteral("more than %1 values").arg(limits.maximumCount));
            grid->m_values.append(reading.value);
            ++values;
            field = tab + 1;
        }
        if (values > 0) {
            ++rowsRead;
            if (grid->count() == values) {
                grid->m_rowWidth = values;
                // Room for as many rows as lines like the first would fill the text; each
                // value takes at least one byte of text, which bounds the reservation.
                const qsizetype rows = text.size() / (lineEnd - text.data() + 1) + 1;
                const auto most = qsizetype(std::min<quint64>(limits.maximumCount, quint64(text.size())));
                grid->m_values.reserve(std::min<qsizetype>(qsizetype(values) * rows, most));
            } else if (values != grid->m_rowWidth) {
                return fail(QStringLiteral("number of items in each row differs - irregular matrix is not supported"));
            }
        }
        line = lineEnd + 1;
    }
    return grid;
}

double ZQMatrixArray::bilinearValueAt(double x, double y) const
{
    const auto cornerAndShare = [](double at, quint64 extent) -> std::pair<qint64, double> {
        if (extent < 2)
            return {0, 0.0};
        const double clamped = std::clamp(at, 0.0, double(extent - 1));
        const qint64 corner = std::min(qint64(clamped), qint64(extent) - 2);
        return {corner, clamped - double(corner)};
    };
    const auto [x0, tx] = cornerAndShare(x, columns());
    const auto [y0, ty] = cornerAndShare(y, rows());
    const qint64 x1 = columns() < 2 ? x0 : x0 + 1, y1 = rows() < 2 ? y0 : y0 + 1;
    const double top = objectAtIndex({x0, y0}) * (1 - tx) + objectAtIndex({x1, y0}) * tx;
    const double bottom = objectAtIndex({x0, y1}) * (1 - tx) + objectAtIndex({x1, y1}) * tx;
    return top * (1 - ty) + bottom * ty;
}

std::shared_ptr<ZQMatrixArray> ZQMatrixArray::resampledMatrixWithRowsColumnsInterpolationDelegate(
    quint64 rows, quint64 columns, const InterpolationDelegate& interpolationDelegate) const
{
    auto result = std::static_pointer_cast<ZQMatrixArray>(copy());
    result->m_values.clear();
    if (rows == 0 || columns == 0 || count() == 0 || count() % m_rowWidth != 0)
        return result;
    result->m_rowWidth = columns;
    result->m_values.reserve(qsizetype(rows * columns));
    // Corner on corner: a single row or column of the result samples the first one.
    const auto step = [](quint64 from, quint64 to) { return to > 1 ? double(from - 1) / double(to - 1) : 0.0; };
    const double dx = step(this->columns(), columns), dy = step(this->rows(), rows);
    for (quint64 r = 0; r < rows; ++r) {
        for (quint64 c = 0; c < columns; ++c) {
            const double x = double(c) * dx, y = double(r) * dy;
            result->m_values.append(interpolationDelegate ? interpolationDelegate(*this, x, y) : bilinearValueAt(x, y));
        }
    }
    return result;
}

void ZQMatrixArray::offsetInPlaceWithKernelAtIndex(const ZQKernel& kernel, Index index)
{
    offsetInPlaceWithKernelAtIndexWithSign(kernel, index, false);
}

void ZQMatrixArray::offsetInPlaceWithKernelAtIndexWithSign(const ZQKernel& kernel, Index index, bool subtract)
{
    const double sign = subtract ? -1.0 : 1.0;
    forEachLandingCell(*this, kernel.values(), qint64(kernel.kernelSize()), index, [&](qint64 at, double weight) {
        m_values.set(at, float(m_values.at(at) + sign * weight));
    });
}

void ZQMatrixArray::convolveInPlaceWithKernelAtIndex(const ZQKernel& kernel, Index index)
{
    const qint64 target = checkedLinearIndex(index, m_values.size() - 1);
    double sum = 0;
    forEachLandingCell(*this, kernel.values(), qint64(kernel.kernelSize()), index,
                       [&](qint64 at, double weight) { sum += weight * m_values.at(at); });
    m_values.set(target, float(sum));
}

std::shared_ptr<ZQMatrixArray> ZQMatrixArray::matrixArrayByConvolvingWithKernelAtIndex(const ZQKernel& kernel,
                                                                                       Index index) const
{
    const qint64 target = checkedLinearIndex(index, m_values.size() - 1);
    auto result = std::static_pointer_cast<ZQMatrixArray>(copy());
    for (qsizetype i = 0; i < m_values.size(); ++i)
        result->m_values.set(i, performKernelOperationOnObjectKernelValue(m_values.at(i), 1.0));
    double sum = 0;
    forEachLandingCell(*this, kernel.values(), qint64(kernel.kernelSize()), index, [&](qint64 at, double weight) {
        sum += performKernelOperationOnObjectKernelValue(m_values.at(at), weight);
    });
    result->m_values.set(target, sum);
    return result;
}

double ZQMatrixArray::performKernelOperationOnObjectKernelValue(double value, double weight) const
{
    return value * weight;
}
