#include "platform/ui/FileWrapper.h"

#include "platform/foundation/AvailableMemory.h"
#include "platform/foundation/HeldFolder.h"
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
        QString why;
        if (m_reading == FileWrapper::Reading::OnDemand && !(m_folder = HeldFolder::open(m_root.path(), &why)))
            return fail(why);
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
            return FileWrapper::regularFileInFolder(m_folder, m_root.relativeFilePath(entry.path), entry.size, entry.name);
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
    std::shared_ptr<HeldFolder> m_folder; // read on demand, the files are reached through it
    qsizetype m_entryCount = 0;
    qint64 m_totalSize = 0;
    qint64 m_readSize = 0;
};

enum class Durability { Written, Synced };

// Closes a descriptor when it goes out of scope.
class Closing {
public:
    explicit Closing(int descriptor) : m_descriptor(descriptor) {}
    ~Closing() { ::close(m_descriptor); }
    Closing(const Closing&) = delete;
    Closing& operator=(const Closing&) = delete;

private:
    int m_descriptor;
};

// Writes a tree where nothing is yet, a piece at a time, telling the fraction of its bytes
// written. A file read on demand is copied with its mode and times, or, when it lies in the
// folder this write replaces (which goes once the new tree takes its place), linked into the
// new tree; one that can no longer be read is left out and reported.
class TreeWriter {
public:
    TreeWriter(const FileWrapper& tree, Durability durability, std::optional<HeldFolder::Identity> replaced,
               const FileWrapper::Proceed& proceed, QList<FileWrapper::FileLeftOut>& leftOut)
        : m_tree(tree), m_durability(durability), m_replaced(replaced), m_proceed(proceed), m_leftOut(leftOut),
          m_total(sizeOf(tree))
    {
    }

    // False with `reason` when the tree could not be written or the write was stopped.
    bool writeTo(const QString& path)
    {
        return writeEntry(m_tree, AT_FDCWD, QFile::encodeName(path), QString()) && tell(1.0);
    }

    bool stopped() const { return m_stopped; }
    QString reason;

private:
    // Small enough that the progress window answers between two pieces.
    static constexpr qint64 kPiece = 8 << 20;

    enum class Copy { Done, SourceFailed, WriteFailed };

    static qint64 sizeOf(const FileWrapper& tree)
    {
        qint64 size = tree.isRegularFile() ? tree.regularFileSize() : 0;
        for (const FileWrapper& child : tree.fileWrappers())
            size += sizeOf(child);
        return size;
    }

    bool writeEntry(const FileWrapper& entry, int folder, const QByteArray& name, const QString& path)
    {
        if (entry.regularFileFolder())
            return carryOver(entry, folder, name, path);
        if (entry.isRegularFile())
            return writeFile(entry.regularFileContents(), folder, name);
        if (::mkdirat(folder, name.constData(), 0777) != 0)
            return failWithSystemReason();
        const int created = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (created < 0)
            return failWithSystemReason();
        const Closing closing(created);
        for (const FileWrapper& child : entry.fileWrappers()) {
            if (!FileWrapper::isValidFilename(child.filename()))
                return fail(QStringLiteral("“%1” is not a valid file name").arg(child.filename()));
            const QString childPath = path.isEmpty() ? child.filename() : path + QLatin1Char('/') + child.filename();
            if (!writeEntry(child, created, QFile::encodeName(child.filename()), childPath))
                return false;
        }
        return true;
    }

    bool writeFile(const QByteArray& contents, int folder, const QByteArray& name)
    {
        const int fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return failWithSystemReason();
        qsizetype written = 0;
        while (written < contents.size() && !m_stopped) {
            const ssize_t count =
                ::write(fd, contents.constData() + written, size_t(std::min<qint64>(kPiece, contents.size() - written)));
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            written += count;
            advance(count);
        }
        return close(fd, written == contents.size() && synced(fd));
    }

    bool carryOver(const FileWrapper& entry, int folder, const QByteArray& name, const QString& path)
    {
        const bool inReplacedFolder = m_replaced && entry.regularFileFolder()->identity() == *m_replaced;
        QString why;
        const std::optional<RegularFile> source = entry.openRegularFileOnDisk(std::numeric_limits<qint64>::max(), &why);
        if (!source)
            return leaveOut(entry, path, why);
        if (inReplacedFolder && link(*source, folder, name)) {
            advance(entry.regularFileSize());
            return true;
        }
        // Private until it has the mode of the file it copies.
        const int fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return failWithSystemReason();
        const qint64 before = m_done;
        const Copy copied = copyData(*source, fd, &why);
        if (copied == Copy::SourceFailed) {
            ::close(fd);
            ::unlinkat(folder, name.constData(), 0);
            m_done = before;
            return leaveOut(entry, path, why);
        }
        const bool complete = copied == Copy::Done && ::ftruncate(fd, source->size()) == 0 && synced(fd);
        if (complete)
            keepModeAndTimes(*source, fd);
        return close(fd, complete);
    }

    // Copies the data of `source` into `target` at the same places, skipping its holes (a
    // sparse file stays sparse), in the kernel where it can, never more than a piece in memory.
    Copy copyData(const RegularFile& source, int target, QString* why)
    {
        const int from = source.descriptor();
        for (off_t data = ::lseek(from, 0, SEEK_DATA); data >= 0 && data < source.size();
             data = ::lseek(from, data, SEEK_DATA)) {
            const off_t found = ::lseek(from, data, SEEK_HOLE);
            const off_t hole = found < 0 ? source.size() : std::min<off_t>(found, source.size());
            if (const Copy copied = copyRange(from, target, data, hole, why); copied != Copy::Done)
                return copied;
            data = hole;
        }
        return Copy::Done;
    }

    Copy copyRange(int source, int target, off_t from, off_t to, QString* why)
    {
        // Through memory once the kernel cannot copy, which also tells a read from a write that failed.
        QByteArray piece;
        while (from < to) {
            if (m_stopped)
                return Copy::WriteFailed;
            const size_t length = size_t(std::min<off_t>(kPiece, to - from));
            ssize_t count = 0;
            if (piece.isEmpty()) {
                loff_t in = from, out = from;
                count = ::copy_file_range(source, &in, target, &out, length, 0);
                if (count < 0 && errno != EINTR)
                    piece.resize(kPiece);
                if (count < 0)
                    continue;
            } else {
                count = ::pread(source, piece.data(), length, from);
                if (count < 0 && errno == EINTR)
                    continue;
                if (count > 0 && !writeAllAt(target, piece.constData(), count, from)) {
                    reason = systemReason();
                    return Copy::WriteFailed;
                }
            }
            if (count <= 0) {
                *why = count < 0 ? systemReason() : QStringLiteral("it changed while it was being copied");
                return Copy::SourceFailed;
            }
            from += count;
            advance(count);
        }
        return Copy::Done;
    }

    static bool writeAllAt(int fd, const char* bytes, qint64 size, off_t at)
    {
        while (size > 0) {
            const ssize_t count = ::pwrite(fd, bytes, size_t(size), at);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                return false;
            bytes += count;
            size -= count;
            at += count;
        }
        return true;
    }

    // Links the file opened into the new tree, as the very file it is.
    static bool link(const RegularFile& source, int folder, const QByteArray& name)
    {
        const QByteArray opened = "/proc/self/fd/" + QByteArray::number(source.descriptor());
        return ::linkat(AT_FDCWD, opened.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0;
    }

    // Where a file system keeps no mode or times the bytes are still worth more: failures pass.
    static void keepModeAndTimes(const RegularFile& source, int target)
    {
        struct stat status {};
        if (::fstat(source.descriptor(), &status) != 0)
            return;
        ::fchmod(target, status.st_mode & 0777);
        const timespec times[2] = {status.st_atim, status.st_mtim};
        ::futimens(target, times);
    }

    bool synced(int fd) const { return m_durability == Durability::Written || ::fsync(fd) == 0; }

    // Some file systems report a full disk only when the file is closed.
    bool close(int fd, bool complete)
    {
        if (!complete && reason.isEmpty())
            reason = systemReason();
        if (::close(fd) != 0 && complete)
            return failWithSystemReason();
        return complete;
    }

    bool leaveOut(const FileWrapper& entry, const QString& path, const QString& why)
    {
        LogEvent(kFileEvent, QStringLiteral("left out '%1' of the save: %2").arg(path, why));
        m_leftOut.append({path, why});
        advance(entry.regularFileSize());
        return !m_stopped;
    }

    void advance(qint64 bytes)
    {
        m_done += bytes;
        const double fraction = m_total > 0 ? std::min(1.0, double(m_done) / double(m_total)) : 1.0;
        if (fraction >= m_told + 0.01)
            tell(fraction);
    }

    bool tell(double fraction)
    {
        m_told = fraction;
        if (!m_stopped && m_proceed && !m_proceed(fraction)) {
            m_stopped = true;
            reason = QStringLiteral("stopped by the user");
        }
        return !m_stopped;
    }

    bool fail(const QString& why)
    {
        if (reason.isEmpty())
            reason = why;
        return false;
    }

    bool failWithSystemReason() { return fail(systemReason()); }

    const FileWrapper& m_tree;
    Durability m_durability;
    std::optional<HeldFolder::Identity> m_replaced;
    const FileWrapper::Proceed& m_proceed;
    QList<FileWrapper::FileLeftOut>& m_leftOut;
    qint64 m_total;
    qint64 m_done = 0;
    double m_told = 0.0;
    bool m_stopped = false;
};

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

FileWrapper FileWrapper::regularFileInFolder(std::shared_ptr<HeldFolder> folder, const QString& relativePath,
                                             qint64 size, const QString& filename)
{
    FileWrapper wrapper(Kind::RegularFile);
    wrapper.m_folder = std::move(folder);
    wrapper.m_path = relativePath;
    wrapper.m_size = size;
    wrapper.m_filename = filename;
    return wrapper;
}

QString FileWrapper::regularFilePath() const
{
    return m_folder ? m_folder->path() + QLatin1Char('/') + m_path : QString();
}

std::optional<RegularFile> FileWrapper::openRegularFileOnDisk(qint64 maximumSize, QString* reason) const
{
    if (!ZQ_EXPECT(m_folder, QStringLiteral("only a file read on demand is opened")))
        return std::nullopt;
    return m_folder->openRegularFile(m_path, maximumSize, reason);
}

std::optional<QByteArray> FileWrapper::readRegularFileContents(QString* reason) const
{
    if (!m_folder)
        return m_contents;
    QString why;
    std::optional<RegularFile> file = openRegularFileOnDisk(std::numeric_limits<qint64>::max(), &why);
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
    QString why;
    if (const std::shared_ptr<HeldFolder> folder = HeldFolder::open(path, &why))
        relocateTo(folder);
    else
        LogEvent(kFileEvent, QStringLiteral("files read on demand stay where they were: '%1' %2").arg(path, why));
}

void FileWrapper::relocateTo(const std::shared_ptr<HeldFolder>& folder)
{
    if (m_folder)
        m_folder = folder;
    for (FileWrapper& child : m_children)
        child.relocateTo(folder);
}

void FileWrapper::followReplacedFolder(const HeldFolder::Identity& replaced, const QString& path) const
{
    if (m_folder && m_folder->identity() == replaced)
        m_folder->follow(path);
    for (const FileWrapper& child : m_children)
        child.followReplacedFolder(replaced, path);
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

bool FileWrapper::removeFileWrapperAtPath(const QString& path)
{
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return removeFileWrapperNamed(path);
    const QString name = path.left(slash);
    const auto found = std::find_if(m_children.begin(), m_children.end(),
                                    [&](const FileWrapper& child) { return child.m_filename == name; });
    return found != m_children.end() && found->removeFileWrapperAtPath(path.mid(slash + 1));
}

bool FileWrapper::operator==(const FileWrapper& other) const
{
    if (m_kind != other.m_kind || m_filename != other.m_filename || m_children != other.m_children)
        return false;
    if (!m_folder && !other.m_folder)
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

bool FileWrapper::writeToPath(const QString& path, QuorvaneError* error, QList<FileLeftOut>* leftOut,
                              const Proceed& proceed) const
{
    QList<FileLeftOut> unread;
    QList<FileLeftOut>& outcome = leftOut ? *leftOut : unread;
    outcome.clear();
    const QFileInfo target(path);
    QString reason;
    bool stopped = false;
    if (!isValidFilename(target.fileName())) {
        reason = QStringLiteral("it is not a valid file name");
    } else if (!target.absoluteDir().exists()) {
        reason = QStringLiteral("its folder does not exist");
    } else {
        // A single-file document is synced before it replaces the old one; syncing each of a
        // package's files would slow every save.
        const StagingPlace staging(target.absolutePath());
        const std::optional<HeldFolder::Identity> replaced = HeldFolder::identityAt(target.absoluteFilePath());
        TreeWriter writer(*this, isRegularFile() ? Durability::Synced : Durability::Written, replaced, proceed, outcome);
        if (writer.writeTo(staging.path()) && swapIntoPlace(staging.path(), target.absoluteFilePath(), &writer.reason)) {
            if (replaced)
                followReplacedFolder(*replaced, target.absoluteFilePath());
            return true;
        }
        reason = writer.reason;
        stopped = writer.stopped();
    }
    outcome.clear();
    const QuorvaneError cause = stopped ? QuorvaneError(kUserCancelledErrorCode, reason, {{QStringLiteral("path"), path}})
                                        : failure(path, reason);
    setError(error, DocumentError::couldNotSave(QUrl::fromLocalFile(path), cause));
    return false;
}

} // namespace platform
