#pragma once

// Moving library files to the user's Trash (on Linux the freedesktop Trash: the file under
// "files/" and a ".trashinfo" under "info/", or ".Trash-<uid>" on another volume).

#include <QString>

namespace LibraryTrash {

// False, with a file-event log line, when the path is missing or cannot be moved.
bool moveToTrash(const QString& path);

} // namespace LibraryTrash
