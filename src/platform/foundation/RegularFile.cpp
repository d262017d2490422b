#include "platform/foundation/RegularFile.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

QString kindOfSpecialFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISLNK(mode))
        return QStringLiteral("it is a symbolic link");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a pipe, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a file");
    return QStringLiteral("it is not a regular file");
}

std::nullopt_t refuse(QString* reason, const QString& why)
{
    if (reason)
        *reason = why;
    return std::nullopt;
}

// Fills `buffer` from the file; answers the count read, or -1 with errno set.
qsizetype readFully(int fd, char* buffer, qsizetype size)
{
    qsizetype filled = 0;
    while (filled < size) {
        const ssize_t count = ::read(fd, buffer + filled, size_t(size - filled));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return -1;
        if (count == 0)
            break;
        filled += count;
    }
    return filled;
}

} // namespace

std::optional<RegularFile> RegularFile::open(const QString& path, qint64 maximumSize, QString* reason,
                                             SymbolicLinks links)
{
    const QByteArray name = QFile::encodeName(path);
    // Looked at before opening: opening some devices has effects of its own.
    struct stat status {};
    const int looked = links == SymbolicLinks::Refuse ? ::lstat(name.constData(), &status)
                                                      : ::stat(name.constData(), &status);
    if (looked != 0) {
        const QString error = qt_error_string(errno);
        // A link whose target has gone would read as a missing file.
        if (!reasonIsNotRegularFile(path).isEmpty())
            return refuse(reason, QStringLiteral("it is a symbolic link to “%1”, which cannot be opened: %2")
                                      .arg(QFile::symLinkTarget(path), error));
        return refuse(reason, error);
    }
    if (!S_ISREG(status.st_mode))
        return refuse(reason, kindOfSpecialFile(status.st_mode));

    // Non-blocking, so that a pipe put in the file's place since cannot hold the open.
    const int flags = kOpenFlags | (links == SymbolicLinks::Refuse ? O_NOFOLLOW : 0);
    return adopt(::open(name.constData(), flags), maximumSize, reason);
}

std::optional<RegularFile> RegularFile::openInFolder(int folder, const QByteArray& name, qint64 maximumSize,
                                                     QString* reason)
{
    struct stat status {};
    if (::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return refuse(reason, qt_error_string(errno));
    if (!S_ISREG(status.st_mode))
        return refuse(reason, kindOfSpecialFile(status.st_mode));
    return adopt(::openat(folder, name.constData(), kOpenFlags | O_NOFOLLOW), maximumSize, reason);
}

std::optional<RegularFile> RegularFile::adopt(int descriptor, qint64 maximumSize, QString* reason)
{
    RegularFile file(descriptor, 0);
    if (file.m_descriptor < 0)
        return refuse(reason, errno == ELOOP ? kindOfSpecialFile(S_IFLNK) : qt_error_string(errno));
    struct stat status {};
    if (::fstat(file.m_descriptor, &status) != 0)
        return refuse(reason, qt_error_string(errno));
    if (!S_ISREG(status.st_mode))
        return refuse(reason, kindOfSpecialFile(status.st_mode));
    if (status.st_size > maximumSize)
        return refuse(reason, QStringLiteral("it is larger than %1")
                                  .arg(QLocale::c().formattedDataSize(maximumSize, 0,
                                                                      QLocale::DataSizeTraditionalFormat)));
    file.m_size = status.st_size;
    return file;
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1)), m_size(other.m_size)
{
}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept
{
    std::swap(m_descriptor, other.m_descriptor);
    std::swap(m_size, other.m_size);
    return *this;
}

RegularFile::~RegularFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

std::optional<QByteArray> RegularFile::readAll(QString* reason) const
{
    try {
        QByteArray bytes(qsizetype(m_size), Qt::Uninitialized);
        const qsizetype filled = readFully(m_descriptor, bytes.data(), bytes.size());
        // One byte more tells a file that grew from one that ended where it said.
        char beyond = 0;
        const qsizetype more = filled == bytes.size() ? readFully(m_descriptor, &beyond, 1) : 0;
        if (filled < 0 || more < 0)
            return refuse(reason, qt_error_string(errno));
        if (filled != bytes.size() || more != 0)
            return refuse(reason, QStringLiteral("it changed while it was being read"));
        return bytes;
    } catch (const std::bad_alloc&) {
        return refuse(reason, QStringLiteral("there is not enough memory to read it"));
    }
}

QString reasonIsNotRegularFile(const QString& path)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return {};
    return kindOfSpecialFile(status.st_mode);
}

bool writeRegularFileAtomically(const QString& path, const QByteArray& data, QString* reason)
{
    if (const QString special = reasonIsNotRegularFile(path); !special.isEmpty()) {
        refuse(reason, special);
        return false;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    refuse(reason, file.errorString());
    return false;
}

QString moveAside(const QString& path, const QString& suffix)
{
    constexpr int kMostTries = 1000;
    for (int n = 1; n <= kMostTries; ++n) {
        const QString aside = n == 1 ? QStringLiteral("%1.%2").arg(path, suffix)
                                     : QStringLiteral("%1.%2-%3").arg(path, suffix).arg(n);
        struct stat status {};
        if (::lstat(QFile::encodeName(aside).constData(), &status) == 0)
            continue;
        // QFile::rename never replaces a file that came meanwhile.
        return QFile::rename(path, aside) ? aside : QString();
    }
    return {};
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maximumSize, QString* reason,
                                          SymbolicLinks links)
{
    // Resources are compiled into the program: no device, pipe or link can stand in for them.
    if (path.startsWith(QStringLiteral(":/"))) {
        QFile resource(path);
        if (!resource.open(QIODevice::ReadOnly))
            return refuse(reason, QStringLiteral("there is no such resource"));
        if (resource.size() > maximumSize)
            return refuse(reason, QStringLiteral("it is larger than %1 bytes").arg(maximumSize));
        return resource.readAll();
    }
    const std::optional<RegularFile> file = RegularFile::open(path, maximumSize, reason, links);
    return file ? file->readAll(reason) : std::nullopt;
}

} // namespace platform
