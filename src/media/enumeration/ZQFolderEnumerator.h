#pragma once

// The files of a folder whose extensions are in a list (compared exactly; no list takes every
// file with an extension), optionally from its subfolders too, in walk order. Directories
// named with an accepted extension are listed like files; packages are never entered, links
// never followed. The list is kept until the types change or the folder changes on disk (a
// change inside a subfolder does not count).

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQObject.h"

#include <QStringList>
#include <QUrl>
#include <optional>

class ZQFolderEnumerator : public ZQObject {
    Q_OBJECT

public:
    ZQFolderEnumerator();
    ~ZQFolderEnumerator() override;

    // The folder must exist: NSInternalInconsistencyException otherwise (here and when scanning).
    static std::shared_ptr<ZQFolderEnumerator> folderEnumeratorWithPath(const QString& path);
    static std::shared_ptr<ZQFolderEnumerator> folderEnumeratorWithPathIncludeSubFoldersFileTypes(
        const QString& path, bool includeSubFolders, const QStringList& fileTypes);
    // The files of that folder alone.
    static QStringList filesAtFolderPathOfTypes(const QString& path, const QStringList& types);
    static QStringList filesInApplicationSupportFolderOfTypes(const QStringList& types);

    // Keeps the path and registers with the shared folder watcher.
    void initWithPath(const QString& path);

    QString folder() const { return m_folder; }
    QStringList fileTypes() const { return m_fileTypes; }
    // Always resets.
    void setFileTypes(const QStringList& types);
    bool includesSubFolders() const { return m_includesSubFolders; }
    // Resets when the flag changes.
    void setIncludesSubFolders(bool flag);

    // Full paths, scanned on first use.
    QStringList files();
    QList<QUrl> fileURLs();
    void reset();
    bool includeFileAtPath(const QString& path) const;

    Q_INVOKABLE void folderWatcherNotification(const platform::Notification& notification);

private:
    QStringList scanFolder() const;

    QString m_folder;
    QStringList m_fileTypes;
    bool m_includesSubFolders = false;
    bool m_watched = false;
    std::optional<QStringList> m_files;
    std::optional<QList<QUrl>> m_fileURLs;
};
