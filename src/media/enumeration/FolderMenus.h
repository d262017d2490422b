#pragma once

// Menus of the files in a folder: one item per file (see ZQFolderEnumerator, subfolders left
// out), in scan order, titled with the file's name less its extension, sending `selector` to
// `target` with the full path as the item's represented object. The folder must exist.

#include "platform/ui/Menu.h"

#include <memory>

std::unique_ptr<platform::Menu> menuWithFilesInFolderOfTypesSelectorTarget(const QString& folder,
                                                                           const QStringList& types,
                                                                           const QByteArray& selector,
                                                                           QObject* target);
std::unique_ptr<platform::Menu> menuWithFilesInFolderSelectorTarget(const QString& folder, const QByteArray& selector,
                                                                    QObject* target);
