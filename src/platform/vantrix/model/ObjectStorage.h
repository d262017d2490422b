#pragma once

// Where an object layer keeps its objects: the stacking order (index 0 at the bottom) and
// a spatial index that answers which objects may meet a rectangle, so drawing and hit
// testing touch only what is in view. Subclasses supply the index; the order, the index of
// each object and the final exact bounds test live here, so every storage answers alike.
//
// The storage records each object's bounds when it indexes it; the layer reports bounds
// changes with objectDidChangeBounds, and the storage re-indexes from its record.
//
// Batch operations splice the list once and renumber once, so editing k objects of n costs
// O(n + k), not k times O(n).

#include "platform/foundation/ZQObject.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QRectF>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class VXDrawableObject;
using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;

namespace platform {

class ObjectStorage : public ZQObject {
    Q_OBJECT

public:
    ObjectStorage();
    ~ObjectStorage() override;

    const QList<VXDrawableObjectPtr>& objects() const { return m_objects; }
    int count() const { return int(m_objects.size()); }
    // -1 when the object is not stored; constant time.
    int indexOfObject(const VXDrawableObject* object) const;
    bool containsObject(const VXDrawableObject* object) const { return indexOfObject(object) >= 0; }

    void setObjects(const QList<VXDrawableObjectPtr>& objects);
    // For each of `objects`, whether it appears there for the first time. Sorted, not hashed:
    // a hash table's inserts end the process when memory runs out, a sort throws.
    static std::vector<bool> firstAppearances(const QList<VXDrawableObjectPtr>& objects);

    // Indexes out of range or order, and objects stored twice, are programming errors.
    // `indexes` strictly ascending, one per object: each object's index in the resulting list.
    void insertObjectsAtIndexes(const QList<VXDrawableObjectPtr>& objects, const QList<int>& indexes);
    // `indexes` strictly ascending; answers the removed objects, bottom first.
    QList<VXDrawableObjectPtr> removeObjectsAtIndexes(const QList<int>& indexes);
    // The objects at `from` go to `to` (both strictly ascending, of one size), keeping their
    // order among themselves; the others keep theirs and fill the remaining places.
    void moveObjectsAtIndexesToIndexes(const QList<int>& from, const QList<int>& to);

    // The objects whose bounds meet `rect` (edges included), in stacking order.
    QList<VXDrawableObject*> objectsIntersectingRect(const QRectF& rect) const;
    void objectDidChangeBounds(VXDrawableObject* object);

    // A gesture that moves objects at every mouse move keeps one of these while it lasts: the
    // moved objects are re-indexed once when the last deferral ends, and queries meanwhile
    // test them where they are. A deferral outliving its storage does nothing.
    class ReindexDeferral {
    public:
        explicit ReindexDeferral(ObjectStorage& storage);
        ReindexDeferral(ReindexDeferral&& other) noexcept;
        ReindexDeferral& operator=(ReindexDeferral&&) = delete;
        ~ReindexDeferral();

    private:
        QPointer<ObjectStorage> m_storage;
    };
    // The area most objects lie in (the drawing), a hint for indexes that partition space.
    virtual void setIndexBounds(const QRectF& bounds) {}

protected:
    virtual void didInsertObject(VXDrawableObject* object) = 0;
    virtual void willRemoveObject(VXDrawableObject* object) = 0;
    // Also reached for objects the storage does not hold, which it ignores (a drag moves thousands
    // of objects per mouse move, and a membership test per object would cost more than the index).
    virtual void didChangeBounds(VXDrawableObject* object) = 0;
    virtual void didResetObjects() = 0;
    // After a batch insertion; the default indexes everything again, which is the right cost for
    // large batches. Indexes that can add in place cheaply override it.
    virtual void didInsertObjects(const QList<VXDrawableObject*>& objects);
    // Before a batch removal; the default removes each object by itself.
    virtual void willRemoveObjects(const QList<VXDrawableObject*>& objects);
    // Objects that may meet `rect`, each once, in any order; the caller tests exactly.
    virtual QList<VXDrawableObject*> candidatesIntersectingRect(const QRectF& rect) const = 0;

private:
    void invalidateIndexesFrom(int index);
    // Asserts that the indexes ascend strictly within [0, end).
    static void checkIndexes(const QList<int>& indexes, int end);

    void endReindexDeferral();

    QList<VXDrawableObjectPtr> m_objects;
    int m_reindexDeferrals = 0;
    QSet<VXDrawableObject*> m_movedWhileDeferred;
    // Renumbered lazily, by whichever thread asks first: renderings on several threads may
    // query at once (edits happen only while none runs, see RenderGate).
    mutable std::mutex m_renumbering;
    mutable QHash<const VXDrawableObject*, int> m_indexes;
    mutable std::atomic<int> m_indexedCount{0}; // m_indexes is right for objects below this index
};

} // namespace platform
