#pragma once

// A layer made of layers. Index 0 is the top layer; drawing runs from the last index up.
// Every change of the list is undoable and posts kVXLayerGroupDidAddLayer or
// kVXLayerGroupDidRemoveLayer ("vx_layer": the layer) and
// kVXLayerGroupNumberOfLayersDidChange, with the group as sender; observers of the
// indexed key "layers" are told the indexes.

#include "platform/vantrix/model/VXLayer.h"

#include <QList>

inline const QString kVXLayerGroupDidAddLayer = QStringLiteral("kVXLayerGroupDidAddLayer");
inline const QString kVXLayerGroupDidRemoveLayer = QStringLiteral("kVXLayerGroupDidRemoveLayer");
inline const QString kVXLayerGroupNumberOfLayersDidChange = QStringLiteral("kVXLayerGroupNumberOfLayersDidChange");
inline const QString kVXLayerKey = QStringLiteral("vx_layer");

class VXLayerGroup : public VXLayer {
    Q_OBJECT
    Q_PROPERTY(int countOfLayers READ countOfLayers STORED false)
    Q_PROPERTY(QVariantList layers READ layersValue STORED false)

public:
    VXLayerGroup();
    ~VXLayerGroup() override;

    const QList<VXLayerPtr>& layers() const { return m_layers; }
    int countOfLayers() const { return int(m_layers.size()); }
    // Null outside the range.
    VXLayerPtr objectInLayersAtIndex(int index) const;
    // -1 when the layer is not a direct member.
    int indexOfLayer(const VXLayer* layer) const;

    // Adds on top (index 0).
    void addLayer(const VXLayerPtr& layer);
    // A layer in another group leaves it first; a group cannot go into itself or its members.
    void insertObjectInLayersAtIndex(const VXLayerPtr& layer, int index);
    void removeObjectFromLayersAtIndex(int index);
    void removeLayer(const VXLayer* layer);
    void removeAllLayers();
    // `index` is the layer's index afterwards; nothing for a layer of another group.
    void moveLayerToIndex(const VXLayer* layer, int index);

    // Every layer below this group, depth first from the top; groups themselves only when asked.
    QList<VXLayerPtr> flattenedLayers(bool includingGroups = false) const;
    // The first layer of the class (or a subclass) at any depth, from the top.
    VXLayerPtr firstLayerOfClass(const QMetaObject& layerClass) const;
    template <class T>
    std::shared_ptr<T> firstLayerOfClass() const
    {
        return std::static_pointer_cast<T>(firstLayerOfClass(T::staticMetaObject));
    }
    // Whether `layer` is this group or lies anywhere below it.
    bool containsLayer(const VXLayer* layer) const;

    // "3 Layers".
    QString auxiliaryInfoString() const override;
    QStringList notificationNamesAffectingAuxiliaryInfo() const override;
    QString iconName() const override;

    void showAll();
    void hideAllExcept(const VXLayer* layer);

    // Draws the visible members, bottom first, through the renderer.
    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;
    int prepareToDrawRect(const QRectF& rect) const override;
    // Objects are drawn and selected in a member layer; a group only holds them.
    bool layerMayBecomeActive() const override { return false; }
    // The members decide for themselves.
    bool drawsConcurrently() const override { return true; }
    bool hasContent() const override { return !m_layers.isEmpty(); }
    void wasAddedToDrawing(VXDrawing* drawing) override;
    void drawingSizeDidChange() override;
    QList<VXStylePtr> allStyles() const override;
    void replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements) override;
    void adoptStylesFrom(const VXLayer& original) override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    QVariantList layersValue() const;
    void postCountChange(const QString& name, const VXLayerPtr& layer);

    QList<VXLayerPtr> m_layers;
};
