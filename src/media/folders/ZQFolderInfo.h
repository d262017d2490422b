#pragma once

// A node of a folder tree: one folder on disk, loaded lazily. Its children (folders and, when
// it includes files, file leaves, in listing order) are read the first time they are asked
// for; its file lists the first time each is asked for, and a list read once (empty or not)
// is answered as it is, whatever types are asked, until the next change. Hidden entries and links that lead
// nowhere, or back to the node or one of its ancestors, never become children.
//
// Every node of an existing folder registers with the shared folder watcher. When its folder
// changes it drops its caches and children (those stay alive until the next run-loop turn),
// posts "kZQFolderInfoDidChangeOnDisk" and tells the refresh delegate of its root
// (`setNeedsUpdateWithItem(ZQFolderInfo*)`, sent only when the delegate has it).
//
// Identifiers are the persistent keys owners find nodes by: a root's is its name, a child's
// its parent's identifier, "|" and its name.

#include "media/enumeration/FolderListing.h"
#include "media/folders/FileIdentity.h"
#include "media/items/ZQURLWithThumb.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQObject.h"

#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QSet>
#include <QUrl>
#include <optional>

inline const QString kZQFolderInfoDidChangeOnDisk = QStringLiteral("kZQFolderInfoDidChangeOnDisk");

class ZQFolderInfo;
using ZQFolderInfoPtr = std::shared_ptr<ZQFolderInfo>;

class ZQFolderInfo : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString identifier READ identifier)
    Q_PROPERTY(QString path READ path)

public:
    ZQFolderInfo();
    ~ZQFolderInfo() override;

    // --- Making nodes ----------------------------------------------------------------------
    static int bookmarkCreationOptions() { return 0; }
    static int bookmarkResolutionOptions() { return 768; } // without interface, without mounting
    // A root for the bookmarked folder; null, with a log line, when the bookmark cannot be
    // resolved or is stale. Empty data is a programming error.
    static ZQFolderInfoPtr folderInfoRootItemWithBookmark(const QByteArray& data);
    // A root for the path when something exists there, else null.
    static ZQFolderInfoPtr folderInfoRootItemWithIdentifier(const QString& path);
    static ZQFolderInfoPtr makeWithURL(const QUrl& url);
    static ZQFolderInfoPtr makeWithPath(const QString& path);

    // Keeps the URL, names the node after its last path component and, for an existing
    // directory, registers with the folder watcher.
    virtual void initWithURL(const QUrl& url);
    // A leading "~" is the home folder.
    void initWithPath(const QString& path);

    // --- Properties --------------------------------------------------------------------------
    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    QUrl url() const { return m_url; }
    QString path() const { return m_path; }
    ZQFolderInfo* parent() const { return m_parent; }
    void setParent(ZQFolderInfo* parent) { m_parent = parent; }
    ZQFolderInfo* root();

    bool includesPackages() const { return m_includesPackages; }
    void setIncludesPackages(bool flag) { m_includesPackages = flag; }
    bool returnsAllEnclosedFiles() const { return m_returnsAllEnclosedFiles; }
    // A change clears both file caches; the children stay.
    void setReturnsAllEnclosedFiles(bool flag);
    bool includesFiles() const { return m_includesFiles; }
    void setIncludesFiles(bool flag) { m_includesFiles = flag; }
    // Bookmarked roots are security scoped; access needs no starting here.
    bool securityScoped() const { return m_securityScoped; }
    void setSecurityScoped(bool flag) { m_securityScoped = flag; }
    // Told of changed nodes anywhere in this root's tree. Not owned.
    QObject* refreshDelegate() const { return m_refreshDelegate; }
    void setRefreshDelegate(QObject* delegate) { m_refreshDelegate = delegate; }

    QString identifier() const;
    virtual QImage icon() const;
    bool existsOnDisk() const;
    virtual bool allowsDeletion() const { return true; }
    virtual bool subFoldersPresorted() const { return false; }
    // Empty, with a log line, when the folder cannot be bookmarked.
    QByteArray bookmark() const;

    // --- Children ----------------------------------------------------------------------------
    // Loads the children on first use.
    virtual QList<ZQFolderInfoPtr> subFolders();
    QList<ZQFolderInfoPtr> subFoldersAndFiles() { return subFolders(); }
    int valence() { return int(subFolders().size()); }
    // Whether the children have been read since the node was made or last changed.
    bool isLoaded() const { return m_children.has_value(); }
    // Adopts the node as the last child, handing it this node's three settings; it takes the
    // place of a child read for the same folder.
    void addSubfolder(const ZQFolderInfoPtr& node);

    // Depth-first searches of this subtree (loading what they pass through); null for none.
    ZQFolderInfoPtr nodeWithIdentifier(const QString& identifier);
    ZQFolderInfoPtr nodeWithURL(const QUrl& url);
    // Whether the node is this one or lies below it.
    bool containsSubfolder(const ZQFolderInfo* node) const;

    // --- Files -------------------------------------------------------------------------------
    // The folder's files (and, returning all enclosed files, its subfolders') whose extension
    // is among `types` (exactly; empty takes every file), each once, links resolved.
    virtual QList<QUrl> fileURLsOfTypes(const QStringList& types);
    // The same, each with the thumbnail a media library made of it (none for folders on disk).
    virtual QList<ZQURLWithThumb> fileURLsWithThumbsOfTypes(const QStringList& types);
    // What lists the same files off the main thread, without touching this node: a walk of the
    // folder on disk (its subfolders too while it returns all enclosed files). Nodes whose files
    // are not a folder on disk hand over what fileURLsWithThumbsOfTypes answers now.
    virtual FolderWalk fileWalkOfTypes(const QStringList& types);
    QList<QUrl> fileURLsOfType(const QString& type);
    QList<QUrl> fileURLs() { return fileURLsOfTypes({}); }
    // The same as paths; names beginning with "." are left out.
    QStringList filesOfTypes(const QStringList& types);
    QStringList filesOfType(const QString& type);
    QStringList files() { return filesOfTypes({}); }
    // Forgets both file lists.
    void clear();

    // --- Changes -----------------------------------------------------------------------------
    // From the folder watcher: a change of this node's own folder reloads it on a later turn.
    Q_INVOKABLE void folderChangeNotification(const platform::Notification& notification);
    void notifyRefreshDelegate();
    void clearCacheAndNotify();

    QString description() const override;

protected:
    // A folder child of this node's class (subclasses that load children answer their own).
    virtual ZQFolderInfoPtr makeFolderChild() const;
    // Answers whether the URL names a directory.
    bool setURL(const QUrl& url);
    // Takes over a child: parent link and the settings children inherit.
    void adopt(ZQFolderInfo& child) const;

private:
    using IdentitySet = QSet<FileIdentity>;
    using TypeSet = QSet<QString>; // empty: every type
    struct FileList {
        QList<QUrl> urls;
        bool throughLinks = false; // some file was reached through a link, so may be listed twice
    };
    QList<ZQFolderInfoPtr> loadChildren();
    // One pass over the folder's entries, collecting the children and/or the files of `types`.
    void readFolder(QList<ZQFolderInfoPtr>* children, const TypeSet& types, FileList* files);
    bool leadsToSelfOrAncestor(const QFileInfo& target) const;
    FileList collectFileURLs(const TypeSet& types, IdentitySet& visited);
    QStringList collectFiles(const TypeSet& types, IdentitySet& visited);
    ZQFolderInfoPtr findNode(const std::function<bool(const ZQFolderInfo&)>& isWanted,
                             const std::function<bool(const ZQFolderInfo&)>& mayContain, IdentitySet& visited);
    // The children to recurse into: those not reached before (by identity).
    QList<ZQFolderInfoPtr> unvisitedChildren(IdentitySet& visited);
    ZQFolderInfoPtr sharedFromThis();

    QString m_name;
    QUrl m_url;
    QString m_path;
    std::optional<FileIdentity> m_identity;
    QPointer<ZQFolderInfo> m_parent;
    QPointer<QObject> m_refreshDelegate;
    std::optional<QList<ZQFolderInfoPtr>> m_children;
    // Empty lists are kept too: an empty folder is read once, like any other.
    std::optional<FileList> m_fileURLsCache;
    std::optional<QStringList> m_filesCache;
    bool m_includesPackages = false;
    bool m_returnsAllEnclosedFiles = false;
    bool m_includesFiles = false;
    bool m_securityScoped = false;
    bool m_watched = false;
    mutable QRecursiveMutex m_lock;
};
