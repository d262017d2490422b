#pragma once

// A layer that owns drawable objects, in stacking order (index 0 at the bottom), kept in
// an ObjectStorage whose spatial index lets drawing and hit testing touch only the objects
// in view. Every change of the list is undoable, observable as the indexed key "objects",
// and posts kVXLayerDidAddObject / kVXLayerDidRemoveObject ("object") or
// kVXLayerDidReorderObjects ("old_index", "new_index"), with the layer as sender.
//
// The layer also holds one object being created (pending) that draws like a member but is
// not one until it is committed, and attributes (metadata) of its own.

#include "platform/vantrix/model/DrawableContainer.h"
#include "platform/vantrix/model/MetadataContainer.h"
#include "platform/vantrix/model/ObjectStorage.h"
#include "platform/vantrix/model/VXLayer.h"

#include <QList>

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
    static void setStorageClass(const QMetaObject* storageClass);
    const platform::ObjectStorage& storage() const { return *m_storage; }

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
    void insertObjectInObjectsAtIndex(const VXDrawableObjectPtr& object, int index);
    // `indexes` ascending, one per object; each object goes to its index in the final list.
    void insertObjectsAtIndexes(const QList<VXDrawableObjectPtr>& objects, const QList<int>& indexes);
    void removeObjectFromObjectsAtIndex(int index);
    void removeObject(const VXDrawableObject* object);
    void removeObjectsAtIndexes(const QList<int>& indexes);
    void removeObjectsInArray(const QList<VXDrawableObjectPtr>& objects);
    void removeAllObjects();
    // `index` is the object's index afterwards (clamped to the list).
    void moveObjectToIndex(const VXDrawableObject* object, int index);
    // The objects keep their relative order and end as a block starting at `index`.
    void moveObjectsInArrayToIndex(const QList<VXDrawableObjectPtr>& objects, int index);

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
    void setNeedsDisplayInRect(const QRectF& rect) override { VXLayer::setNeedsDisplayInRect(rect); }
    QVariant metadataObjectForKey(const QString& key) const override;

    // --- Drawing --------------------------------------------------------------------------
    // Contents first, then text labels, then the selection highlights, then the pending object.
    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;
    bool hasContent() const override { return countOfObjects() > 0 || m_pendingObject; }
    void wasAddedToDrawing(VXDrawing* drawing) override;
    void drawingSizeDidChange() override;
    QList<VXStylePtr> allStyles() const override;
    void replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements) override;
    void adoptStylesFrom(const VXLayer& original) override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    // Draws the content of the visible objects in the exposed area, bottom first.
    virtual void drawContentsOfObjects(const QList<VXDrawableObject*>& objects) const;
    // The objects drawn highlighted over `rect` (drawing coordinates) in `view`, bottom first;
    // the drawing layer answers its selection.
    virtual QList<const VXDrawableObject*> objectsDrawnAsSelectedInRect(const QRectF& rect,
                                                                       const VXDrawingView* view) const
    {
        return {};
    }
    // Called before an object leaves the layer (the drawing layer deselects it) and after one joins.
    virtual void objectWillBeRemoved(VXDrawableObject* object) {}
    virtual void objectWasInserted(VXDrawableObject* object) {}

    ZQObject* metadataOwner() override { return this; }
    ZQUndoManager* metadataUndoManager() const override { return undoManager(); }

private:
    QVariantList objectsValue() const;
    void insertOne(const VXDrawableObjectPtr& object, int index);
    VXDrawableObjectPtr removeOne(int index);
    void moveOne(int from, int to);
    void updateIndexBounds();

    std::shared_ptr<platform::ObjectStorage> m_storage;
    VXDrawableObjectPtr m_pendingObject;
};
