#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QSet>

namespace {

const QString kObjectsKey = QStringLiteral("VXObjectOwnerLayer_objects");
const QString kMetadataKey = QStringLiteral("VXObjectOwnerLayer_metadata");
const QString kObjectsListKey = QStringLiteral("objects");
const QString kObjectInfoKey = QStringLiteral("object");
const QString kOldIndexKey = QStringLiteral("old_index");
const QString kNewIndexKey = QStringLiteral("new_index");

const QMetaObject* s_storageClass = &VXBSPDirectObjectStorage::staticMetaObject;

std::shared_ptr<platform::ObjectStorage> makeStorage()
{
    auto storage = std::dynamic_pointer_cast<platform::ObjectStorage>(
        platform::ClassRegistry::create(QString::fromLatin1(s_storageClass->className())));
    return storage ? storage : std::make_shared<VXBSPDirectObjectStorage>();
}

VXDrawableObjectPtr sharedObject(VXDrawableObject* object)
{
    return std::static_pointer_cast<VXDrawableObject>(object->shared_from_this());
}

} // namespace

VXObjectOwnerLayer::VXObjectOwnerLayer() : m_storage(makeStorage()) {}

VXObjectOwnerLayer::~VXObjectOwnerLayer()
{
    for (const VXDrawableObjectPtr& object : objects())
        object->setContainer(nullptr);
    if (m_pendingObject)
        m_pendingObject->setContainer(nullptr);
}

const QMetaObject* VXObjectOwnerLayer::storageClass()
{
    return s_storageClass;
}

void VXObjectOwnerLayer::setStorageClass(const QMetaObject* storageClass)
{
    if (storageClass && storageClass->inherits(&platform::ObjectStorage::staticMetaObject))
        s_storageClass = storageClass;
    else
        ZQLogObjCMethod(QStringLiteral("not an object storage class; the storage class is unchanged"));
}

// --- Objects ------------------------------------------------------------------------------

VXDrawableObjectPtr VXObjectOwnerLayer::objectInObjectsAtIndex(int index) const
{
    return index >= 0 && index < countOfObjects() ? objects()[index] : nullptr;
}

QVariantList VXObjectOwnerLayer::objectsValue() const
{
    QVariantList values;
    values.reserve(objects().size());
    for (const VXDrawableObjectPtr& object : objects())
        values.append(QVariant::fromValue(ZQObjectPtr(object)));
    return values;
}

QList<int> VXObjectOwnerLayer::indexesOfObjectsInArray(const QList<VXDrawableObjectPtr>& list) const
{
    QList<int> indexes;
    for (const VXDrawableObjectPtr& object : list) {
        const int index = indexOfObject(object.get());
        if (index >= 0 && !indexes.contains(index))
            indexes.append(index);
    }
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

QList<VXDrawableObjectPtr> VXObjectOwnerLayer::visibleObjects() const
{
    QList<VXDrawableObjectPtr> visible;
    for (const VXDrawableObjectPtr& object : objects())
        if (object->visible())
            visible.append(object);
    return visible;
}

QList<VXDrawableObject*> VXObjectOwnerLayer::visibleObjectsInRect(const QRectF& rect) const
{
    QList<VXDrawableObject*> found = m_storage->objectsIntersectingRect(rect);
    found.removeIf([](const VXDrawableObject* object) { return !object->visible(); });
    return found;
}

QList<VXDrawableObject*> VXObjectOwnerLayer::objectsInRect(const QRectF& rect) const
{
    return m_storage->objectsIntersectingRect(rect);
}

void VXObjectOwnerLayer::addObject(const VXDrawableObjectPtr& object)
{
    if (object && !containsObject(object.get()))
        insertOne(object, countOfObjects());
}

void VXObjectOwnerLayer::addObjectsFromArray(const QList<VXDrawableObjectPtr>& list)
{
    for (const VXDrawableObjectPtr& object : list)
        addObject(object);
}

void VXObjectOwnerLayer::insertObjectInObjectsAtIndex(const VXDrawableObjectPtr& object, int index)
{
    ZQ_ASSERT(object, QStringLiteral("cannot insert a null object"));
    ZQ_ASSERT(index >= 0 && index <= countOfObjects(), QStringLiteral("object index %1 out of range").arg(index));
    if (!containsObject(object.get()))
        insertOne(object, index);
}

void VXObjectOwnerLayer::insertObjectsAtIndexes(const QList<VXDrawableObjectPtr>& list, const QList<int>& indexes)
{
    ZQ_ASSERT(list.size() == indexes.size(), QStringLiteral("one index per object is needed"));
    ZQ_ASSERT(std::is_sorted(indexes.begin(), indexes.end()), QStringLiteral("indexes must ascend"));
    for (qsizetype i = 0; i < list.size(); ++i)
        insertObjectInObjectsAtIndex(list[i], std::min(indexes[i], countOfObjects()));
}

void VXObjectOwnerLayer::removeObjectFromObjectsAtIndex(int index)
{
    ZQ_ASSERT(index >= 0 && index < countOfObjects(), QStringLiteral("object index %1 out of range").arg(index));
    removeOne(index);
}

void VXObjectOwnerLayer::removeObject(const VXDrawableObject* object)
{
    if (const int index = indexOfObject(object); index >= 0)
        removeOne(index);
}

void VXObjectOwnerLayer::removeObjectsAtIndexes(const QList<int>& indexes)
{
    QList<int> sorted = indexes;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (const int index : sorted)
        removeObjectFromObjectsAtIndex(index);
}

void VXObjectOwnerLayer::removeObjectsInArray(const QList<VXDrawableObjectPtr>& list)
{
    removeObjectsAtIndexes(indexesOfObjectsInArray(list));
}

void VXObjectOwnerLayer::removeAllObjects()
{
    while (countOfObjects() > 0)
        removeOne(countOfObjects() - 1);
}

void VXObjectOwnerLayer::moveObjectToIndex(const VXDrawableObject* object, int index)
{
    const int from = indexOfObject(object);
    if (from >= 0 && countOfObjects() > 0)
        moveOne(from, std::clamp(index, 0, countOfObjects() - 1));
}

void VXObjectOwnerLayer::moveObjectsInArrayToIndex(const QList<VXDrawableObjectPtr>& list, int index)
{
    QList<VXDrawableObjectPtr> members;
    for (const int i : indexesOfObjectsInArray(list))
        members.append(objects()[i]);
    const int n = int(members.size());
    if (n == 0)
        return;
    const int start = std::clamp(index, 0, countOfObjects() - n);
    // Objects that move down go first, lowest first, then those that move up, highest
    // first: neither pass disturbs an object already in place.
    for (int k = 0; k < n; ++k) {
        if (const int current = indexOfObject(members[k].get()); current > start + k)
            moveOne(current, start + k);
    }
    for (int k = n - 1; k >= 0; --k) {
        if (const int current = indexOfObject(members[k].get()); current < start + k)
            moveOne(current, start + k);
    }
}

void VXObjectOwnerLayer::insertOne(const VXDrawableObjectPtr& object, int index)
{
    auto* previous = qobject_cast<VXObjectOwnerLayer*>(object->container());
    ZQ_ASSERT(previous || !object->container(), QStringLiteral("an object leaves a group by ungrouping, not by adding"));
    if (previous && previous != this)
        previous->removeObject(object.get());
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, object] { removeObject(object.get()); });
    willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, {index}, kObjectsListKey);
    object->setContainer(this);
    m_storage->insertObjectAtIndex(object, index);
    didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, {index}, kObjectsListKey);
    object->objectWasAddedToLayer(this);
    objectWasInserted(object.get());
    platform::NotificationCenter::defaultCenter().postNotificationName(
        kVXLayerDidAddObject, this, {{kObjectInfoKey, QVariant::fromValue(object)}});
    object->notifyVisualChange();
}

VXDrawableObjectPtr VXObjectOwnerLayer::removeOne(int index)
{
    const VXDrawableObjectPtr object = objects()[index];
    objectWillBeRemoved(object.get());
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, object, index] {
            insertObjectInObjectsAtIndex(object, std::min(index, countOfObjects()));
        });
    object->notifyVisualChange();
    willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, {index}, kObjectsListKey);
    m_storage->removeObjectAtIndex(index);
    object->setContainer(nullptr);
    didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, {index}, kObjectsListKey);
    object->objectWasRemovedFromLayer(this);
    platform::NotificationCenter::defaultCenter().postNotificationName(
        kVXLayerDidRemoveObject, this, {{kObjectInfoKey, QVariant::fromValue(object)}});
    return object;
}

void VXObjectOwnerLayer::moveOne(int from, int to)
{
    if (from == to)
        return;
    const VXDrawableObjectPtr object = objects()[from];
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, object, from] { moveObjectToIndex(object.get(), from); });
    willChangeValueForKey(kObjectsListKey);
    m_storage->moveObjectFromIndexToIndex(from, to);
    didChangeValueForKey(kObjectsListKey);
    platform::NotificationCenter::defaultCenter().postNotificationName(
        kVXLayerDidReorderObjects, this, {{kOldIndexKey, from}, {kNewIndexKey, to}});
    object->notifyVisualChange();
}

VXDrawableObjectPtr VXObjectOwnerLayer::hitTest(QPointF point) const
{
    const double reach = VXDrawableObject::kHitTolerance;
    const QList<VXDrawableObject*> candidates =
        visibleObjectsInRect(QRectF(point.x() - reach, point.y() - reach, 2 * reach, 2 * reach));
    for (auto it = candidates.crbegin(); it != candidates.crend(); ++it) {
        if ((*it)->hitTest(point))
            return sharedObject(*it);
    }
    return nullptr;
}

VXObjectOwnerLayerPtr VXObjectOwnerLayer::layerWithObjectsInArray(const QList<VXDrawableObjectPtr>& list,
                                                                  const QMetaObject* layerClass)
{
    const QMetaObject* meta = layerClass ? layerClass : &VXObjectDrawingLayer::staticMetaObject;
    auto layer = std::dynamic_pointer_cast<VXObjectOwnerLayer>(
        platform::ClassRegistry::create(QString::fromLatin1(meta->className())));
    if (!layer)
        layer = std::make_shared<VXObjectDrawingLayer>();
    layer->addObjectsFromArray(list);
    return layer;
}

// --- Pending creation -------------------------------------------------------------------------

void VXObjectOwnerLayer::addObjectPendingCreation(const VXDrawableObjectPtr& object)
{
    removePendingObject();
    if (!object)
        return;
    m_pendingObject = object;
    object->setContainer(this);
    object->notifyVisualChange();
}

void VXObjectOwnerLayer::removePendingObject()
{
    if (!m_pendingObject)
        return;
    const VXDrawableObjectPtr object = std::exchange(m_pendingObject, nullptr);
    setNeedsDisplayInRect(object->bounds());
    object->setContainer(nullptr);
}

void VXObjectOwnerLayer::commitPendingObjectWithUndoActionName(const QString& actionName)
{
    if (!m_pendingObject)
        return;
    const VXDrawableObjectPtr object = std::exchange(m_pendingObject, nullptr);
    object->setContainer(nullptr);
    addObject(object);
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(actionName);
}

// --- Container -------------------------------------------------------------------------------------

void VXObjectOwnerLayer::objectDidChangeBoundsFrom(VXDrawableObject* object, const QRectF&)
{
    m_storage->objectDidChangeBounds(object);
}

QVariant VXObjectOwnerLayer::metadataObjectForKey(const QString& key) const
{
    return metadataValueForKey(key);
}

// --- Drawing -----------------------------------------------------------------------------------------

void VXObjectOwnerLayer::drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view,
                                                           bool highlighting) const
{
    const QList<VXDrawableObject*> inView = visibleObjectsInRect(rect);
    drawContentsOfObjects(inView);
    for (const VXDrawableObject* object : inView)
        object->drawTextLabelsInView(view);
    if (highlighting) {
        for (const VXDrawableObject* object : objectsDrawnAsSelectedInRect(rect, view))
            object->drawSelectedState();
    }
    if (m_pendingObject && m_pendingObject->visible()) {
        m_pendingObject->drawContent();
        m_pendingObject->drawTextLabelsInView(view);
    }
}

void VXObjectOwnerLayer::drawContentsOfObjects(const QList<VXDrawableObject*>& objects) const
{
    for (const VXDrawableObject* object : objects)
        object->drawContent();
}

void VXObjectOwnerLayer::updateIndexBounds()
{
    if (const VXDrawing* owner = drawing())
        m_storage->setIndexBounds(owner->bounds());
}

void VXObjectOwnerLayer::wasAddedToDrawing(VXDrawing*)
{
    updateIndexBounds();
}

void VXObjectOwnerLayer::drawingSizeDidChange()
{
    updateIndexBounds();
}

QList<VXStylePtr> VXObjectOwnerLayer::allStyles() const
{
    QList<VXStylePtr> styles;
    QSet<const VXStyle*> seen;
    for (const VXDrawableObjectPtr& object : objects()) {
        for (const VXStylePtr& style : object->allStyles()) {
            if (style && !seen.contains(style.get())) {
                seen.insert(style.get());
                styles.append(style);
            }
        }
    }
    return styles;
}

void VXObjectOwnerLayer::replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements)
{
    for (const VXDrawableObjectPtr& object : objects())
        object->replaceStyles(replacements);
}

void VXObjectOwnerLayer::adoptStylesFrom(const VXLayer& original)
{
    const auto* owner = qobject_cast<const VXObjectOwnerLayer*>(&original);
    if (!owner || owner->countOfObjects() != countOfObjects())
        return;
    for (int i = 0; i < countOfObjects(); ++i)
        objects()[i]->adoptStylesFrom(*owner->objects()[i]);
}

void VXObjectOwnerLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXLayer::encodeWithCoder(coder);
    QVariantList list;
    list.reserve(objects().size());
    for (const VXDrawableObjectPtr& object : objects())
        list.append(QVariant::fromValue(ZQObjectPtr(object)));
    coder.encodeObject(QVariant(list), kObjectsKey);
    encodeMetadata(coder, kMetadataKey);
}

void VXObjectOwnerLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXLayer::initWithCoder(coder);
    QList<VXDrawableObjectPtr> members;
    QSet<const VXDrawableObject*> seen;
    for (const VXDrawableObjectPtr& object : platform::ArchiveReader(coder).objects<VXDrawableObject>(kObjectsKey)) {
        // A damaged archive may list an object twice or share it with another container.
        if (seen.contains(object.get()) || object->container())
            continue;
        seen.insert(object.get());
        object->setContainer(this);
        members.append(object);
    }
    m_storage->setObjects(members);
    decodeMetadata(coder, kMetadataKey);
}
