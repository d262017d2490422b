#include "geodata/ZQShapefilePathConverter.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"

#include <climits>
#include <cmath>
#include <utility>

namespace {

// The simplifier of that class name; null for a name that is not a simplifier's, since the
// name comes from an editable setting.
std::shared_ptr<ZQShapefileSimplifier> makeSimplifierNamed(const QString& className)
{
    const QMetaObject* meta = platform::ClassRegistry::metaObjectForName(className);
    if (!meta || !meta->inherits(&ZQShapefileSimplifier::staticMetaObject)) {
        ZQLog(QStringLiteral("shapefile: no simplifier class named \"%1\"").arg(className));
        return nullptr;
    }
    auto simplifier = std::dynamic_pointer_cast<ZQShapefileSimplifier>(platform::ClassRegistry::create(className));
    if (simplifier)
        simplifier->init();
    return simplifier;
}

} // namespace

bool ZQShapefilePathConverter::isDrawable(QPointF point)
{
    auto valid = [](double c) { return std::isfinite(c) && std::abs(c) < 1e128; };
    return valid(point.x()) && valid(point.y());
}

void ZQShapefilePathConverter::init()
{
    const platform::UserDefaults& defaults = *platform::UserDefaults::standardUserDefaults();
    if (!defaults.boolForKey(QStringLiteral("kImportOptionSettingSimplifyEnable")))
        return;
    QString className = defaults.stringForKey(QStringLiteral("kImportOptionSettingSimplifyAlgorithmClassname"));
    if (className.isEmpty())
        className = QStringLiteral("ZQDouglasPeuckerSimplifier");
    m_simplifier = makeSimplifierNamed(className);
}

void ZQShapefilePathConverter::beginPath(qsizetype sizeHint)
{
    m_path = QPainterPath();
    m_sizeHint = sizeHint;
    m_run.clear();
    m_hasContent = false;
    m_pointsLeftOut = 0;
}

void ZQShapefilePathConverter::beginSubPathAtPoint(QPointF point)
{
    flushRun();
    if (!isDrawable(point)) {
        ++m_pointsLeftOut;
        return;
    }
    m_run.append(point);
    m_hasContent = true;
}

void ZQShapefilePathConverter::appendPointsCount(const QPointF* points, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        if (isDrawable(points[i]))
            m_run.append(points[i]);
        else
            ++m_pointsLeftOut;
    }
    m_hasContent = m_hasContent || !m_run.isEmpty();
}

void ZQShapefilePathConverter::closeSubPath()
{
    flushRun();
    m_path.closeSubpath();
}

std::optional<QPainterPath> ZQShapefilePathConverter::endPath()
{
    flushRun();
    // Not elementCount(): reserving space already gives the path an implicit move-to.
    if (!m_hasContent)
        return std::nullopt;
    QPainterPath path = std::exchange(m_path, QPainterPath());
    m_hasContent = false;
    return m_simplifier ? m_simplifier->simplifyPath(path) : path;
}

// A sub-path goes into the path in one piece: far cheaper than a lineTo per point.
void ZQShapefilePathConverter::flushRun()
{
    if (m_run.isEmpty())
        return;
    if (m_sizeHint > 0) {
        // Begun at its first point, a path holds exactly what it reserves; begun empty, it sets
        // aside room for sixteen elements, which a map of short lines pays a million times.
        m_path = QPainterPath(m_run.constFirst());
        m_path.reserve(int(std::min<qsizetype>(std::exchange(m_sizeHint, 0), INT_MAX)));
    }
    m_path.addPolygon(m_run);
    m_run.clear();
}
