#include "panels/layers/LayerTreeModel.h"

#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QSet>

namespace {

const QStringList kObservedLayerKeys = {QStringLiteral("layerName"),
                                        QStringLiteral("locked"),
                                        QStringLiteral("visible"),
                                        QStringLiteral("alpha"),
                                        QStringLiteral("selectionColour"),
                                        QStringLiteral("icon"),
                                        QStringLiteral("auxiliaryInfoString")};

const VXLayerGroup* asGroup(const QObject* item)
{
    return qobject_cast<const VXLayerGroup*>(item);
}

const VXObjectDrawingLayer* asObjectLayer(const QObject* item)
{
    return qobject_cast<const VXObjectDrawingLayer*>(item);
}

const VLTMSlicesLayer* asSlicesLayer(const QObject* item)
{
    return qobject_cast<const VLTMSlicesLayer*>(item);
}

} // namespace

LayerTreeModel::LayerTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
{
}

LayerTreeModel::~LayerTreeModel()
{
    stopObservingLayers();
    stopObservingDrawing();
}

VXDrawing* LayerTreeModel::drawing() const
{
    return m_drawing;
}

void LayerTreeModel::setDrawing(VXDrawing* drawing)
{
    if (drawing == m_drawing)
        return;
    beginResetModel();
    stopObservingLayers();
    stopObservingDrawing();
    m_knownItemCounts.clear();
    m_drawing = drawing;
    observeDrawing();
    observeLayers();
    endResetModel();
}

void LayerTreeModel::setShowsRoot(bool shows)
{
    if (shows == m_showsRoot)
        return;
    beginResetModel();
    m_knownItemCounts.clear();
    m_showsRoot = shows;
    endResetModel();
}

void LayerTreeModel::setShowsGraphicObjects(bool shows)
{
    if (shows == m_showsGraphicObjects)
        return;
    beginResetModel();
    m_knownItemCounts.clear();
    m_showsGraphicObjects = shows;
    endResetModel();
}

// --- The tree ----------------------------------------------------------------------------------------

int LayerTreeModel::numberOfChildrenOfItem(const QObject* item) const
{
    if (!m_drawing)
        return 0;
    if (!item)
        return m_showsRoot ? 1 : m_drawing->countOfLayers();
    if (const VXLayerGroup* group = asGroup(item))
        return group->countOfLayers();
    if (!m_showsGraphicObjects)
        return 0;
    if (const VXObjectDrawingLayer* layer = asObjectLayer(item))
        return layer->countOfObjects();
    if (const VLTMSlicesLayer* slices = asSlicesLayer(item))
        return slices->countOfSlices();
    return 0;
}

QObject* LayerTreeModel::childOfItem(int index, const QObject* item) const
{
    if (index < 0 || index >= numberOfChildrenOfItem(item))
        return nullptr;
    if (!item)
        return m_showsRoot ? static_cast<QObject*>(m_drawing.data()) : m_drawing->objectInLayersAtIndex(index).get();
    if (const VXLayerGroup* group = asGroup(item))
        return group->objectInLayersAtIndex(index).get();
    if (const VXObjectDrawingLayer* layer = asObjectLayer(item))
        return layer->objectInObjectsAtIndex(objectIndexForChildRow(layer->countOfObjects(), index)).get();
    if (const VLTMSlicesLayer* slices = asSlicesLayer(item))
        return slices->slices().value(slices->countOfSlices() - 1 - index).get();
    return nullptr;
}

bool LayerTreeModel::isItemExpandable(const QObject* item) const
{
    if (!item || asGroup(item))
        return true;
    return m_showsGraphicObjects && (asObjectLayer(item) || asSlicesLayer(item));
}

QObject* LayerTreeModel::parentOfItem(const QObject* item) const
{
    if (!item || !m_drawing || item == m_drawing)
        return nullptr;
    if (const auto* layer = qobject_cast<const VXLayer*>(item)) {
        VXLayerGroup* group = layer->layerGroup();
        return group == m_drawing && !m_showsRoot ? nullptr : group;
    }
    if (const auto* object = qobject_cast<const VXDrawableObject*>(item))
        return object->layer();
    if (const auto* slice = qobject_cast<const VXQSlice*>(item))
        return slice->slicesLayer();
    return nullptr;
}

int LayerTreeModel::rowOfItemInParent(const QObject* item) const
{
    if (!item || !m_drawing)
        return -1;
    if (item == m_drawing)
        return m_showsRoot ? 0 : -1;
    if (const auto* layer = qobject_cast<const VXLayer*>(item)) {
        const VXLayerGroup* group = layer->layerGroup();
        return group && group->drawing() == m_drawing ? group->indexOfLayer(layer) : -1;
    }
    if (!m_showsGraphicObjects)
        return -1;
    if (const auto* object = qobject_cast<const VXDrawableObject*>(item)) {
        const VXObjectOwnerLayer* layer = object->layer();
        if (!asObjectLayer(layer) || layer->drawing() != m_drawing || object->container() != layer)
            return -1;
        const int index = layer->indexOfObject(object);
        return index < 0 ? -1 : childRowForObjectIndex(layer->countOfObjects(), index);
    }
    if (const auto* slice = qobject_cast<const VXQSlice*>(item)) {
        const VLTMSlicesLayer* layer = slice->slicesLayer();
        if (!layer || layer->drawing() != m_drawing)
            return -1;
        const qint64 index = layer->indexOfSlice(slice);
        return index < 0 ? -1 : layer->countOfSlices() - 1 - int(index);
    }
    return -1;
}

QObject* LayerTreeModel::itemForIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return childOfItem(index.row(), static_cast<QObject*>(index.internalPointer()));
}

QModelIndex LayerTreeModel::indexForItem(const QObject* item, int column) const
{
    const int row = rowOfItemInParent(item);
    if (row < 0)
        return {};
    return createIndex(row, column, parentOfItem(item));
}

// --- Reloading ------------------------------------------------------------------------------------

void LayerTreeModel::reloadData()
{
    beginResetModel();
    m_knownItemCounts.clear();
    stopObservingLayers();
    observeLayers();
    endResetModel();
}

void LayerTreeModel::reloadChildrenOfItem(QObject* layer)
{
    const auto known = m_knownItemCounts.constFind(layer);
    // No view has asked for these rows yet: there is nothing to tell.
    if (known == m_knownItemCounts.cend())
        return;
    const QModelIndex parent = indexForItem(layer);
    if (!parent.isValid())
        return;
    // Every old row goes and the new ones come: rows are found by position, and the layer has
    // changed already.
    if (const int previous = *known; previous > 0) {
        beginRemoveRows(parent, 0, previous - 1);
        m_knownItemCounts.insert(layer, 0);
        endRemoveRows();
    }
    if (const int count = numberOfChildrenOfItem(layer); count > 0) {
        beginInsertRows(parent, 0, count - 1);
        m_knownItemCounts.insert(layer, count);
        endInsertRows();
    }
}

void LayerTreeModel::reloadItem(const QObject* item)
{
    const QModelIndex first = indexForItem(item, MainColumn);
    if (first.isValid())
        Q_EMIT dataChanged(first, first.siblingAtColumn(ActiveColumn));
}

// --- QAbstractItemModel --------------------------------------------------------------------------

QModelIndex LayerTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column < 0 || column >= ColumnCount ||
        (parent.isValid() && (parent.model() != this || parent.column() != MainColumn)))
        return {};
    QObject* parentItem = itemForIndex(parent);
    if (parent.isValid() && !parentItem)
        return {};
    if (row < 0 || row >= rowCountOfItem(parentItem))
        return {};
    return createIndex(row, column, parentItem);
}

QModelIndex LayerTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || !child.internalPointer())
        return {};
    return indexForItem(static_cast<QObject*>(child.internalPointer()));
}

int LayerTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != MainColumn)
        return 0;
    QObject* item = itemForIndex(parent);
    if (parent.isValid() && !item)
        return 0;
    return rowCountOfItem(item);
}

bool LayerTreeModel::hasItemRows(const QObject* item)
{
    return asObjectLayer(item) || asSlicesLayer(item);
}

int LayerTreeModel::rowCountOfItem(const QObject* item) const
{
    if (!m_showsGraphicObjects || !hasItemRows(item))
        return numberOfChildrenOfItem(item);
    auto known = m_knownItemCounts.find(item);
    if (known == m_knownItemCounts.end())
        known = m_knownItemCounts.insert(item, numberOfChildrenOfItem(item));
    return *known;
}

int LayerTreeModel::columnCount(const QModelIndex&) const
{
    return ColumnCount;
}

bool LayerTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return numberOfChildrenOfItem(nullptr) > 0;
    return parent.column() == MainColumn && isItemExpandable(itemForIndex(parent));
}

QVariant LayerTreeModel::data(const QModelIndex& index, int role) const
{
    const QObject* item = itemForIndex(index);
    if (!item)
        return {};
    if (index.column() == ActiveColumn)
        return role == Qt::ToolTipRole ? activeMarkToolTip(item) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    if (const auto* layer = qobject_cast<const VXLayer*>(item))
        return layer->layerName();
    return item->property("name");
}

// Clicks on the map select only in the active layer: the mark says so, as a new layer
// (empty, and active) otherwise leaves the map seemingly dead.
QVariant LayerTreeModel::activeMarkToolTip(const QObject* item)
{
    const auto* layer = qobject_cast<const VXLayer*>(item);
    if (!layer || !layer->layerMayBecomeActive() || qobject_cast<const VXDrawing*>(item))
        return {};
    if (layer->isActive())
        return tr("The active layer: objects on the map are selected and added here. Click to change its "
                  "selection colour.");
    return tr("Click to make this the active layer. Objects on the map can be selected only in the active layer.");
}

Qt::ItemFlags LayerTreeModel::flags(const QModelIndex& index) const
{
    const QObject* item = itemForIndex(index);
    if (!item)
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (qobject_cast<const VXLayer*>(item))
        flags |= Qt::ItemIsDropEnabled;
    if (index.column() == MainColumn && isItemRenamable(item))
        flags |= Qt::ItemIsEditable;
    if (!isItemExpandable(item))
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

bool LayerTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != MainColumn)
        return false;
    return renameItem(itemForIndex(index), value.toString());
}

// --- Names -------------------------------------------------------------------------------------------

bool LayerTreeModel::isItemRenamable(const QObject* item) const
{
    if (!item || item == m_drawing)
        return false;
    if (const auto* layer = qobject_cast<const VXLayer*>(item))
        return !layer->locked() && layer->allowsRenaming();
    if (const auto* object = qobject_cast<const VXDrawableObject*>(item))
        return !object->locked();
    return qobject_cast<const VXQSlice*>(item) != nullptr;
}

QString LayerTreeModel::cleanedName(const QString& typed)
{
    QString name = typed;
    for (QChar& character : name)
        if (character.category() == QChar::Other_Control || character == QChar::LineSeparator ||
            character == QChar::ParagraphSeparator)
            character = u' ';
    return name.trimmed().left(kMaximumNameLength).trimmed();
}

bool LayerTreeModel::renameItem(QObject* item, const QString& typed)
{
    const QString name = cleanedName(typed);
    if (name.isEmpty() || !isItemRenamable(item))
        return false;
    if (auto* layer = qobject_cast<VXLayer*>(item)) {
        layer->setLayerName(name);
    } else if (auto* object = qobject_cast<VXDrawableObject*>(item)) {
        object->assignUserNameWithFlag(name, true);
    } else if (auto* slice = qobject_cast<VXQSlice*>(item)) {
        QString title = name;
        title.removeIf([](QChar character) { return character.isDigit(); });
        slice->setTitle(title);
    }
    reloadItem(item);
    return true;
}

// --- Following the drawing -----------------------------------------------------------------------

bool LayerTreeModel::isShownLayer(const QObject* sender) const
{
    const auto* layer = qobject_cast<const VXLayer*>(sender);
    return layer && m_drawing && layer->drawing() == m_drawing;
}

void LayerTreeModel::observeDrawing()
{
    if (!m_drawing)
        return;
    auto& centre = platform::NotificationCenter::defaultCenter();
    auto observe = [&](const QString& name, void (LayerTreeModel::*handler)(const platform::Notification&)) {
        m_notificationTokens.append(centre.addObserver(
            this, name, nullptr, [this, handler](const platform::Notification& note) { (this->*handler)(note); }));
    };
    observe(kVXLayerGroupNumberOfLayersDidChange, &LayerTreeModel::groupDidChange);
    observe(kVXLayerDidAddObject, &LayerTreeModel::objectsDidChange);
    observe(kVXLayerDidRemoveObject, &LayerTreeModel::objectsDidChange);
    observe(kVXLayerDidReorderObjects, &LayerTreeModel::objectsDidChange);
    observe(kVLTMSlicesLayerDidAddSlice, &LayerTreeModel::slicesDidChange);
    observe(kVLTMSlicesLayerDidRemoveSlice, &LayerTreeModel::slicesDidChange);
    m_notificationTokens.append(centre.addObserver(this, kVXLayerSelectionDidChange, nullptr,
                                                   [this](const platform::Notification& note) {
                                                       if (auto* layer = qobject_cast<VXObjectDrawingLayer*>(
                                                               note.object());
                                                           layer && isShownLayer(layer))
                                                           Q_EMIT selectionChangedInLayer(layer);
                                                   }));
    m_notificationTokens.append(centre.addObserver(this, kVXDrawingActiveLayerDidChange, m_drawing,
                                                   [this](const platform::Notification&) {
                                                       Q_EMIT activeLayerChanged();
                                                   }));
}

void LayerTreeModel::stopObservingDrawing()
{
    auto& centre = platform::NotificationCenter::defaultCenter();
    for (platform::NotificationObserverToken token : std::as_const(m_notificationTokens))
        centre.removeObserver(token);
    m_notificationTokens.clear();
}

void LayerTreeModel::observeLayers()
{
    if (!m_drawing)
        return;
    QList<VXLayerPtr> layers = m_drawing->flattenedLayers(true);
    QSet<QString> infoLineNames;
    auto observe = [&](VXLayer* layer) {
        for (const QString& key : kObservedLayerKeys) {
            const platform::ObservationToken token = layer->observeKeyPath(
                key, platform::KeyValueObservingOptionNew, this,
                [this, layer = QPointer<VXLayer>(layer)](const platform::KeyValueChange&) {
                    if (layer)
                        reloadItem(layer);
                });
            m_layerObservations.append({layer, token});
        }
        for (const QString& name : layer->notificationNamesAffectingAuxiliaryInfo())
            infoLineNames.insert(name);
    };
    observe(m_drawing);
    for (const VXLayerPtr& layer : std::as_const(layers))
        observe(layer.get());
    auto& centre = platform::NotificationCenter::defaultCenter();
    for (const QString& name : std::as_const(infoLineNames))
        m_infoLineTokens.append(centre.addObserver(
            this, name, nullptr, [this](const platform::Notification& note) { infoLineDidChange(note); }));
}

void LayerTreeModel::stopObservingLayers()
{
    for (const auto& [layer, token] : std::as_const(m_layerObservations))
        if (layer)
            layer->removeObservation(token);
    m_layerObservations.clear();
    auto& centre = platform::NotificationCenter::defaultCenter();
    for (platform::NotificationObserverToken token : std::as_const(m_infoLineTokens))
        centre.removeObserver(token);
    m_infoLineTokens.clear();
}

void LayerTreeModel::groupDidChange(const platform::Notification& notification)
{
    // A group taken out of the drawing says so before it goes: its own later changes do not count.
    if (m_ignoresLayerChanges || !isShownLayer(notification.object()))
        return;
    reloadData();
}

void LayerTreeModel::objectsDidChange(const platform::Notification& notification)
{
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(notification.object());
    if (!m_showsGraphicObjects || !layer || !isShownLayer(layer))
        return;
    if (notification.name == kVXLayerDidReorderObjects) {
        const QModelIndex parent = indexForItem(layer);
        if (const int count = rowCountOfItem(layer); parent.isValid() && count > 0)
            Q_EMIT dataChanged(index(0, MainColumn, parent), index(count - 1, ActiveColumn, parent));
    } else {
        reloadChildrenOfItem(layer);
    }
    Q_EMIT childrenOfLayerReloaded(layer);
}

void LayerTreeModel::slicesDidChange(const platform::Notification& notification)
{
    if (m_showsGraphicObjects && isShownLayer(notification.object()))
        reloadChildrenOfItem(notification.object());
}

void LayerTreeModel::infoLineDidChange(const platform::Notification& notification)
{
    if (isShownLayer(notification.object()))
        reloadItem(notification.object());
}
