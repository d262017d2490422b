#include "platform/foundation/AvailableMemory.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <initializer_list>
#include <sys/resource.h>

namespace platform {
namespace {

std::optional<QByteArray> contentsOf(const QString& path)
{
    QFile file(path);
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

std::optional<qint64> numberIn(const QString& path)
{
    const std::optional<QByteArray> text = contentsOf(path);
    bool ok = false;
    const qint64 number = text ? text->trimmed().toLongLong(&ok) : 0; // "max" is no limit
    return ok ? std::optional(number) : std::nullopt;
}

std::optional<qint64> leastOf(std::initializer_list<std::optional<qint64>> bounds)
{
    std::optional<qint64> least;
    for (const std::optional<qint64>& bound : bounds) {
        if (bound)
            least = least ? std::min(*least, *bound) : *bound;
    }
    return least;
}

std::optional<qint64> systemAvailable(const QString& root)
{
    const std::optional<QByteArray> meminfo = contentsOf(root + QStringLiteral("/proc/meminfo"));
    return meminfo ? kilobytesField(*meminfo, "MemAvailable:") : std::nullopt;
}

// Where /proc/self/cgroup files the process: its group under the unified (v2) hierarchy and
// under v1's memory controller, as paths from the hierarchy's root ("" for the root itself).
struct ControlGroups {
    std::optional<QString> unified;
    std::optional<QString> memory;
};

// A group outside the namespace's view ("/../x") is taken as the root the namespace mounts.
QString groupPath(QByteArray path)
{
    path = path.trimmed();
    if (path.contains("/..") || path == "/")
        return {};
    while (path.endsWith('/'))
        path.chop(1);
    return path.startsWith('/') ? QString::fromUtf8(path) : u'/' + QString::fromUtf8(path);
}

ControlGroups controlGroupsOf(const QByteArray& text)
{
    ControlGroups groups;
    for (const QByteArray& line : text.split('\n')) {
        // "hierarchy:controllers:path"; the path may itself hold colons.
        const qsizetype first = line.indexOf(':');
        const qsizetype second = first < 0 ? -1 : line.indexOf(':', first + 1);
        if (second < 0)
            continue;
        const QByteArray controllers = line.mid(first + 1, second - first - 1);
        const QByteArray path = line.mid(second + 1);
        if (line.left(first) == "0" && controllers.isEmpty())
            groups.unified = groupPath(path);
        else if (controllers.split(',').contains("memory"))
            groups.memory = groupPath(path);
    }
    return groups;
}

// What `group` and every group above it still allow: at each level that has a limit, the
// limit less what that level uses (its descendants included).
std::optional<qint64> groupAvailable(const QString& mount, QString group, const QString& limitFile,
                                     const QString& usageFile)
{
    std::optional<qint64> least;
    for (;;) {
        const QString folder = mount + group + u'/';
        const std::optional<qint64> limit = numberIn(folder + limitFile);
        const std::optional<qint64> used = numberIn(folder + usageFile);
        if (limit && used)
            least = leastOf({least, std::max<qint64>(0, *limit - *used)});
        if (group.isEmpty())
            return least;
        group.truncate(group.lastIndexOf(u'/'));
    }
}

std::optional<qint64> controlGroupAvailable(const QString& root)
{
    const QString mount = root + QStringLiteral("/sys/fs/cgroup");
    const std::optional<QByteArray> cgroup = contentsOf(root + QStringLiteral("/proc/self/cgroup"));
    // Without it, the root of the unified hierarchy is all there is to read.
    const ControlGroups groups = cgroup ? controlGroupsOf(*cgroup) : ControlGroups{QString(), std::nullopt};
    const QString unifiedLimit = QStringLiteral("memory.max");
    const QString unifiedUsage = QStringLiteral("memory.current");
    return leastOf({groups.unified ? groupAvailable(mount, *groups.unified, unifiedLimit, unifiedUsage) : std::nullopt,
                    groups.memory ? groupAvailable(mount + QStringLiteral("/memory"), *groups.memory,
                                                   QStringLiteral("memory.limit_in_bytes"),
                                                   QStringLiteral("memory.usage_in_bytes"))
                                  : std::nullopt});
}

std::optional<qint64> addressSpaceAvailable(const QString& root)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    const std::optional<QByteArray> status = contentsOf(root + QStringLiteral("/proc/self/status"));
    const std::optional<qint64> used = status ? kilobytesField(*status, "VmSize:") : std::nullopt;
    return used ? std::optional(std::max<qint64>(0, qint64(limit.rlim_cur) - *used)) : std::nullopt;
}

} // namespace

std::optional<qint64> availableMemoryBytes()
{
    return availableMemoryBytesUnderRoot(QString());
}

std::optional<qint64> availableMemoryBytesUnderRoot(const QString& root)
{
    return leastOf({systemAvailable(root), controlGroupAvailable(root), addressSpaceAvailable(root)});
}

} // namespace platform
