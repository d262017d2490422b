#include "media/window/MediaBrowserBookmarks.h"

#include "platform/foundation/UserDefaults.h"

#include <QDir>
#include <QSet>

namespace MediaBrowserBookmarks {

namespace {

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

void storeBookmarks(const QVariantMap& bookmarks)
{
    defaults().setObjectForKey(bookmarks, kZQMediaBrowserBookmarkedItems2);
    defaults().synchronize();
}

QString keyOf(const ZQFolderInfo& root)
{
    return QDir::cleanPath(root.path());
}

// The roots of the bookmarks that resolve to existing folders, each folder once.
QList<ZQFolderInfoPtr> resolve(const QVariantList& bookmarks)
{
    QList<ZQFolderInfoPtr> roots;
    QSet<QString> seen;
    for (const QVariant& value : bookmarks) {
        if (value.typeId() != QMetaType::QByteArray || value.toByteArray().isEmpty())
            continue;
        ZQFolderInfoPtr root = ZQFolderInfo::folderInfoRootItemWithBookmark(value.toByteArray());
        if (root && root->existsOnDisk() && !seen.contains(keyOf(*root))) {
            seen.insert(keyOf(*root));
            roots.append(root);
        }
    }
    return roots;
}

} // namespace

QList<ZQFolderInfoPtr> bookmarkedRootItems()
{
    const QVariant stored = defaults().objectForKey(kZQMediaBrowserBookmarkedItems2);
    if (stored.isValid())
        return resolve(defaults().dictionaryForKey(kZQMediaBrowserBookmarkedItems2).values());

    const QVariant earlier = defaults().objectForKey(kZQMediaBrowserBookmarkedItems);
    if (earlier.typeId() != QMetaType::QVariantList)
        return {};
    const QList<ZQFolderInfoPtr> roots = resolve(earlier.toList());
    QVariantMap bookmarks;
    for (const ZQFolderInfoPtr& root : roots)
        if (const QByteArray bookmark = root->bookmark(); !bookmark.isEmpty())
            bookmarks.insert(keyOf(*root), bookmark);
    defaults().removeObjectForKey(kZQMediaBrowserBookmarkedItems);
    storeBookmarks(bookmarks);
    return roots;
}

void addRootBookmark(const ZQFolderInfo& root)
{
    if (root.parent())
        return;
    const QByteArray bookmark = root.bookmark();
    if (bookmark.isEmpty())
        return;
    QVariantMap bookmarks = defaults().dictionaryForKey(kZQMediaBrowserBookmarkedItems2);
    bookmarks.insert(keyOf(root), bookmark);
    storeBookmarks(bookmarks);
}

void removeRootBookmark(const ZQFolderInfo& root)
{
    if (root.parent())
        return;
    QVariantMap bookmarks = defaults().dictionaryForKey(kZQMediaBrowserBookmarkedItems2);
    bookmarks.remove(keyOf(root));
    const QVariant byName = bookmarks.value(root.identifier());
    if (byName.typeId() == QMetaType::QByteArray) {
        const QList<ZQFolderInfoPtr> named = resolve({byName});
        if (!named.isEmpty() && keyOf(*named.first()) == keyOf(root))
            bookmarks.remove(root.identifier());
    }
    storeBookmarks(bookmarks);
}

void removeAllRootBookmarks()
{
    defaults().removeObjectForKey(kZQMediaBrowserBookmarkedItems2);
    defaults().synchronize();
}

} // namespace MediaBrowserBookmarks
