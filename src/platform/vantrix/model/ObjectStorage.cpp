#include "platform/vantrix/model/ObjectStorage.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <algorithm>

namespace platform {

ObjectStorage::ObjectStorage() = default;

ObjectStorage::~ObjectStorage() = default;

int ObjectStorage::indexOfObject(const VXDrawableObject* object) const
{
    // Indexes are renumbered lazily, so a burst of insertions costs one pass.
    if (m_indexedCount < count()) {
        for (int i = m_indexedCount; i < count(); ++i)
            m_indexes.insert(m_objects[i].get(), i);
        m_indexedCount = count();
    }
    return m_indexes.value(object, -1);
}

void ObjectStorage::invalidateIndexesFrom(int index)
{
    for (int i = index; i < std::min(m_indexedCount, count()); ++i)
        m_indexes.remove(m_objects[i].get());
    m_indexedCount = std::min(m_indexedCount, index);
}

void ObjectStorage::insertObjectAtIndex(const VXDrawableObjectPtr& object, int index)
{
    ZQ_ASSERT(object && index >= 0 && index <= count(), QStringLiteral("insertion index %1 out of range").arg(index));
    ZQ_ASSERT(!containsObject(object.get()), QStringLiteral("object is already stored"));
    invalidateIndexesFrom(index);
    m_objects.insert(index, object);
    didInsertObject(object.get());
}

VXDrawableObjectPtr ObjectStorage::removeObjectAtIndex(int index)
{
    ZQ_ASSERT(index >= 0 && index < count(), QStringLiteral("removal index %1 out of range").arg(index));
    VXDrawableObjectPtr object = m_objects[index];
    willRemoveObject(object.get());
    invalidateIndexesFrom(index);
    m_objects.removeAt(index);
    return object;
}

void ObjectStorage::moveObjectFromIndexToIndex(int from, int to)
{
    ZQ_ASSERT(from >= 0 && from < count() && to >= 0 && to < count(),
              QStringLiteral("move from %1 to %2 out of range").arg(from).arg(to));
    if (from == to)
        return;
    invalidateIndexesFrom(std::min(from, to));
    m_objects.move(from, to);
}

void ObjectStorage::setObjects(const QList<VXDrawableObjectPtr>& objects)
{
    invalidateIndexesFrom(0);
    m_objects = objects;
    m_objects.removeAll(nullptr);
    didResetObjects();
}

QList<VXDrawableObject*> ObjectStorage::objectsIntersectingRect(const QRectF& rect) const
{
    const QList<VXDrawableObject*> candidates = candidatesIntersectingRect(rect);
    indexOfObject(nullptr); // brings the index table up to date once
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
    if (containsObject(object))
        didChangeBounds(object);
}

} // namespace platform
