#include "platform/measurement/ZQMeasurementScaler.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QLocale>

namespace {

const QString kReferenceKey = QStringLiteral("ZQMScaler_reference");
const QString kRepresentativeKey = QStringLiteral("ZQMScaler_representative");

QString measurementDescription(const ZQMeasurement& measurement)
{
    return QLocale().toString(measurement.value(), 'g', 6) + ' ' + measurement.unit()->symbol();
}

} // namespace

ZQMeasurementScaler::ZQMeasurementScaler()
    : m_reference(ZQMeasurement::make(4.0, ZQUnitLength::centimeters()))
    , m_representative(ZQMeasurement::make(1.0, ZQUnitLength::kilometers()))
{
}

ZQMeasurementScalerPtr ZQMeasurementScaler::make(ZQMeasurementPtr reference, ZQMeasurementPtr representative)
{
    ZQ_ASSERT(reference && representative, QStringLiteral("invalid measurements (nil)"));
    auto scaler = std::make_shared<ZQMeasurementScaler>();
    scaler->m_reference = std::move(reference);
    scaler->m_representative = std::move(representative);
    return scaler;
}

ZQMeasurementScalerPtr ZQMeasurementScaler::fourCentimetersToOneKilometer()
{
    return std::make_shared<ZQMeasurementScaler>();
}

double ZQMeasurementScaler::ratio() const
{
    return m_representative->lengthInPoints() / m_reference->lengthInPoints();
}

ZQMeasurementPtr ZQMeasurementScaler::measurementWithRepresentativeScale(const ZQMeasurement& mapMeasurement) const
{
    const ZQUnitLengthPtr& unit = m_representative->unit();
    return ZQMeasurement::make(mapMeasurement.lengthInPoints() * ratio() / unit->conversionFactorForPoints(), unit);
}

ZQMeasurementPtr ZQMeasurementScaler::measurementFromRepresentativeScale(const ZQMeasurement& groundMeasurement) const
{
    const ZQUnitLengthPtr& unit = m_reference->unit();
    return ZQMeasurement::make(groundMeasurement.lengthInPoints() / ratio() / unit->conversionFactorForPoints(), unit);
}

QString ZQMeasurementScaler::scaleDescription() const
{
    return measurementDescription(*m_reference) + QStringLiteral(" = ") + measurementDescription(*m_representative);
}

bool ZQMeasurementScaler::isEqualToScaler(const ZQMeasurementScaler* other) const
{
    return other
        && (other == this
            || (other->m_reference->isEqualToMeasurement(m_reference.get())
                && other->m_representative->isEqualToMeasurement(m_representative.get())));
}

std::shared_ptr<ZQObject> ZQMeasurementScaler::copy() const
{
    return make(m_reference, m_representative);
}

void ZQMeasurementScaler::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeObject(m_reference.get(), kReferenceKey);
    coder.encodeObject(m_representative.get(), kRepresentativeKey);
}

void ZQMeasurementScaler::initWithCoder(platform::KeyedUnarchiver& coder)
{
    if (auto reference = coder.decodeObjectOfClass<ZQMeasurement>(kReferenceKey))
        m_reference = std::move(reference);
    else
        ZQLogObjCMethod(QStringLiteral("missing reference measurement, using 4 cm"));
    if (auto representative = coder.decodeObjectOfClass<ZQMeasurement>(kRepresentativeKey))
        m_representative = std::move(representative);
    else
        ZQLogObjCMethod(QStringLiteral("missing representative measurement, using 1 km"));
}
