#include "platform/foundation/AvailableMemory.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <algorithm>
#include <initializer_list>
#include <limits>
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

// A "name 1234" line of a memory.stat file.
std::optional<qint64> statField(const QByteArray& text, const QByteArray& name)
{
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() != 2 || words[0] != name)
            continue;
        bool ok = false;
        const qint64 number = words[1].toLongLong(&ok);
        return ok ? std::optional(number) : std::nullopt;
    }
    return std::nullopt;
}

// The memory.stat entries that tell which of a group's pages are clean file pages: those on
// the file lists, active or inactive (shared memory sits on the anonymous ones), less those
// dirty or being written back.
struct FilePageEntries {
    QByteArray active;
    QByteArray inactive;
    QByteArray dirty;
    QByteArray writeback;
};

// The files of a group's memory controller: its limit, what it counts as used, and how its
// memory.stat names the file pages.
struct GroupFiles {
    QString limit;
    QString usage;
    FilePageEntries filePages;
};

// Pages the group can drop whenever it needs room, recently read or not: a file read twice
// is as clean as one read once. A missing or garbled entry counts as none.
qint64 cleanFilePages(const QByteArray& stat, const FilePageEntries& entries)
{
    const auto field = [&stat](const QByteArray& name) { return statField(stat, name).value_or(0); };
    return field(entries.active) + field(entries.inactive) - field(entries.dirty) - field(entries.writeback);
}

// What the group counts as used, less the file pages it could reclaim at once: the mapped
// shapefile read a moment ago is among them, yet it costs an import nothing.
std::optional<qint64> usedBy(const QString& folder, const GroupFiles& files)
{
    const std::optional<qint64> used = numberIn(folder + files.usage);
    if (!used)
        return std::nullopt;
    const std::optional<QByteArray> stat = contentsOf(folder + QStringLiteral("memory.stat"));
    const qint64 reclaimable = stat ? cleanFilePages(*stat, files.filePages) : 0;
    return *used - std::clamp<qint64>(reclaimable, 0, *used);
}

// What `group` and every group above it still allow: at each level that has a limit, the
// limit less what that level uses (its descendants included).
std::optional<qint64> groupAvailable(const QString& mount, QString group, const GroupFiles& files)
{
    std::optional<qint64> least;
    for (;;) {
        const QString folder = mount + group + u'/';
        const std::optional<qint64> limit = numberIn(folder + files.limit);
        const std::optional<qint64> used = limit ? usedBy(folder, files) : std::nullopt;
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
    const GroupFiles unified{QStringLiteral("memory.max"),
                             QStringLiteral("memory.current"),
                             {"active_file", "inactive_file", "file_dirty", "file_writeback"}};
    // v1 counts the group's descendants in its "total_" entries, as its usage does.
    const GroupFiles v1{QStringLiteral("memory.limit_in_bytes"),
                        QStringLiteral("memory.usage_in_bytes"),
                        {"total_active_file", "total_inactive_file", "total_dirty", "total_writeback"}};
    return leastOf({groups.unified ? groupAvailable(mount, *groups.unified, unified) : std::nullopt,
                    groups.memory ? groupAvailable(mount + QStringLiteral("/memory"), *groups.memory, v1)
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

qint64 memoryAReaderMayTake()
{
    return std::max(kMemoryTakenForGranted, availableMemoryBytes().value_or(std::numeric_limits<qint64>::max()));
}

bool memoryIsAvailableFor(qint64 bytes)
{
    return bytes <= kMemoryTakenForGranted || bytes <= memoryAReaderMayTake();
}

} // namespace platform
