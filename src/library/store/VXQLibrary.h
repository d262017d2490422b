#pragma once

// One named collection of styles and symbol masters. On disk: a folder "<name>.symlibrary"
// holding an item package per item and "<name>.categories", a binary property list that lists
// the items ("allitems") and describes the categories. In memory: the container of its
// categories, with its items in a table by unique key.
//
// A factory library (its folder name is that of a library in the factory folder) is never
// written: its category file is a user copy in the user library folder.
//
// File failures are logged as file events and answered with false or null; they never raise.
// Failures the user would otherwise not learn of (a damaged category file, a category file or
// item that could not be written) are also told through platform::ProblemReporter. A library
// whose category file exists but cannot be read is kept read-only and never written: the file
// is moved aside as "<file>.damaged" for whoever can mend it.
// Names typed by users are cleaned ("/", ":", "\" to "-") before they become paths.

#include "app/services/LibraryServices.h"
#include "library/items/VXQLibraryItem.h"
#include "library/tree/VXQLibraryElementContainer.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QDateTime>
#include <QHash>
#include <QUrl>

class VXQLibraryCategory;
class VXQFixedLengthLibraryCategory;
class VXQLibrary;
using VXQLibraryPtr = std::shared_ptr<VXQLibrary>;

inline const QString kVXQLibraryDidAddCategory = QStringLiteral("kVXQLibraryDidAddCategory");
inline const QString kVXQLibraryDidRemoveCategory = QStringLiteral("kVXQLibraryDidRemoveCategory");
inline const QString kVXQLibraryDidAddItem = QStringLiteral("kVXQLibraryDidAddItem");
inline const QString kVXQLibraryDidRemoveItem = QStringLiteral("kVXQLibraryDidRemoveItem");
inline const QString kVXQLibraryContentDidChange = QStringLiteral("kVXQLibraryContentDidChange");
inline const QString kVXQLibraryDidChangeName = QStringLiteral("kVXQLibraryDidChangeName");
inline const QString kVXQLibraryDocumentGroupName = QStringLiteral("OPEN DOCUMENTS");

class VXQLibrary : public VXQLibraryElementContainer, public VXStyleNameProvider {
    Q_OBJECT
    Q_PROPERTY(QString group READ group WRITE setGroup STORED false)
    Q_PROPERTY(QString displayName READ displayName STORED false)
    Q_PROPERTY(bool allowsContentChanges READ allowsContentChanges WRITE setAllowsContentChanges STORED false)
    Q_PROPERTY(bool allowsCategoryChanges READ allowsCategoryChanges WRITE setAllowsCategoryChanges STORED false)
    Q_PROPERTY(QString creator READ creator WRITE setCreator STORED false)
    Q_PROPERTY(QString userDescription READ userDescription WRITE setUserDescription STORED false)

public:
    VXQLibrary();
    ~VXQLibrary() override;

    // A library in `folder` (a path ending ".symlibrary", made when missing, then loaded), or
    // with an empty path one that lives in memory only.
    static VXQLibraryPtr libraryWithPathAddingStandardCategories(const QString& folder, bool addStandardCategories);
    static VXQLibraryPtr libraryWithPath(const QString& folder) { return libraryWithPathAddingStandardCategories(folder, true); }
    void initWithPathAddingStandardCategories(const QString& folder, bool addStandardCategories);

    static QString libraryExtension() { return QStringLiteral("symlibrary"); }
    static QString categoryFileExtension() { return QStringLiteral("categories"); }
    static qint64 libraryVersion() { return 2; }
    static QString localizedRecentlyUsedCategoryName();
    static QString localizedRecentlyAddedCategoryName();
    static QString localizedAllItemsCategoryName();

    // Where factory libraries and the user's libraries live (tests point them elsewhere).
    static QString factoryLibrariesFolder();
    static void setFactoryLibrariesFolder(const QString& folder);
    static QString userLibrariesFolder();
    static void setUserLibrariesFolder(const QString& folder);
    // A live library of that internal or display name; archives resolve their references so.
    static VXQLibraryPtr libraryWithName(const QString& name);
    // The first library of the registered groups (empty: every group) that holds the key.
    static VXQLibraryPtr libraryContainingItemWithUniqueIDInGroups(const QString& key, const QStringList& groups);
    // The library that holds the style, if any.
    static VXQLibraryPtr libraryForStyle(const VXStyle& style);

    // --- Identity and flags ---------------------------------------------------------------------
    QString group() const { return m_group; }
    void setGroup(const QString& group) { m_group = group; }
    // The folder path, with its extension; empty without presence on disk.
    QString path() const;
    QString internalName() const;
    QString displayName() const;
    QString name() const override;
    void setName(const QString& name) override;
    // Group and dot-free display name, so that identifiers split at "." again.
    QString identifier() const override;
    QImage icon() const override;
    QString toolTipString() const override;
    QString description() const override;
    bool isFactoryLibrary() const;
    bool allowsContentChanges() const { return m_allowsContentChanges; }
    void setAllowsContentChanges(bool allows) { m_allowsContentChanges = allows; }
    bool allowsCategoryChanges() const { return m_allowsCategoryChanges; }
    void setAllowsCategoryChanges(bool allows) { m_allowsCategoryChanges = allows; }
    QString creator() const { return m_creator; }
    void setCreator(const QString& creator);
    QString userDescription() const { return m_description; }
    void setUserDescription(const QString& description);
    bool hasPresenceOnDisk() const { return !m_noDisk; }
    void setHasPresenceOnDisk(bool presence);
    bool isLoadingFromDisk() const { return m_loadingFromDisk; }
    void setLoadingFromDisk(bool loading) { m_loadingFromDisk = loading; }
    qint64 versionNumber();
    bool allowsSubContainers() const override { return allowsCategoryChanges(); }
    ElementList allElements() const override;

    // --- Categories -----------------------------------------------------------------------------
    QList<VXQLibraryCategory*> categories() const;
    QStringList categoryNames() const;
    VXQLibraryCategory* categoryWithName(const QString& name) const;
    void addCategory(const std::shared_ptr<VXQLibraryCategory>& category);
    void removeCategory(VXQLibraryCategory* category);
    VXQLibraryCategory* addCategoryWithName(const QString& name);
    void removeCategoryWithName(const QString& name);
    VXQLibraryCategory* allItemsCategory() const;
    VXQFixedLengthLibraryCategory* recentlyUsedCategory() const;
    VXQFixedLengthLibraryCategory* recentlyAddedCategory() const;
    QList<VXQLibraryCategory*> standardCategories() const;
    // Every category, at any depth, that holds the item directly.
    QList<VXQLibraryCategory*> categoriesWithItem(const VXQLibraryItem* item) const;
    // A category by dotted identifier ("MY LIBRARY.Base.Roads.Minor").
    VXQLibraryElementContainer* itemWithIdentifier(const QString& identifier) const;
    void categoryDidChange(VXQLibraryCategory* category);
    // Every category re-evaluates the item (null: all items).
    void itemUpdateCouldAffectCategories(VXQLibraryItem* item);

    // --- Items ----------------------------------------------------------------------------------
    QList<VXQLibraryItemPtr> items() const;
    qint64 itemCount() const { return m_itemsKeyedByID.size(); }
    // Changes whenever an item comes or goes: caches of what the library holds compare it.
    quint64 membershipGeneration() const { return m_membershipGeneration; }
    VXQLibraryItem* itemWithUniqueID(const QString& key) const;
    bool containsUniqueID(const QString& key) const;
    // Ignoring case; of names that differ only in case, the one spelt as asked.
    VXQLibraryItem* itemWithName(const QString& name) const;
    QString uniqueItemName(const QString& name) const { return uniqueItemNameExcluding(name, nullptr); }
    // The same, not counting `item` itself (a rename that only changes case keeps the name).
    QString uniqueItemNameExcluding(const QString& name, const VXQLibraryItem* item) const;
    // Items tell their library when they take another name.
    void itemNameDidChange(const VXQLibraryItem* item, const QString& oldName, const QString& newName);
    void addItem(const VXQLibraryItemPtr& item) { addItemNotifying(item, true); }
    void addItemNotifying(const VXQLibraryItemPtr& item, bool notify);
    // Registers an item while the category file is applied.
    void enterLoadedItem(const VXQLibraryItemPtr& item);
    void removeItem(VXQLibraryItem* item);
    // Moves the packages to the Trash; the library keeps only what did not move, whose names
    // are added to `notTrashed`. True when every item moved.
    bool trashItems(const QList<VXQLibraryItemPtr>& items, QStringList* notTrashed = nullptr);
    VXQLibraryItemPtr transferItemToCategoryMakingCopy(const VXQLibraryItemPtr& item, VXQLibraryCategory* category,
                                                       bool makingCopy);
    void useItem(VXQLibraryItem* item);
    // Adds the styles and symbol masters no library knows yet; writes when anything changed.
    void addUnknownItemsFromSet(const QList<ZQObjectPtr>& objects);
    // Package names in the folder that no item of the library stands for.
    std::optional<QStringList> orphanedItems() const;

    // --- Disk -----------------------------------------------------------------------------------
    bool createOnDisk();
    void load();
    void loadItems(const QVariantList& entries);
    QVariantMap libraryInfo() const;
    // Nullopt when there is no category file, or with `reason` when it cannot be read.
    std::optional<QVariantMap> categoryFileInfo(QString* reason = nullptr) const;
    // The category file existed but could not be read (see above).
    bool loadFailed() const { return m_loadFailed; }
    QByteArray categoryFileData() const;
    bool writeCategoryFile();
    void setNeedsUpdateOnDisk() { m_needsUpdateOnDisk = true; }
    bool needsUpdateOnDisk() const { return m_needsUpdateOnDisk; }
    bool updateOnDisk() { return updateOnDiskUnloadingItems(false); }
    // False when the category file could not be written (it stays marked for the next try).
    bool updateOnDiskUnloadingItems(bool unload);
    // Exports the folder as a zip archive in the background (see VXQLibraryArchivingTask).
    void writeZipFileAtURLNotifyingDelegate(const QUrl& url, QObject* delegate);
    bool moveToTrash();
    bool deleteOnDisk();
    QString categoryFilePath();
    QString originalCategoryFilePath() const;
    // Writes what is pending; what still cannot be written is said once more, before the
    // application goes, as lost.
    void applicationWillQuit();
    // When the process ends without quitting (the display went away): changes whose write was
    // still due are said to be lost on the error output, as no window can tell it any more.
    void reportUnsavedChangesAtExit() const;
    // A factory library whose user copy of the category file differs from the factory's.
    bool needsCategoryFileMerge();
    // Adds the factory file's items and categories the user copy lacks.
    bool mergeCategoryFile();

    // --- Ad-hoc names ---------------------------------------------------------------------------
    QString nextAdHocStyleName() { return nextAdHocStyleNameWithCollection(true); }
    QString nextAdHocStyleNameWithCollection(bool withCollection);
    void resetAdHocStyleName();
    QString adHocSeedKey() const;
    QString nameForCopyOfStyle(const VXStyle& style) const override;

    // --- Archived references --------------------------------------------------------------------
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    ZQObjectPtr awakeAfterUsingCoder(platform::KeyedUnarchiver& coder) override;

    // The name a user typed, cleaned for the file system: "/", ":" and "\" become "-"; empty
    // for names that cannot be a folder ("", ".", "..", too long).
    static QString fileSystemName(const QString& name);

private:
    void addStandardCategories();
    // Marks the category file and writes it when the turn ends.
    void categoryFileContentDidChange();
    void scheduleCategoryFileWrite();
    QString folderPathWithoutExtension() const { return m_path; }
    QString factoryFolderPath() const;
    QString factoryCategoryFilePath() const;
    static qint64 versionInCategoryFile(const QString& path);
    void keepDamagedCategoryFile(const QString& file, const QString& reason);
    void removeFromAllCategories(VXQLibraryItem* item);
    // The items by case-folded name: made on first use, then kept up to date, so that finding
    // or naming each of many items does not look at every name again.
    QMultiHash<QString, VXQLibraryItem*>& itemsByFoldedName() const;
    // Both do nothing while the index is not made.
    void indexItemUnderName(VXQLibraryItem* item, const QString& name);
    void unindexItemUnderName(VXQLibraryItem* item, const QString& name);
    void forgetItem(VXQLibraryItem* item);
    void postNotification(const QString& name, const QVariantMap& userInfo = {});

    QString m_group;
    QString m_path;
    QHash<QString, VXQLibraryItemPtr> m_itemsKeyedByID;
    mutable std::optional<QMultiHash<QString, VXQLibraryItem*>> m_itemsByFoldedName;
    quint64 m_membershipGeneration = 0;
    bool m_loadingFromDisk = false;
    bool m_allowsCategoryChanges = true;
    bool m_allowsContentChanges = true;
    bool m_needsUpdateOnDisk = false;
    bool m_hasPreferredGroup = false;
    bool m_noDisk = true;
    bool m_loadFailed = false;
    // Why the last write failed, told once; empty since one succeeded.
    QString m_writeProblem;
    std::shared_ptr<VXQLibraryCategory> m_allItems;
    std::shared_ptr<VXQFixedLengthLibraryCategory> m_recentlyUsed;
    std::shared_ptr<VXQFixedLengthLibraryCategory> m_recentlyAdded;
    bool m_updatingManagedCategories = false;
    bool m_categoryWriteScheduled = false;
    QString m_creator;
    QString m_description;
    mutable QString m_displayName;
    qint64 m_version = 0;
    quint64 m_adHocSeedValue = 0;
};

Q_DECLARE_METATYPE(VXQLibraryPtr)
