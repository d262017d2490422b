#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"

#include "platform/foundation/GradualRelease.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMinimumDepth = 2;
constexpr int kMaximumDepth = 16;    // 256 x 256 cells on the finest grid
constexpr int kObjectsPerLeaf = 8;   // the count the depth aims at
// Half a cell, and a hair more so that rounding never hides an object whose size is a cell's.
constexpr double kQueryReach = 0.5 + 1e-7;
const QRectF kDefaultArea(0, 0, 1000, 1000);

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
    platform::GradualRelease::releaseLater(std::move(m_entries));
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

void VXBSPDirectObjectStorage::index(VXDrawableObject* object, Entry& entry)
{
    index(object, entry, placeOf(object->bounds()));
}

void VXBSPDirectObjectStorage::index(VXDrawableObject* object, Entry& entry, Place place)
{
    entry.grid = place.grid;
    entry.cell = place.cell;
    std::vector<VXDrawableObject*>& cell = m_cells[entry.cell];
    entry.slot = cell.size();
    cell.push_back(object);
    ++m_grids[entry.grid].count;
}

void VXBSPDirectObjectStorage::unindex(const Entry& entry)
{
    // The cell's last object takes the slot.
    std::vector<VXDrawableObject*>& cell = m_cells[entry.cell];
    VXDrawableObject* last = cell.back();
    cell[entry.slot] = last;
    m_entries.find(last)->second.slot = entry.slot;
    cell.pop_back();
    --m_grids[entry.grid].count;
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
    for (auto& [object, entry] : m_entries)
        index(object, entry);
}

void VXBSPDirectObjectStorage::addEntry(VXDrawableObject* object)
{
    index(object, m_entries[object]);
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
        addEntry(object);
}

void VXBSPDirectObjectStorage::didInsertObjects(const QList<VXDrawableObject*>& objects)
{
    // A batch as large as what was stored is indexed afresh; a smaller one (a paste) joins in place.
    if (needsDeeperPartition() || objects.size() > count() / 2) {
        didResetObjects();
        return;
    }
    m_entries.reserve(m_entries.size() + size_t(objects.size()));
    for (VXDrawableObject* object : objects)
        addEntry(object);
}

void VXBSPDirectObjectStorage::willRemoveObject(VXDrawableObject* object)
{
    const auto it = m_entries.find(object);
    if (it == m_entries.end())
        return;
    unindex(it->second);
    m_entries.erase(it);
}

void VXBSPDirectObjectStorage::didChangeBounds(VXDrawableObject* object)
{
    const auto it = m_entries.find(object);
    if (it == m_entries.end())
        return;
    Entry& entry = it->second;
    // Small moves mostly keep an object in its cell, where a query already finds it.
    const Place place = placeOf(object->bounds());
    if (place.grid == entry.grid && place.cell == entry.cell)
        return;
    unindex(entry);
    index(object, entry, place);
}

void VXBSPDirectObjectStorage::didResetObjects()
{
    std::unordered_map<VXDrawableObject*, Entry> entries;
    entries.reserve(size_t(count()));
    QRectF area;
    for (const VXDrawableObjectPtr& object : objects()) {
        entries.emplace(object.get(), Entry());
        if (!m_areaIsExplicit && isFinite(object->bounds()))
            area = area.united(object->bounds());
    }
    m_entries = std::move(entries);
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
