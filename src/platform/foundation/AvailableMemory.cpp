#include "platform/foundation/AvailableMemory.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <sys/resource.h>

namespace platform {
namespace {

std::optional<QByteArray> contentsOf(const char* path)
{
    QFile file(QString::fromLatin1(path));
    // Files of /proc and /sys report no size; reading on to the end gets all of them.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    return file.readAll();
}

// A "Name:   1234 kB" line of a /proc status file, in bytes.
std::optional<qint64> kilobytesField(const QByteArray& text, const QByteArray& name)
{
    for (const QByteArray& line : text.split('\n')) {
        if (!line.startsWith(name))
            continue;
        bool ok = false;
        const qint64 kilobytes = line.mid(name.size()).trimmed().split(' ').value(0).toLongLong(&ok);
        return ok ? std::optional(kilobytes * 1024) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<qint64> numberIn(const char* path)
{
    const std::optional<QByteArray> text = contentsOf(path);
    bool ok = false;
    const qint64 number = text ? text->trimmed().toLongLong(&ok) : 0; // "max" is no limit
    return ok ? std::optional(number) : std::nullopt;
}

std::optional<qint64> systemAvailable()
{
    const std::optional<QByteArray> meminfo = contentsOf("/proc/meminfo");
    return meminfo ? kilobytesField(*meminfo, "MemAvailable:") : std::nullopt;
}

std::optional<qint64> controlGroupAvailable()
{
    const std::optional<qint64> limit = numberIn("/sys/fs/cgroup/memory.max");
    const std::optional<qint64> used = numberIn("/sys/fs/cgroup/memory.current");
    return limit && used ? std::optional(std::max<qint64>(0, *limit - *used)) : std::nullopt;
}

std::optional<qint64> addressSpaceAvailable()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    const std::optional<QByteArray> status = contentsOf("/proc/self/status");
    const std::optional<qint64> used = status ? kilobytesField(*status, "VmSize:") : std::nullopt;
    return used ? std::optional(std::max<qint64>(0, qint64(limit.rlim_cur) - *used)) : std::nullopt;
}

} // namespace

std::optional<qint64> availableMemoryBytes()
{
    std::optional<qint64> least;
    for (const std::optional<qint64>& bound : {systemAvailable(), controlGroupAvailable(), addressSpaceAvailable()}) {
        if (bound)
            least = least ? std::min(*least, *bound) : *bound;
    }
    return least;
}

} // namespace platform
