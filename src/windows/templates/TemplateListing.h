#pragma once

// The templates of one category and its subfolders, as the chooser's grid shows them. The files
// are listed by a folder enumerator, which keeps its list until the category's folder changes on
// disk, so filtering by name works on the items in memory and typing reads nothing from disk.
// A change deeper down is not reported to the enumerator: the owner calls reset() for it.

#include "windows/templates/QVNTemplateItem.h"

#include <QList>
#include <QUrl>
#include <memory>

class ZQFolderEnumerator;

class TemplateListing {
public:
    TemplateListing();
    ~TemplateListing();

    QUrl folder() const { return m_folder; }
    // Creates the folder when it is missing; a folder that cannot be made lists nothing.
    void setFolder(const QUrl& folder);
    // The category's items sorted by name, listed again only after a change on disk or reset().
    const QList<QVNTemplateItemPtr>& items();
    // The items whose names contain `filter` in any case; all of them for an empty one.
    QList<QVNTemplateItemPtr> itemsFilteredByString(const QString& filter);
    void reset();

private:
    QUrl m_folder;
    std::shared_ptr<ZQFolderEnumerator> m_enumerator;
    QStringList m_listedFiles;
    QList<QVNTemplateItemPtr> m_items;
    bool m_listed = false;
};
