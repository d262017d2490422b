#pragma once

// Builds the path of one shapefile record from the geometry the reader feeds it, and
// simplifies it when a simplifier is set. Points that a path cannot hold (not finite, or
// astronomically large) are left out.

#include "geodata/ZQShapefileSimplifier.h"

#include <QPainterPath>
#include <QPolygonF>
#include <memory>
#include <optional>

class ZQShapefilePathConverter {
public:
    virtual ~ZQShapefilePathConverter() = default;

    // Sets up the simplifier the import options ask for: when "kImportOptionSettingSimplifyEnable"
    // is on, an instance of the ZQShapefileSimplifier subclass named by
    // "kImportOptionSettingSimplifyAlgorithmClassname" ("ZQDouglasPeuckerSimplifier" when
    // absent), set up by its init. A name of any other class gives no simplifier.
    void init();
    // Whether a path can hold the point: finite coordinates within the range it draws.
    static bool isDrawable(QPointF point);

    // Starts a new, empty path; `sizeHint` is the number of points to come, when known.
    virtual void beginPath(qsizetype sizeHint = 0);
    virtual void beginSubPathAtPoint(QPointF point);
    // A straight segment to each point in order; without an open sub-path the first point begins one.
    virtual void appendPointsCount(const QPointF* points, qsizetype count);
    virtual void closeSubPath();
    // The finished path (simplified when a simplifier is set), or nullopt when it has no
    // element at all; a point record's path is a single move-to.
    virtual std::optional<QPainterPath> endPath();

    // The points the path begun last could not hold and left out.
    qsizetype pointsLeftOut() const { return m_pointsLeftOut; }

    const std::shared_ptr<ZQShapefileSimplifier>& simplifier() const { return m_simplifier; }
    void setSimplifier(std::shared_ptr<ZQShapefileSimplifier> simplifier) { m_simplifier = std::move(simplifier); }

private:
    void flushRun();

    QPainterPath m_path;
    QPolygonF m_run; // the open sub-path, reused from record to record
    qsizetype m_sizeHint = 0; // reserved when the first sub-path begins the path
    bool m_hasContent = false; // a sub-path has begun
    qsizetype m_pointsLeftOut = 0;
    std::shared_ptr<ZQShapefileSimplifier> m_simplifier;
};
