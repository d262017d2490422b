#pragma once

// Douglas-Peucker simplification, run by run: each sub-path is reduced to the vertices
// that lie further than the tolerance from the chords of the kept ones. Curves count only
// by their end points, so the result holds straight segments only.

#include "geodata/ZQShapefileSimplifier.h"

class ZQDouglasPeuckerSimplifier : public ZQShapefileSimplifier {
    Q_OBJECT

public:
    // The tolerance of level 0.
    ZQDouglasPeuckerSimplifier();
    // Takes the tolerance of the detail level the import options store in the user
    // default "kImportOptionSettingSimplifyDetailLevel" (level 0 when it is absent).
    void init() override;

    // Tolerances of the detail levels 0 to 4 in the units of the path (4 is the finest).
    // Levels outside that range come from an editable setting and are clamped to it.
    static double simplificationForDetailLevel(qint64 level);

    // A run is simplified only when it has more points than this (1: at least two points).
    quint64 minPathCount() const { return m_minPathCount; }
    void setMinPathCount(quint64 count) { m_minPathCount = count; }

    // A new path, or the path itself when the tolerance is not above 0 or the path is empty.
    QPainterPath pathBySimplifyingPath(const QPainterPath& path) const override;

    QString description() const override;

private:
    quint64 m_minPathCount = 1;
};
