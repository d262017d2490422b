#include "library/store/LibraryTrash.h"

#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace LibraryTrash {

bool moveToTrash(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        LogEvent(kFileEvent, QStringLiteral("nothing to move to the Trash at '%1'").arg(path));
        return false;
    }
    // The home Trash lives in the data folder; without that folder Qt files the item under the
    // working folder instead.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (!QFile::moveToTrash(path)) {
        LogEvent(kFileEvent, QStringLiteral("'%1' could not be moved to the Trash").arg(path));
        return false;
    }
    return true;
}

} // namespace LibraryTrash
