#pragma once

// The numbered map units of older unit pop-ups: each tag stands for a measurement system and
// a measure (unit) of it. The scale bar pane and the calibration sheet number them alike up to
// 9 and differ at 10 (furlongs in the pane, millimetres in the sheet).

#include "mapscale/VXQMeasurement.h"

#include <span>

struct MapUnitTag {
    int tag;
    quint32 system;
    quint32 measure;
};

class MapUnitTags {
public:
    constexpr explicit MapUnitTags(std::span<const MapUnitTag> tags) : m_tags(tags) {}

    // kNoMeasurementSystem for a tag not in the table.
    quint32 measurementSystemForTag(int tag) const;
    // 1 for a tag not in the table.
    quint32 measureForTag(int tag) const;
    // The tag of the measurement's unit; 0 for none. Nautical miles and points have one unit
    // each, so any measure of theirs finds it.
    int mapUnitsTagForMeasurement(const VXQMeasurement& measurement) const;

private:
    const MapUnitTag* entry(int tag) const;

    std::span<const MapUnitTag> m_tags;
};
