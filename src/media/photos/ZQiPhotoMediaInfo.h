#pragma once

// Folder nodes over the photo collections of a media library service: a node wraps one
// media group, its children are the group's child groups and its files the group's images.
// The service's objects are reached by key-value coding and observed: a source answers
// "rootMediaGroup"; a group "name", "iconImage" (QImage), "childGroups" and "mediaObjects"
// (lists of objects); a media object "mediaType" (2 for images), "URL" and "thumbnailURL".
//
// This system has no such service: media support is not available, no library is made and
// the shared roots stay without a source, so they show no children and no files.

#include "media/folders/ZQFolderInfo.h"
#include "platform/foundation/KeyValueObserving.h"

class ZQiPhotoMediaInfo : public ZQFolderInfo {
    Q_OBJECT

public:
    static constexpr int kImageMediaType = 2;

    ZQiPhotoMediaInfo();
    ~ZQiPhotoMediaInfo() override;

    // Whether the platform offers a media library service (never here).
    static bool mediaSupportAvailable();
    // Starts loading the shared media library and answers its sources; nothing, with a log
    // line, without media support.
    static QList<ZQObjectPtr> iPhotoMediaLibrary();
    // The shared roots for the photo library and Photo Booth, made once; each takes its
    // source from the library when there is one.
    static std::shared_ptr<ZQiPhotoMediaInfo> photosMediaRoot();
    static std::shared_ptr<ZQiPhotoMediaInfo> photoBoothMediaRoot();

    ZQObjectPtr mediaSource() const { return m_source; }
    // The source's root group becomes this node's group, now and whenever it changes.
    void setMediaSource(const ZQObjectPtr& source);
    ZQObjectPtr mediaGroup() const { return m_group; }
    // A change of the group's child groups, objects or icon rebuilds the node.
    void setMediaGroup(const ZQObjectPtr& group);
    // Empties the children and announces the change as a folder's change on disk would.
    void rebuildAndNotify();

    QList<ZQFolderInfoPtr> subFolders() override;
    // The group's images, made afresh at every call; the types are not used.
    QList<QUrl> fileURLsOfTypes(const QStringList& types) override;
    // The same with each image's thumbnail.
    QList<ZQURLWithThumb> fileURLsWithThumbsOfTypes(const QStringList& types) override;
    FolderWalk fileWalkOfTypes(const QStringList& types) override;
    QList<ZQURLWithThumb> imageURLsWithThumbs() const;
    QList<QUrl> thumbnailURLs() const;
    QImage icon() const override;
    bool allowsDeletion() const override { return false; }
    QString description() const override;

private:
    void stopObservingSource();
    void stopObservingGroup();

    ZQObjectPtr m_source;
    ZQObjectPtr m_group;
    platform::ObservationToken m_sourceObservation = 0;
    QList<platform::ObservationToken> m_groupObservations;
    QList<ZQFolderInfoPtr> m_groupNodes;
};
