#include "platform/measurement/ZQMeasurement.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <cmath>

namespace {
const QString kValueKey = QStringLiteral("ZQMeasurement_value");
const QString kUnitKey = QStringLiteral("ZQMeasurement_unit");
} // namespace

ZQMeasurement::ZQMeasurement()
    : m_unit(ZQUnitLength::points())
{
}

ZQMeasurementPtr ZQMeasurement::make(double value, ZQUnitLengthPtr unit)
{
    ZQ_ASSERT(unit, QStringLiteral("invalid unit (nil)"));
    auto measurement = std::make_shared<ZQMeasurement>();
    measurement->m_value = value;
    measurement->m_unit = std::move(unit);
    return measurement;
}

ZQMeasurementPtr ZQMeasurement::measurementByConvertingToUnit(const ZQUnitLengthPtr& unit) const
{
    ZQ_ASSERT(unit, QStringLiteral("invalid unit (nil)"));
    if (unit->isEqualToUnit(m_unit.get()))
        return make(m_value, m_unit);
    return make(lengthInPoints() / unit->conversionFactorForPoints(), unit);
}

bool ZQMeasurement::isEqualToMeasurement(const ZQMeasurement* other) const
{
    return other && (other == this || (other->m_value == m_value && other->m_unit->isEqualToUnit(m_unit.get())));
}

std::shared_ptr<ZQObject> ZQMeasurement::copy() const
{
    return make(m_value, m_unit);
}

void ZQMeasurement::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeDouble(m_value, kValueKey);
    coder.encodeObject(m_unit.get(), kUnitKey);
}

void ZQMeasurement::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const double value = coder.decodeDouble(kValueKey);
    if (std::isfinite(value))
        m_value = value;
    else
        ZQLogObjCMethod(QStringLiteral("non-finite measurement value, using 0"));

    if (auto unit = coder.decodeObjectOfClass<ZQUnitLength>(kUnitKey))
        m_unit = std::move(unit);
    else
        ZQLogObjCMethod(QStringLiteral("missing unit of length, using points"));
}
