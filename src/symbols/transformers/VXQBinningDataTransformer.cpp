#include "symbols/transformers/VXQBinningDataTransformer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "symbols/transformers/BinDataType.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString kBinDataTypeKey = QStringLiteral("VXQBinningTransformer_binDataType");
const QString kBinsKey = QStringLiteral("VXQBinningDataTransformer_bins");
const QString kBinningEnabledKey = QStringLiteral("VXQBinningDataTransformer_binningEnabled");

constexpr double kNegativeInfinity = -std::numeric_limits<double>::infinity();

QString describe(const QVariant& value)
{
    if (const ZQObject* object = platform::objectFromVariant(value))
        return object->description();
    return value.toString().isEmpty() ? QString::fromLatin1(value.typeName()) : value.toString();
}

// Key-value validation of the last key of a dotted path, by the object the path leads to; a
// path through a null link passes, as setting through one does nothing.
bool validateValueForKeyPath(const ZQObject& target, QVariant& value, const QString& keyPath, QuorvaneError* error)
{
    const qsizetype dot = keyPath.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return target.validateValueForKeyError(value, keyPath, error);
    const ZQObject* last = platform::objectFromVariant(target.valueForKeyPath(keyPath.left(dot)));
    return !last || last->validateValueForKeyError(value, keyPath.mid(dot + 1), error);
}

} // namespace

VXQBinningDataTransformer::VXQBinningDataTransformer() = default;

VXQBinningDataTransformer::~VXQBinningDataTransformer() = default;

std::shared_ptr<VXQBinningDataTransformer> VXQBinningDataTransformer::dataTransformerWithFormula(const QString& formula)
{
    auto transformer = std::make_shared<VXQBinningDataTransformer>();
    transformer->initWithFormula(formula);
    return transformer;
}

void VXQBinningDataTransformer::initWithFormula(const QString& formula)
{
    m_binDataType = bindata::Style;
    addBinForStartValue(kNegativeInfinity);
    VXQNumericDataTransformer::initWithFormula(formula);
}

QMetaType VXQBinningDataTransformer::classForDataType(int type)
{
    return bindata::metaTypeForType(type);
}

void VXQBinningDataTransformer::setBinDataType(int type)
{
    if (!bindata::isValidType(type) || type == m_binDataType)
        return;
    m_binDataType = type;
    for (const VXQBinPtr& bin : std::as_const(m_bins))
        bin->dataTypeDidChange();
}

// --- Bins --------------------------------------------------------------------------------------------------

VXQBinPtr VXQBinningDataTransformer::binForValue(double value) const
{
    VXQBinPtr found = m_bins.value(0);
    for (const VXQBinPtr& bin : m_bins) {
        if (bin->startValue() > value)
            break;
        found = bin;
    }
    return found;
}

void VXQBinningDataTransformer::adoptBin(const VXQBinPtr& bin)
{
    bin->setContainer(this);
    m_bins.append(bin);
}

void VXQBinningDataTransformer::addBin(const VXQBinPtr& bin)
{
    if (!bin || std::isnan(bin->startValue()) || m_bins.contains(bin))
        return;
    adoptBin(bin);
    sortBins();
}

VXQBinPtr VXQBinningDataTransformer::addBinForStartValue(double value)
{
    auto bin = std::make_shared<VXQBin>();
    bin->setStartValue(value);
    addBin(bin);
    return bin;
}

void VXQBinningDataTransformer::addNumberOfBinsStartingAtValueEndingAtValue(int count, double first, double last)
{
    if (count <= 0 || !std::isfinite(first) || !std::isfinite(last))
        return;
    const double step = (last - first) / count;
    for (int i = 0; i < count; ++i)
        addBinForStartValue(first + i * step);
}

void VXQBinningDataTransformer::removeAllBins()
{
    for (const VXQBinPtr& bin : std::as_const(m_bins))
        bin->setContainer(nullptr);
    m_bins.clear();
}

void VXQBinningDataTransformer::removeBin(const VXQBinPtr& bin)
{
    if (m_bins.removeOne(bin))
        bin->setContainer(nullptr);
}

void VXQBinningDataTransformer::setBins(const QList<VXQBinPtr>& bins)
{
    removeAllBins();
    for (const VXQBinPtr& bin : bins) {
        if (bin && !std::isnan(bin->startValue()) && !m_bins.contains(bin))
            adoptBin(bin);
    }
    sortBins();
}

VXQBinPtr VXQBinningDataTransformer::binFollowing(const VXQBin* bin) const
{
    const int index = indexOfBin(bin);
    return index >= 0 ? m_bins.value(index + 1) : nullptr;
}

int VXQBinningDataTransformer::indexOfBin(const VXQBin* bin) const
{
    const auto found = std::find_if(m_bins.cbegin(), m_bins.cend(), [bin](const VXQBinPtr& b) { return b.get() == bin; });
    return found == m_bins.cend() ? -1 : int(found - m_bins.cbegin());
}

void VXQBinningDataTransformer::sortBins()
{
    // Stable: bins sharing a start keep their order, so the later one stays the one found.
    std::stable_sort(m_bins.begin(), m_bins.end(),
                     [](const VXQBinPtr& a, const VXQBinPtr& b) { return a->compareStartValues(*b) < 0; });
}

// --- Output ------------------------------------------------------------------------------------------------

void VXQBinningDataTransformer::sendOutputToTarget(double value, ZQObject* target)
{
    const VXQBinPtr bin = m_binningEnabled ? binForValue(value) : nullptr;
    const QVariant stored = bin ? bin->repObjects().value(bindata::classNameForType(m_binDataType)) : QVariant();
    if (!stored.isValid() || !target || outputPropertyKey().isEmpty()) {
        VXQNumericDataTransformer::sendOutputToTarget(value, target);
        return;
    }
    QVariant output = stored;
    QuorvaneError error;
    if (!validateValueForKeyPath(*target, output, outputPropertyKey(), &error)) {
        ZQLogObjCMethod(QStringLiteral("couldn't set output - type mismatch (keypath '%1', output object = %2) Error = %3")
                            .arg(outputPropertyKey(), describe(stored),
                                 QStringLiteral("%1 %2: %3").arg(error.domain()).arg(error.code()).arg(error.localizedDescription())));
        return;
    }
    // Key-value coding takes objects as ZQObjectPtr; validation may answer a style pointer.
    if (QMetaType::hasRegisteredConverterFunction(output.metaType(), QMetaType::fromType<ZQObjectPtr>()))
        output = QVariant::fromValue(output.value<ZQObjectPtr>());
    target->setValueForKeyPath(output, outputPropertyKey());
}

// --- Copying and archiving ---------------------------------------------------------------------------------

std::shared_ptr<ZQObject> VXQBinningDataTransformer::copy() const
{
    auto copy = std::make_shared<VXQBinningDataTransformer>();
    copyInto(*copy);
    return copy;
}

void VXQBinningDataTransformer::copyInto(VXQDataTransformer& copy) const
{
    VXQNumericDataTransformer::copyInto(copy);
    auto& binning = static_cast<VXQBinningDataTransformer&>(copy);
    binning.m_binDataType = m_binDataType;
    binning.m_binningEnabled = m_binningEnabled;
    QList<VXQBinPtr> bins;
    for (const VXQBinPtr& bin : m_bins)
        bins.append(std::static_pointer_cast<VXQBin>(bin->copy()));
    binning.setBins(bins);
}

void VXQBinningDataTransformer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXQNumericDataTransformer::encodeWithCoder(coder);
    coder.encodeInt(m_binDataType, kBinDataTypeKey);
    QVariantList bins;
    for (const VXQBinPtr& bin : m_bins)
        bins.append(QVariant::fromValue(ZQObjectPtr(bin)));
    coder.encodeObject(QVariant(bins), kBinsKey);
    coder.encodeBool(m_binningEnabled, kBinningEnabledKey);
}

void VXQBinningDataTransformer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXQNumericDataTransformer::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_binDataType = int(reader.integer(kBinDataTypeKey, bindata::Style, bindata::kFirstType, bindata::kLastType));
    setBins(reader.objects<VXQBin>(kBinsKey));
    if (m_bins.isEmpty())
        addBinForStartValue(kNegativeInfinity);
    m_binningEnabled = reader.boolean(kBinningEnabledKey, false);
}
