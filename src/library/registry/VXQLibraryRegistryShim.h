#pragma once

// The libraries seen as the drawing framework's style registry and as the symbol manager's
// registry of masters: look-ups by unique key go to the libraries of every group;
// registrations are accepted and stored nowhere (the shim keeps the object alive for the run),
// and one image data manager serves the whole process. registerStyle turns a style no factory
// or user library holds into a locked item of the default user library and tells documents to
// swap it in.

#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/styles/VXStyleRegistry.h"
#include "symbols/manager/VXImageDataManager.h"
#include "symbols/manager/VXQSymbolRegistry.h"

#include <functional>

class VXQLibraryItem;
class VXStyle;

class VXQLibraryRegistryShim : public ZQObject, public VXStyleRegistry, public VXQSymbolRegistry {
    Q_OBJECT

public:
    static std::shared_ptr<VXQLibraryRegistryShim> shim();
    // Sender of "kVXQStyleSubstitutionWasPerformed" posted by registerStyle.
    static QObject* shimClass();

    // --- Look-ups (the same as class and object operations) ----------------------------------
    // The first look-up discovers the libraries, whenever it comes.
    // The object of the item with that key in any group's library, loaded when needed.
    static ZQObjectPtr symbolForKeyInLibraries(const QString& key);
    static std::shared_ptr<VXStyle> styleForKeyInLibraries(const QString& key);
    // Only the factory and user groups count.
    static bool libraryHoldsKey(const QString& key);

    std::shared_ptr<VXStyle> styleForKey(const QString& key) const override { return styleForKeyInLibraries(key); }
    bool containsKey(const QString& key) const override { return libraryHoldsKey(key); }
    ZQObjectPtr symbolForKey(const QString& key) override { return symbolForKeyInLibraries(key); }
    // Look-up by name is not offered.
    ZQObjectPtr symbolWithName(const QString&) override { return nullptr; }

    // --- Registry operations that store nothing ---------------------------------------------------
    void addObjectForKeyToCategoriesCreateCategories(const ZQObjectPtr& object, const QString& key,
                                                     const QStringList& categories, bool createCategories) override;
    void addObjectForKeyToCategoriesCreateCategories(const std::shared_ptr<VXStyle>& style, const QString& key,
                                                     const QStringList& categories, bool createCategories) override;
    QString uniqueNameForName(const QString& name) const override { return name; }
    QString uniqueNameForName(const QString& name) override { return name; }
    QStringList styleNames() const override { return {}; }
    void setRecentlyAddedListEnabled(bool) override {}
    void setNeedsUIUpdate() override {}
    void removeObjectForKey(const QString&) override {}
    QStringList allKeysInCategory(const QString&) const override { return {}; }
    void addKeyToRecentList(const QString&, int) override {}
    QByteArray data() const override { return {}; }
    void appendContentsWithData(const QByteArray&) override {}
    void removeAllSymbols() override {}
    std::unique_ptr<platform::Menu> managedSymbolsMenuWithItemTargetItemAction(QObject* target,
                                                                              const QByteArray& action) override;
    // The process's image data, made on first use; a registry archive read later replaces it.
    VXImageDataManagerPtr imageManager() const override;
    void setImageManager(const VXImageDataManagerPtr& manager) override;

    // --- Registering ---------------------------------------------------------------------------------
    // A locked copy named uniquely in the default user library, revealed in the manager;
    // null when a factory or user library holds the style or the library refused the copy.
    static std::shared_ptr<VXQLibraryItem> registerStyle(const std::shared_ptr<VXStyle>& style);
    // Shows the library manager at an item; nothing until one is installed.
    using ManagerReveal = std::function<void(const QString& uniqueKey)>;
    static void setManagerReveal(ManagerReveal reveal);
};
