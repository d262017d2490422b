#pragma once

// The media browser's root folders, kept across runs as bookmarks in the user defaults:
// a dictionary under "kZQMediaBrowserBookmarkedItems2" from the folder's full path to its
// bookmark. Entries stored under a folder's name, as earlier versions did, are still read,
// and the earliest form (a list of bookmarks under "kZQMediaBrowserBookmarkedItems") is
// moved to the dictionary once. Entries that are not bookmarks, or that no longer resolve,
// are skipped and stay stored.

#include "media/folders/ZQFolderInfo.h"

inline const QString kZQMediaBrowserBookmarkedItems2 = QStringLiteral("kZQMediaBrowserBookmarkedItems2");
inline const QString kZQMediaBrowserBookmarkedItems = QStringLiteral("kZQMediaBrowserBookmarkedItems");

namespace MediaBrowserBookmarks {

// The stored roots whose folders exist, each folder once, in stored order.
QList<ZQFolderInfoPtr> bookmarkedRootItems();
// Roots only (a node with a parent is ignored); nothing is stored when no bookmark can be made.
void addRootBookmark(const ZQFolderInfo& root);
// Forgets the root's entry, and an earlier entry under its name that leads to the same folder.
void removeRootBookmark(const ZQFolderInfo& root);
void removeAllRootBookmarks();

} // namespace MediaBrowserBookmarks
