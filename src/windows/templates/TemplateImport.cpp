#include "windows/templates/TemplateImport.h"

#include "platform/foundation/TreeCopy.h"
#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TemplateImport {

namespace {

// Packages are a few levels deep, and no map the program opens is near these sizes: deeper
// nesting or more is damage or a trap.
constexpr platform::TreeCopyLimits kTemplateLimits{32, 10000, qint64(1) << 30, qint64(1) << 30};

} // namespace

QString destinationFolder(const QStringList& files, const QString& userTemplatesFolder)
{
    const QString category = files.isEmpty() ? QString() : QFileInfo(files.last()).absoluteDir().dirName();
    return QDir::cleanPath(QDir(userTemplatesFolder).filePath(category));
}

bool copyTemplate(const QString& source, const QString& target, QString* error)
{
    const QFileInfo info(source);
    if (!info.exists() && !info.isSymLink()) {
        *error = QObject::tr("“%1” does not exist.").arg(source);
        return false;
    }
    QString reason;
    if (platform::copyTreeWithinLimits(source, target, kTemplateLimits, &reason))
        return true;
    *error = QObject::tr("“%1” could not be copied: %2.").arg(info.fileName(), reason);
    return false;
}

Result importFiles(const QStringList& files, const QString& userTemplatesFolder)
{
    Result result;
    const QString destination = destinationFolder(files, userTemplatesFolder);
    if (!QDir().mkpath(destination)) {
        result.failure = QObject::tr("The folder “%1” could not be made.").arg(destination);
        ZQLog(QStringLiteral("failed to create the destination directory, error = %1").arg(result.failure));
        return result;
    }
    result.destination = destination;
    for (const QString& file : files) {
        const QString target = QDir(destination).filePath(QFileInfo(file).fileName());
        ZQLog(QStringLiteral("copying template %1 to %2").arg(file, target));
        QString error;
        if (!copyTemplate(file, target, &error)) {
            result.failure = error;
            ZQLog(QStringLiteral("failed to copy the file, error = %1").arg(error));
            break;
        }
        result.copied.append(target);
    }
    return result;
}

} // namespace TemplateImport
