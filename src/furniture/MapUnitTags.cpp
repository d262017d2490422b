#include "furniture/MapUnitTags.h"

#include <algorithm>

const MapUnitTag* MapUnitTags::entry(int tag) const
{
    const auto found = std::find_if(m_tags.begin(), m_tags.end(), [tag](const MapUnitTag& t) { return t.tag == tag; });
    return found == m_tags.end() ? nullptr : &*found;
}

quint32 MapUnitTags::measurementSystemForTag(int tag) const
{
    const MapUnitTag* found = entry(tag);
    return found ? found->system : kNoMeasurementSystem;
}

quint32 MapUnitTags::measureForTag(int tag) const
{
    const MapUnitTag* found = entry(tag);
    return found ? found->measure : 1;
}

int MapUnitTags::mapUnitsTagForMeasurement(const VXQMeasurement& measurement) const
{
    const quint32 system = measurement.measurementSystem();
    const bool singleUnit = system == kNauticalMilesMeasurementSystem || system == kQuartzMeasurementSystem;
    const auto found = std::find_if(m_tags.begin(), m_tags.end(), [&](const MapUnitTag& t) {
        return t.system == system && (singleUnit || t.measure == measurement.measure());
    });
    return found == m_tags.end() ? 0 : found->tag;
}
