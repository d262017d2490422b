#pragma once

// A folder held open, so that its files are reached wherever it is renamed or moved while
// held: paths are taken relative to the folder itself, never to where it was, and no
// symbolic link is followed on the way to a file. A folder replaced by another (a save in
// place) is followed to its replacement when told.

#include "platform/foundation/RegularFile.h"

#include <QString>
#include <memory>
#include <optional>
#include <sys/types.h>

namespace platform {

class HeldFolder {
public:
    // What a file is, wherever it lies: two paths with one identity name the same file.
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const Identity&) const = default;
    };
    // The identity of what `path` names (a symbolic link itself, not its target).
    static std::optional<Identity> identityAt(const QString& path);

    // Null with `reason` when `path` is no folder; a link to one is refused too.
    static std::shared_ptr<HeldFolder> open(const QString& path, QString* reason = nullptr);
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    Identity identity() const { return m_identity; }
    // Holds the folder at `path` instead, which took this one's place; false, holding this one
    // still, when there is none.
    bool follow(const QString& path);
    // Where the folder is now; what the system answers for one since removed ends in " (deleted)".
    QString path() const;

    // The regular file at `relativePath` ("QuickLook/Credits.txt"), refused in RegularFile's
    // words when it is gone or is no regular file any more.
    std::optional<RegularFile> openRegularFile(const QString& relativePath, qint64 maximumSize,
                                               QString* reason = nullptr) const;

private:
    HeldFolder(int descriptor, Identity identity) : m_descriptor(descriptor), m_identity(identity) {}

    int m_descriptor = -1;
    Identity m_identity;
};

} // namespace platform
