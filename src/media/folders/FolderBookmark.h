#pragma once

// Bookmarks of folders: the absolute path with the folder's device and inode, as a small
// binary property list. A bookmark resolves to its path; it is stale when nothing there is a
// directory any more or the directory there is another one than the bookmarked folder.

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

namespace FolderBookmark {

// Nullopt when the URL is no local absolute path or names nothing that exists.
std::optional<QByteArray> dataForURL(const QUrl& url);

struct Resolution {
    QUrl url;
    bool stale = false;
};
// Nullopt, with the reason in `error`, for data that is no bookmark (garbage, a relative
// path, missing fields).
std::optional<Resolution> resolve(const QByteArray& data, QString* error = nullptr);

} // namespace FolderBookmark
