#pragma once

#include "media/watcher/FileSystemEventSource.h"
#include "media/watcher/ZQFolderWatcher.h"
#include "platform/foundation/NotificationCenter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

// Readable failures: paths as text, not as UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace mediatest {

// An event source the test drives: it records what it was asked to watch, in order, and
// reports changes when told to.
class FakeFolderEventSource : public FolderEventSource {
public:
    struct Call {
        bool added;
        QStringList paths;
        friend bool operator==(const Call&, const Call&) = default;
    };

    QStringList addWatchedPaths(const QStringList& paths) override
    {
        calls.append({true, paths});
        QStringList refused;
        for (const QString& path : paths) {
            if (watched >= watchLimit)
                refused.append(path);
            else
                ++watched;
        }
        return refused;
    }
    void removeWatchedPaths(const QStringList& paths) override { calls.append({false, paths}); }
    void changeFolder(const QString& key) { report(key); }

    QList<Call> calls;
    // Folders past the limit are refused, as the system does; removals do not give room back.
    int watchLimit = std::numeric_limits<int>::max();
    int watched = 0;
};

// The shared watcher on a fake source for the scope; the system's source again after it.
class FakeEventSourceScope {
public:
    FakeEventSourceScope()
    {
        auto fake = std::make_unique<FakeFolderEventSource>();
        source = fake.get();
        ZQFolderWatcher::defaultWatcher().setEventSource(std::move(fake));
    }
    ~FakeEventSourceScope()
    {
        ZQFolderWatcher::defaultWatcher().setEventSource(std::make_unique<FileSystemEventSource>());
    }
    FakeEventSourceScope(const FakeEventSourceScope&) = delete;
    FakeEventSourceScope& operator=(const FakeEventSourceScope&) = delete;

    FakeFolderEventSource* source = nullptr;
};

// A folder tree in a temporary folder, made entry by entry.
class FolderTree {
public:
    FolderTree() { EXPECT_TRUE(m_folder.isValid()); }

    QString path(const QString& relative = {}) const
    {
        return relative.isEmpty() ? QDir(m_folder.path()).canonicalPath()
                                  : QDir(m_folder.path()).canonicalPath() + QLatin1Char('/') + relative;
    }
    QString folder(const QString& relative) const
    {
        EXPECT_TRUE(QDir().mkpath(path(relative))) << relative.toStdString();
        return path(relative);
    }
    QString file(const QString& relative, const QByteArray& contents = "x") const
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile out(path(relative));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly)) << relative.toStdString();
        out.write(contents);
        return path(relative);
    }
    // A link at `relative` to `target` (as written: relative targets stay relative).
    QString link(const QString& target, const QString& relative) const
    {
        EXPECT_TRUE(QFile::link(target, path(relative))) << relative.toStdString();
        return path(relative);
    }

private:
    QTemporaryDir m_folder;
};

// Counts the notifications of one name, keeping their senders.
class NotificationRecorder : public QObject {
public:
    explicit NotificationRecorder(const QString& name)
    {
        platform::NotificationCenter::defaultCenter().addObserver(
            this, name, nullptr, [this](const platform::Notification& note) { senders.append(note.sender.data()); });
    }
    QList<QObject*> senders;
};

} // namespace mediatest
