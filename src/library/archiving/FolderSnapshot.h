#pragma once

// A still image of a folder, taken at once on the thread that may change it, so that slower
// work (zipping) can read it on another thread while the folder goes on changing. Files are
// hard-linked where the file system allows and copied where it does not: files here are
// replaced by renaming, never rewritten in place, so a link keeps what the file held when the
// snapshot was taken. Links, devices and pipes are left out, as FolderZipWriter leaves them.
// The snapshot lives in a hidden temporary folder beside the folder (on the same file system,
// so linking works), else in the system's temporary folder; it is removed with the object.

#include <QString>
#include <QTemporaryDir>
#include <memory>

class FolderSnapshot {
public:
    // Null, with the reason, when the folder cannot be read or the snapshot cannot be made.
    static std::unique_ptr<FolderSnapshot> take(const QString& folder, QString* reason = nullptr);

    // The snapshot's copy of the folder; its name is the folder's own name.
    QString path() const { return m_path; }

private:
    FolderSnapshot() = default;

    std::unique_ptr<QTemporaryDir> m_storage;
    QString m_path;
};
