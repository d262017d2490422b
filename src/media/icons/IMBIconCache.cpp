#include "media/icons/IMBIconCache.h"

#include "media/icons/ImageMedia.h"

#include <QDir>

namespace {

IMBIconTypeMappingEntry albumEntry(const char* type, const char* iconName)
{
    return {QString::fromLatin1(type), QString::fromLatin1(iconName), QStringLiteral("folder"), {}, {}};
}

QImage iconOfEntry(const IMBIconTypeMappingEntry& entry, const QString& bundleID)
{
    return iMedia::imageResourceNamedFromApplicationFallbackTo(entry.iconName, bundleID, entry.fallbackIconName);
}

} // namespace

const IMBIconTypeMapping& albumIconTypeMapping()
{
    static const IMBIconTypeMapping table = {
        {
            albumEntry("Events", "VL_iPhoto_Events.pdf"),
            albumEntry("Event", "VL_iPhoto_Albums.pdf"),
            albumEntry("Photos", "VL_iPhoto_Photos.pdf"),
            albumEntry("Shelf", "VL_iPhoto_Albums.pdf"),
            albumEntry("Flagged", "VL_iPhoto_Flagged.pdf"),
            albumEntry("Special Month", "VL_iPhoto_Last12mos.pdf"),
            albumEntry("Special Roll", "VL_iPhoto_Latest.pdf"),
            albumEntry("Selected Event Album", "VL_iPhoto_Events.pdf"),
            albumEntry("Published", "VL_iPhoto_Albums.pdf"),
            albumEntry("Favorites", "VL_iPhoto_Favorites.pdf"),
        },
        albumEntry("Regular", "VL_iPhoto_Photos.pdf"),
    };
    return table;
}

IMBIconCache& IMBIconCache::sharedIconCache()
{
    static IMBIconCache cache;
    return cache;
}

QImage IMBIconCache::iconForTypeFromBundleIDWithMappingTable(const QString& type, const QString& bundleID,
                                                             const IMBIconTypeMapping* table)
{
    if (type.isEmpty())
        return {};
    QMutexLocker lock(&m_lock);
    QHash<QString, QImage>& icons = m_icons[bundleID];
    if (const auto cached = icons.constFind(type); cached != icons.constEnd())
        return *cached;
    const QImage icon = iMedia::iconFromImage(loadIconForTypeFromBundleIDWithMappingTable(type, bundleID, table));
    if (icon.isNull())
        return iMedia::sharedGenericFolderIcon();
    icons.insert(type, icon);
    return icon;
}

QImage IMBIconCache::loadIconForTypeFromBundleIDWithMappingTable(const QString& type, const QString& bundleID,
                                                                 const IMBIconTypeMapping* table)
{
    if (type.isEmpty() || bundleID.isEmpty() || !table)
        return {};
    for (const IMBIconTypeMappingEntry& entry : table->entries) {
        if (entry.type != type)
            continue;
        if (QImage icon = iconOfEntry(entry, bundleID); !icon.isNull())
            return icon;
        if (!entry.alternateBundlePath.isEmpty()) {
            const QImage alternate(QDir(entry.alternateBundlePath).filePath(entry.alternateFileName));
            if (!alternate.isNull())
                return alternate;
        }
    }
    return iconOfEntry(table->defaultEntry, bundleID);
}
