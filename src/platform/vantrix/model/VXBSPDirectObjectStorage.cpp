#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"

#include "platform/foundation/GradualRelease.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

constexpr int kMinimumDepth = 2;
constexpr int kMaximumDepth = 16;    // 256 x 256 cells on the finest grid
constexpr int kObjectsPerLeaf = 8;   // the count the depth aims at
// Half a cell, and a hair more so that rounding never hides an object whose size is a cell's.
constexpr double kQueryReach = 0.5 + 1e-7;
const QRectF kDefaultArea(0, 0, 1000, 1000);
std::atomic<quint64> s_nextIdentity{1};

bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
           && std::isfinite(rect.height());
}

int clampedCell(double offset, double cellSize, int cells)
{
    const double cell = std::floor(offset / cellSize);
    return int(std::clamp(cell, 0.0, double(cells - 1)));
}

} // namespace

VXBSPDirectObjectStorage::VXBSPDirectObjectStorage()
{
    rebuild(kMinimumDepth, kDefaultArea);
}

VXBSPDirectObjectStorage::~VXBSPDirectObjectStorage()
{
    // A closed map's index files hundreds of thousands of objects.
    platform::GradualRelease::releaseLater(std::move(m_cells));
}

void VXBSPDirectObjectStorage::setIndexBounds(const QRectF& bounds)
{
    if (!isFinite(bounds) || bounds.isEmpty() || (m_areaIsExplicit && bounds == m_area))
        return;
    m_areaIsExplicit = true;
    rebuild(m_depth, bounds);
}

int VXBSPDirectObjectStorage::depthForCount(int count) const
{
    const double leaves = std::max(1.0, double(count) / kObjectsPerLeaf);
    return std::clamp(int(std::ceil(std::log2(leaves))), kMinimumDepth, kMaximumDepth);
}

size_t VXBSPDirectObjectStorage::gridOf(const QRectF& bounds) const
{
    if (!isFinite(bounds))
        return gridIndex(0, 0); // the one cell every query visits
    int columnLevel = m_columnLevels;
    while (columnLevel > 0 && m_grids[gridIndex(columnLevel, 0)].cellWidth < bounds.width())
        --columnLevel;
    int rowLevel = m_rowLevels;
    while (rowLevel > 0 && m_grids[gridIndex(0, rowLevel)].cellHeight < bounds.height())
        --rowLevel;
    return gridIndex(columnLevel, rowLevel);
}

VXBSPDirectObjectStorage::Place VXBSPDirectObjectStorage::placeOf(const QRectF& bounds) const
{
    const size_t gridNumber = gridOf(bounds);
    const Grid& grid = m_grids[gridNumber];
    const QPointF centre = isFinite(bounds) ? bounds.center() - m_area.topLeft() : QPointF();
    const int column = clampedCell(centre.x(), grid.cellWidth, grid.columns);
    const int row = clampedCell(centre.y(), grid.cellHeight, grid.rows);
    return {gridNumber, grid.firstCell + size_t(row) * size_t(grid.columns) + size_t(column)};
}

void VXBSPDirectObjectStorage::index(VXDrawableObject* object)
{
    index(object, placeOf(object->bounds()));
}

void VXBSPDirectObjectStorage::index(VXDrawableObject* object, Place place)
{
    std::vector<VXDrawableObject*>& cell = m_cells[place.cell];
    cell.push_back(object);
    object->indexFiling() = {m_identity, quint32(place.grid), quint32(place.cell), quint32(cell.size() - 1)};
    ++m_grids[place.grid].count;
}

bool VXBSPDirectObjectStorage::isFiledHere(VXDrawableObject* object) const
{
    return object->indexFiling().index == m_identity;
}

void VXBSPDirectObjectStorage::unindex(VXDrawableObject* object)
{
    VXDrawableObject::IndexFiling& filing = object->indexFiling();
    // The cell's last object takes the slot.
    std::vector<VXDrawableObject*>& cell = m_cells[filing.cell];
    VXDrawableObject* last = cell.back();
    cell[filing.slot] = last;
    last->indexFiling().slot = filing.slot;
    cell.pop_back();
    --m_grids[filing.grid].count;
    filing = {};
}

void VXBSPDirectObjectStorage::rebuild(int depth, const QRectF& area)
{
    m_depth = depth;
    m_columnLevels = (depth + 1) / 2;
    m_rowLevels = depth / 2;
    m_area = area;
    m_grids.clear();
    size_t cells = 0;
    for (int rowLevel = 0; rowLevel <= m_rowLevels; ++rowLevel) {
        for (int columnLevel = 0; columnLevel <= m_columnLevels; ++columnLevel) {
            const int columns = 1 << columnLevel;
            const int rows = 1 << rowLevel;
            m_grids.push_back({columns, rows, area.width() / columns, area.height() / rows, cells, 0});
            cells += size_t(columns) * size_t(rows);
        }
    }
    m_cells.assign(cells, {});
    m_identity = s_nextIdentity++;
    for (const VXDrawableObjectPtr& object : objects())
        index(object.get());
}

bool VXBSPDirectObjectStorage::needsDeeperPartition() const
{
    // With hysteresis, so a count hovering at a boundary does not rebuild each time.
    return depthForCount(count()) > m_depth + 1;
}

void VXBSPDirectObjectStorage::didInsertObject(VXDrawableObject* object)
{
    if (needsDeeperPartition())
        didResetObjects();
    else
        index(object);
}

void VXBSPDirectObjectStorage::didInsertObjects(const QList<VXDrawableObject*>& objects)
{
    // A batch as large as what was stored is indexed afresh; a smaller one (a paste) joins in place.
    if (needsDeeperPartition() || objects.size() > count() / 2) {
        didResetObjects();
        return;
    }
    for (VXDrawableObject* object : objects)
        index(object);
}

void VXBSPDirectObjectStorage::willRemoveObject(VXDrawableObject* object)
{
    if (isFiledHere(object))
        unindex(object);
}

void VXBSPDirectObjectStorage::didChangeBounds(VXDrawableObject* object)
{
    if (!isFiledHere(object))
        return;
    // Small moves mostly keep an object in its cell, where a query already finds it.
    const Place place = placeOf(object->bounds());
    const VXDrawableObject::IndexFiling& filing = object->indexFiling();
    if (place.grid == filing.grid && place.cell == filing.cell)
        return;
    unindex(object);
    index(object, place);
}

void VXBSPDirectObjectStorage::didResetObjects()
{
    QRectF area;
    for (const VXDrawableObjectPtr& object : objects()) {
        if (!m_areaIsExplicit && isFinite(object->bounds()))
            area = area.united(object->bounds());
    }
    const QRectF indexArea = m_areaIsExplicit ? m_area : (area.isEmpty() ? kDefaultArea : area);
    rebuild(depthForCount(count()), indexArea);
}

QList<VXDrawableObject*> VXBSPDirectObjectStorage::candidatesIntersectingRect(const QRectF& rect) const
{
    QList<VXDrawableObject*> found;
    if (!isFinite(rect) || rect.contains(m_area)) {
        found.reserve(count());
        for (const VXDrawableObjectPtr& object : objects())
            found.append(object.get());
        return found;
    }
    const QRectF query = rect.translated(-m_area.topLeft());
    for (const Grid& grid : m_grids) {
        if (grid.count == 0)
            continue;
        const double reachX = grid.cellWidth * kQueryReach;
        const double reachY = grid.cellHeight * kQueryReach;
        const int column0 = clampedCell(query.left() - reachX, grid.cellWidth, grid.columns);
        const int column1 = clampedCell(query.right() + reachX, grid.cellWidth, grid.columns);
        const int row0 = clampedCell(query.top() - reachY, grid.cellHeight, grid.rows);
        const int row1 = clampedCell(query.bottom() + reachY, grid.cellHeight, grid.rows);
        for (int row = row0; row <= row1; ++row) {
            const size_t rowStart = grid.firstCell + size_t(row) * size_t(grid.columns);
            for (int column = column0; column <= column1; ++column)
                for (VXDrawableObject* object : m_cells[rowStart + size_t(column)])
                    found.append(object);
        }
    }
    return found;
}
