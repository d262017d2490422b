#include "windows/templates/TemplateImport.h"

#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TemplateImport {

namespace {

// Packages are a few levels deep; deeper nesting is damage or a trap.
constexpr int kMaximumPackageDepth = 32;

bool isTaken(const QString& path)
{
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

bool copyEntry(const QFileInfo& source, const QString& target, int depth, QString* error)
{
    if (source.isFile()) {
        QFile file(source.absoluteFilePath());
        if (!file.copy(target)) {
            *error = file.errorString();
            return false;
        }
        return true;
    }
    if (!source.isDir()) {
        *error = QObject::tr("“%1” is neither a file nor a folder.").arg(source.absoluteFilePath());
        return false;
    }
    if (depth > kMaximumPackageDepth) {
        *error = QObject::tr("“%1” is nested too deeply.").arg(source.absoluteFilePath());
        return false;
    }
    if (!QDir().mkdir(target)) {
        *error = QObject::tr("The folder “%1” could not be made.").arg(target);
        return false;
    }
    const QFileInfoList entries = QDir(source.absoluteFilePath())
                                      .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                     | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        // Links stay behind: followed, they could copy anything on the disk into the template.
        if (entry.isSymLink() || (!entry.isFile() && !entry.isDir()))
            continue;
        if (!copyEntry(entry, QDir(target).filePath(entry.fileName()), depth + 1, error))
            return false;
    }
    return true;
}

} // namespace

QString destinationFolder(const QStringList& files, const QString& userTemplatesFolder)
{
    const QString category = files.isEmpty() ? QString() : QFileInfo(files.last()).absoluteDir().dirName();
    return QDir::cleanPath(QDir(userTemplatesFolder).filePath(category));
}

bool copyTemplate(const QString& source, const QString& target, QString* error)
{
    const QFileInfo info(source);
    if (!info.exists()) {
        *error = QObject::tr("“%1” does not exist.").arg(source);
        return false;
    }
    if (isTaken(target)) {
        *error = QObject::tr("“%1” already exists.").arg(target);
        return false;
    }
    if (copyEntry(info, target, 0, error))
        return true;
    // A half-copied package would list as a broken template.
    if (QFileInfo(target).isDir())
        QDir(target).removeRecursively();
    else
        QFile::remove(target);
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
