#pragma once

// The folders of the listing on display that the media browser follows for changes. The
// system's watches are few and shared by every program of the user, so only the first
// kBound folders of a listing are followed (the listing walks nearest first). When folders
// go unfollowed, because of the bound or because the system refused them, the reason is
// announced once per listing set.

#include "platform/foundation/NotificationCenter.h"

#include <QObject>
#include <QSet>
#include <QStringList>

class ListedFolderWatches : public QObject {
    Q_OBJECT

public:
    static constexpr int kBound = 1024; // folders

    using QObject::QObject;
    ~ListedFolderWatches() override;

    // Follows those of the folders not followed yet, within the bound.
    void watch(const QStringList& folders);
    // Stops following every folder and forgets any reason given.
    void clear();

    // From the folder watcher.
    Q_INVOKABLE void folderDidChange(const platform::Notification& notification);

Q_SIGNALS:
    void folderChanged();
    void foldersUnfollowed(const QString& reason);

private:
    void giveReason(const QString& reason);

    QSet<QString> m_folders;
    QString m_reason; // empty while every folder asked for is followed
};
