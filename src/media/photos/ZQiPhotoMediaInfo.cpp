#include "media/photos/ZQiPhotoMediaInfo.h"

#include "platform/foundation/ZQLog.h"

namespace {

ZQObjectPtr sharedObject(const QVariant& value)
{
    ZQObject* const object = platform::objectFromVariant(value);
    return object ? object->shared_from_this() : nullptr;
}

QList<ZQObjectPtr> objectsOf(const ZQObjectPtr& owner, const QString& key)
{
    QList<ZQObjectPtr> objects;
    if (!owner)
        return objects;
    for (const QVariant& value : owner->valueForKey(key).toList()) {
        if (ZQObjectPtr object = sharedObject(value))
            objects.append(std::move(object));
    }
    return objects;
}

const auto kObservingOptions = platform::KeyValueObservingOptionInitial | platform::KeyValueObservingOptionNew;

} // namespace

ZQiPhotoMediaInfo::ZQiPhotoMediaInfo() = default;

ZQiPhotoMediaInfo::~ZQiPhotoMediaInfo()
{
    stopObservingSource();
    stopObservingGroup();
}

bool ZQiPhotoMediaInfo::mediaSupportAvailable()
{
    return false;
}

QList<ZQObjectPtr> ZQiPhotoMediaInfo::iPhotoMediaLibrary()
{
    if (!mediaSupportAvailable())
        LogEvent(kLifeEvent, QStringLiteral("no photo library on this system: the media browser shows folders only"));
    return {};
}

std::shared_ptr<ZQiPhotoMediaInfo> ZQiPhotoMediaInfo::photosMediaRoot()
{
    // Without a library there is no source to give the root.
    static const auto root = std::make_shared<ZQiPhotoMediaInfo>();
    return root;
}

std::shared_ptr<ZQiPhotoMediaInfo> ZQiPhotoMediaInfo::photoBoothMediaRoot()
{
    static const auto root = std::make_shared<ZQiPhotoMediaInfo>();
    return root;
}

void ZQiPhotoMediaInfo::setMediaSource(const ZQObjectPtr& source)
{
    stopObservingSource();
    m_source = source;
    if (m_source) {
        m_sourceObservation = m_source->observeKeyPath(
            QStringLiteral("rootMediaGroup"), kObservingOptions, this, [this](const platform::KeyValueChange& change) {
                if (ZQObjectPtr group = sharedObject(change.newValue))
                    setMediaGroup(group);
            });
    }
    notifyRefreshDelegate();
}

void ZQiPhotoMediaInfo::setMediaGroup(const ZQObjectPtr& group)
{
    stopObservingGroup();
    m_group = group;
    if (m_group) {
        setName(m_group->valueForKey(QStringLiteral("name")).toString());
        for (const char* key : {"childGroups", "mediaObjects", "iconImage"}) {
            m_groupObservations.append(m_group->observeKeyPath(QString::fromLatin1(key), kObservingOptions, this,
                                                               [this](const platform::KeyValueChange&) {
                                                                   rebuildAndNotify();
                                                               }));
        }
    }
    notifyRefreshDelegate();
}

void ZQiPhotoMediaInfo::stopObservingSource()
{
    if (m_source && m_sourceObservation)
        m_source->removeObservation(m_sourceObservation);
    m_sourceObservation = 0;
}

void ZQiPhotoMediaInfo::stopObservingGroup()
{
    if (m_group) {
        for (const platform::ObservationToken token : std::as_const(m_groupObservations))
            m_group->removeObservation(token);
    }
    m_groupObservations.clear();
}

void ZQiPhotoMediaInfo::rebuildAndNotify()
{
    m_groupNodes.clear();
    platform::NotificationCenter::defaultCenter().postNotificationName(kZQFolderInfoDidChangeOnDisk, this);
    notifyRefreshDelegate();
}

QList<ZQFolderInfoPtr> ZQiPhotoMediaInfo::subFolders()
{
    if (m_groupNodes.isEmpty()) {
        for (const ZQObjectPtr& childGroup : objectsOf(m_group, QStringLiteral("childGroups"))) {
            auto node = std::make_shared<ZQiPhotoMediaInfo>();
            adopt(*node);
            node->setMediaGroup(childGroup);
            m_groupNodes.append(std::move(node));
        }
    }
    return m_groupNodes;
}

QList<ZQURLWithThumb> ZQiPhotoMediaInfo::imageURLsWithThumbs() const
{
    QList<ZQURLWithThumb> images;
    for (const ZQObjectPtr& object : objectsOf(m_group, QStringLiteral("mediaObjects"))) {
        if (object->valueForKey(QStringLiteral("mediaType")).toInt() == kImageMediaType)
            images.append({object->valueForKey(QStringLiteral("URL")).toUrl(),
                           object->valueForKey(QStringLiteral("thumbnailURL")).toUrl()});
    }
    return images;
}

QList<QUrl> ZQiPhotoMediaInfo::fileURLsOfTypes(const QStringList&)
{
    QList<QUrl> urls;
    for (const ZQURLWithThumb& image : imageURLsWithThumbs())
        urls.append(image.url);
    return urls;
}

QList<ZQURLWithThumb> ZQiPhotoMediaInfo::fileURLsWithThumbsOfTypes(const QStringList&)
{
    return imageURLsWithThumbs();
}

FolderWalk ZQiPhotoMediaInfo::fileWalkOfTypes(const QStringList& types)
{
    // The group's objects are read here, on the main thread, where the library reports them.
    return [files = fileURLsWithThumbsOfTypes(types)](const std::atomic_bool&, const auto& deliver) {
        deliver({files, {}}, true);
    };
}

QList<QUrl> ZQiPhotoMediaInfo::thumbnailURLs() const
{
    QList<QUrl> urls;
    for (const ZQURLWithThumb& image : imageURLsWithThumbs())
        urls.append(image.thumbnailURL);
    return urls;
}

QImage ZQiPhotoMediaInfo::icon() const
{
    return m_group ? m_group->valueForKey(QStringLiteral("iconImage")).value<QImage>() : QImage();
}

QString ZQiPhotoMediaInfo::description() const
{
    return QStringLiteral("%1 id=%2").arg(ZQFolderInfo::description(), identifier());
}
