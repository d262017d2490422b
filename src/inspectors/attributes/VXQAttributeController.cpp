#include "inspectors/attributes/VXQAttributeController.h"

#include "inspectors/InspectedObjects.h"
#include "inspectors/attributes/AttributeTableModel.h"
#include "inspectors/attributes/AttributeTables.h"
#include "inspectors/attributes/VLQNAttributesController.h"
#include "platform/foundation/Markers.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QScopeGuard>
#include <QTableView>
#include <QToolButton>
#include <algorithm>

namespace {

const QByteArray kReloadTableKey = "reloadAttributeTable";

ZQUndoManager* undoManagerOf(const ZQObject& object)
{
    if (const auto* drawable = qobject_cast<const VXDrawableObject*>(&object))
        return drawable->undoManager();
    if (const auto* layer = qobject_cast<const VXLayer*>(&object))
        return layer->undoManager();
    return nullptr;
}

int tagOf(QObject* sender)
{
    if (const auto* item = qobject_cast<platform::MenuItem*>(sender))
        return item->tag();
    return sender ? sender->property("tag").toInt() : 0;
}

} // namespace

VXQAttributeController::VXQAttributeController()
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kVXMetadataDidChangeNotification, nullptr,
        [this](const platform::Notification& notification) { metadataDidChange(notification); });
}

VXQAttributeController::~VXQAttributeController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<VXQAttributeController> VXQAttributeController::make()
{
    auto pane = std::make_shared<VXQAttributeController>();
    pane->initWithNibName(kNibName);
    return pane;
}

// --- Class-wide answers -----------------------------------------------------------------------

bool VXQAttributeController::confirmsDataEdits()
{
    const platform::UserDefaults* defaults = platform::UserDefaults::standardUserDefaults();
    return !defaults->objectForKey(kConfirmsEditsKey).isValid() || defaults->boolForKey(kConfirmsEditsKey);
}

void VXQAttributeController::setConfirmsDataEdits(bool confirms)
{
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(confirms, kConfirmsEditsKey);
}

int VXQAttributeController::attributeControllerIndexForType(int type)
{
    return attributetables::indexForType(type);
}

int VXQAttributeController::metadataTypeForAttributeControllerIndex(int index)
{
    return attributetables::typeForIndex(index);
}

bool VXQAttributeController::canPasteAttributes(const QMimeData* pasteboard)
{
    // Data that does not unarchive as items is no attributes, whatever its type says.
    return pasteboard
           && (pasteboard->hasFormat(VXSingleMetadataItemPBoardType) || pasteboard->hasFormat(VXMultipleMetadataItemsPBoardType))
           && !VXMetadataItem::metadataItemsWithPasteboard(pasteboard).isEmpty();
}

// --- What the pane edits ----------------------------------------------------------------------

const QMetaObject* VXQAttributeController::managedObjectClass() const
{
    return &VXDrawableObject::staticMetaObject;
}

QList<const QMetaObject*> VXQAttributeController::managedObjectClasses() const
{
    return {&VXDrawableObject::staticMetaObject, &VXObjectDrawingLayer::staticMetaObject};
}

QStringList VXQAttributeController::keyPathsOfInterest() const
{
    // Asked once the objects are known (while they are being observed and read).
    if (!const_cast<VXQAttributeController*>(this)->contentIsDrawables())
        return {QStringLiteral("locked")};
    return {QStringLiteral("name"), QStringLiteral("locked")};
}

void VXQAttributeController::newObjectWasAssigned()
{
    m_containers.reset();
    VLTMGenericObjectController::newObjectWasAssigned();
    invalidate();
    reloadTable();
}

const QList<const platform::MetadataContainer*>& VXQAttributeController::containers()
{
    const QList<ZQObjectPtr>& objects = content();
    if (m_containers && objects.constData() == m_containerObjects.constData() && objects.size() == m_containerObjects.size())
        return *m_containers;
    QList<const platform::MetadataContainer*> holders;
    holders.reserve(objects.size());
    bool drawables = true;
    for (const ZQObjectPtr& object : objects) {
        // A million pasted lines are told apart by their class chain, not by a cross-cast each.
        if (const auto* drawable = qobject_cast<const VXDrawableObject*>(object.get())) {
            holders.append(drawable);
            continue;
        }
        drawables = false;
        if (const auto* container = dynamic_cast<const platform::MetadataContainer*>(object.get()))
            holders.append(container);
    }
    m_contentIdentities.reset();
    m_containerObjects = objects;
    m_containersAreDrawables = drawables;
    return m_containers.emplace(std::move(holders));
}

bool VXQAttributeController::contentIsDrawables()
{
    containers();
    return m_containersAreDrawables;
}

// --- Filter and order -------------------------------------------------------------------------

void VXQAttributeController::setFilterString(const QString& filter)
{
    if (filter == m_filterString)
        return;
    m_filterString = filter;
    m_filteredKeys.reset();
    m_sortedKeys.reset();
    reloadTable();
}

void VXQAttributeController::setFindOption(int option)
{
    if (option == m_findOption)
        return;
    m_findOption = option;
    m_filteredKeys.reset();
    m_sortedKeys.reset();
    reloadTable();
}

void VXQAttributeController::sortByColumn(int column, Qt::SortOrder order)
{
    if (column == m_sortColumn && order == m_sortOrder)
        return;
    const QStringList selected = selectedKeys();
    m_sortColumn = column;
    m_sortOrder = order;
    m_sortedKeys.reset();
    reloadTable();
    revealKeys(selected);
}

void VXQAttributeController::clearFilter()
{
    if (m_searchField)
        m_searchField->clear();
    setFilterString({});
}

// --- Rows -------------------------------------------------------------------------------------

std::shared_ptr<const CommonAttributes> VXQAttributeController::sharedAllItems()
{
    if (!m_allItems)
        m_allItems = std::make_shared<const CommonAttributes>(containers());
    return m_allItems;
}

QStringList VXQAttributeController::filteredKeys()
{
    if (!m_filteredKeys)
        m_filteredKeys = m_filterString.isEmpty() ? allItems().keys() : allItems().keysPassingFilter(m_filterString, m_findOption);
    return *m_filteredKeys;
}

QStringList VXQAttributeController::sortedKeys()
{
    if (!m_sortedKeys)
        m_sortedKeys = allItems().sortedKeys(filteredKeys(), m_sortColumn, m_sortOrder);
    return *m_sortedKeys;
}

QStringList VXQAttributeController::keysAtIndexes(const QList<int>& rows)
{
    const QStringList keys = sortedKeys();
    QStringList chosen;
    for (int row : rows) {
        if (row >= 0 && row < keys.size())
            chosen.append(keys[row]);
    }
    return chosen;
}

QStringList VXQAttributeController::selectedKeys()
{
    if (!m_table || !m_model || !m_table->selectionModel())
        return {};
    QList<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    // The keys of the rows as shown, which the objects may have changed since.
    QStringList keys;
    for (int row : std::as_const(rows))
        keys.append(m_model->keyForRow(row));
    return keys;
}

VXMetadataItemPtr VXQAttributeController::itemFromContentForKey(const QString& key)
{
    for (const platform::MetadataContainer* container : containers()) {
        const auto found = container->metadataValues().constFind(key);
        if (found != container->metadataValues().cend())
            return VXMetadataItem::metadataItemWithMetadataValue(*found);
    }
    return nullptr;
}

QList<VXMetadataItemPtr> VXQAttributeController::itemsFromContentForKeys(const QStringList& keys)
{
    QList<VXMetadataItemPtr> items;
    for (const QString& key : keys)
        items.append(itemFromContentForKey(key));
    return items;
}

bool VXQAttributeController::isMixedKey(const QString& key)
{
    const CommonAttributes::Entry* entry = allItems().entryForKey(key);
    return entry && entry->mixed;
}

QVariant VXQAttributeController::objectValueFromContentForKey(const QString& key)
{
    const CommonAttributes::Entry* entry = allItems().entryForKey(key);
    if (!entry)
        return {};
    return entry->mixed ? platform::multipleValuesMarker() : entry->reference.value;
}

int VXQAttributeController::objectTypeFromContentForKey(const QString& key)
{
    const CommonAttributes::Entry* entry = allItems().entryForKey(key);
    return entry ? entry->commonType : int(kVXMetadataTypeString);
}

void VXQAttributeController::invalidate()
{
    m_allItems.reset();
    m_filteredKeys.reset();
    m_sortedKeys.reset();
}

void VXQAttributeController::reloadTable()
{
    if (m_model && m_model->isCommittingEdit()) {
        // Resetting the rows under the view's commit would leave it an editor it no longer knows.
        scheduleReload();
        return;
    }
    platform::RunLoop::cancelPreviousPerformRequests(this, kReloadTableKey);
    if (m_model) {
        const QStringList selected = selectedKeys();
        m_model->reload();
        selectKeys(selected);
    }
    updateRemoveButton();
    if (!m_keysToRevealAfterReload.isEmpty())
        revealKeys(std::exchange(m_keysToRevealAfterReload, {}));
}

void VXQAttributeController::scheduleReload()
{
    platform::RunLoop::cancelPreviousPerformRequests(this, kReloadTableKey);
    platform::RunLoop::performAfterDelay(this, [this] { reloadTable(); }, 0, kReloadTableKey);
}

void VXQAttributeController::metadataDidChange(const platform::Notification& notification)
{
    // The pane's own edits reload once when they end.
    if (m_editing || !m_containers)
        return;
    if (!m_contentIdentities) {
        m_contentIdentities.emplace();
        m_contentIdentities->reserve(m_containerObjects.size());
        for (const ZQObjectPtr& object : std::as_const(m_containerObjects))
            m_contentIdentities->insert(object.get());
    }
    if (!m_contentIdentities->contains(notification.object()))
        return;
    // Undoing a paste over thousands of objects posts once per object: the table follows once.
    invalidate();
    scheduleReload();
}

// --- Edits ------------------------------------------------------------------------------------

void VXQAttributeController::editContent(
    const QString& actionName, const std::function<void(ZQObject& object, platform::MetadataContainer& container)>& change)
{
    const QList<ZQObjectPtr> objects = content();
    QList<ZQUndoManager*> managers;
    m_editing = true;
    const auto finish = qScopeGuard([&] {
        for (ZQUndoManager* manager : std::as_const(managers)) {
            manager->setActionName(actionName);
            manager->endUndoGrouping();
        }
        m_editing = false;
        invalidate();
        reloadTable();
    });
    for (const ZQObjectPtr& object : objects) {
        auto* container = dynamic_cast<platform::MetadataContainer*>(object.get());
        if (!container || inspectors::objectIsLocked(*object))
            continue;
        ZQUndoManager* manager = undoManagerOf(*object);
        if (manager && !managers.contains(manager)) {
            manager->beginUndoGrouping();
            managers.append(manager);
        }
        change(*object, *container);
    }
}

void VXQAttributeController::addMetadataItemToContentForKey(const VXMetadataItemPtr& item, const QString& key)
{
    if (!item || key.trimmed().isEmpty())
        return;
    editContent(tr("New Attribute"),
                [&](ZQObject&, platform::MetadataContainer& container) { container.setMetadataItemForKey(item, key); });
}

void VXQAttributeController::removeMetadataItemFromContentForKey(const QString& key)
{
    removeMetadataItemsFromContentForKeys({key});
}

void VXQAttributeController::removeMetadataItemsFromContentForKeys(const QStringList& keys)
{
    if (keys.isEmpty())
        return;
    editContent(tr("Delete Attribute"), [&](ZQObject&, platform::MetadataContainer& container) {
        for (const QString& key : keys)
            container.removeMetadataForKey(key);
    });
}

QStringList VXQAttributeController::addMetadataItemsToContentRenameKeysIfNecessary(
    const QMap<QString, VXMetadataItemPtr>& items, bool renameKeys)
{
    QMap<QString, VXMetadataItemPtr> added;
    QSet<QString> taken;
    if (renameKeys) {
        const QStringList existing = allKeys();
        taken = QSet<QString>(existing.begin(), existing.end());
        for (auto it = items.cbegin(); it != items.cend(); ++it)
            taken.insert(it.key().toLower());
    }
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        if (!it.value() || it.key().trimmed().isEmpty())
            continue;
        QString key = it.key().toLower();
        if (renameKeys && allItems().contains(key)) {
            for (qint64 counter = 1;; ++counter) {
                const QString candidate = QStringLiteral("%1%2").arg(key).arg(counter);
                if (!taken.contains(candidate)) {
                    key = candidate;
                    break;
                }
            }
            taken.insert(key);
        }
        added.insert(key, it.value());
    }
    if (added.isEmpty())
        return {};
    QVariantMap metadata;
    for (auto it = added.cbegin(); it != added.cend(); ++it)
        metadata.insert(it.key(), QVariant::fromValue(ZQObjectPtr(it.value())));
    editContent(tr("Paste Attributes"),
                [&](ZQObject&, platform::MetadataContainer& container) { container.addMetadata(metadata); });
    return added.keys();
}

bool VXQAttributeController::renameKeyAsKey(const QString& oldKey, const QString& newKey)
{
    const QString from = oldKey.toLower();
    const QString to = newKey.trimmed().toLower();
    if (to == from)
        return true;
    // A rename onto a key in use would overwrite that attribute.
    if (to.isEmpty() || allItems().contains(to)) {
        platform::Application::beep();
        return false;
    }
    editContent(tr("Change Attribute Name"), [&](ZQObject&, platform::MetadataContainer& container) {
        const VXMetadataItemPtr item = container.metadataItemForKey(from);
        if (!item)
            return;
        container.removeMetadataForKey(from);
        container.setMetadataItemForKey(item, to);
    });
    return true;
}

void VXQAttributeController::setObjectTypeInContentForKey(int type, const QString& key)
{
    if (!VXMetadataItem::isKnownType(type))
        return;
    editContent(tr("Change Attribute Type"),
                [&](ZQObject&, platform::MetadataContainer& container) { container.setMetadataItemTypeForKey(type, key); });
}

bool VXQAttributeController::setObjectValueInContentForKey(const QVariant& value, const QString& key)
{
    // Read once per type the value goes to; one object's refusal refuses the edit.
    QHash<int, std::optional<QVariant>> valueForType;
    const auto valueOfType = [&](int type) -> const std::optional<QVariant>& {
        auto found = valueForType.find(type);
        if (found == valueForType.end())
            found = valueForType.insert(type, attributetables::valueOfType(value, type));
        return *found;
    };
    const QList<ZQObjectPtr> objects = content();
    for (const ZQObjectPtr& object : objects) {
        const auto* container = dynamic_cast<const platform::MetadataContainer*>(object.get());
        if (!container || inspectors::objectIsLocked(*object))
            continue;
        const auto found = container->metadataValues().constFind(key);
        const int type = found != container->metadataValues().cend() ? found->type : VXMetadataValue::withValue(value).type;
        if (!valueOfType(type)) {
            platform::Application::beep();
            return false;
        }
    }
    editContent(tr("Change Attribute Value"), [&](ZQObject& object, platform::MetadataContainer& container) {
        const auto found = container.metadataValues().constFind(key);
        const int type = found != container.metadataValues().cend() ? found->type : VXMetadataValue::withValue(value).type;
        const QVariant typed = *valueOfType(type);
        container.setMetadataItemValueForKey(typed, key);
        // The "name" attribute is the object's name as well.
        if (key == QLatin1String("name")) {
            if (auto* drawable = qobject_cast<VXDrawableObject*>(&object))
                drawable->assignUserNameWithFlag(VXMetadataValue::withValue(typed).stringValue(), true);
        }
    });
    return true;
}

bool VXQAttributeController::conditionallySetObjectValueInContentForKey(const QVariant& value, const QString& key)
{
    const qsizetype count = content().size();
    if (count < 2 || !confirmsDataEdits())
        return setObjectValueInContentForKey(value, key);
    const int type = objectTypeFromContentForKey(key);
    const std::optional<QVariant> typed =
        type == CommonAttributes::kMixedTypes ? std::optional<QVariant>(value) : attributetables::valueOfType(value, type);
    if (!typed) {
        platform::Application::beep();
        return false;
    }
    m_confirmation = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Change Multiple Objects Attribute?"), tr("Change"), tr("Don't Change"), {},
        tr("The value of '%1' for %2 items will be changed to: %3")
            .arg(key.toUpper())
            .arg(count)
            .arg(VXMetadataValue::withValue(*typed).stringValue()));
    m_confirmation.setAlertStyle(platform::Alert::WarningStyle);
    m_confirmation.setShowsSuppressionButton(true);
    if (QCheckBox* box = m_confirmation.suppressionButton())
        box->setChecked(!confirmsDataEdits());
    m_deferredEdit = DeferredEdit{value, key};
    m_confirming = true;
    QPointer<VXQAttributeController> self(this);
    m_confirmation.beginSheetModalForWindowCompletionHandler(windowForSheet(), [self](int returnCode) {
        if (self)
            self->confirmationEnded(returnCode);
    });
    return true;
}

void VXQAttributeController::confirmationEnded(int returnCode)
{
    m_confirming = false;
    setConfirmsDataEdits(!m_confirmation.suppressionButtonState());
    const std::optional<DeferredEdit> edit = std::exchange(m_deferredEdit, std::nullopt);
    if (returnCode == platform::Alert::kDefaultReturn && edit)
        setObjectValueInContentForKey(edit->value, edit->key);
}

QMessageBox* VXQAttributeController::confirmationBox() const
{
    return m_confirming ? m_confirmation.messageBox() : nullptr;
}

QString VXQAttributeController::uniqueKeyForProposedKey(const QString& key)
{
    const QString base = key.toLower();
    const CommonAttributes& items = allItems();
    for (qint64 counter = 1;; ++counter) {
        const QString candidate = QStringLiteral("%1%2").arg(base).arg(counter);
        if (!items.contains(candidate))
            return candidate;
    }
}

void VXQAttributeController::addNewItemWithTypePreferredKey(int index, const QString& preferredKey)
{
    clearFilter();
    attributetables::KeyedItem added = attributetables::newItemForIndex(index);
    if (!preferredKey.isEmpty())
        added.key = preferredKey;
    const QString key = uniqueKeyForProposedKey(added.key);
    addMetadataItemToContentForKey(added.item, key);
    beginEditingRowOfKey(key);
}

void VXQAttributeController::insertPredefinedAttributeWithTag(int tag)
{
    const std::optional<attributetables::KeyedItem> predefined = attributetables::predefinedAttributeForTag(tag);
    if (!predefined)
        return;
    clearFilter();
    const QString key = predefined->key.toLower();
    addMetadataItemToContentForKey(predefined->item, key);
    beginEditingRowOfKey(key);
}

void VXQAttributeController::beginEditingRowOfKey(const QString& key)
{
    const int row = int(sortedKeys().indexOf(key));
    if (row < 0)
        return;
    QTableView* table = tableView();
    if (QWidget* window = table->window(); window && window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
    table->setFocus();
    table->selectRow(row);
    const QModelIndex value = m_model->index(row, kValueColumn);
    table->scrollTo(value);
    table->edit(value);
}

void VXQAttributeController::revealKeys(const QStringList& keys)
{
    if (m_model && m_model->isCommittingEdit()) {
        m_keysToRevealAfterReload = keys;
        return;
    }
    selectKeys(keys);
    if (!keys.isEmpty() && m_table && m_model)
        m_table->scrollTo(m_model->index(int(sortedKeys().indexOf(keys.first())), kKeyColumn));
}

void VXQAttributeController::selectKeys(const QStringList& keys)
{
    if (keys.isEmpty() || !m_table || !m_model || m_model->rowCount() == 0)
        return;
    const QStringList rows = sortedKeys();
    QItemSelection selection;
    for (const QString& key : keys) {
        const qsizetype row = rows.indexOf(key);
        if (row >= 0)
            selection.select(m_model->index(int(row), 0), m_model->index(int(row), kColumnCount - 1));
    }
    m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    updateRemoveButton();
}

bool VXQAttributeController::isObjectLocked()
{
    const QList<ZQObjectPtr>& objects = content();
    return !objects.isEmpty() && inspectors::objectIsLocked(*objects.first());
}

QWidget* VXQAttributeController::windowForSheet()
{
    return view()->window();
}

// --- The table's edits ---------------------------------------------------------------------------

QString VXQAttributeController::keyOfRow(int row)
{
    // The row as the table shows it, which a change elsewhere may not have reached yet.
    return m_model ? m_model->keyForRow(row) : keysAtIndexes({row}).value(0);
}

bool VXQAttributeController::keyEditedInRow(int row, const QString& text)
{
    ZQLogObjCMethod(QStringLiteral("new key: %1, row = %2").arg(text).arg(row));
    const QString key = keyOfRow(row);
    if (key.isEmpty())
        return false;
    const QString newKey = text.trimmed().toLower();
    if (!renameKeyAsKey(key, newKey))
        return false;
    revealKeys({newKey});
    return true;
}

bool VXQAttributeController::valueEditedInRow(int row, const QVariant& value)
{
    ZQLogObjCMethod(QStringLiteral("new value: %1, row = %2").arg(value.toString()).arg(row));
    const QString key = keyOfRow(row);
    return !key.isEmpty() && conditionallySetObjectValueInContentForKey(value, key);
}

void VXQAttributeController::typeEditedInRow(int row, int index)
{
    ZQLogObjCMethod(QStringLiteral("new type: %1, row = %2").arg(attributetables::titleForIndex(index)).arg(row));
    const QString key = keyOfRow(row);
    const int type = metadataTypeForAttributeControllerIndex(index);
    if (!key.isEmpty() && type != attributetables::kNoType)
        setObjectTypeInContentForKey(type, key);
}

// --- Copy and paste ------------------------------------------------------------------------------

bool VXQAttributeController::copyAttributesToPasteboard(QMimeData* pasteboard)
{
    const QStringList keys = selectedKeys();
    if (keys.isEmpty() || !pasteboard)
        return false;
    VXMetadataItem::writeMetadataItemsForKeysToPasteboard(itemsFromContentForKeys(keys), keys, pasteboard);
    if (!canPasteAttributes(pasteboard)) {
        ZQLog(QStringLiteral("attributes could not be written to pasteboard"));
        return false;
    }
    return true;
}

QStringList VXQAttributeController::pasteAttributesFromPasteboard(const QMimeData* pasteboard, bool renameKeys)
{
    if (!canPasteAttributes(pasteboard))
        return {};
    const QMap<QString, VXMetadataItemPtr> items = VXMetadataItem::metadataItemsWithPasteboard(pasteboard);
    clearFilter();
    const QStringList added = addMetadataItemsToContentRenameKeysIfNecessary(items, renameKeys);
    selectKeys(added);
    return added;
}

// --- Actions -------------------------------------------------------------------------------------

void VXQAttributeController::addItemAction(QObject* sender)
{
    // A pop-up's chosen entry carries the type; any other sender adds text.
    const auto* popUp = qobject_cast<QComboBox*>(sender);
    addNewItemWithType(popUp ? popUp->currentData().toInt() : int(attributetables::kStringIndex));
}

void VXQAttributeController::addTypedItemFromTagAction(QObject* sender)
{
    addNewItemWithType(tagOf(sender));
}

void VXQAttributeController::removeItemAction(QObject*)
{
    removeMetadataItemsFromContentForKeys(selectedKeys());
}

void VXQAttributeController::insertPredefinedAttributeAction(QObject* sender)
{
    insertPredefinedAttributeWithTag(tagOf(sender));
}

void VXQAttributeController::searchFieldInputAction(QObject* sender)
{
    if (const auto* field = qobject_cast<QLineEdit*>(sender))
        setFilterString(field->text());
}

void VXQAttributeController::searchFieldOptionsAction(QObject* sender)
{
    setFindOption(tagOf(sender));
}

void VXQAttributeController::selectAll(QObject*)
{
    if (QTableView* table = tableView())
        table->selectAll();
    updateRemoveButton();
}

void VXQAttributeController::deselectAll(QObject*)
{
    if (QTableView* table = tableView())
        table->clearSelection();
    updateRemoveButton();
}

void VXQAttributeController::copyAttributesAction(QObject*)
{
    auto data = std::make_unique<QMimeData>();
    if (copyAttributesToPasteboard(data.get()))
        QApplication::clipboard()->setMimeData(data.release());
}

void VXQAttributeController::pasteAttributesAction(QObject*)
{
    const bool keepKeys = platform::currentModifierFlags() & platform::OptionKeyMask;
    pasteAttributesFromPasteboard(QApplication::clipboard()->mimeData(), !keepKeys);
}

bool VXQAttributeController::validateMenuItem(QObject* item)
{
    auto* menuItem = qobject_cast<platform::MenuItem*>(item);
    if (!menuItem)
        return true;
    const QByteArray action = menuItem->action();
    if (action == "searchFieldOptionsAction") {
        menuItem->setState(menuItem->tag() == m_findOption ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "pasteAttributesAction")
        return canPasteAttributes(QApplication::clipboard()->mimeData());
    if (action == "copyAttributesAction" || action == "removeItemAction" || action == "deselectAll")
        return !selectedKeys().isEmpty();
    if (action == "selectAll")
        return selectedKeys().size() < sortedKeys().size();
    return true;
}

// --- Display setters -----------------------------------------------------------------------------

void VXQAttributeController::setName(const QString& name)
{
    if (m_controller)
        m_controller->setNameString(name);
}

void VXQAttributeController::setMixedValueForName()
{
    if (m_controller)
        m_controller->setNameString(tr("Multiple Selection"));
}

void VXQAttributeController::setLocked(bool locked)
{
    setControlsEnabled(!locked);
}

void VXQAttributeController::setMixedValueForLocked()
{
    setControlsEnabled(true);
}

void VXQAttributeController::setControlStateForNil()
{
    setControlsEnabled(false);
}

bool VXQAttributeController::shouldSetValueOfObjectForKeyPath(QVariant&, ZQObject* object, const QString&)
{
    return object && !inspectors::objectIsLocked(*object);
}

void VXQAttributeController::setControlsEnabled(bool enabled)
{
    for (QWidget* control : {static_cast<QWidget*>(m_table.data()), static_cast<QWidget*>(m_addButton.data()),
                             static_cast<QWidget*>(m_predefinedButton.data())}) {
        if (control)
            control->setEnabled(enabled);
    }
    updateRemoveButton();
}

void VXQAttributeController::updateRemoveButton()
{
    if (m_removeButton)
        m_removeButton->setEnabled(m_table && m_table->isEnabled() && !selectedKeys().isEmpty() && !isObjectLocked());
}

const platform::DisplayBindings& VXQAttributeController::displayBindings() const
{
    using Self = VXQAttributeController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("name"), &Self::setName, &Self::setMixedValueForName)
        .bind(QStringLiteral("locked"), &Self::setLocked, &Self::setMixedValueForLocked);
    return bindings;
}
