#include "platform/ui/FileWrapper.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace platform {

namespace {

QuorvaneError fileError(const QString& description, const QString& path)
{
    return QuorvaneError(kQuorvaneDocumentError, description, {{QStringLiteral("path"), path}});
}

void setError(QuorvaneError* error, const QuorvaneError& value)
{
    if (error)
        *error = value;
}

// Reads a tree within the limits, counting entries and bytes across the whole tree.
class TreeReader {
public:
    std::optional<FileWrapper> read(const QFileInfo& info, int depth)
    {
        if (depth > FileWrapper::kMaximumDepth)
            return fail(QStringLiteral("folders nested too deeply"), info);
        if (++m_entryCount > FileWrapper::kMaximumEntryCount)
            return fail(QStringLiteral("too many files"), info);
        if (info.isDir())
            return readDirectory(info, depth);
        return readFile(info);
    }

    QuorvaneError error;

private:
    std::optional<FileWrapper> readDirectory(const QFileInfo& info, int depth)
    {
        FileWrapper directory = FileWrapper::directory(info.fileName());
        const QDir dir(info.absoluteFilePath());
        const QFileInfoList entries =
            dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries) {
            if (entry.isSymLink() || (!entry.isDir() && !entry.isFile())) {
                LogEvent(kFileEvent, QStringLiteral("skipped '%1': not a plain file or folder").arg(entry.filePath()));
                continue;
            }
            std::optional<FileWrapper> child = read(entry, depth + 1);
            if (!child)
                return std::nullopt;
            directory.addFileWrapper(std::move(*child));
        }
        return directory;
    }

    std::optional<FileWrapper> readFile(const QFileInfo& info)
    {
        QFile file(info.absoluteFilePath());
        const qint64 size = file.size();
        if (size < 0 || m_totalSize + size > FileWrapper::kMaximumTotalSize)
            return fail(QStringLiteral("the files are too large"), info);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("the file could not be read (%1)").arg(file.errorString()), info);
        const QByteArray contents = file.read(FileWrapper::kMaximumTotalSize - m_totalSize + 1);
        m_totalSize += contents.size();
        if (m_totalSize > FileWrapper::kMaximumTotalSize)
            return fail(QStringLiteral("the files are too large"), info);
        if (file.error() != QFileDevice::NoError)
            return fail(QStringLiteral("the file could not be read (%1)").arg(file.errorString()), info);
        return FileWrapper::regularFile(contents, info.fileName());
    }

    std::nullopt_t fail(const QString& reason, const QFileInfo& info)
    {
        error = fileError(QStringLiteral("'%1' could not be read: %2").arg(info.filePath(), reason), info.filePath());
        return std::nullopt;
    }

    qsizetype m_entryCount = 0;
    qint64 m_totalSize = 0;
};

bool writeTree(const FileWrapper& wrapper, const QString& path, QuorvaneError* error)
{
    if (wrapper.isRegularFile()) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
            || file.write(wrapper.regularFileContents()) != wrapper.regularFileContents().size() || !file.flush()) {
            setError(error, fileError(QStringLiteral("'%1' could not be written (%2)").arg(path, file.errorString()), path));
            return false;
        }
        return true;
    }
    if (!QDir().mkdir(path)) {
        setError(error, fileError(QStringLiteral("the folder '%1' could not be made").arg(path), path));
        return false;
    }
    for (const FileWrapper& child : wrapper.fileWrappers()) {
        if (!FileWrapper::isValidFilename(child.filename())) {
            setError(error, fileError(QStringLiteral("'%1' is not a valid file name").arg(child.filename()), path));
            return false;
        }
        if (!writeTree(child, path + QLatin1Char('/') + child.filename(), error))
            return false;
    }
    return true;
}

// A folder beside the target that is removed unless it was moved into place.
class StagingFolder {
public:
    explicit StagingFolder(const QFileInfo& target)
    {
        const QString stem = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".saving-");
        m_path = stem + QString::number(QRandomGenerator::global()->generate(), 16);
    }
    ~StagingFolder() { remove(m_path); }

    const QString& path() const { return m_path; }

    static void remove(const QString& path)
    {
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink())
            QDir(path).removeRecursively();
        else if (info.exists() || info.isSymLink())
            QFile::remove(path);
    }

private:
    QString m_path;
};

// Puts `staged` in the place of `target`. An existing target is exchanged in one step where
// the file system can; otherwise it is moved aside first and moved back if the swap fails.
// What was at `target` ends up at `staged`, for the caller to remove.
bool swapIntoPlace(const QString& staged, const QString& target, QString* reason)
{
    const QByteArray stagedPath = QFile::encodeName(staged);
    const QByteArray targetPath = QFile::encodeName(target);
    if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink()) {
        if (std::rename(stagedPath.constData(), targetPath.constData()) == 0)
            return true;
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
#ifdef RENAME_EXCHANGE
    if (renameat2(AT_FDCWD, stagedPath.constData(), AT_FDCWD, targetPath.constData(), RENAME_EXCHANGE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
#endif
    const QByteArray asidePath = stagedPath + ".old";
    if (std::rename(targetPath.constData(), asidePath.constData()) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (std::rename(stagedPath.constData(), targetPath.constData()) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        std::rename(asidePath.constData(), targetPath.constData());
        return false;
    }
    std::rename(asidePath.constData(), stagedPath.constData());
    return true;
}

} // namespace

FileWrapper FileWrapper::regularFile(const QByteArray& contents, const QString& filename)
{
    FileWrapper wrapper(Kind::RegularFile);
    wrapper.m_contents = contents;
    wrapper.m_filename = filename;
    return wrapper;
}

FileWrapper FileWrapper::directory(const QString& filename)
{
    FileWrapper wrapper(Kind::Directory);
    wrapper.m_filename = filename;
    return wrapper;
}

const FileWrapper* FileWrapper::fileWrapperNamed(const QString& name) const
{
    const auto found = std::lower_bound(m_children.begin(), m_children.end(), name,
                                        [](const FileWrapper& child, const QString& key) { return child.m_filename < key; });
    return found != m_children.end() && found->m_filename == name ? &*found : nullptr;
}

void FileWrapper::addFileWrapper(FileWrapper child)
{
    ZQ_ASSERT(isDirectory(), QStringLiteral("only a folder can hold files"));
    ZQ_ASSERT(!child.m_filename.isEmpty(), QStringLiteral("a file in a folder needs a name"));
    const auto place = std::lower_bound(m_children.begin(), m_children.end(), child.m_filename,
                                        [](const FileWrapper& entry, const QString& key) { return entry.m_filename < key; });
    if (place != m_children.end() && place->m_filename == child.m_filename)
        *place = std::move(child);
    else
        m_children.insert(place, std::move(child));
}

void FileWrapper::addRegularFileWithContentsFilename(const QByteArray& contents, const QString& filename)
{
    addFileWrapper(regularFile(contents, filename));
}

bool FileWrapper::removeFileWrapperNamed(const QString& name)
{
    const auto found = std::find_if(m_children.begin(), m_children.end(),
                                    [&](const FileWrapper& child) { return child.m_filename == name; });
    if (found == m_children.end())
        return false;
    m_children.erase(found);
    return true;
}

bool FileWrapper::isValidFilename(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

std::optional<FileWrapper> FileWrapper::readFromPath(const QString& path, QuorvaneError* error)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isSymLink() || (!info.isDir() && !info.isFile())) {
        setError(error, fileError(QStringLiteral("'%1' does not exist or is not a file or folder").arg(path), path));
        return std::nullopt;
    }
    TreeReader reader;
    std::optional<FileWrapper> wrapper = reader.read(info, 0);
    if (!wrapper)
        setError(error, reader.error);
    return wrapper;
}

bool FileWrapper::writeToPath(const QString& path, QuorvaneError* error) const
{
    const QFileInfo target(path);
    if (!isValidFilename(target.fileName()) || !target.absoluteDir().exists()) {
        setError(error, fileError(QStringLiteral("'%1' is not a place a file can be written to").arg(path), path));
        return false;
    }
    if (isRegularFile() && !target.isDir()) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(m_contents) != m_contents.size() || !file.commit()) {
            setError(error, fileError(QStringLiteral("'%1' could not be written (%2)").arg(path, file.errorString()), path));
            return false;
        }
        return true;
    }
    StagingFolder staging(target);
    if (!writeTree(*this, staging.path(), error))
        return false;
    QString reason;
    if (!swapIntoPlace(staging.path(), target.absoluteFilePath(), &reason)) {
        setError(error, fileError(QStringLiteral("'%1' could not be replaced (%2)").arg(path, reason), path));
        return false;
    }
    return true;
}

} // namespace platform
