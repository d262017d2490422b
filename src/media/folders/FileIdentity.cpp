#include "media/folders/FileIdentity.h"

#include <QFile>
#include <sys/stat.h>

std::optional<FileIdentity> FileIdentity::ofPath(const QString& path, bool* isDirectory)
{
    struct stat status {};
    const bool read = !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &status) == 0;
    if (isDirectory)
        *isDirectory = read && S_ISDIR(status.st_mode);
    if (!read)
        return std::nullopt;
    return FileIdentity{quint64(status.st_dev), quint64(status.st_ino)};
}
