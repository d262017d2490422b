#include "symbols/transformers/VXQBin.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/transformers/BinDataType.h"
#include "symbols/transformers/VXQBinningDataTransformer.h"

#include <cmath>
#include <limits>

namespace {

const QString kStartValueKey = QStringLiteral("VXQBin_startValue");
const QString kContainerKey = QStringLiteral("VXQBin_containerRef");
const QString kRepObjectsKey = QStringLiteral("VXQBin_repObjects");

} // namespace

VXQBin::VXQBin() = default;

VXQBin::~VXQBin() = default;

int VXQBin::dataType() const
{
    return m_containerRef ? m_containerRef->binDataType() : -1;
}

void VXQBin::setStartValue(double value)
{
    if (std::isnan(value) || value == m_startValue)
        return;
    m_startValue = value;
    if (m_containerRef)
        m_containerRef->sortBins();
}

double VXQBin::endValue() const
{
    const VXQBinPtr next = m_containerRef ? m_containerRef->binFollowing(this) : nullptr;
    return next ? next->startValue() : std::numeric_limits<double>::infinity();
}

void VXQBin::setEndValue(double value)
{
    if (const VXQBinPtr next = m_containerRef ? m_containerRef->binFollowing(this) : nullptr)
        next->setStartValue(value);
}

QVariant VXQBin::representedObject() const
{
    const int type = dataType();
    return m_representedObjects.value(bindata::classNameForType(type), bindata::emptyValueForType(type));
}

void VXQBin::setRepresentedObject(const QVariant& object)
{
    const int type = dataType();
    if (const std::optional<QVariant> stored = bindata::objectOfType(object, type))
        m_representedObjects.insert(bindata::classNameForType(type), *stored);
}

QVariant VXQBin::representedObjectValue() const
{
    if (dataType() == bindata::Style)
        return image();
    return representedObject();
}

void VXQBin::setRepresentedObjectValue(const QVariant& value)
{
    if (dataType() != bindata::Style)
        setRepresentedObject(value);
}

QImage VXQBin::image() const
{
    const QVariant object = representedObject();
    if (const auto style = object.value<VXStylePtr>())
        return style->image();
    return object.value<QImage>();
}

int VXQBin::index() const
{
    return m_containerRef ? m_containerRef->indexOfBin(this) + 1 : 0;
}

int VXQBin::compareStartValues(const VXQBin& other) const
{
    if (m_startValue < other.m_startValue)
        return -1;
    return m_startValue > other.m_startValue ? 1 : 0;
}

void VXQBin::setRepObjects(const QVariantMap& objects)
{
    m_representedObjects.clear();
    for (int type = bindata::kFirstType; type <= bindata::kLastType; ++type) {
        const QString className = bindata::classNameForType(type);
        if (!objects.contains(className))
            continue;
        if (const std::optional<QVariant> stored = bindata::objectOfType(objects.value(className), type))
            m_representedObjects.insert(className, *stored);
    }
}

// --- Copying and archiving ---------------------------------------------------------------------------------

std::shared_ptr<ZQObject> VXQBin::copy() const
{
    auto copy = std::make_shared<VXQBin>();
    copy->m_startValue = m_startValue;
    copy->m_representedObjects = m_representedObjects;
    return copy;
}

void VXQBin::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeDouble(m_startValue, kStartValueKey);
    coder.encodeConditionalObject(m_containerRef.data(), kContainerKey);
    // The archiver takes objects as ZQObjectPtr.
    QVariantMap objects = m_representedObjects;
    for (auto entry = objects.begin(); entry != objects.end(); ++entry) {
        if (const auto style = entry->value<VXStylePtr>())
            *entry = QVariant::fromValue(ZQObjectPtr(style));
    }
    coder.encodeObject(QVariant(objects), kRepObjectsKey);
}

void VXQBin::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    // NaN stays: the transformer drops such bins, as they belong nowhere in the order.
    m_startValue = coder.decodeDouble(kStartValueKey);
    m_containerRef = reader.object<VXQBinningDataTransformer>(kContainerKey).get();
    setRepObjects(reader.dictionary(kRepObjectsKey));
}
