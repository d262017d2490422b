#include "library/archiving/FolderSnapshot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace {

bool linkOrCopy(const QString& from, const QString& to)
{
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0
        || QFile::copy(from, to);
}

bool mirror(const QString& folder, const QString& copy, QString* reason)
{
    if (!QDir().mkdir(copy)) {
        *reason = QStringLiteral("'%1' could not be made").arg(copy);
        return false;
    }
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink())
            continue;
        const QString target = copy + u'/' + entry.fileName();
        if (entry.isDir()) {
            if (!mirror(entry.filePath(), target, reason))
                return false;
        } else if (entry.isFile() && !linkOrCopy(entry.filePath(), target)) {
            *reason = QStringLiteral("'%1' could not be read").arg(entry.filePath());
            return false;
        }
    }
    return true;
}

// Beside the folder when its parent is writable, else in the system's temporary folder.
std::unique_ptr<QTemporaryDir> storageNear(const QFileInfo& folder)
{
    auto storage = std::make_unique<QTemporaryDir>(folder.absolutePath() + QStringLiteral("/.snapshot-XXXXXX"));
    if (!storage->isValid())
        storage = std::make_unique<QTemporaryDir>();
    return storage;
}

} // namespace

std::unique_ptr<FolderSnapshot> FolderSnapshot::take(const QString& folder, QString* reason)
{
    QString why;
    const QFileInfo source(folder);
    std::unique_ptr<FolderSnapshot> snapshot(new FolderSnapshot);
    if (!source.isDir() || source.isSymLink())
        why = QStringLiteral("'%1' is no folder").arg(folder);
    else if (snapshot->m_storage = storageNear(source); !snapshot->m_storage->isValid())
        why = snapshot->m_storage->errorString();
    else {
        snapshot->m_path = snapshot->m_storage->path() + u'/' + source.fileName();
        mirror(source.filePath(), snapshot->m_path, &why);
    }
    if (why.isEmpty())
        return snapshot;
    if (reason)
        *reason = why;
    return nullptr;
}
