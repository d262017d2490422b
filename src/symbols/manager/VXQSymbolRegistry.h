#pragma once

// The registry behind VXQSymbolManager: symbol masters (and, in the library's registry, styles)
// by unique key, in named categories with recent lists. The symbol library installs its own
// registry through the application delegate; without one the manager is its own registry.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class VXImageDataManager;
class ZQObject;
namespace platform {
class Menu;
}

class VXQSymbolRegistry {
public:
    virtual ~VXQSymbolRegistry() = default;

    // The object stored under the key, or null. May unarchive a library item meanwhile.
    virtual std::shared_ptr<ZQObject> symbolForKey(const QString& key) = 0;
    // The first object of that name, or null.
    virtual std::shared_ptr<ZQObject> symbolWithName(const QString& name) = 0;
    // The name to give a newly registered object so that it does not clash.
    virtual QString uniqueNameForName(const QString& name) = 0;
    virtual void addObjectForKeyToCategoriesCreateCategories(const std::shared_ptr<ZQObject>& object,
                                                             const QString& key, const QStringList& categories,
                                                             bool createCategories) = 0;
    virtual void removeObjectForKey(const QString& key) = 0;
    virtual QStringList allKeysInCategory(const QString& category) const = 0;
    virtual void addKeyToRecentList(const QString& key, int list) = 0;
    // The registry's contents as one archive, and the reverse.
    virtual QByteArray data() const = 0;
    virtual void appendContentsWithData(const QByteArray& data) = 0;
    virtual void removeAllSymbols() = 0;
    // Items for the managed symbols, each sending `action` to `target` with the object it stands for.
    virtual std::unique_ptr<platform::Menu> managedSymbolsMenuWithItemTargetItemAction(QObject* target,
                                                                                      const QByteArray& action) = 0;
    // The image data shared by the registry's masters; null where the registry keeps none.
    virtual std::shared_ptr<VXImageDataManager> imageManager() const = 0;
    virtual void setImageManager(const std::shared_ptr<VXImageDataManager>& manager) = 0;
};
