#pragma once

// A layer that owns drawable objects, in stacking order (index 0 at the bottom), kept in
// an ObjectStorage whose spatial index lets drawing and hit testing touch only the objects
// in view. Every change of the list is undoable, observable as the indexed key "objects",
// and posts kVXLayerDidAddObject / kVXLayerDidRemoveObject or kVXLayerDidReorderObjects,
// with the layer as sender.
//
// A change of many objects is one batch: one splice of the storage, one change notice, one
// notification and one undo action holding the objects and their indexes. The notifications
// carry "objects" (bottom first), and "object" too when there is one; a reorder adds
// "old_indexes" and "new_indexes" (ascending), and "old_index" and "new_index" for one object.
//
// The layer also holds one object being created (pending) that draws like a member but is
// not one until it is committed, and attributes (metadata) of its own.

#include "platform/vantrix/model/DrawableContainer.h"
#include "platform/vantrix/model/MetadataContainer.h"
#include "platform/vantrix/model/ObjectStorage.h"
#include "platform/vantrix/model/TranslationUndo.h"
#include "platform/vantrix/model/VXLayer.h"

#include <QList>
#include <functional>
#include <optional>

class QThread;
class VXDrawableObject;
class VXObjectOwnerLayer;
using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;
using VXObjectOwnerLayerPtr = std::shared_ptr<VXObjectOwnerLayer>;

inline const QString kVXLayerDidAddObject = QStringLiteral("kVXLayerDidAddObject");
inline const QString kVXLayerDidRemoveObject = QStringLiteral("kVXLayerDidRemoveObject");
inline const QString kVXLayerDidReorderObjects = QStringLiteral("kVXLayerDidReorderObjects");

class VXObjectOwnerLayer : public VXLayer, public platform::DrawableContainer, public platform::MetadataContainer {
    Q_OBJECT
    Q_PROPERTY(int countOfObjects READ countOfObjects STORED false)
    Q_PROPERTY(QVariantList objects READ objectsValue STORED false)

public:
    VXObjectOwnerLayer();
    ~VXObjectOwnerLayer() override;

    // The storage new layers use: VXBSPDirectObjectStorage (the default) or VXLinearObjectStorage.
    static const QMetaObject* storageClass();
    const platform::ObjectStorage& storage() const { return *m_storage; }
    // Kept by a gesture that moves objects at every mouse move (see ObjectStorage::ReindexDeferral).
    [[nodiscard]] platform::ObjectStorage::ReindexDeferral deferringReindex()
    {
        return platform::ObjectStorage::ReindexDeferral(*m_storage);
    }

    // --- Objects ----------------------------------------------------------------------
    const QList<VXDrawableObjectPtr>& objects() const { return m_storage->objects(); }
    int countOfObjects() const { return m_storage->count(); }
    VXDrawableObjectPtr objectInObjectsAtIndex(int index) const;
    int indexOfObject(const VXDrawableObject* object) const { return m_storage->indexOfObject(object); }
    bool containsObject(const VXDrawableObject* object) const { return m_storage->containsObject(object); }
    // Ascending indexes of those objects that are members.
    QList<int> indexesOfObjectsInArray(const QList<VXDrawableObjectPtr>& objects) const;
    // Visible objects in stacking order; those meeting `rect` when one is given.
    QList<VXDrawableObjectPtr> visibleObjects() const;
    QList<VXDrawableObject*> visibleObjectsInRect(const QRectF& rect) const;
    // Every object meeting the rectangle, in stacking order (visible or not).
    QList<VXDrawableObject*> objectsInRect(const QRectF& rect) const;

    // Adds on top. An object of another container leaves it first; adding a member again does nothing.
    void addObject(const VXDrawableObjectPtr& object);
    void addObjectsFromArray(const QList<VXDrawableObjectPtr>& objects);
    // The layer and its object storage (not the objects) go to `thread`; called on the
    // layer's thread, e.g. by a worker that filled a layer nobody sees yet.
    void moveLayerToThread(QThread* thread);
    void insertObjectInObjectsAtIndex(const VXDrawableObjectPtr& object, int index);
    // `indexes` ascending, one per object; each object goes to its index in the final list
    // (clamped to it). Members, repeats and nulls are passed over.
    void insertObjectsAtIndexes(const QList<VXDrawableObjectPtr>& objects, const QList<int>& indexes);
    void removeObjectFromObjectsAtIndex(int index);
    void removeObject(const VXDrawableObject* object);
    void removeObjectsAtIndexes(const QList<int>& indexes);
    void removeObjectsInArray(const QList<VXDrawableObjectPtr>& objects);
    void removeAllObjects();
    // Each member of `originals` gives its place to the replacement at its position in
    // `replacements`, as one removal and one insertion: swapped one by one, a million objects
    // shifted the list and told the observers a million times each. Non-members are passed over.
    void replaceObjectsInPlace(const QList<VXDrawableObjectPtr>& originals, const QList<VXDrawableObjectPtr>& replacements);
    // `index` is the object's index afterwards (clamped to the list).
    void moveObjectToIndex(const VXDrawableObject* object, int index);
    // The members among `objects` keep their stacking order and end as a block starting at
    // `index` (clamped so the block fits).
    void moveObjectsInArrayToIndex(const QList<VXDrawableObjectPtr>& objects, int index);
    // The members, in stacking order, go to `indexes` (strictly ascending, one per member).
    void moveObjectsToIndexes(const QList<VXDrawableObjectPtr>& objects, const QList<int>& indexes);
    // Stacking commands: the members go to the top or the bottom as a block, or one place up or
    // down each, an object that reaches the end or a member stopped there staying put.
    void moveObjectsToFront(const QList<VXDrawableObjectPtr>& objects);
    void moveObjectsToBack(const QList<VXDrawableObjectPtr>& objects);
    void moveObjectsForwards(const QList<VXDrawableObjectPtr>& objects);
    void moveObjectsBackwards(const QList<VXDrawableObjectPtr>& objects);

    // Moves a set of members by steps, as a drag does: each object changes through its own
    // setters (observers) while the layer redraws, once a step, the area they leave and the
    // area they reach. That area is measured once: a move keeps sizes and turns. The undo
    // of all the steps, a drag's too, is one action keeping mostly the offset (see
    // TranslationUndo), registered at the first step.
    class Translation {
    public:
        Translation(VXObjectOwnerLayer& layer, QList<VXDrawableObjectPtr> objects);
        void moveBy(QPointF offset);
        const QList<VXDrawableObjectPtr>& objects() const { return m_objects; }

    private:
        VXObjectOwnerLayer* m_layer;
        QList<VXDrawableObjectPtr> m_objects;
        QRectF m_shown;
        std::optional<TranslationUndo> m_undo;
    };

    // The topmost visible object the point hits, or null.
    VXDrawableObjectPtr hitTest(QPointF point) const;

    // A new layer of `layerClass` (an object layer class) holding the objects.
    static VXObjectOwnerLayerPtr layerWithObjectsInArray(const QList<VXDrawableObjectPtr>& objects,
                                                         const QMetaObject* layerClass = nullptr);

    // --- Pending creation ---------------------------------------------------------------
    // The object is drawn as if it were on top but is not a member (nor undoable) yet.
    void addObjectPendingCreation(const VXDrawableObjectPtr& object);
    void removePendingObject();
    // Adds the pending object (undoable, under that action name) and selects it when the
    // layer selects; nothing without a pending object.
    virtual void commitPendingObjectWithUndoActionName(const QString& actionName);
    VXDrawableObject* pendingObject() const { return m_pendingObject.get(); }

    // --- Container ------------------------------------------------------------------------
    VXObjectOwnerLayer* layer() const override { return const_cast<VXObjectOwnerLayer*>(this); }
    VXDrawing* drawing() const override { return VXLayer::drawing(); }
    ZQUndoManager* undoManager() const override { return VXLayer::undoManager(); }
    // Symbols append it to their placement; identity here.
    QTransform renderingTransform() const override { return {}; }
    void objectDidChangeBoundsFrom(VXDrawableObject* object, const QRectF& oldBounds) override;
    void setNeedsDisplayInRect(const QRectF& rect) override;
    bool redrawsForMembers() const override { return m_translatingObjects; }
    QVariant metadataObjectForKey(const QString& key) const override;

    // --- Drawing --------------------------------------------------------------------------
    // Contents first, then text labels, then (with highlighting) the live parts. A view's
    // cached rendering (a view, no highlighting) leaves out the pending object, which the view
    // draws live; outputs draw it with the contents.
    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;
    // The selection highlights, then the pending object.
    void drawLiveRectInView(const QRectF& rect, VXDrawingView* view) const override;
    int prepareToDrawRect(const QRectF& rect) const override;
    // Each object is drawn by one thread at a time (see DrawingExclusion).
    bool drawsConcurrently() const override { return true; }
    bool hasContent() const override { return countOfObjects() > 0 || m_pendingObject; }
    void wasAddedToDrawing(VXDrawing* drawing) override;
    void drawingSizeDidChange() override;
    QList<VXStylePtr> allStyles() const override;
    void replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements) override;
    void adoptStylesFrom(const VXLayer& original) override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void drawPendingObject(VXDrawingView* view) const;
    // Draws the content of the visible objects in the exposed area, bottom first.
    virtual void drawContentsOfObjects(const QList<VXDrawableObject*>& objects) const;
    // The objects drawn highlighted over `rect` (drawing coordinates) in `view`, bottom first;
    // the drawing layer answers its selection. `visit`, when given, is called on each of them in
    // that order, as each is found if they are found now.
    using DrawnObjectVisit = std::function<void(const VXDrawableObject&)>;
    virtual QList<const VXDrawableObject*> objectsDrawnAsSelectedInRect(const QRectF& rect, const VXDrawingView* view,
                                                                       const DrawnObjectVisit& visit = {}) const
    {
        return {};
    }
    // The part of the drawing that shows the object: its bounds, and the drawing layer adds
    // the knobs of a selected object.
    virtual QRectF displayedAreaOfObject(const VXDrawableObject& object) const;
    // Called before objects leave the layer (the drawing layer deselects them) and after they join;
    // each object is listed once.
    virtual void objectsWillBeRemoved(const QList<VXDrawableObjectPtr>& objects) {}
    virtual void objectsWereInserted(const QList<VXDrawableObjectPtr>& objects) {}
    // Called after members changed places in the stacking order.
    virtual void objectsWereReordered() {}

    ZQObject* metadataOwner() override { return this; }
    ZQUndoManager* metadataUndoManager() const override { return undoManager(); }

private:
    QVariantList objectsValue() const;
    // An object of another layer leaves it first, each layer losing its objects as one batch.
    void leavePreviousContainers(const QList<VXDrawableObjectPtr>& incoming);
    // Indexes strictly ascending and in range.
    void insertBatch(const QList<VXDrawableObjectPtr>& incoming, const QList<int>& indexes);
    void removeBatch(const QList<int>& indexes);
    void moveBatch(const QList<int>& from, const QList<int>& to);
    void updateIndexBounds();

    std::shared_ptr<platform::ObjectStorage> m_storage;
    VXDrawableObjectPtr m_pendingObject;
    bool m_translatingObjects = false;
};
