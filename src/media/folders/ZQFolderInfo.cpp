#include "media/folders/ZQFolderInfo.h"

#include "media/folders/FilePackages.h"
#include "media/folders/FolderBookmark.h"
#include "media/folders/ZQFileInfo.h"
#include "media/watcher/ZQFolderWatcher.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQLog.h"
#include "widgets/paint/KitImage.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

const QByteArray kChangeSelector = QByteArrayLiteral("folderChangeNotification");
const QByteArray kRefreshSelector = QByteArrayLiteral("setNeedsUpdateWithItem");

QString expandingTilde(const QString& path)
{
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

bool acceptsExtension(const QSet<QString>& types, const QString& name)
{
    return types.isEmpty() || types.contains(pathExtension(name));
}

// The visible entries of a folder in listing order (hidden ones and "." and ".." left out).
QDirIterator visibleEntries(const QString& folder)
{
    return QDirIterator(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
}

// What an entry stands for: the entry itself, or the target of a link (which may not exist).
QFileInfo resolvedEntry(const QFileInfo& entry)
{
    if (!entry.isSymLink())
        return entry;
    const QString target = entry.canonicalFilePath();
    return target.isEmpty() ? QFileInfo() : QFileInfo(target);
}

} // namespace

ZQFolderInfo::ZQFolderInfo() = default;

ZQFolderInfo::~ZQFolderInfo()
{
    if (m_watched)
        ZQFolderWatcher::defaultWatcher().removeObserverForFolder(this, m_url);
}

// --- Making nodes ------------------------------------------------------------------------------

ZQFolderInfoPtr ZQFolderInfo::folderInfoRootItemWithBookmark(const QByteArray& data)
{
    QString error = QStringLiteral("the bookmark is empty");
    std::optional<FolderBookmark::Resolution> resolution;
    if (!data.isEmpty()) {
        resolution = FolderBookmark::resolve(data, &error);
        if (resolution && resolution->stale)
            error = QStringLiteral("'%1' is no longer the bookmarked folder").arg(resolution->url.toLocalFile());
    }
    if (!resolution || resolution->stale) {
        ZQLogObjCMethod(QStringLiteral("the bookmark could not be resolved or was stale, error = %1").arg(error));
        return nullptr;
    }
    ZQFolderInfoPtr node = makeWithURL(resolution->url);
    node->setSecurityScoped(true);
    return node;
}

ZQFolderInfoPtr ZQFolderInfo::folderInfoRootItemWithIdentifier(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(expandingTilde(path)) ? makeWithPath(path) : nullptr;
}

ZQFolderInfoPtr ZQFolderInfo::makeWithURL(const QUrl& url)
{
    auto node = std::make_shared<ZQFolderInfo>();
    node->initWithURL(url);
    return node;
}

ZQFolderInfoPtr ZQFolderInfo::makeWithPath(const QString& path)
{
    auto node = std::make_shared<ZQFolderInfo>();
    node->initWithPath(path);
    return node;
}

void ZQFolderInfo::initWithURL(const QUrl& url)
{
    if (!setURL(url))
        return;
    try {
        ZQFolderWatcher::defaultWatcher().addObserverSelectorForFolderUserInfo(this, kChangeSelector, m_url);
        m_watched = true;
    } catch (const std::exception& failure) {
        // The folder went between the look and the registration: the node works unwatched.
        ZQLogObjCMethod(QString::fromUtf8(failure.what()));
    }
}

void ZQFolderInfo::initWithPath(const QString& path)
{
    initWithURL(QUrl::fromLocalFile(expandingTilde(path)));
}

bool ZQFolderInfo::setURL(const QUrl& url)
{
    m_path = url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
    m_url = QUrl::fromLocalFile(m_path);
    const QString lastComponent = QFileInfo(m_path).fileName();
    m_name = lastComponent.isEmpty() ? m_path : lastComponent;
    bool isDirectory = false;
    m_identity = FileIdentity::ofPath(m_path, &isDirectory);
    return isDirectory;
}

// --- Properties --------------------------------------------------------------------------------

ZQFolderInfo* ZQFolderInfo::root()
{
    ZQFolderInfo* node = this;
    while (node->parent())
        node = node->parent();
    return node;
}

void ZQFolderInfo::setReturnsAllEnclosedFiles(bool flag)
{
    if (flag == m_returnsAllEnclosedFiles)
        return;
    m_returnsAllEnclosedFiles = flag;
    clear();
}

QString ZQFolderInfo::identifier() const
{
    return m_parent ? QStringLiteral("%1|%2").arg(m_parent->identifier(), m_name) : m_name;
}

QImage ZQFolderInfo::icon() const
{
    static const QImage category = imageNamed(QStringLiteral("VL_Category")).imageOfSize({16, 16}, 2.0);
    return category;
}

bool ZQFolderInfo::existsOnDisk() const
{
    return QFileInfo(m_path).isDir();
}

QByteArray ZQFolderInfo::bookmark() const
{
    const std::optional<QByteArray> data = FolderBookmark::dataForURL(m_url);
    if (!data) {
        ZQLogObjCMethod(QStringLiteral("Unable to create bookmark for the URL = %1, error = nothing readable there")
                            .arg(m_url.toString()));
        return {};
    }
    return *data;
}

// --- Children ----------------------------------------------------------------------------------

QList<ZQFolderInfoPtr> ZQFolderInfo::subFolders()
{
    QMutexLocker lock(&m_lock);
    if (!m_children)
        m_children = loadChildren();
    return *m_children;
}

ZQFolderInfoPtr ZQFolderInfo::makeFolderChild() const
{
    return std::make_shared<ZQFolderInfo>();
}

void ZQFolderInfo::adopt(ZQFolderInfo& child) const
{
    child.setParent(const_cast<ZQFolderInfo*>(this));
    child.setIncludesPackages(m_includesPackages);
    child.setReturnsAllEnclosedFiles(m_returnsAllEnclosedFiles);
    child.setIncludesFiles(m_includesFiles);
}

QList<ZQFolderInfoPtr> ZQFolderInfo::loadChildren()
{
    QList<ZQFolderInfoPtr> children;
    readFolder(&children, {}, nullptr);
    return children;
}

void ZQFolderInfo::readFolder(QList<ZQFolderInfoPtr>* children, const TypeSet& types, FileList* files)
{
    const auto addChild = [&](ZQFolderInfoPtr child, const QFileInfo& entry) {
        adopt(*child);
        child->initWithURL(QUrl::fromLocalFile(entry.filePath()));
        children->append(std::move(child));
    };
    for (QDirIterator entries = visibleEntries(m_path); entries.hasNext();) {
        entries.next();
        const QFileInfo listed = entries.fileInfo();
        const bool isLink = listed.isSymLink();
        const QFileInfo entry = isLink ? resolvedEntry(listed) : listed;
        // Pipes, devices and sockets are never listed: opening one for a thumbnail can block for ever.
        if (!entry.isFile() && !entry.isDir())
            continue;
        const bool isDirectory = entry.isDir();
        if (files && !isDirectory && acceptsExtension(types, entry.fileName())) {
            files->urls.append(QUrl::fromLocalFile(entry.filePath()));
            files->throughLinks |= isLink;
        }
        if (!children)
            continue;
        if (isDirectory && (m_includesPackages || !isFilePackage(entry))) {
            // A link back up the tree would make it endless.
            if (!isLink || !leadsToSelfOrAncestor(entry))
                addChild(makeFolderChild(), entry);
        } else if (m_includesFiles) {
            addChild(std::make_shared<ZQFileInfo>(), entry);
        }
    }
}

bool ZQFolderInfo::leadsToSelfOrAncestor(const QFileInfo& target) const
{
    // Ancestors on disk ("/" included) as well as in the tree: either way the walk comes back here.
    const QString own = QFileInfo(m_path).canonicalFilePath();
    const QString folder = target.canonicalFilePath();
    if (own.isEmpty() || folder.isEmpty() || own == folder ||
        own.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')))
        return true;
    const std::optional<FileIdentity> identity = FileIdentity::ofPath(folder);
    for (const ZQFolderInfo* node = this; node; node = node->parent()) {
        if (!identity || node->m_identity == identity)
            return true;
    }
    return false;
}

void ZQFolderInfo::addSubfolder(const ZQFolderInfoPtr& node)
{
    QMutexLocker lock(&m_lock);
    adopt(*node);
    if (!m_children)
        m_children = loadChildren();
    // A folder made on disk just before is in a fresh listing already: the given node replaces it.
    m_children->removeIf([&node](const ZQFolderInfoPtr& child) { return child->path() == node->path(); });
    m_children->append(node);
}

QList<ZQFolderInfoPtr> ZQFolderInfo::unvisitedChildren(IdentitySet& visited)
{
    QList<ZQFolderInfoPtr> unvisited;
    for (const ZQFolderInfoPtr& child : subFolders()) {
        if (qobject_cast<ZQFileInfo*>(child.get()))
            continue;
        if (child->m_identity) {
            if (visited.contains(*child->m_identity))
                continue;
            visited.insert(*child->m_identity);
        }
        unvisited.append(child);
    }
    return unvisited;
}

ZQFolderInfoPtr ZQFolderInfo::findNode(const std::function<bool(const ZQFolderInfo&)>& isWanted,
                                       const std::function<bool(const ZQFolderInfo&)>& mayContain,
                                       IdentitySet& visited)
{
    if (isWanted(*this))
        return sharedFromThis();
    if (!mayContain(*this))
        return nullptr;
    for (const ZQFolderInfoPtr& child : unvisitedChildren(visited)) {
        if (ZQFolderInfoPtr hit = child->findNode(isWanted, mayContain, visited))
            return hit;
    }
    return nullptr;
}

ZQFolderInfoPtr ZQFolderInfo::nodeWithIdentifier(const QString& identifier)
{
    if (identifier.isEmpty())
        return nullptr;
    IdentitySet visited;
    return findNode([&](const ZQFolderInfo& node) { return node.identifier() == identifier; },
                    [&](const ZQFolderInfo& node) {
                        const QString own = node.identifier();
                        return !own.isEmpty() && identifier.contains(own);
                    },
                    visited);
}

ZQFolderInfoPtr ZQFolderInfo::nodeWithURL(const QUrl& url)
{
    if (url.isEmpty() || !url.isLocalFile())
        return nullptr;
    const QString path = QDir::cleanPath(url.toLocalFile());
    IdentitySet visited;
    return findNode([&](const ZQFolderInfo& node) { return node.path() == path; },
                    [](const ZQFolderInfo&) { return true; }, visited);
}

bool ZQFolderInfo::containsSubfolder(const ZQFolderInfo* node) const
{
    for (; node; node = node->parent()) {
        if (node == this)
            return true;
    }
    return false;
}

ZQFolderInfoPtr ZQFolderInfo::sharedFromThis()
{
    return std::static_pointer_cast<ZQFolderInfo>(shared_from_this());
}

// --- Files -------------------------------------------------------------------------------------

QList<QUrl> ZQFolderInfo::fileURLsOfTypes(const QStringList& types)
{
    IdentitySet visited;
    return collectFileURLs(TypeSet(types.begin(), types.end()), visited).urls;
}

QList<ZQURLWithThumb> ZQFolderInfo::fileURLsWithThumbsOfTypes(const QStringList& types)
{
    QList<ZQURLWithThumb> files;
    for (const QUrl& url : fileURLsOfTypes(types))
        files.append({url, {}});
    return files;
}

FolderWalk ZQFolderInfo::fileWalkOfTypes(const QStringList& types)
{
    return FolderListing::treeWalk({m_path, types, m_returnsAllEnclosedFiles, m_includesPackages});
}

QList<QUrl> ZQFolderInfo::fileURLsOfType(const QString& type)
{
    return fileURLsOfTypes(type.isEmpty() ? QStringList() : QStringList{type});
}

ZQFolderInfo::FileList ZQFolderInfo::collectFileURLs(const TypeSet& types, IdentitySet& visited)
{
    QMutexLocker lock(&m_lock);
    if (m_identity)
        visited.insert(*m_identity);
    if (m_fileURLsCache)
        return *m_fileURLsCache;
    if (const QFileInfo folder(m_path); !folder.isDir() || !folder.isReadable()) {
        ZQLogObjCMethod(QStringLiteral("the folder '%1' could not be read").arg(m_path));
        return {};
    }
    FileList found;
    if (m_returnsAllEnclosedFiles && !m_children) {
        // The folders are wanted too: one listing serves both.
        QList<ZQFolderInfoPtr> children;
        readFolder(&children, types, &found);
        m_children = children;
    } else {
        readFolder(nullptr, types, &found);
    }
    if (m_returnsAllEnclosedFiles) {
        for (const ZQFolderInfoPtr& child : unvisitedChildren(visited)) {
            child->setReturnsAllEnclosedFiles(true);
            const FileList enclosed = child->collectFileURLs(types, visited);
            found.urls.append(enclosed.urls);
            found.throughLinks |= enclosed.throughLinks;
        }
    }
    // Only a link can lead to a file listed already.
    if (found.throughLinks) {
        QSet<QUrl> seen;
        found.urls.removeIf([&seen](const QUrl& url) {
            if (seen.contains(url))
                return true;
            seen.insert(url);
            return false;
        });
    }
    m_fileURLsCache = found;
    // Callers may be off the main thread; the delegate hears of it there.
    if (root()->refreshDelegate())
        platform::RunLoop::runOnMainThread([this] { notifyRefreshDelegate(); }, this);
    return found;
}

QStringList ZQFolderInfo::filesOfTypes(const QStringList& types)
{
    IdentitySet visited;
    return collectFiles(TypeSet(types.begin(), types.end()), visited);
}

QStringList ZQFolderInfo::filesOfType(const QString& type)
{
    return filesOfTypes(type.isEmpty() ? QStringList() : QStringList{type});
}

QStringList ZQFolderInfo::collectFiles(const TypeSet& types, IdentitySet& visited)
{
    QMutexLocker lock(&m_lock);
    if (m_identity)
        visited.insert(*m_identity);
    if (m_filesCache)
        return *m_filesCache;
    const QFileInfo folder(m_path);
    if (!folder.isDir() || !folder.isReadable()) {
        ZQLogObjCMethod(QStringLiteral("the folder '%1' could not be read, error = %2")
                            .arg(m_path, folder.exists() ? QStringLiteral("permission denied")
                                                         : QStringLiteral("no such folder")));
        return {};
    }
    QStringList found;
    for (QDirIterator entries = visibleEntries(m_path); entries.hasNext();) {
        const QString path = entries.next();
        if (entries.fileInfo().isFile() && acceptsExtension(types, entries.fileName()))
            found.append(path);
    }
    if (m_returnsAllEnclosedFiles) {
        for (const ZQFolderInfoPtr& child : unvisitedChildren(visited)) {
            child->setReturnsAllEnclosedFiles(true);
            found.append(child->collectFiles(types, visited));
        }
    }
    m_filesCache = found;
    return found;
}

void ZQFolderInfo::clear()
{
    QMutexLocker lock(&m_lock);
    m_fileURLsCache.reset();
    m_filesCache.reset();
}

// --- Changes -----------------------------------------------------------------------------------

void ZQFolderInfo::folderChangeNotification(const platform::Notification& notification)
{
    if (notification.userInfo.value(QStringLiteral("path")).toString() == m_path)
        platform::RunLoop::runOnMainThread([this] { clearCacheAndNotify(); }, this);
}

void ZQFolderInfo::notifyRefreshDelegate()
{
    QObject* const delegate = root()->refreshDelegate();
    if (delegate && platform::hasMethodNamed(delegate, kRefreshSelector))
        platform::invokeSelector(delegate, kRefreshSelector, QVariant::fromValue<QObject*>(this));
}

void ZQFolderInfo::clearCacheAndNotify()
{
    std::optional<QList<ZQFolderInfoPtr>> detached;
    {
        QMutexLocker lock(&m_lock);
        clear();
        detached = std::exchange(m_children, std::nullopt);
    }
    // Views may still hold the old children during this turn; they go with the next one.
    if (detached && !detached->isEmpty())
        platform::RunLoop::runOnMainThread([children = std::move(*detached)] {});
    // Posted without the lock: observers may well read this node again.
    platform::NotificationCenter::defaultCenter().postNotificationName(kZQFolderInfoDidChangeOnDisk, this);
    notifyRefreshDelegate();
}

QString ZQFolderInfo::description() const
{
    return QStringLiteral("<%1> 0x%2 = %3 [%4]")
        .arg(className())
        .arg(quintptr(this), 0, 16)
        .arg(m_name)
        .arg(m_children ? m_children->size() : 0);
}
