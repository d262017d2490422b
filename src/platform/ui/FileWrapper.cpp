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
#include <limits>
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

QString formattedSize(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 0, QLocale::DataSizeTraditionalFormat);
}

// Reads a tree in two passes. The first walks the folders, counting entries and adding up
// file sizes, so that a tree past the limits or larger than the memory available is refused
// before any file is read; the second reads each file at its size, still within the total
// measured, or, reading on demand, notes where each file is.
class TreeReader {
public:
    explicit TreeReader(FileWrapper::Reading reading) : m_reading(reading) {}

    std::optional<FileWrapper> read(const QFileInfo& root)
    {
        m_root.setPath(root.absoluteFilePath());
        const std::optional<Entry> tree = scan(root, 0);
        if (!tree)
            return std::nullopt;
        if (m_reading == FileWrapper::Reading::Whole && !memoryIsAvailableFor(m_totalSize))
            return fail(QStringLiteral("its files take %1 in all, more than the memory available").arg(formattedSize(m_totalSize)));
        return load(*tree);
    }

    QString reason;

private:
    struct Entry {
        QString name;
        QString path;
        qint64 size = 0;
        bool isDirectory = false;
        std::vector<Entry> children; // sorted by name
        QMap<QString, QString> leftOut; // special entries, and why
    };

    std::optional<Entry> scan(const QFileInfo& info, int depth)
    {
        if (depth > FileWrapper::kMaximumDepth)
            return fail(QStringLiteral("its folders are nested too deeply"));
        Entry entry{info.fileName(), info.absoluteFilePath(), info.isDir() ? 0 : info.size(), info.isDir(), {}, {}};
        if (!entry.isDirectory) {
            m_totalSize += entry.size;
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
        if (!entry.isDirectory && m_reading == FileWrapper::Reading::OnDemand)
            return FileWrapper::regularFileOnDisk(entry.path, entry.size, entry.name);
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

    FileWrapper::Reading m_reading;
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

// Copies bytes [from, to) of one file to the same place in another: in the kernel where it
// can, otherwise a piece at a time through memory (between file systems of older kernels).
bool copyRange(int source, int target, off_t from, off_t to)
{
    QByteArray piece;
    while (from < to) {
        loff_t in = from, out = from;
        ssize_t count = piece.isEmpty() ? ::copy_file_range(source, &in, target, &out, size_t(to - from), 0) : -1;
        if (count < 0 && piece.isEmpty() && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP))
            piece.resize(1 << 20);
        if (!piece.isEmpty()) {
            count = ::pread(source, piece.data(), size_t(std::min<off_t>(piece.size(), to - from)), from);
            if (count > 0 && ::pwrite(target, piece.constData(), size_t(count), from) != count)
                return false;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        from += count;
    }
    return true;
}

// Copies the file `from` into the new file `to` at the size it has when opened, skipping its
// holes (a sparse file stays sparse) and never holding more than a piece of it in memory.
bool copyFile(const QString& from, const QString& to, Durability durability, QString* reason)
{
    QString why;
    const std::optional<RegularFile> source =
        RegularFile::open(from, std::numeric_limits<qint64>::max(), &why, SymbolicLinks::Refuse);
    if (!source) {
        *reason = QStringLiteral("“%1” could not be copied: %2").arg(QFileInfo(from).fileName(), why);
        return false;
    }
    const int fd = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        *reason = systemReason();
        return false;
    }
    errno = 0;
    bool complete = true;
    for (off_t data = ::lseek(source->descriptor(), 0, SEEK_DATA); complete && data >= 0 && data < source->size();
         data = ::lseek(source->descriptor(), data, SEEK_DATA)) {
        const off_t found = ::lseek(source->descriptor(), data, SEEK_HOLE);
        const off_t hole = found < 0 ? source->size() : std::min<off_t>(found, source->size());
        complete = copyRange(source->descriptor(), fd, data, hole);
        data = hole;
    }
    complete = complete && ::ftruncate(fd, source->size()) == 0
               && (durability == Durability::Written || ::fsync(fd) == 0);
    if (!complete)
        *reason = errno ? systemReason() : QStringLiteral("it changed while it was being copied");
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
    if (wrapper.isRegularFile() && !wrapper.regularFilePath().isEmpty())
        return copyFile(wrapper.regularFilePath(), path, durability, reason);
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

FileWrapper FileWrapper::regularFileOnDisk(const QString& path, qint64 size, const QString& filename)
{
    FileWrapper wrapper(Kind::RegularFile);
    wrapper.m_path = path;
    wrapper.m_size = size;
    wrapper.m_filename = filename;
    return wrapper;
}

std::optional<QByteArray> FileWrapper::readRegularFileContents(QString* reason) const
{
    if (m_path.isEmpty())
        return m_contents;
    QString why;
    std::optional<RegularFile> file = RegularFile::open(m_path, std::numeric_limits<qint64>::max(), &why, SymbolicLinks::Refuse);
    std::optional<QByteArray> contents;
    if (file && !memoryIsAvailableFor(file->size()))
        why = QStringLiteral("it takes %1, more than the memory available").arg(formattedSize(file->size()));
    else if (file)
        contents = file->readAll(&why);
    if (!contents && reason)
        *reason = why;
    return contents;
}

void FileWrapper::relocateTo(const QString& path)
{
    if (!m_path.isEmpty())
        m_path = path;
    for (FileWrapper& child : m_children)
        child.relocateTo(path + QLatin1Char('/') + child.m_filename);
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
    if (m_kind != other.m_kind || m_filename != other.m_filename || m_children != other.m_children)
        return false;
    if (m_path.isEmpty() && other.m_path.isEmpty())
        return m_contents == other.m_contents;
    const std::optional<QByteArray> contents = readRegularFileContents();
    return contents && contents == other.readRegularFileContents();
}

bool FileWrapper::isValidFilename(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

std::optional<FileWrapper> FileWrapper::readFromPath(const QString& path, QuorvaneError* error, Reading reading)
{
    const QFileInfo info(path);
    QString reason;
    std::optional<FileWrapper> wrapper;
    if (info.isDir() && !info.isSymLink()) {
        TreeReader reader(reading);
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
