#include "platform/ui/FileWrapper.h"

#include "platform/foundation/AvailableMemory.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/DocumentError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QuorvaneError failure(const QString& path, const QString& reason)
{
    return QuorvaneError(kQuorvaneDocumentError, reason, {{QStringLiteral("path"), path}});
}

void setError(QuorvaneError* error, const QuorvaneError& value)
{
    if (error)
        *error = value;
}

QString systemReason()
{
    return qt_error_string(errno);
}

// Reads a tree in two passes. The first walks the folders, counting entries and adding up
// file sizes, so that a tree past the limits or larger than the memory available is refused
// before any file is read; the second reads each file at its size, still within the total
// measured.
class TreeReader {
public:
    std::optional<FileWrapper> read(const QFileInfo& root)
    {
        m_root.setPath(root.absoluteFilePath());
        const std::optional<Entry> tree = scan(root, 0);
        if (!tree)
            return std::nullopt;
        if (!memoryIsAvailableFor(m_totalSize))
            return fail(QStringLiteral("its files take %1 in all, more than the memory available")
                            .arg(QLocale::c().formattedDataSize(m_totalSize, 0, QLocale::DataSizeTraditionalFormat)));
        return load(*tree);
    }

    QString reason;

private:
    struct Entry {
        QString name;
        QString path;
        bool isDirectory = false;
        std::vector<Entry> children; // sorted by name
        QMap<QString, QString> leftOut; // special entries, and why
    };

    std::optional<Entry> scan(const QFileInfo& info, int depth)
    {
        if (depth > FileWrapper::kMaximumDepth)
            return fail(QStringLiteral("its folders are nested too deeply"));
        Entry entry{info.fileName(), info.absoluteFilePath(), info.isDir(), {}, {}};
        if (!entry.isDirectory) {
            m_totalSize += info.size();
            return entry;
        }
        QDirIterator entries(entry.path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (entries.hasNext()) {
            const QFileInfo child = entries.nextFileInfo();
            if (++m_entryCount > FileWrapper::kMaximumEntryCount)
                return fail(QStringLiteral("it holds too many files (more than %1)").arg(FileWrapper::kMaximumEntryCount));
            if (child.isSymLink() || (!child.isDir() && !child.isFile())) {
                LogEvent(kFileEvent, QStringLiteral("skipped '%1': not a plain file or folder").arg(child.filePath()));
                entry.leftOut.insert(child.fileName(), reasonIsNotRegularFile(child.filePath()));
                continue;
            }
            std::optional<Entry> scanned = scan(child, depth + 1);
            if (!scanned)
                return std::nullopt;
            entry.children.push_back(std::move(*scanned));
        }
        std::sort(entry.children.begin(), entry.children.end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
        return entry;
    }

    std::optional<FileWrapper> load(const Entry& entry)
    {
        if (!entry.isDirectory) {
            QString why;
            std::optional<QByteArray> contents =
                readRegularFile(entry.path, m_totalSize - m_readSize, &why, SymbolicLinks::Refuse);
            if (!contents)
                return fail(QStringLiteral("“%1”: %2").arg(m_root.relativeFilePath(entry.path), why));
            m_readSize += contents->size();
            return FileWrapper::regularFile(*contents, entry.name);
        }
        FileWrapper directory = FileWrapper::directory(entry.name);
        for (auto leftOut = entry.leftOut.cbegin(); leftOut != entry.leftOut.cend(); ++leftOut)
            directory.noteEntryLeftOut(leftOut.key(), leftOut.value());
        for (const Entry& child : entry.children) {
            std::optional<FileWrapper> loaded = load(child);
            if (!loaded)
                return std::nullopt;
            directory.addFileWrapper(std::move(*loaded)); // in order: each lands at the end
        }
        return directory;
    }

    std::nullopt_t fail(const QString& why)
    {
        reason = why;
        return std::nullopt;
    }

    QDir m_root;
    qsizetype m_entryCount = 0;
    qint64 m_totalSize = 0;
    qint64 m_readSize = 0;
};

enum class Durability { Written, Synced };

bool writeFile(const QString& path, const QByteArray& contents, Durability durability, QString* reason)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        *reason = systemReason();
        return false;
    }
    qsizetype written = 0;
    while (written < contents.size()) {
        const ssize_t count = ::write(fd, contents.constData() + written, size_t(contents.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        written += count;
    }
    const bool complete = written == contents.size() && (durability == Durability::Written || ::fsync(fd) == 0);
    if (!complete)
        *reason = systemReason();
    // Some file systems report a full disk only when the file is closed.
    if (::close(fd) != 0 && complete) {
        *reason = systemReason();
        return false;
    }
    return complete;
}

// Writes the tree at `path`, where nothing is yet; answers the system's reason on failure.
bool writeTree(const FileWrapper& wrapper, const QString& path, Durability durability, QString* reason)
{
    if (wrapper.isRegularFile())
        return writeFile(path, wrapper.regularFileContents(), durability, reason);
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0) {
        *reason = systemReason();
        return false;
    }
    for (const FileWrapper& child : wrapper.fileWrappers()) {
        if (!FileWrapper::isValidFilename(child.filename())) {
            *reason = QStringLiteral("“%1” is not a valid file name").arg(child.filename());
            return false;
        }
        if (!writeTree(child, path + QLatin1Char('/') + child.filename(), durability, reason))
            return false;
    }
    return true;
}

// A hidden place beside the target, removed unless it was moved into place. Its name is
// short whatever the target's, so a name up to the system's limit can still be saved.
class StagingPlace {
public:
    explicit StagingPlace(const QString& folder)
        : m_path(QStringLiteral("%1/.saving-%2")
                     .arg(folder)
                     .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')))
    {
    }
    ~StagingPlace() { remove(m_path); }

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
        *reason = systemReason();
        return false;
    }
#ifdef RENAME_EXCHANGE
    if (renameat2(AT_FDCWD, stagedPath.constData(), AT_FDCWD, targetPath.constData(), RENAME_EXCHANGE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        *reason = systemReason();
        return false;
    }
#endif
    const QByteArray asidePath = stagedPath + ".old";
    if (std::rename(targetPath.constData(), asidePath.constData()) != 0) {
        *reason = systemReason();
        return false;
    }
    if (std::rename(stagedPath.constData(), targetPath.constData()) != 0) {
        *reason = systemReason();
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

bool FileWrapper::operator==(const FileWrapper& other) const
{
    return m_kind == other.m_kind && m_filename == other.m_filename && m_contents == other.m_contents
        && m_children == other.m_children;
}

bool FileWrapper::isValidFilename(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

std::optional<FileWrapper> FileWrapper::readFromPath(const QString& path, QuorvaneError* error)
{
    const QFileInfo info(path);
    QString reason;
    std::optional<FileWrapper> wrapper;
    if (info.isDir() && !info.isSymLink()) {
        TreeReader reader;
        wrapper = reader.read(info);
        reason = reader.reason;
    } else if (std::optional<QByteArray> contents =
                   readRegularFile(path, memoryAReaderMayTake(), &reason, SymbolicLinks::Refuse)) {
        wrapper = regularFile(*contents, info.fileName());
    }
    if (!wrapper)
        setError(error, DocumentError::couldNotOpen(QUrl::fromLocalFile(path), failure(path, reason)));
    return wrapper;
}

bool FileWrapper::writeToPath(const QString& path, QuorvaneError* error) const
{
    const QFileInfo target(path);
    QString reason;
    if (!isValidFilename(target.fileName())) {
        reason = QStringLiteral("it is not a valid file name");
    } else if (!target.absoluteDir().exists()) {
        reason = QStringLiteral("its folder does not exist");
    } else {
        // A single-file document is synced before it replaces the old one; syncing each of a
        // package's files would slow every save.
        const StagingPlace staging(target.absolutePath());
        if (writeTree(*this, staging.path(), isRegularFile() ? Durability::Synced : Durability::Written, &reason)
            && swapIntoPlace(staging.path(), target.absoluteFilePath(), &reason))
            return true;
    }
    setError(error, DocumentError::couldNotSave(QUrl::fromLocalFile(path), failure(path, reason)));
    return false;
}

} // namespace platform
