#include "platform/vantrix/model/VXLayerGroup.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DrawingRenderer.h"

namespace {

const QString kLayersKey = QStringLiteral("VXLayerGroup_layers");
const QString kLayersListKey = QStringLiteral("layers");

} // namespace

VXLayerGroup::VXLayerGroup() = default;

VXLayerGroup::~VXLayerGroup()
{
    for (const VXLayerPtr& layer : std::as_const(m_layers))
        layer->setLayerGroup(nullptr);
}

QVariantList VXLayerGroup::layersValue() const
{
    QVariantList values;
    for (const VXLayerPtr& layer : m_layers)
        values.append(QVariant::fromValue(ZQObjectPtr(layer)));
    return values;
}

VXLayerPtr VXLayerGroup::objectInLayersAtIndex(int index) const
{
    return index >= 0 && index < countOfLayers() ? m_layers[index] : nullptr;
}

int VXLayerGroup::indexOfLayer(const VXLayer* layer) const
{
    for (int i = 0; i < countOfLayers(); ++i)
        if (m_layers[i].get() == layer)
            return i;
    return -1;
}

void VXLayerGroup::addLayer(const VXLayerPtr& layer)
{
    insertObjectInLayersAtIndex(layer, 0);
}

bool VXLayerGroup::containsLayer(const VXLayer* layer) const
{
    for (const VXLayer* l = layer; l; l = l->layerGroup())
        if (l == this)
            return true;
    return false;
}

void VXLayerGroup::insertObjectInLayersAtIndex(const VXLayerPtr& layer, int index)
{
    ZQ_ASSERT(layer, QStringLiteral("cannot insert a null layer"));
    const auto* group = qobject_cast<const VXLayerGroup*>(layer.get());
    ZQ_ASSERT(!group || !group->containsLayer(this), QStringLiteral("a layer group cannot contain itself"));
    if (VXLayerGroup* previous = layer->layerGroup()) {
        if (previous == this) {
            moveLayerToIndex(layer.get(), index);
            return;
        }
        previous->removeLayer(layer.get());
    }
    ZQ_ASSERT(index >= 0 && index <= countOfLayers(), QStringLiteral("layer index %1 out of range").arg(index));

    if (ZQUndoManager* undo = undoManager()) {
        undo->registerUndoWithTargetHandler(this, [this, layer] { removeLayer(layer.get()); });
    }
    willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, {index}, kLayersListKey);
    m_layers.insert(index, layer);
    layer->setLayerGroup(this);
    didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Insertion, {index}, kLayersListKey);

    if (VXDrawing* owner = drawing()) {
        layer->wasAddedToDrawing(owner);
        owner->layerDidJoinDrawing(layer.get());
    }
    postCountChange(kVXLayerGroupDidAddLayer, layer);
    setNeedsDisplay();
}

void VXLayerGroup::removeObjectFromLayersAtIndex(int index)
{
    ZQ_ASSERT(index >= 0 && index < countOfLayers(), QStringLiteral("layer index %1 out of range").arg(index));
    const VXLayerPtr layer = m_layers[index];
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, layer, index] {
            insertObjectInLayersAtIndex(layer, std::min(index, countOfLayers()));
        });
    VXDrawing* owner = drawing();
    willChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, {index}, kLayersListKey);
    m_layers.removeAt(index);
    layer->setLayerGroup(nullptr);
    didChangeValuesAtIndexesForKey(platform::KeyValueChangeKind::Removal, {index}, kLayersListKey);
    if (owner)
        owner->layerDidLeaveDrawing(layer.get());
    postCountChange(kVXLayerGroupDidRemoveLayer, layer);
    setNeedsDisplay();
}

void VXLayerGroup::removeLayer(const VXLayer* layer)
{
    if (const int index = indexOfLayer(layer); index >= 0)
        removeObjectFromLayersAtIndex(index);
}

void VXLayerGroup::removeAllLayers()
{
    while (!m_layers.isEmpty())
        removeObjectFromLayersAtIndex(countOfLayers() - 1);
}

void VXLayerGroup::moveLayerToIndex(const VXLayer* layer, int index)
{
    const int from = indexOfLayer(layer);
    if (from < 0)
        return;
    const int to = std::clamp(index, 0, countOfLayers() - 1);
    if (from == to)
        return;
    if (ZQUndoManager* undo = undoManager()) {
        const VXLayerPtr kept = m_layers[from];
        undo->registerUndoWithTargetHandler(this, [this, kept, from] { moveLayerToIndex(kept.get(), from); });
    }
    willChangeValueForKey(kLayersListKey);
    m_layers.move(from, to);
    didChangeValueForKey(kLayersListKey);
    layerStructureDidChange();
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXLayerGroupNumberOfLayersDidChange, this);
    setNeedsDisplay();
}

void VXLayerGroup::postCountChange(const QString& name, const VXLayerPtr& layer)
{
    auto& centre = platform::NotificationCenter::defaultCenter();
    centre.postNotificationName(name, this, {{kVXLayerKey, QVariant::fromValue(layer)}});
    centre.postNotificationName(kVXLayerGroupNumberOfLayersDidChange, this);
}

QList<VXLayerPtr> VXLayerGroup::flattenedLayers(bool includingGroups) const
{
    QList<VXLayerPtr> result;
    for (const VXLayerPtr& layer : m_layers) {
        const auto* group = qobject_cast<const VXLayerGroup*>(layer.get());
        if (!group || includingGroups)
            result.append(layer);
        if (group)
            result.append(group->flattenedLayers(includingGroups));
    }
    return result;
}

VXLayerPtr VXLayerGroup::firstLayerOfClass(const QMetaObject& layerClass) const
{
    for (const VXLayerPtr& layer : flattenedLayers(true)) {
        if (layer->metaObject()->inherits(&layerClass))
            return layer;
    }
    return nullptr;
}

void VXLayerGroup::showAll()
{
    for (const VXLayerPtr& layer : flattenedLayers(true))
        layer->setVisible(true);
}

void VXLayerGroup::hideAllExcept(const VXLayer* keep)
{
    for (const VXLayerPtr& layer : flattenedLayers(true)) {
        const auto* group = qobject_cast<const VXLayerGroup*>(layer.get());
        // The groups holding the kept layer stay visible, or it could not show.
        layer->setVisible(layer.get() == keep || (group && group->containsLayer(keep)));
    }
}

void VXLayerGroup::drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const
{
    platform::DrawingRenderer::Options options;
    options.view = view;
    options.highlighting = highlighting;
    platform::DrawingRenderer::drawLayersOfGroup(*this, rect, options);
}

int VXLayerGroup::prepareToDrawRect(const QRectF& rect) const
{
    int objects = 0;
    for (const VXLayerPtr& layer : m_layers)
        objects += layer->prepareToDrawRect(rect);
    return objects;
}

void VXLayerGroup::wasAddedToDrawing(VXDrawing* drawing)
{
    for (const VXLayerPtr& layer : m_layers)
        layer->wasAddedToDrawing(drawing);
}

void VXLayerGroup::drawingSizeDidChange()
{
    for (const VXLayerPtr& layer : m_layers)
        layer->drawingSizeDidChange();
}

QList<VXStylePtr> VXLayerGroup::allStyles() const
{
    QList<VXStylePtr> styles;
    for (const VXLayerPtr& layer : m_layers) {
        for (const VXStylePtr& style : layer->allStyles())
            if (!styles.contains(style))
                styles.append(style);
    }
    return styles;
}

void VXLayerGroup::replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements)
{
    for (const VXLayerPtr& layer : m_layers)
        layer->replaceStyles(replacements);
}

void VXLayerGroup::adoptStylesFrom(const VXLayer& original)
{
    const auto* group = qobject_cast<const VXLayerGroup*>(&original);
    if (!group || group->countOfLayers() != countOfLayers())
        return;
    for (int i = 0; i < countOfLayers(); ++i)
        m_layers[i]->adoptStylesFrom(*group->m_layers[i]);
}

void VXLayerGroup::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXLayer::encodeWithCoder(coder);
    QVariantList layers;
    for (const VXLayerPtr& layer : m_layers)
        layers.append(QVariant::fromValue(ZQObjectPtr(layer)));
    coder.encodeObject(QVariant(layers), kLayersKey);
}

void VXLayerGroup::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXLayer::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    for (const VXLayerPtr& layer : reader.objects<VXLayer>(kLayersKey)) {
        // A damaged archive may name a layer twice or a group inside itself; keep the first sound use.
        const auto* group = qobject_cast<const VXLayerGroup*>(layer.get());
        if (layer->layerGroup() || layer.get() == this || (group && group->containsLayer(this)))
            continue;
        m_layers.append(layer);
        layer->setLayerGroup(this);
    }
}
