#include "platform/foundation/HeldFolder.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The folders passed on the way to a file, each closed once the next is open.
class Descent {
public:
    explicit Descent(int root) : m_current(root), m_root(root) {}
    ~Descent() { leave(); }
    Descent(const Descent&) = delete;
    Descent& operator=(const Descent&) = delete;

    int current() const { return m_current; }
    // False, with errno set, when `name` is no folder (a link to one included).
    bool enter(const QByteArray& name)
    {
        const int next = ::openat(m_current, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            return false;
        leave();
        m_current = next;
        return true;
    }

private:
    void leave()
    {
        if (m_current != m_root)
            ::close(m_current);
    }

    int m_current;
    int m_root;
};

} // namespace

std::optional<HeldFolder::Identity> HeldFolder::identityAt(const QString& path)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return Identity{status.st_dev, status.st_ino};
}

std::shared_ptr<HeldFolder> HeldFolder::open(const QString& path, QString* reason)
{
    // O_PATH: holding the folder reads nothing and needs no permission to list it.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (descriptor < 0 || ::fstat(descriptor, &status) != 0) {
        if (reason)
            *reason = qt_error_string(errno);
        if (descriptor >= 0)
            ::close(descriptor);
        return nullptr;
    }
    return std::shared_ptr<HeldFolder>(new HeldFolder(descriptor, {status.st_dev, status.st_ino}));
}

bool HeldFolder::follow(const QString& path)
{
    const std::shared_ptr<HeldFolder> replacement = open(path);
    if (!replacement)
        return false;
    std::swap(m_descriptor, replacement->m_descriptor);
    std::swap(m_identity, replacement->m_identity);
    return true;
}

HeldFolder::~HeldFolder()
{
    ::close(m_descriptor);
}

QString HeldFolder::path() const
{
    return QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(m_descriptor));
}

std::optional<RegularFile> HeldFolder::openRegularFile(const QString& relativePath, qint64 maximumSize,
                                                       QString* reason) const
{
    const QList<QByteArray> names = QFile::encodeName(relativePath).split('/');
    Descent descent(m_descriptor);
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        if (!descent.enter(names[i])) {
            if (reason)
                *reason = QStringLiteral("“%1”: %2").arg(QFile::decodeName(names[i]), qt_error_string(errno));
            return std::nullopt;
        }
    }
    return RegularFile::openInFolder(descent.current(), names.last(), maximumSize, reason);
}

} // namespace platform
