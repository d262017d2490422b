#include "windows/templates/TemplateListing.h"

#include "app/document/ZQQuorvaneDocument.h"
#include "media/enumeration/ZQFolderEnumerator.h"
#include "platform/foundation/NamedException.h"

#include <QDir>
#include <QFileInfo>

TemplateListing::TemplateListing() = default;
TemplateListing::~TemplateListing() = default;

void TemplateListing::setFolder(const QUrl& folder)
{
    if (folder == m_folder && m_enumerator)
        return;
    m_folder = folder;
    m_enumerator.reset();
    m_listedFiles.clear();
    m_items.clear();
    m_listed = false;
    const QString path = folder.toLocalFile();
    if (!folder.isLocalFile() || !QDir().mkpath(path) || !QFileInfo(path).isDir())
        return;
    m_enumerator = ZQFolderEnumerator::folderEnumeratorWithPathIncludeSubFoldersFileTypes(
        path, true, ZQQuorvaneDocument::templateFileExtensions());
}

const QList<QVNTemplateItemPtr>& TemplateListing::items()
{
    if (!m_enumerator)
        return m_items;
    QStringList files;
    try {
        files = m_enumerator->files();
    } catch (const platform::NamedException&) {
        // The folder has gone since: nothing to list until it is back.
    }
    if (!m_listed || files != m_listedFiles) {
        m_items = QVNTemplateItem::templateItemsFromArray(files);
        m_listedFiles = files;
        m_listed = true;
    }
    return m_items;
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
    if (m_enumerator)
        m_enumerator->reset();
    m_listed = false;
}
