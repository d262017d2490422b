#pragma once

// What a selection holds under each attribute key, read in one pass over its objects: the
// item the objects share, or that they differ, and the type they share. The attribute editor
// keeps one of these until an edit or a new selection makes it stale.
//
// Walking the objects in order, the first that has the key sets the reference; a later
// object that lacks the key or holds another value makes the key mixed. Objects before the
// first holder do not count. A key's type is the first object's (code 0, String, where it
// lacks the key), or -1 when any object's differs.

#include "platform/vantrix/model/MetadataContainer.h"

#include <QHash>
#include <QStringList>

class CommonAttributes {
public:
    struct Entry {
        // The first holder's value; the shared one unless mixed.
        VXMetadataValue reference;
        bool mixed = false;
        // A framework type code, or kMixedTypes.
        int commonType = 0;
    };
    static constexpr int kMixedTypes = -1;

    CommonAttributes() = default;
    explicit CommonAttributes(const QList<const platform::MetadataContainer*>& containers);

    // Every key some object holds, unordered.
    QStringList keys() const { return m_entries.keys(); }
    qsizetype count() const { return m_entries.size(); }
    bool contains(const QString& key) const { return m_entries.contains(key); }
    // Null for a key no object holds.
    const Entry* entryForKey(const QString& key) const;

    // Whether the key passes the filter text under a find option (attributetables::FindOption):
    // every comparison ignores case, an option above the last keeps everything, and the
    // options on types and values drop mixed keys.
    bool keyPassesFilter(const QString& key, const QString& filter, int findOption) const;
    QStringList keysPassingFilter(const QString& filter, int findOption) const;

    // Columns the rows sort by.
    enum SortColumn { kSortByKey = 0, kSortByType, kSortByValue };
    // The keys ordered by a column (ties by key), ascending or descending.
    QStringList sortedKeys(QStringList keys, int column, Qt::SortOrder order) const;

private:
    QHash<QString, Entry> m_entries;
};
