#include "media/folders/FileIdentity.h"

#include <QFile>
#include <sys/stat.h>

std::optional<FileIdentity> FileIdentity::ofPath(const QString& path)
{
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{quint64(status.st_dev), quint64(status.st_ino)};
}
