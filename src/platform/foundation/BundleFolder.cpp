#include "platform/foundation/BundleFolder.h"

#include "platform/foundation/ZQLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

bool isPlainFolderName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
        && name != QLatin1String("..");
}

// Relative paths of the folder's files, sorted, so the fingerprint does not depend on listing order.
QStringList filesIn(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(root.size() + 1);
    files.sort();
    return files;
}

QString fingerprint(const QString& root, const QStringList& files)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& file : files) {
        hash.addData(file.toUtf8());
        QFile resource(root + QLatin1Char('/') + file);
        if (resource.open(QIODevice::ReadOnly))
            hash.addData(&resource);
    }
    return QString::fromLatin1(hash.result().toHex().left(16));
}

bool copyFiles(const QString& root, const QStringList& files, const QString& target)
{
    for (const QString& file : files) {
        const QString destination = target + QLatin1Char('/') + file;
        QFile source(root + QLatin1Char('/') + file);
        QSaveFile copy(destination);
        if (!QDir().mkpath(QFileInfo(destination).path()) || !source.open(QIODevice::ReadOnly)
            || !copy.open(QIODevice::WriteOnly) || copy.write(source.readAll()) != source.size() || !copy.commit())
            return false;
    }
    return true;
}

QString copyOfBundleFolder(const QString& name)
{
    const QString root = QStringLiteral(":/bundle/") + name;
    if (!QFileInfo(root).isDir())
        return {};
    const QStringList files = filesIn(root);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (cache.isEmpty())
        return {};
    const QString target = QDir(cache).filePath(QStringLiteral("Bundle/%1-%2").arg(name, fingerprint(root, files)));
    // A complete copy is marked last, so an interrupted one is made again.
    const QString marker = target + QStringLiteral("/.complete");
    if (QFileInfo::exists(marker))
        return target;
    QDir(target).removeRecursively();
    if (!copyFiles(root, files, target) || !QFile(marker).open(QIODevice::WriteOnly)) {
        ZQLog(QStringLiteral("bundle folder %1 could not be copied to %2").arg(name, target));
        return {};
    }
    return target;
}

} // namespace

QString bundleFolderOnDisk(const QString& name)
{
    if (!isPlainFolderName(name))
        return {};
    static QMutex mutex;
    static QHash<QString, QString> copies;
    QMutexLocker lock(&mutex);
    auto found = copies.constFind(name);
    if (found != copies.constEnd() && QFileInfo(*found).isDir())
        return *found;
    const QString copy = copyOfBundleFolder(name);
    if (!copy.isEmpty())
        copies.insert(name, copy);
    return copy;
}

} // namespace platform
