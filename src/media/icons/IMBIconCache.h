#pragma once

// Small icons (16 x 16 points) by type name, looked up through a static mapping table in the
// resources of an application bundle and kept per bundle and type. A type no entry names
// takes the table's default entry; when nothing can be found the generic folder icon is
// answered and nothing is kept, so the next request looks again. Lookups hold the cache's lock
// and may come from any thread once the folder icon has been made (on the main thread: it is
// the platform's).

#include "platform/foundation/ZQObject.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QMutex>

struct IMBIconTypeMappingEntry {
    QString type;
    QString iconName;         // with its extension, in the bundle's resources
    QString fallbackIconName; // in this application's resources
    QString alternateFileName;
    QString alternateBundlePath;
};

struct IMBIconTypeMapping {
    QList<IMBIconTypeMappingEntry> entries;
    IMBIconTypeMappingEntry defaultEntry;
};

// The photo collections' table: albums, events, flagged, favourites...
const IMBIconTypeMapping& albumIconTypeMapping();

class IMBIconCache : public ZQObject {
    Q_OBJECT

public:
    static IMBIconCache& sharedIconCache();

    // Null for no type.
    QImage iconForTypeFromBundleIDWithMappingTable(const QString& type, const QString& bundleID,
                                                   const IMBIconTypeMapping* table);
    // The uncached lookup; null when nothing is found.
    static QImage loadIconForTypeFromBundleIDWithMappingTable(const QString& type, const QString& bundleID,
                                                              const IMBIconTypeMapping* table);

private:
    QMutex m_lock;
    QHash<QString, QHash<QString, QImage>> m_icons; // bundle identifier -> type -> icon
};
