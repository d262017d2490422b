#include "panels/export/ExportFolder.h"

#include "app/application/VLTMApplication.h"
#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace exportfolder {

QString defaultExportLocation()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = documents.isEmpty()
                               ? QString()
                               : QDir(documents).filePath(VLTMApplication::productName() + u"/Exported Files");
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        ZQLog(QStringLiteral("The Exported Files folder couldn't be created, error = %1")
                  .arg(folder.isEmpty() ? QStringLiteral("no Documents folder") : folder));
        return {};
    }
    return QDir::cleanPath(folder);
}

QString folderForStoredValue(const QVariant& value)
{
    QString path;
    if (value.typeId() == QMetaType::QString)
        path = value.toString();
    else if (value.typeId() == QMetaType::QByteArray)
        path = QString::fromUtf8(value.toByteArray());
    if (path.isEmpty() || !QDir::isAbsolutePath(path) || !QFileInfo(path).isDir())
        return {};
    return QDir::cleanPath(path);
}

bool createFolder(const QString& folder)
{
    if (!folder.isEmpty() && QDir().mkpath(folder))
        return true;
    ZQLog(QStringLiteral("the folder '%1' doesn't exist and could not be created. Error=%2")
              .arg(folder, QStringLiteral("mkpath failed")));
    return false;
}

} // namespace exportfolder
