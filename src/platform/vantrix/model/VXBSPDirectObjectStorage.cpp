#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"

#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMinimumDepth = 2;
constexpr int kMaximumDepth = 16;    // 256 x 256 leaves
constexpr int kObjectsPerLeaf = 8;   // the count the depth aims at
constexpr int kMaximumLeavesPerObject = 64;
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

template <class T>
void eraseValue(std::vector<T>& list, const T& value)
{
    const auto it = std::find(list.begin(), list.end(), value);
    if (it != list.end()) {
        *it = list.back();
        list.pop_back();
    }
}

} // namespace

VXBSPDirectObjectStorage::VXBSPDirectObjectStorage()
{
    rebuild(kMinimumDepth, kDefaultArea);
}

VXBSPDirectObjectStorage::~VXBSPDirectObjectStorage() = default;

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

VXBSPDirectObjectStorage::LeafSpan VXBSPDirectObjectStorage::spanOfRect(const QRectF& rect) const
{
    const double cellWidth = m_area.width() / m_columns;
    const double cellHeight = m_area.height() / m_rows;
    return {clampedCell(rect.left() - m_area.left(), cellWidth, m_columns),
            clampedCell(rect.top() - m_area.top(), cellHeight, m_rows),
            clampedCell(rect.right() - m_area.left(), cellWidth, m_columns),
            clampedCell(rect.bottom() - m_area.top(), cellHeight, m_rows)};
}

void VXBSPDirectObjectStorage::index(Entry& entry)
{
    entry.bounds = entry.object->bounds();
    entry.column1 = entry.row1 = -1;
    const LeafSpan span = isFinite(entry.bounds) ? spanOfRect(entry.bounds) : LeafSpan{0, 0, m_columns, m_rows};
    if (span.column1 >= m_columns || span.leafCount() > kMaximumLeavesPerObject) {
        m_oversized.push_back(&entry);
        return;
    }
    entry.column0 = span.column0;
    entry.row0 = span.row0;
    entry.column1 = span.column1;
    entry.row1 = span.row1;
    for (int row = span.row0; row <= span.row1; ++row) {
        for (int column = span.column0; column <= span.column1; ++column)
            leaf(column, row).push_back(&entry);
    }
}

void VXBSPDirectObjectStorage::unindex(Entry& entry)
{
    if (entry.column1 < 0) {
        eraseValue(m_oversized, &entry);
        return;
    }
    for (int row = entry.row0; row <= entry.row1; ++row) {
        for (int column = entry.column0; column <= entry.column1; ++column)
            eraseValue(leaf(column, row), &entry);
    }
}

void VXBSPDirectObjectStorage::rebuild(int depth, const QRectF& area)
{
    m_depth = depth;
    m_columns = 1 << ((depth + 1) / 2);
    m_rows = 1 << (depth / 2);
    m_area = area;
    m_leaves.assign(size_t(m_columns) * size_t(m_rows), {});
    m_oversized.clear();
    for (auto& [object, entry] : m_entries)
        index(*entry);
}

void VXBSPDirectObjectStorage::didInsertObject(VXDrawableObject* object)
{
    auto& entry = m_entries[object];
    entry = std::make_unique<Entry>();
    entry->object = object;
    // Deepen with hysteresis, so a count hovering at a boundary does not rebuild each time.
    if (depthForCount(count()) > m_depth + 1)
        didResetObjects();
    else
        index(*entry);
}

void VXBSPDirectObjectStorage::willRemoveObject(VXDrawableObject* object)
{
    const auto it = m_entries.find(object);
    if (it == m_entries.end())
        return;
    unindex(*it->second);
    m_entries.erase(it);
}

void VXBSPDirectObjectStorage::didChangeBounds(VXDrawableObject* object)
{
    const auto it = m_entries.find(object);
    if (it == m_entries.end())
        return;
    Entry& entry = *it->second;
    unindex(entry);
    index(entry);
}

void VXBSPDirectObjectStorage::didResetObjects()
{
    std::unordered_map<const VXDrawableObject*, std::unique_ptr<Entry>> entries;
    QRectF area;
    for (const VXDrawableObjectPtr& object : objects()) {
        auto entry = std::make_unique<Entry>();
        entry->object = object.get();
        entries.emplace(object.get(), std::move(entry));
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
    const LeafSpan span = spanOfRect(rect);
    if (!isFinite(rect) || span.leafCount() == m_columns * m_rows) {
        found.reserve(count());
        for (const VXDrawableObjectPtr& object : objects())
            found.append(object.get());
        return found;
    }
    if (++m_visit == 0) { // wrapped: old marks could hide objects
        for (const auto& [object, entry] : m_entries)
            entry->visit = 0;
        m_visit = 1;
    }
    const quint32 visit = m_visit;
    auto collect = [&](Entry* entry) {
        if (entry->visit != visit) {
            entry->visit = visit;
            found.append(entry->object);
        }
    };
    for (int row = span.row0; row <= span.row1; ++row) {
        for (int column = span.column0; column <= span.column1; ++column) {
            for (Entry* entry : m_leaves[size_t(row) * size_t(m_columns) + size_t(column)])
                collect(entry);
        }
    }
    for (Entry* entry : m_oversized)
        collect(entry);
    return found;
}
