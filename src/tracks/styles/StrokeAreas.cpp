#include "tracks/styles/StrokeAreas.h"

#include "platform/graphics/GraphicsContext.h"

#include <QPainter>

void StrokeAreas::add(const StrokeArea& area)
{
    if (area.area.isEmpty())
        return;
    for (StrokeArea& known : m_areas) {
        if (known.stroke == area.stroke) {
            known.area.addPath(area.area);
            known.flat = {known.flat.first || area.flat.first, known.flat.last || area.flat.last};
            return;
        }
    }
    m_areas.append(area);
    m_areas.last().area.setFillRule(Qt::WindingFill);
}

void StrokeAreas::add(const StrokeAreas& areas, platform::FlatEnds flat)
{
    for (StrokeArea area : areas.m_areas) {
        area.flat = {area.flat.first || flat.first, area.flat.last || flat.last};
        add(area);
    }
}

const StrokeArea* StrokeAreas::areaOfStroke(int stroke) const
{
    for (const StrokeArea& area : m_areas)
        if (area.stroke == stroke)
            return &area;
    return nullptr;
}

void StrokeAreas::fillSeparately(bool casing) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    for (const StrokeArea& area : m_areas)
        if (area.casing == casing)
            context->painter()->fillPath(area.area, area.colour);
}
