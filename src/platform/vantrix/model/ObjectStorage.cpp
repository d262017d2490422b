#include "platform/vantrix/model/ObjectStorage.h"

#include "platform/foundation/GradualRelease.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <algorithm>

namespace platform {

ObjectStorage::ObjectStorage() = default;

// A closed map's storage may be the last to hold hundreds of thousands of objects.
ObjectStorage::~ObjectStorage()
{
    GradualRelease::releaseLater(std::move(m_objects));
}

int ObjectStorage::indexOfObject(const VXDrawableObject* object) const
{
    // Indexes are renumbered lazily, so a burst of insertions costs one pass.
    if (m_indexedCount.load(std::memory_order_acquire) < count()) {
        const std::lock_guard lock(m_renumbering);
        // Room for all at once: a table cleared and grown again entry by entry rehashes a dozen times.
        if (m_indexes.capacity() < count())
            m_indexes.reserve(count());
        for (int i = m_indexedCount; i < count(); ++i)
            m_indexes.insert(m_objects[i].get(), i);
        m_indexedCount.store(count(), std::memory_order_release);
    }
    return m_indexes.value(object, -1);
}

void ObjectStorage::invalidateIndexesFrom(int index)
{
    const int indexed = std::min(int(m_indexedCount), count());
    // Dropping most of the entries one by one costs more than numbering the rest again.
    if (indexed - index > indexed / 2) {
        m_indexes.clear();
        m_indexedCount = 0;
        return;
    }
    for (int i = index; i < indexed; ++i)
        m_indexes.remove(m_objects[i].get());
    m_indexedCount = std::min(int(m_indexedCount), index);
}

void ObjectStorage::setObjects(const QList<VXDrawableObjectPtr>& objects)
{
    invalidateIndexesFrom(0);
    m_movedWhileDeferred.clear();
    m_objects = objects;
    m_objects.removeAll(nullptr);
    didResetObjects();
}

std::vector<bool> ObjectStorage::firstAppearances(const QList<VXDrawableObjectPtr>& objects)
{
    std::vector<std::pair<const VXDrawableObject*, qsizetype>> sorted;
    sorted.reserve(size_t(objects.size()));
    for (qsizetype i = 0; i < objects.size(); ++i)
        sorted.emplace_back(objects[i].get(), i);
    std::sort(sorted.begin(), sorted.end());
    std::vector<bool> first(sorted.size(), true);
    for (size_t i = 1; i < sorted.size(); ++i) {
        if (sorted[i].first == sorted[i - 1].first)
            first[size_t(sorted[i].second)] = false;
    }
    return first;
}

void ObjectStorage::checkIndexes(const QList<int>& indexes, int end)
{
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        ZQ_ASSERT(indexes[i] >= 0 && indexes[i] < end && (i == 0 || indexes[i - 1] < indexes[i]),
                  QStringLiteral("index %1 out of range or out of order").arg(indexes[i]));
    }
}

void ObjectStorage::insertObjectsAtIndexes(const QList<VXDrawableObjectPtr>& objects, const QList<int>& indexes)
{
    ZQ_ASSERT(objects.size() == indexes.size(), QStringLiteral("one index per object is needed"));
    if (objects.isEmpty())
        return;
    checkIndexes(indexes, count() + int(objects.size()));
    const std::vector<bool> first = firstAppearances(objects);
    QList<VXDrawableObject*> inserted;
    inserted.reserve(objects.size());
    for (qsizetype i = 0; i < objects.size(); ++i) {
        VXDrawableObject* object = objects[i].get();
        ZQ_ASSERT(object && !containsObject(object) && first[size_t(i)],
                  QStringLiteral("object is null or already stored"));
        inserted.append(object);
    }
    invalidateIndexesFrom(indexes.first());
    // Merged from the end, so only what lies above the lowest index moves.
    qsizetype old = m_objects.size();
    m_objects.resize(old + objects.size());
    for (qsizetype next = objects.size() - 1, at = m_objects.size() - 1; next >= 0; --at) {
        if (indexes[next] == at)
            m_objects[at] = objects[next--];
        else
            m_objects[at] = std::move(m_objects[--old]);
    }
    if (inserted.size() == 1)
        didInsertObject(inserted.first());
    else
        didInsertObjects(inserted);
}

QList<VXDrawableObjectPtr> ObjectStorage::removeObjectsAtIndexes(const QList<int>& indexes)
{
    if (indexes.isEmpty())
        return {};
    checkIndexes(indexes, count());
    QList<VXDrawableObjectPtr> removed;
    QList<VXDrawableObject*> leaving;
    removed.reserve(indexes.size());
    leaving.reserve(indexes.size());
    for (const int index : indexes) {
        removed.append(m_objects[index]);
        leaving.append(m_objects[index].get());
    }
    willRemoveObjects(leaving);
    for (VXDrawableObject* object : std::as_const(leaving))
        m_movedWhileDeferred.remove(object);
    invalidateIndexesFrom(indexes.first());
    qsizetype kept = indexes.first();
    qsizetype next = 0;
    for (qsizetype i = indexes.first(); i < m_objects.size(); ++i) {
        if (next < indexes.size() && indexes[next] == i)
            ++next;
        else
            m_objects[kept++] = std::move(m_objects[i]);
    }
    m_objects.resize(kept);
    return removed;
}

void ObjectStorage::moveObjectsAtIndexesToIndexes(const QList<int>& from, const QList<int>& to)
{
    ZQ_ASSERT(from.size() == to.size(), QStringLiteral("one destination per moved object is needed"));
    checkIndexes(from, count());
    checkIndexes(to, count());
    if (from == to)
        return;
    // Only the span between the first and the last place involved changes.
    const int first = std::min(from.first(), to.first());
    const int last = std::max(from.last(), to.last());
    invalidateIndexesFrom(first);
    QList<VXDrawableObjectPtr> moved;
    QList<VXDrawableObjectPtr> others;
    moved.reserve(from.size());
    others.reserve(last - first + 1 - from.size());
    for (qsizetype i = first, next = 0; i <= last; ++i) {
        if (next < from.size() && from[next] == i) {
            moved.append(std::move(m_objects[i]));
            ++next;
        } else {
            others.append(std::move(m_objects[i]));
        }
    }
    for (qsizetype i = first, next = 0, other = 0; i <= last; ++i)
        m_objects[i] = next < to.size() && to[next] == i ? std::move(moved[next++]) : std::move(others[other++]);
}

void ObjectStorage::didInsertObjects(const QList<VXDrawableObject*>&)
{
    didResetObjects();
}

void ObjectStorage::willRemoveObjects(const QList<VXDrawableObject*>& objects)
{
    for (VXDrawableObject* object : objects)
        willRemoveObject(object);
}

QList<VXDrawableObject*> ObjectStorage::objectsIntersectingRect(const QRectF& rect) const
{
    QList<VXDrawableObject*> candidates = candidatesIntersectingRect(rect);
    indexOfObject(nullptr); // brings the index table up to date once
    if (!m_movedWhileDeferred.isEmpty()) {
        // Still filed where they were: tested where they are instead.
        candidates.removeIf([this](VXDrawableObject* object) { return m_movedWhileDeferred.contains(object); });
        for (VXDrawableObject* object : m_movedWhileDeferred)
            if (m_indexes.contains(object))
                candidates.append(object);
    }
    std::vector<std::pair<int, VXDrawableObject*>> found;
    found.reserve(size_t(candidates.size()));
    for (VXDrawableObject* object : candidates) {
        if (rectsMeet(object->bounds(), rect))
            found.emplace_back(m_indexes.value(object), object);
    }
    if (!std::is_sorted(found.begin(), found.end()))
        std::sort(found.begin(), found.end());
    QList<VXDrawableObject*> ordered;
    ordered.reserve(qsizetype(found.size()));
    for (const auto& [index, object] : found)
        ordered.append(object);
    return ordered;
}

void ObjectStorage::objectDidChangeBounds(VXDrawableObject* object)
{
    if (m_reindexDeferrals > 0)
        m_movedWhileDeferred.insert(object);
    else
        didChangeBounds(object);
}

void ObjectStorage::endReindexDeferral()
{
    if (--m_reindexDeferrals > 0)
        return;
    for (VXDrawableObject* object : std::exchange(m_movedWhileDeferred, {}))
        didChangeBounds(object);
}

ObjectStorage::ReindexDeferral::ReindexDeferral(ObjectStorage& storage)
    : m_storage(&storage)
{
    ++storage.m_reindexDeferrals;
}

ObjectStorage::ReindexDeferral::ReindexDeferral(ReindexDeferral&& other) noexcept
    : m_storage(std::exchange(other.m_storage, nullptr))
{
}

ObjectStorage::ReindexDeferral::~ReindexDeferral()
{
    if (m_storage)
        m_storage->endReindexDeferral();
}

} // namespace platform
