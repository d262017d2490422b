#pragma once

// A folder of the bundle as real files. The bundle lives in the Qt resource tree, which other
// programs (a web browser given a help page) cannot read, so the folder is copied into the
// cache folder, once for each distinct content: a new build with changed files gets a fresh
// copy, an unchanged one reuses the last.

#include <QString>

namespace platform {

// The copy of ":/bundle/<name>" on disk; empty when there is no such folder or it cannot be
// written. `name` is one folder name of the bundle's top level.
QString bundleFolderOnDisk(const QString& name);

} // namespace platform
