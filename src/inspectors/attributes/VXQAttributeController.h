#pragma once

// The attribute editor: a pane over the attributes (metadata) of the selected drawables or
// of one layer. Each row is a key that at least one object holds, showing its type and the
// value the objects share, or "<multiple values>" in red where they differ (see
// CommonAttributes). A search field filters the rows by one of six find options; add and
// remove buttons, a type pop-up per row, the predefined attributes and copy and paste edit
// them.
//
// Every edit walks the content in order, skips locked objects, changes each object through
// its own metadata operations and is one undo step named after the edit. A value edit over
// two or more objects asks first, unless the user turned that off in the confirmation
// (default "kVXQAttributeControllerConfirmsEdits"; unset means ask). A value that does not
// read as the row's type, an empty key and a rename onto a key an object already uses are
// refused with a beep.
//
// The pane never stores values: the table (AttributeTableModel) reads the objects through
// the pane, which keeps what it read until an edit, a new selection or a metadata change of
// one of its objects makes it stale.

#include "app/sidebar/VLTMGenericObjectController.h"
#include "inspectors/attributes/CommonAttributes.h"
#include "inspectors/attributes/VLQNAttributesController.h"
#include "platform/ui/Alert.h"
#include "platform/vantrix/inspector/DisplayBindings.h"

#include <QMap>
#include <QPointer>
#include <optional>

class AttributeTableModel;
class QLineEdit;
class QMessageBox;
class QMimeData;
class QTableView;
class QToolButton;

class VXQAttributeController : public VLTMGenericObjectController, public platform::DisplayBindingSource {
    Q_OBJECT

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    static inline const QString kNibName = QStringLiteral("VXQAttributeController");
    static inline const QString kConfirmsEditsKey = QStringLiteral("kVXQAttributeControllerConfirmsEdits");
    // Columns of the table.
    enum Column { kKeyColumn = 0, kTypeColumn, kValueColumn, kColumnCount };

    VXQAttributeController();
    ~VXQAttributeController() override;
    static std::shared_ptr<VXQAttributeController> make();

    // --- Class-wide answers ------------------------------------------------------------------
    // Whether value edits over two or more objects ask first; the user default, unset = yes.
    static bool confirmsDataEdits();
    static void setConfirmsDataEdits(bool confirms);
    // The type pop-up's index of a framework type code (-1 for none) and back (-2 for none).
    static int attributeControllerIndexForType(int type);
    static int metadataTypeForAttributeControllerIndex(int index);
    // Whether the pasteboard offers attributes (either metadata type).
    static bool canPasteAttributes(const QMimeData* pasteboard);

    // --- What the pane edits ------------------------------------------------------------------
    const QMetaObject* managedObjectClass() const override;
    // Drawables and object layers.
    QList<const QMetaObject*> managedObjectClasses() const override;
    // "name" (unless a layer is among the objects: layers have none) and "locked"; attribute
    // changes arrive by notification.
    QStringList keyPathsOfInterest() const override;
    void newObjectWasAssigned() override;

    // The Attributes tab that shows the content's common name; not owned.
    VLQNAttributesController* controller() const { return m_controller; }
    void setController(VLQNAttributesController* controller) { m_controller = controller; }

    // --- Filter and order ---------------------------------------------------------------------
    QString filterString() const { return m_filterString; }
    void setFilterString(const QString& filter);
    int findOption() const { return m_findOption; }
    void setFindOption(int option);
    // The column the rows are ordered by (Column) and the direction.
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    // Reorders the rows, keeping the selected keys selected.
    void sortByColumn(int column, Qt::SortOrder order);

    // --- Rows ---------------------------------------------------------------------------------
    // What the content holds per key (cached until invalidate).
    const CommonAttributes& allItems() { return *sharedAllItems(); }
    std::shared_ptr<const CommonAttributes> sharedAllItems();
    QStringList allKeys() { return allItems().keys(); }
    // The keys passing the filter, unordered (all without a filter).
    QStringList filteredKeys();
    // The rows, in order.
    QStringList sortedKeys();
    QStringList selectedKeys();
    QStringList keysAtIndexes(const QList<int>& rows);
    // The first item for the key in content order; null when no object has one.
    VXMetadataItemPtr itemFromContentForKey(const QString& key);
    // One item per key (null where there is none), in the order of the keys.
    QList<VXMetadataItemPtr> itemsFromContentForKeys(const QStringList& keys);
    // Whether the objects differ at the key (a later object lacking it counts).
    bool isMixedKey(const QString& key);
    // The shared value; the multiple-values marker where the objects differ; invalid for a
    // key no object has.
    QVariant objectValueFromContentForKey(const QString& key);
    // The shared type code, or -1 where the objects' types differ.
    int objectTypeFromContentForKey(const QString& key);
    // Forgets what was read; the next question reads the content again.
    void invalidate();
    // Rebuilds the table's rows.
    void reloadTable();

    // --- Edits (each one named undo step, locked objects skipped) ----------------------------
    void addMetadataItemToContentForKey(const VXMetadataItemPtr& item, const QString& key);
    void removeMetadataItemFromContentForKey(const QString& key);
    void removeMetadataItemsFromContentForKeys(const QStringList& keys);
    // Adds the items; with renaming, a pasted key the content already has moves to the key
    // followed by the smallest counter that is free ("color" -> "color2"). Answers the keys
    // added.
    QStringList addMetadataItemsToContentRenameKeysIfNecessary(const QMap<QString, VXMetadataItemPtr>& items,
                                                               bool renameKeys);
    // Moves the item of each object that has the old key. Refused (false, beep) for an empty
    // new key or one that an object holding the old key already uses.
    bool renameKeyAsKey(const QString& oldKey, const QString& newKey);
    void setObjectTypeInContentForKey(int type, const QString& key);
    // Refused (false, beep) when the value does not read as the type of every item it goes to.
    // The key "name" also becomes the objects' name.
    bool setObjectValueInContentForKey(const QVariant& value, const QString& key);
    // The entry of every value edit: over two or more objects asks first when confirming.
    // Answers false when the value was refused.
    bool conditionallySetObjectValueInContentForKey(const QVariant& value, const QString& key);
    // Adds a row of the type pop-up's index under a key made unique, then starts editing its
    // value.
    void addNewItemWithType(int index) { addNewItemWithTypePreferredKey(index, {}); }
    void addNewItemWithTypePreferredKey(int index, const QString& preferredKey);
    void insertPredefinedAttributeWithTag(int tag);
    // The lower-case key followed by the smallest counter from 1 that no row has ("str1").
    QString uniqueKeyForProposedKey(const QString& key);
    // Selects exactly the shown rows of the keys.
    void selectKeys(const QStringList& keys);
    // Selects them and scrolls to the first; while the table commits an edit, once its rows
    // have reloaded.
    void revealKeys(const QStringList& keys);
    // The first object's lock.
    bool isObjectLocked();
    QWidget* windowForSheet();

    // The table's edits of a row: the key, the value, the type pop-up's index.
    bool keyEditedInRow(int row, const QString& text);
    bool valueEditedInRow(int row, const QVariant& value);
    void typeEditedInRow(int row, int index);

    // --- Copy and paste -----------------------------------------------------------------------
    // The selected rows' first items; false when nothing is selected or nothing was written.
    bool copyAttributesToPasteboard(QMimeData* pasteboard);
    // Nothing for a pasteboard without readable attributes; otherwise selects the keys added.
    QStringList pasteAttributesFromPasteboard(const QMimeData* pasteboard, bool renameKeys);

    // --- Actions ------------------------------------------------------------------------------
    Q_INVOKABLE void addItemAction(QObject* sender);
    Q_INVOKABLE void addTypedItemFromTagAction(QObject* sender);
    Q_INVOKABLE void removeItemAction(QObject* sender);
    Q_INVOKABLE void insertPredefinedAttributeAction(QObject* sender);
    Q_INVOKABLE void searchFieldInputAction(QObject* sender);
    Q_INVOKABLE void searchFieldOptionsAction(QObject* sender);
    Q_INVOKABLE void selectAll(QObject* sender);
    Q_INVOKABLE void deselectAll(QObject* sender);
    // The general pasteboard; paste renames colliding keys unless Alt is held.
    Q_INVOKABLE void copyAttributesAction(QObject* sender);
    Q_INVOKABLE void pasteAttributesAction(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(QObject* item);

    // --- Display setters of the observed key paths -----------------------------------------
    void setName(const QString& name);
    void setMixedValueForName();
    // Enables the table and buttons exactly when not locked; a mixed lock enables them.
    void setLocked(bool locked) override;
    void setMixedValueForLocked();

    // --- Widgets ------------------------------------------------------------------------------
    QTableView* tableView();
    AttributeTableModel* tableModel();
    QLineEdit* searchField();
    QToolButton* addButton();
    QToolButton* removeButton();
    // The confirmation under way, or null.
    QMessageBox* confirmationBox() const;

protected:
    QWidget* loadView() override;
    bool shouldSetValueOfObjectForKeyPath(QVariant& value, ZQObject* object, const QString& keyPath) override;
    void setControlStateForNil() override;

private:
    struct DeferredEdit {
        QVariant value;
        QString key;
    };
    // The content's attribute holders, in content order, and the objects they are; read again
    // once the content is.
    const QList<const platform::MetadataContainer*>& containers();
    // Whether every object of the content is a drawable (one that has a name).
    bool contentIsDrawables();
    // Runs `change` on each unlocked object as one undo step named `actionName`, then reloads.
    void editContent(const QString& actionName,
                     const std::function<void(ZQObject& object, platform::MetadataContainer& container)>& change);
    QString keyOfRow(int row);
    void metadataDidChange(const platform::Notification& notification);
    void scheduleReload();
    void clearFilter();
    void beginEditingRowOfKey(const QString& key);
    void updateRemoveButton();
    void setControlsEnabled(bool enabled);
    void confirmationEnded(int returnCode);

    QPointer<VLQNAttributesController> m_controller;
    QString m_filterString;
    int m_findOption = 0;
    int m_sortColumn = CommonAttributes::kSortByKey;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    std::shared_ptr<const CommonAttributes> m_allItems;
    std::optional<QStringList> m_filteredKeys;
    std::optional<QStringList> m_sortedKeys;
    std::optional<QList<const platform::MetadataContainer*>> m_containers;
    // Keeps the objects m_containers points into alive until the next content is read, and
    // tells that content from the next: a list held here cannot change unseen.
    QList<ZQObjectPtr> m_containerObjects;
    bool m_containersAreDrawables = true;
    // Made at the first change of metadata after the content is read: a selection of a million
    // objects mostly goes before any of them changes.
    std::optional<QSet<const QObject*>> m_contentIdentities;
    std::optional<DeferredEdit> m_deferredEdit;
    platform::Alert m_confirmation;
    bool m_confirming = false;
    bool m_editing = false;
    QStringList m_keysToRevealAfterReload;

    QPointer<QTableView> m_table;
    QPointer<QLineEdit> m_searchField;
    QPointer<QToolButton> m_addButton;
    QPointer<QToolButton> m_removeButton;
    QPointer<QToolButton> m_predefinedButton;
    AttributeTableModel* m_model = nullptr;
};
