#pragma once

// A component made of components: its render list is drawn in index order, so the last
// component is on top. Every change of the list is undoable and observable as the indexed
// key "renderList" (insertion and removal at indexes).

#include "platform/vantrix/styles/VXRasterizer.h"

#include <QList>
#include <QVariantList>

class VXRastGroup : public VXRasterizer {
    Q_OBJECT
    Q_PROPERTY(QVariantList renderList READ renderListValue WRITE setRenderListValue STORED false)
    Q_CLASSINFO("actionName:renderList", "Change Components")

public:
    VXRastGroup();
    ~VXRastGroup() override;

    QString displayName() const override;

    const QList<VXRasterizerPtr>& renderList() const { return m_renderList; }
    // Replaces the whole list (undoable as one change).
    void setRenderList(const QList<VXRasterizerPtr>& list);
    int countOfRenderList() const { return int(m_renderList.size()); }
    VXRasterizerPtr objectInRenderListAtIndex(int index) const;
    // -1 when the component is not a direct member.
    int indexOfRenderer(const VXRasterizer* renderer) const;

    // Appends on top.
    void addRenderer(VXRasterizerPtr renderer);
    void removeRenderer(const VXRasterizer* renderer);
    // A component in another group leaves it first. Inserting a group into itself or into
    // one of its own members is a programming error, as is an index out of range.
    void insertObjectInRenderListAtIndex(VXRasterizerPtr renderer, int index);
    void removeObjectFromRenderListAtIndex(int index);
    // `to` is the index the component has afterwards.
    void moveRendererAtIndexToIndex(int from, int to);

    // Components of the class (or a subclass) at any depth, in drawing order.
    QList<VXRasterizerPtr> renderersOfClass(const QMetaObject* objClass) const;
    template <class T>
    QList<std::shared_ptr<T>> renderersOfClass() const
    {
        QList<std::shared_ptr<T>> result;
        for (const VXRasterizerPtr& r : renderersOfClass(&T::staticMetaObject))
            result.append(std::static_pointer_cast<T>(r));
        return result;
    }
    // The same components one by one, without gathering them: for walks done per object.
    template <class T, class Visit>
    void forEachRendererOfClass(Visit&& visit) const
    {
        for (const VXRasterizerPtr& renderer : m_renderList) {
            if (const T* match = qobject_cast<const T*>(renderer.get()))
                visit(*match);
            if (const auto* group = qobject_cast<const VXRastGroup*>(renderer.get()))
                group->forEachRendererOfClass<T>(visit);
        }
    }
    // Whether `renderer` is this group or lies anywhere inside it.
    bool containsRenderer(const VXRasterizer* renderer) const;
    // The topmost group of the container chain.
    VXRastGroup* root();

    // Draws the enabled members in order.
    void render(const VXRenderable& object) const override;
    // The largest of the enabled members'.
    QSizeF extraSpaceNeeded() const override;
    bool isValid() const override;
    bool isEqualToRasterizer(const VXRasterizer& other) const override;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    // Same number of members, pairwise equal.
    bool renderListIsEqual(const VXRastGroup& other) const;

private:
    QVariantList renderListValue() const;
    void setRenderListValue(const QVariantList& list);

    bool acceptsListChange() const;
    // The primitives behind every list operation: KVO, undo, container links, change news.
    void insertUndoably(VXRasterizerPtr renderer, int index);
    VXRasterizerPtr removeUndoably(int index);
    // Adopts members without undo or announcements (decoding and copying).
    void adoptRenderList(QList<VXRasterizerPtr> list);

    QList<VXRasterizerPtr> m_renderList;
    bool m_decodingRenderList = false;
};

using VXRastGroupPtr = std::shared_ptr<VXRastGroup>;
