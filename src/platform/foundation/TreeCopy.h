#pragma once

// Copying a file or folder a user chose into the program's own folders (an imported library,
// a template). The source must itself be a regular file or a folder, not a link; inside it,
// links and special files are left out, never followed or opened. The whole tree is looked at
// before anything is copied, and one beyond the limits is refused with the reason. Sizes count
// what the copy would write, so a sparse file counts at its full length. Each file is then
// copied at the size it was found with, and a failed copy leaves nothing behind.

#include <QString>

namespace platform {

struct TreeCopyLimits {
    int maximumDepth = 32;
    qint64 maximumEntries = 100000;
    qint64 maximumBytes = qint64(1) << 30;     // all files together
    qint64 maximumFileBytes = qint64(1) << 30; // any one file
};

// Copies `source` to `target`, which must not exist (its parent must). False with `reason`
// ("“a/b” is a symbolic link", "it is larger than 1 GB", the system's own) when it did not.
bool copyTreeWithinLimits(const QString& source, const QString& target, const TreeCopyLimits& limits,
                          QString* reason = nullptr);

} // namespace platform
