#include "media/enumeration/FolderMenus.h"

#include "media/enumeration/ZQFolderEnumerator.h"
#include "media/folders/FilePackages.h"

#include <QFileInfo>

std::unique_ptr<platform::Menu> menuWithFilesInFolderOfTypesSelectorTarget(const QString& folder,
                                                                           const QStringList& types,
                                                                           const QByteArray& selector,
                                                                           QObject* target)
{
    auto menu = std::make_unique<platform::Menu>();
    for (const QString& path : ZQFolderEnumerator::filesAtFolderPathOfTypes(folder, types)) {
        const QString name = QFileInfo(path).fileName();
        const QString title = name.chopped(pathExtension(name).size() + 1);
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(title, selector);
        item->setTarget(target);
        item->setRepresentedObject(path);
    }
    return menu;
}

std::unique_ptr<platform::Menu> menuWithFilesInFolderSelectorTarget(const QString& folder, const QByteArray& selector,
                                                                    QObject* target)
{
    return menuWithFilesInFolderOfTypesSelectorTarget(folder, {}, selector, target);
}
