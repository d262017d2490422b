#pragma once

// The application-wide access to symbol masters by unique key. The static members work on one
// shared registry, asked once of the application delegate ("applicationWillReturnSymbolManager",
// which the symbol library answers with its registry); when the delegate answers nothing, a
// VXQSymbolManager of its own is the registry for the life of the process.
//
// As a registry, a manager keeps objects by key in named categories (the default category holds
// them all) with recent lists, relays changes of the masters it holds as
// "kVXQRegisteredSymbolDidChangeNotification" {"Symbol": master}, and gives new masters names
// no other stored object has ("untitled symbol 1").

#include "platform/foundation/ZQObject.h"
#include "symbols/manager/VXImageDataManager.h"
#include "symbols/manager/VXQSymbolRegistry.h"
#include "symbols/masters/VXQSymbolMaster.h"

#include <QHash>

namespace platform {
struct Notification;
}

inline const QString kVXQSymbolWasRegisteredNotification = QStringLiteral("kVXQSymbolWasRegisteredNotification");
inline const QString kVXQRegisteredSymbolDidChangeNotification = QStringLiteral("kVXQRegisteredSymbolDidChangeNotification");
inline const QString kVXDefaultCategoryName = QStringLiteral("All Items");
inline const QString kVXQAllUserSymbolsCategory = QStringLiteral("All User Symbols");
inline const QString kVXQAllUserStylesCategory = QStringLiteral("All User Styles");
inline const QString kVXQAutomaticKeyItemsCategory = QStringLiteral("Automatic Key Items");

class VXQSymbolManager : public ZQObject, public VXQSymbolRegistry {
    Q_OBJECT

public:
    VXQSymbolManager();
    ~VXQSymbolManager() override;

    // --- The shared registry ---------------------------------------------------------------
    // The delegate's registry, else an own manager; the same object on every call.
    static VXQSymbolRegistry* sharedSymbolManager();
    // The shared registry's master for the key; null when it answers none or no master.
    static VXQSymbolMasterPtr sharedSymbolForKey(const QString& key);
    // The same, noting the key in recent list 1 when a master is found.
    static VXQSymbolMasterPtr symbolForKeyAddingToRecentlyUsed(const QString& key);
    // Adds the master under its key (to "All User Symbols"), named so that it does not clash,
    // unless the registry knows its key already. Logs it and posts
    // "kVXQSymbolWasRegisteredNotification" (sender: the registry).
    static void registerSymbol(const VXQSymbolMasterPtr& master);
    static void registerSymbolInCategories(const VXQSymbolMasterPtr& master, const QStringList& categories);
    static void unregisterSymbol(const VXQSymbolMaster& master);
    static QStringList registeredSymbolKeys();
    static QByteArray registeredSymbolsData();
    // Keep the registry's data in the user default "VXQSymbolManager_symbolsLibrary" and read it back.
    static void saveDefaults();
    static void loadDefaults();
    static void resetRegistry();
    // The "sslib" and "ssf" files in the support folder's "Symbol Libraries", which is made
    // when missing; empty (and logged) when it cannot be.
    static QStringList availableSymbolLibrariesOnDisk();
    // The registry's menu, then a separator and "Manage Symbols..." (sent along the responder chain).
    static std::unique_ptr<platform::Menu> sharedManagedSymbolsMenuWithItemTargetItemAction(QObject* target,
                                                                                          const QByteArray& action);
    static QStringList defaultCategories();
    static QString categoryManagerKeyForObject(const VXQSymbolMaster& master) { return master.uniqueKey(); }

    // Puts a fresh own registry in place of the shared one for the life of the scope (tests);
    // with AskDelegate, none: the next use asks the application delegate again.
    class SharedRegistryScope {
    public:
        enum class Start { OwnRegistry, AskDelegate };
        explicit SharedRegistryScope(Start start = Start::OwnRegistry);
        ~SharedRegistryScope();
        SharedRegistryScope(const SharedRegistryScope&) = delete;
        SharedRegistryScope& operator=(const SharedRegistryScope&) = delete;

    private:
        std::shared_ptr<VXQSymbolManager> m_registry;
        std::shared_ptr<ZQObject> m_previous;
    };

    // --- An own registry ----------------------------------------------------------------------
    ZQObjectPtr symbolForKey(const QString& key) override { return m_objects.value(key); }
    QString symbolNameForKey(const QString& key) const;
    QList<ZQObjectPtr> symbolsInCategories(const QStringList& categories) const;
    QStringList symbolNames() const { return symbolNamesWithSorting(true); }
    QStringList symbolNamesWithSorting(bool sort) const;
    QStringList symbolNamesInCategory(const QString& category) const { return symbolNamesInCategoryWithSorting(category, true); }
    QStringList symbolNamesInCategoryWithSorting(const QString& category, bool sort) const;
    ZQObjectPtr symbolWithName(const QString& name) override;
    // The name, or the name followed by a space and the first number from 1 that is free.
    QString uniqueNameForName(const QString& name) override;
    void addObjectForKeyToCategoriesCreateCategories(const ZQObjectPtr& object, const QString& key,
                                                     const QStringList& categories, bool createCategories) override;
    void removeObjectForKey(const QString& key) override;
    QStringList categories() const { return m_categoryNames; }
    QStringList allKeysInCategory(const QString& category) const override { return m_categoryKeys.value(category); }
    // Most recent first.
    void addKeyToRecentList(const QString& key, int list) override;
    QStringList recentList(int list) const { return m_recentLists.value(list); }
    QByteArray data() const override;
    void appendContentsWithData(const QByteArray& data) override;
    // Removes every object and category, then adds the default categories back.
    void removeAllSymbols() override;
    // One item per stored master, by name: its icon, name and description.
    std::unique_ptr<platform::Menu> managedSymbolsMenuWithItemTargetItemAction(QObject* target,
                                                                              const QByteArray& action) override;
    static QString fileType() { return QStringLiteral("sslib"); }
    // An own registry hands out no image manager and takes none: its own one travels only in
    // its archive, under "VXQSymbolManager_imagesManager".
    std::shared_ptr<VXImageDataManager> imageManager() const override { return nullptr; }
    void setImageManager(const std::shared_ptr<VXImageDataManager>&) override {}
    const VXImageDataManagerPtr& symbolImagesManager() const { return m_symbolImagesManager; }
    // The maximum length of a recent list.
    static constexpr int kRecentListLength = 20;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    void symbolDidChange(const platform::Notification& notification);
    void addCategory(const QString& category);
    static QStringList sortedNames(QStringList names, bool sort);

    QHash<QString, ZQObjectPtr> m_objects;
    QStringList m_categoryNames;
    QHash<QString, QStringList> m_categoryKeys;
    QHash<int, QStringList> m_recentLists;
    VXImageDataManagerPtr m_symbolImagesManager = std::make_shared<VXImageDataManager>();
};
