#pragma once

// What makes a directory the same directory: its device and inode. Links and new folders
// put under an old name are told apart by it.

#include <QString>
#include <QHashFunctions>
#include <QtGlobal>
#include <optional>

struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;

    // The identity of what `path` names, links followed; nullopt when it cannot be read.
    // `isDirectory`, when given, says whether it is a directory.
    static std::optional<FileIdentity> ofPath(const QString& path, bool* isDirectory = nullptr);

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

inline size_t qHash(const FileIdentity& identity, size_t seed = 0)
{
    return qHashMulti(seed, identity.device, identity.inode);
}
