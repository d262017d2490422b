#include "windows/templates/TemplateListing.h"

#include "app/document/ZQQuorvaneDocument.h"

TemplateListing::TemplateListing() = default;
TemplateListing::~TemplateListing() = default;

void TemplateListing::setFolder(const QUrl& folder)
{
    if (folder == m_folder)
        return;
    m_folder = folder;
    m_items.reset();
}

const QList<QVNTemplateItemPtr>& TemplateListing::items()
{
    if (!m_items)
        m_items = QVNTemplateItem::templateItemsWithURLs(
            ZQQuorvaneDocument::availableTemplatesAtURLIncludingSubfolders(m_folder, true));
    return *m_items;
}

QList<QVNTemplateItemPtr> TemplateListing::itemsFilteredByString(const QString& filter)
{
    if (filter.isEmpty())
        return items();
    QList<QVNTemplateItemPtr> matching;
    for (const QVNTemplateItemPtr& item : items()) {
        if (item->name().contains(filter, Qt::CaseInsensitive))
            matching.append(item);
    }
    return matching;
}

void TemplateListing::reset()
{
    m_items.reset();
}
