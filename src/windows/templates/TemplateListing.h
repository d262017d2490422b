#pragma once

// The templates of one category and its subfolders, as the chooser's grid shows them: listed as
// the document class lists templates, once until the owner reports a change on disk (reset()),
// so filtering by name works on the items in memory and typing reads nothing from disk.

#include "windows/templates/QVNTemplateItem.h"

#include <QList>
#include <QUrl>
#include <optional>

class TemplateListing {
public:
    TemplateListing();
    ~TemplateListing();

    QUrl folder() const { return m_folder; }
    // A missing folder is made when it is listed; one that cannot be made lists nothing.
    void setFolder(const QUrl& folder);
    // The category's items sorted by name, listed again only after reset().
    const QList<QVNTemplateItemPtr>& items();
    // The items whose names contain `filter` in any case; all of them for an empty one.
    QList<QVNTemplateItemPtr> itemsFilteredByString(const QString& filter);
    void reset();

private:
    QUrl m_folder;
    std::optional<QList<QVNTemplateItemPtr>> m_items;
};
