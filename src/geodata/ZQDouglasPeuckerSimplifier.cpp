#include "geodata/ZQDouglasPeuckerSimplifier.h"

#include "geodata/PathVertices.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/PolylineSimplification.h"

#include <QPolygonF>
#include <QtGlobal>
#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::array<double, 5> kDetailLevelTolerances = {0.02, 0.05, 0.2, 0.8, 0.001};

} // namespace

ZQDouglasPeuckerSimplifier::ZQDouglasPeuckerSimplifier()
{
    setSimplification(simplificationForDetailLevel(0));
}

void ZQDouglasPeuckerSimplifier::init()
{
    const qint64 level = platform::UserDefaults::standardUserDefaults()->integerForKey(
        QStringLiteral("kImportOptionSettingSimplifyDetailLevel"));
    setSimplification(simplificationForDetailLevel(level));
}

double ZQDouglasPeuckerSimplifier::simplificationForDetailLevel(qint64 level)
{
    return kDetailLevelTolerances[size_t(qBound<qint64>(0, level, kDetailLevelTolerances.size() - 1))];
}

QPainterPath ZQDouglasPeuckerSimplifier::pathBySimplifyingPath(const QPainterPath& path) const
{
    const double tolerance = simplification();
    if (!(tolerance > 0) || path.isEmpty())
        return path;

    QPainterPath result;
    std::vector<char> marks;
    QPolygonF kept;
    // Runs go in whole through addPolygon, which keeps a segment of no length (a multipoint's
    // point) where lineTo would drop it.
    geodata::forEachVertexRun(path, [&](const std::vector<QPointF>& run) {
        kept.clear();
        if (run.size() <= m_minPathCount || run.size() < 2) {
            kept.append(QPolygonF(QList<QPointF>(run.begin(), run.end())));
        } else {
            marks.assign(run.size(), 0);
            platform::markDouglasPeuckerPoints(run, tolerance, marks);
            for (size_t j = 0; j < run.size(); ++j) {
                if (marks[j])
                    kept.append(run[j]);
            }
        }
        result.addPolygon(kept);
    });
    return result;
}

QString ZQDouglasPeuckerSimplifier::description() const
{
    return QStringLiteral("simplifier <%1> algorithm = Douglas-Peucker, simplification = %2")
        .arg(quintptr(this), 0, 16)
        .arg(simplification(), 0, 'f', 4);
}
