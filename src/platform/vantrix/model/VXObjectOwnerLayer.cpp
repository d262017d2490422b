#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/render/DrawingExclusion.h"
#include "platform/vantrix/render/RenderSteps.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/EditProgress.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/view/KnobStampBatch.h"

#include <QHash>
#include <QScopedValueRollback>
#include <QSet>
#include <algorithm>
#include <numeric>
#include <vector>

namespace {

const QString kObjectsKey = QStringLiteral("VXObjectOwnerLayer_objects");
const QString kMetadataKey = QStringLiteral("VXObjectOwnerLayer_metadata");
const QString kObjectsListKey = QStringLiteral("objects");
const QString kObjectInfoKey = QStringLiteral("object");
const QString kOldIndexKey = QStringLiteral("old_index");
const QString kNewIndexKey = QStringLiteral("new_index");
const QString kObjectsInfoKey = QStringLiteral("objects");
const QString kOldIndexesKey = QStringLiteral("old_indexes");
const QString kNewIndexesKey = QStringLiteral("new_indexes");

std::shared_ptr<platform::ObjectStorage> makeStorage()
{
    auto storage = std::dynamic_pointer_cast<platform::ObjectStorage>(
        platform::ClassRegistry::create(QString::fromLatin1(VXObjectOwnerLayer::storageClass()->className())));
    return storage ? storage : std::make_shared<VXBSPDirectObjectStorage>();
}

// "objects": the list, bottom first; "object" as well when there is one.
QVariantMap objectsUserInfo(const QList<VXDrawableObjectPtr>& objects)
{
    QVariantMap info{{kObjectsInfoKey, QVariant::fromValue(objects)}};
    if (objects.size() == 1)
        info.insert(kObjectInfoKey, QVariant::fromValue(objects.first()));
    return info;
}

VXDrawableObjectPtr sharedObject(VXDrawableObject* object)
{
    return std::static_pointer_cast<VXDrawableObject>(object->shared_from_this());
}

} // namespace

VXObjectOwnerLayer::VXObjectOwnerLayer() : m_storage(makeStorage()) {}

// The members' containers go null with the layer (they are guarded pointers), and the storage
// lets them go over later turns: a closed map's layer may hold hundreds of thousands.
VXObjectOwnerLayer::~VXObjectOwnerLayer()
{
    if (m_pendingObject)
        m_pendingObject->setContainer(nullptr);
}

const QMetaObject* VXObjectOwnerLayer::storageClass()
{
    return VXDrawingPreferences::current().layerStorageClass;
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
    indexes.reserve(list.size());
    for (const VXDrawableObjectPtr& object : list) {
        if (const int index = indexOfObject(object.get()); index >= 0)
            indexes.append(index);
    }
    // Lists in stacking order (a selection) need no sort.
    if (!std::is_sorted(indexes.cbegin(), indexes.cend()))
        std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
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
    addObjectsFromArray({object});
}

void VXObjectOwnerLayer::addObjectsFromArray(const QList<VXDrawableObjectPtr>& list)
{
    QList<int> indexes;
    indexes.reserve(list.size());
    for (qsizetype i = 0; i < list.size(); ++i)
        indexes.append(countOfObjects() + int(i));
    insertObjectsAtIndexes(list, indexes);
}

void VXObjectOwnerLayer::moveLayerToThread(QThread* thread)
{
    m_storage->moveToThread(thread);
    moveToThread(thread);
}

void VXObjectOwnerLayer::insertObjectInObjectsAtIndex(const VXDrawableObjectPtr& object, int index)
{
    ZQ_ASSERT(object, QStringLiteral("cannot insert a null object"));
    ZQ_ASSERT(index >= 0 && index <= countOfObjects(), QStringLiteral("object index %1 out of range").arg(index));
    insertObjectsAtIndexes({object}, {index});
}

void VXObjectOwnerLayer::insertObjectsAtIndexes(const QList<VXDrawableObjectPtr>& list, const QList<int>& indexes)
{
    ZQ_ASSERT(list.size() == indexes.size(), QStringLiteral("one index per object is needed"));
    ZQ_ASSERT(std::is_sorted(indexes.begin(), indexes.end()), QStringLiteral("indexes must ascend"));
    QList<VXDrawableObjectPtr> incoming;
    QList<int> at;
    const std::vector<bool> first = platform::ObjectStorage::firstAppearances(list);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const VXDrawableObjectPtr& object = list[i];
        if (!object || containsObject(object.get()) || !first[size_t(i)])
            continue;
        incoming.append(object);
        at.append(indexes[i]);
    }
    if (incoming.isEmpty())
        return;
    leavePreviousContainers(incoming);
    // Each index within the list as it grows, and past the one before it.
    const int count = countOfObjects();
    for (qsizetype i = 0; i < at.size(); ++i)
        at[i] = std::clamp(at[i], i == 0 ? 0 : at[i - 1] + 1, count + int(i));
    insertBatch(incoming, at);
}

void VXObjectOwnerLayer::removeObjectFromObjectsAtIndex(int index)
{
    ZQ_ASSERT(index >= 0 && index < countOfObjects(), QStringLiteral("object index %1 out of range").arg(index));
    removeBatch({index});
}

void VXObjectOwnerLayer::removeObject(const VXDrawableObject* object)
{
    if (const int index = indexOfObject(object); index >= 0)
        removeBatch({index});
}

void VXObjectOwnerLayer::removeObjectsAtIndexes(const QList<int>& indexes)
{
    QList<int> sorted = indexes;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    ZQ_ASSERT(sorted.isEmpty() || (sorted.first() >= 0 && sorted.last() < countOfObjects()),
              QStringLiteral("object indexes out of range"));
    removeBatch(sorted);
}

void VXObjectOwnerLayer::removeObjectsInArray(const QList<VXDrawableObjectPtr>& list)
{
    removeBatch(indexesOfObjectsInArray(list));
}

void VXObjectOwnerLayer::replaceObjectsInPlace(const QList<VXDrawableObjectPtr>& originals,
                                              const QList<VXDrawableObjectPtr>& replacements)
{
    ZQ_ASSERT(originals.size() == replacements.size(), QStringLiteral("one replacement per original is needed"));
    std::vector<std::pair<int, qsizetype>> places; // an original's index, and its position in the lists
    places.reserve(size_t(originals.size()));
    for (qsizetype i = 0; i < originals.size(); ++i)
        if (const int index = indexOfObject(originals[i].get()); index >= 0)
            places.emplace_back(index, i);
    std::sort(places.begin(), places.end());
    QList<VXDrawableObjectPtr> leaving;
    QList<VXDrawableObjectPtr> coming;
    QList<int> indexes;
    for (const auto& [index, position] : places) {
        leaving.append(originals[position]);
        coming.append(replacements[position]);
        indexes.append(index);
    }
    // As many go as come, so each replacement's index in the final list is its original's.
    removeObjectsInArray(leaving);
    insertObjectsAtIndexes(coming, indexes);
}

void VXObjectOwnerLayer::removeAllObjects()
{
    QList<int> all(countOfObjects());
    std::iota(all.begin(), all.end(), 0);
    removeBatch(all);
}

void VXObjectOwnerLayer::moveObjectToIndex(const VXDrawableObject* object, int index)
{
    if (const int from = indexOfObject(object); from >= 0)
        moveBatch({from}, {std::clamp(index, 0, countOfObjects() - 1)});
}

void VXObjectOwnerLayer::moveObjectsInArrayToIndex(const QList<VXDrawableObjectPtr>& list, int index)
{
    const QList<int> from = indexesOfObjectsInArray(list);
    if (from.isEmpty())
        return;
    QList<int> to(from.size());
    std::iota(to.begin(), to.end(), std::clamp(index, 0, countOfObjects() - int(from.size())));
    moveBatch(from, to);
}

void VXObjectOwnerLayer::moveObjectsToIndexes(const QList<VXDrawableObjectPtr>& list, const QList<int>& indexes)
{
    const QList<int> from = indexesOfObjectsInArray(list);
    ZQ_ASSERT(from.size() == indexes.size(), QStringLiteral("one index per member is needed"));
    moveBatch(from, indexes);
}

void VXObjectOwnerLayer::moveObjectsToFront(const QList<VXDrawableObjectPtr>& list)
{
    moveObjectsInArrayToIndex(list, countOfObjects());
}

void VXObjectOwnerLayer::moveObjectsToBack(const QList<VXDrawableObjectPtr>& list)
{
    moveObjectsInArrayToIndex(list, 0);
}

void VXObjectOwnerLayer::moveObjectsForwards(const QList<VXDrawableObjectPtr>& list)
{
    const QList<int> from = indexesOfObjectsInArray(list);
    QList<int> to(from.size());
    // From the top down, so an object stopped by the top stops those below it, not jumps them.
    for (qsizetype i = from.size() - 1, limit = countOfObjects() - 1; i >= 0; --i)
        limit = (to[i] = std::min(from[i] + 1, int(limit))) - 1;
    moveBatch(from, to);
}

void VXObjectOwnerLayer::moveObjectsBackwards(const QList<VXDrawableObjectPtr>& list)
{
    const QList<int> from = indexesOfObjectsInArray(list);
    QList<int> to(from.size());
    for (qsizetype i = 0, floor = 0; i < from.size(); ++i)
        floor = (to[i] = std::max(from[i] - 1, int(floor))) + 1;
    moveBatch(from, to);
}

void VXObjectOwnerLayer::leavePreviousContainers(const QList<VXDrawableObjectPtr>& incoming)
{
    QHash<VXObjectOwnerLayer*, QList<VXDrawableObjectPtr>> leaving;
    for (const VXDrawableObjectPtr& object : incoming) {
        auto* previous = qobject_cast<VXObjectOwnerLayer*>(object->container());
        ZQ_ASSERT(previous || !object->container(),
                  QStringLiteral("an object leaves a group by ungrouping, not by adding"));
        if (previous && previous != this)
            leaving[previous].append(object);
    }
    for (auto it = leaving.cbegin(); it != leaving.cend(); ++it)
        it.key()->removeObjectsInArray(it.value());
}

void VXObjectOwnerLayer::insertBatch(const QList<VXDrawableObjectPtr>& incoming, const QList<int>& indexes)
{
    const VXDrawing::DisplayBatch display(drawing(), incoming.size());
    // Reported between stages, as a million objects take seconds (the undo of a Delete is one
    // such batch); a batch left between them could not be taken back.
    platform::EditProgress::Scope progress(tr("Add Objects"), 3, platform::EditProgress::Failures::Hold);
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, incoming] { removeObjectsInArray(incoming); });
    willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, indexes, kObjectsListKey);
    for (const VXDrawableObjectPtr& object : incoming)
        object->setContainer(this);
    m_storage->insertObjectsAtIndexes(incoming, indexes);
    didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, indexes, kObjectsListKey);
    progress.longStep();
    for (const VXDrawableObjectPtr& object : incoming)
        object->objectWasAddedToLayer(this);
    objectsWereInserted(incoming);
    progress.longStep();
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXLayerDidAddObject, this,
                                                                      objectsUserInfo(incoming));
    for (const VXDrawableObjectPtr& object : incoming)
        object->notifyVisualChange();
    progress.longStep();
    progress.finish();
}

void VXObjectOwnerLayer::removeBatch(const QList<int>& indexes)
{
    if (indexes.isEmpty())
        return;
    const VXDrawing::DisplayBatch display(drawing(), indexes.size());
    platform::EditProgress::Scope progress(tr("Remove Objects"), 3, platform::EditProgress::Failures::Hold);
    QList<VXDrawableObjectPtr> leaving;
    leaving.reserve(indexes.size());
    for (const int index : indexes)
        leaving.append(objects()[index]);
    objectsWillBeRemoved(leaving);
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, leaving, indexes] { insertObjectsAtIndexes(leaving, indexes); });
    for (const VXDrawableObjectPtr& object : leaving)
        object->notifyVisualChange();
    progress.longStep();
    willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, indexes, kObjectsListKey);
    m_storage->removeObjectsAtIndexes(indexes);
    for (const VXDrawableObjectPtr& object : leaving)
        object->setContainer(nullptr);
    didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, indexes, kObjectsListKey);
    progress.longStep();
    for (const VXDrawableObjectPtr& object : leaving)
        object->objectWasRemovedFromLayer(this);
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXLayerDidRemoveObject, this,
                                                                      objectsUserInfo(leaving));
    progress.longStep();
    progress.finish();
}

void VXObjectOwnerLayer::moveBatch(const QList<int>& from, const QList<int>& to)
{
    if (from == to)
        return;
    QList<VXDrawableObjectPtr> moving;
    moving.reserve(from.size());
    for (const int index : from)
        moving.append(objects()[index]);
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, moving, from] { moveObjectsToIndexes(moving, from); });
    willChangeValueForKey(kObjectsListKey);
    m_storage->moveObjectsAtIndexesToIndexes(from, to);
    objectsWereReordered();
    didChangeValueForKey(kObjectsListKey);
    QVariantMap info = objectsUserInfo(moving);
    info.insert(kOldIndexesKey, QVariant::fromValue(from));
    info.insert(kNewIndexesKey, QVariant::fromValue(to));
    if (from.size() == 1) {
        info.insert(kOldIndexKey, from.first());
        info.insert(kNewIndexKey, to.first());
    }
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXLayerDidReorderObjects, this, info);
    for (const VXDrawableObjectPtr& object : moving)
        object->notifyVisualChange();
}

VXObjectOwnerLayer::Translation::Translation(VXObjectOwnerLayer& layer, QList<VXDrawableObjectPtr> objects)
    : m_layer(&layer)
    , m_objects(std::move(objects))
{
    for (const VXDrawableObjectPtr& object : std::as_const(m_objects)) {
        if (object->visible())
            m_shown |= layer.displayedAreaOfObject(*object);
    }
}

void VXObjectOwnerLayer::Translation::moveBy(QPointF offset)
{
    if (offset.isNull())
        return;
    {
        // Whatever else the moves ask to redraw (observers' changes) goes out once.
        const VXDrawing::DisplayBatch display(m_layer->drawing());
        const QScopedValueRollback translating(m_layer->m_translatingObjects, true);
        const QTransform move = QTransform::fromTranslate(offset.x(), offset.y());
        platform::EditProgress::Scope progress(tr("Move"), m_objects.size());
        const auto moveEach = [&move, &progress](const QList<VXDrawableObjectPtr>& objects) {
            for (const VXDrawableObjectPtr& object : objects) {
                object->applyTransform(move);
                progress.step();
            }
        };
        ZQUndoManager* undo = m_layer->undoManager();
        if (!m_undo && undo && undo->isUndoRegistrationEnabled())
            m_undo.emplace(*m_layer, m_objects);
        if (m_undo) {
            const TranslationUndo::Step step = m_undo->step(offset);
            {
                const platform::UndoSuspension quiet(undo);
                moveEach(step.keptAsOffset);
            }
            moveEach(step.registering);
        } else {
            moveEach(m_objects);
        }
    }
    const QRectF from = std::exchange(m_shown, m_shown.translated(offset));
    VXDrawableObject::redrawMove(from, m_shown, [this](const QRectF& rect) { m_layer->setNeedsDisplayInRect(rect); });
}

QRectF VXObjectOwnerLayer::displayedAreaOfObject(const VXDrawableObject& object) const
{
    return object.bounds();
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

void VXObjectOwnerLayer::setNeedsDisplayInRect(const QRectF& rect)
{
    if (!m_translatingObjects)
        VXLayer::setNeedsDisplayInRect(rect);
}

QVariant VXObjectOwnerLayer::metadataObjectForKey(const QString& key) const
{
    return metadataValueForKey(key);
}

// --- Drawing -----------------------------------------------------------------------------------------

void VXObjectOwnerLayer::drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view,
                                                           bool highlighting) const
{
    const QList<VXDrawableObject*> inView =
        platform::RenderSteps::itemsToDraw([&] { return visibleObjectsInRect(rect); });
    drawContentsOfObjects(inView);
    const bool labelled = platform::RenderSteps::drawInSteps(inView, [view](const VXDrawableObject* object) {
        const platform::DrawingExclusion exclusion(object, platform::DrawingExclusion::Level::Object);
        object->drawTextLabelsInView(view);
    });
    if (!labelled)
        return;
    if (highlighting)
        drawLiveRectInView(rect, view);
    else if (!view)
        drawPendingObject(view);
}

void VXObjectOwnerLayer::drawLiveRectInView(const QRectF& rect, VXDrawingView* view) const
{
    if (platform::GraphicsContext* context = platform::GraphicsContext::current()) {
        const platform::KnobStampBatch knobs(*context->painter());
        // Each object is drawn as it is found, while it is still in the processor's cache: a
        // million selected objects read twice keep the paint waiting on memory.
        objectsDrawnAsSelectedInRect(rect, view, [](const VXDrawableObject& object) { object.drawSelectedState(); });
    }
    drawPendingObject(view);
}

void VXObjectOwnerLayer::drawPendingObject(VXDrawingView* view) const
{
    if (m_pendingObject && m_pendingObject->visible()) {
        m_pendingObject->drawContent();
        m_pendingObject->drawTextLabelsInView(view);
    }
}

int VXObjectOwnerLayer::prepareToDrawRect(const QRectF& rect) const
{
    const QList<VXDrawableObject*> objects = m_storage->objectsIntersectingRect(rect);
    for (const VXDrawableObject* object : objects)
        object->prepareToDraw();
    if (m_pendingObject)
        m_pendingObject->prepareToDraw();
    return int(objects.size());
}

void VXObjectOwnerLayer::drawContentsOfObjects(const QList<VXDrawableObject*>& objects) const
{
    platform::RenderSteps::drawInSteps(objects, [](const VXDrawableObject* object) {
        const platform::DrawingExclusion exclusion(object, platform::DrawingExclusion::Level::Object);
        object->drawContent();
    });
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
    const QList<VXDrawableObjectPtr> decoded = platform::ArchiveReader(coder).objects<VXDrawableObject>(kObjectsKey);
    QList<VXDrawableObjectPtr> members;
    members.reserve(decoded.size());
    for (const VXDrawableObjectPtr& object : decoded) {
        // A damaged archive may list an object twice (taken the first time, it has a container
        // by the second) or share it with another container.
        if (object->container())
            continue;
        object->setContainer(this);
        members.append(object);
    }
    m_storage->setObjects(members);
    decodeMetadata(coder, kMetadataKey);
}
