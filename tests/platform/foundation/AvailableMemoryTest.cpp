#include "platform/foundation/AvailableMemory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <initializer_list>
#include <sys/resource.h>
#include <utility>

using platform::availableMemoryBytesUnderRoot;

namespace {

constexpr qint64 kMiB = qint64(1) << 20;

// A folder laid out like the /proc and /sys the function reads.
class FakeRoot {
public:
    explicit FakeRoot(qint64 systemAvailable = 64 * 1024 * kMiB)
    {
        write(QStringLiteral("proc/meminfo"),
              "MemTotal:       99999999 kB\nMemAvailable:   " + QByteArray::number(systemAvailable / 1024) + " kB\n");
    }
    void write(const QString& path, const QByteArray& contents) const
    {
        const QString full = m_folder.filePath(path);
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    // The limit and usage files of one group, of cgroup v2 or v1's memory controller.
    void group(const QString& folder, const QByteArray& limit, qint64 used, bool v1 = false) const
    {
        write(folder + (v1 ? "/memory.limit_in_bytes" : "/memory.max"), limit + '\n');
        write(folder + (v1 ? "/memory.usage_in_bytes" : "/memory.current"), QByteArray::number(used) + '\n');
    }
    QString path() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
};

bool addressSpaceIsLimited()
{
    rlimit limit{};
    return getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
}

} // namespace

TEST(AvailableMemory, TakesTheLeastOfTheSystemAndEveryLevelOfTheProcesssOwnGroup)
{
    if (addressSpaceIsLimited())
        GTEST_SKIP() << "an address-space limit would join the bounds";
    FakeRoot root(8 * 1024 * kMiB);
    // Nothing but the system's figure.
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 8 * 1024 * kMiB);

    // v2: the process's own group, not the root's, sets the bound; an ancestor may set a lower one.
    root.write(QStringLiteral("proc/self/cgroup"), "0::/user.slice/app-1.scope\n");
    root.group(QStringLiteral("sys/fs/cgroup"), "max", 5000 * kMiB);
    root.group(QStringLiteral("sys/fs/cgroup/user.slice/app-1.scope"), QByteArray::number(2048 * kMiB), 500 * kMiB);
    root.group(QStringLiteral("sys/fs/cgroup/user.slice"), "max", 3000 * kMiB);
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 1548 * kMiB);
    root.group(QStringLiteral("sys/fs/cgroup/user.slice"), QByteArray::number(4000 * kMiB), 3000 * kMiB);
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 1000 * kMiB);
    // A group over its limit leaves nothing.
    root.group(QStringLiteral("sys/fs/cgroup/user.slice"), QByteArray::number(2000 * kMiB), 3000 * kMiB);
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 0);
}

TEST(AvailableMemory, ReadsTheMemoryControllerOfCgroupV1)
{
    if (addressSpaceIsLimited())
        GTEST_SKIP() << "an address-space limit would join the bounds";
    FakeRoot root;
    root.write(QStringLiteral("proc/self/cgroup"),
               "12:cpu,cpuacct:/docker/abc\n11:memory:/docker/abc\n1:name=systemd:/docker/abc\n0::/docker/abc\n");
    root.group(QStringLiteral("sys/fs/cgroup/memory/docker/abc"), QByteArray::number(1536 * kMiB), 512 * kMiB, true);
    // The root group of v1 says "no limit" with a huge number.
    root.group(QStringLiteral("sys/fs/cgroup/memory"), "9223372036854771712", 9000 * kMiB, true);
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 1024 * kMiB);
}

TEST(AvailableMemory, UnreadableOrForeignFilesLeaveTheirBoundOut)
{
    if (addressSpaceIsLimited())
        GTEST_SKIP() << "an address-space limit would join the bounds";
    FakeRoot root(3000 * kMiB);
    // A group outside the namespace's view is the root it mounts; garbage lines are passed by.
    root.write(QStringLiteral("proc/self/cgroup"), "garbage\n0::/../../elsewhere\n");
    root.group(QStringLiteral("sys/fs/cgroup"), QByteArray::number(2000 * kMiB), 100 * kMiB);
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 1900 * kMiB);
    // Without /proc/self/cgroup the root group is read; text where a number belongs is no bound.
    QFile::remove(root.path() + QStringLiteral("/proc/self/cgroup"));
    root.group(QStringLiteral("sys/fs/cgroup"), "lots", 100 * kMiB);
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 3000 * kMiB);
    QFile::remove(root.path() + QStringLiteral("/proc/meminfo"));
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), std::nullopt);
}

// A group's usage counts the file pages it has read, the mapped file being imported among
// them; those it would drop first are room, not use.
TEST(AvailableMemory, AGroupsInactiveFilePagesCountAsFree)
{
    if (addressSpaceIsLimited())
        GTEST_SKIP() << "an address-space limit would join the bounds";
    FakeRoot root;
    root.write(QStringLiteral("proc/self/cgroup"), "0::/box\n");
    root.group(QStringLiteral("sys/fs/cgroup/box"), QByteArray::number(2048 * kMiB), 1900 * kMiB);
    root.write(QStringLiteral("sys/fs/cgroup/box/memory.stat"),
               "anon 734003200\nfile 1258291200\nactive_file 104857600\ninactive_file " + QByteArray::number(1100 * kMiB)
                   + "\nslab_reclaimable 1000\n");
    // The active file pages are as clean as the inactive ones.
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 1348 * kMiB);
    // A figure past the usage (the two files are not read at one instant) frees no more than all of it.
    root.write(QStringLiteral("sys/fs/cgroup/box/memory.stat"), "inactive_file " + QByteArray::number(5000 * kMiB) + "\n");
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 2048 * kMiB);
    // Without the entry, or with garbage in it, the usage stands as it is.
    root.write(QStringLiteral("sys/fs/cgroup/box/memory.stat"), "inactive_file lots\n");
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 148 * kMiB);

    // v1 counts the group's descendants in its usage, so their pages too: "total_", not the group's own.
    FakeRoot v1;
    v1.write(QStringLiteral("proc/self/cgroup"), "11:memory:/docker/abc\n");
    v1.group(QStringLiteral("sys/fs/cgroup/memory/docker/abc"), QByteArray::number(1536 * kMiB), 1400 * kMiB, true);
    v1.write(QStringLiteral("sys/fs/cgroup/memory/docker/abc/memory.stat"),
             "inactive_file " + QByteArray::number(100 * kMiB) + "\ntotal_inactive_file "
                 + QByteArray::number(600 * kMiB) + "\n");
    EXPECT_EQ(availableMemoryBytesUnderRoot(v1.path()), 736 * kMiB);
}

// A file read twice turns its pages active: they are still clean and dropped when the group
// needs room, unlike anonymous memory, shared memory (on the anonymous lists, though counted
// in "file") and pages waiting to be written.
TEST(AvailableMemory, AGroupsCleanFilePagesCountAsFreeWhetherActiveOrNot)
{
    if (addressSpaceIsLimited())
        GTEST_SKIP() << "an address-space limit would join the bounds";
    FakeRoot root;
    root.write(QStringLiteral("proc/self/cgroup"), "0::/box\n");
    root.group(QStringLiteral("sys/fs/cgroup/box"), QByteArray::number(2560 * kMiB), 2382 * kMiB);
    const auto stat = [](std::initializer_list<std::pair<const char*, qint64>> entries) {
        QByteArray text;
        for (const auto& [name, mebibytes] : entries)
            text += QByteArray(name) + ' ' + QByteArray::number(mebibytes * kMiB) + '\n';
        return text;
    };
    // Mostly a file read twice: the 2.5 GB group has almost all of it free.
    root.write(QStringLiteral("sys/fs/cgroup/box/memory.stat"),
               stat({{"anon", 200}, {"file", 2182}, {"active_file", 2150}, {"inactive_file", 32}}));
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 2360 * kMiB);

    // Shared memory counts in "file" but is not on the file lists; dirty pages and those being
    // written back must be written before they can go.
    root.write(QStringLiteral("sys/fs/cgroup/box/memory.stat"),
               stat({{"anon", 200},
                     {"file", 2182},
                     {"shmem", 500},
                     {"active_file", 1400},
                     {"inactive_file", 282},
                     {"file_dirty", 300},
                     {"file_writeback", 82}}));
    EXPECT_EQ(availableMemoryBytesUnderRoot(root.path()), 1478 * kMiB);

    // v1 names them with "total_", its descendants included.
    FakeRoot v1;
    v1.write(QStringLiteral("proc/self/cgroup"), "11:memory:/docker/abc\n");
    v1.group(QStringLiteral("sys/fs/cgroup/memory/docker/abc"), QByteArray::number(2560 * kMiB), 2382 * kMiB, true);
    v1.write(QStringLiteral("sys/fs/cgroup/memory/docker/abc/memory.stat"),
             stat({{"active_file", 50},
                   {"total_cache", 2400},
                   {"total_shmem", 400},
                   {"total_active_file", 1800},
                   {"total_inactive_file", 200},
                   {"total_dirty", 100},
                   {"total_writeback", 0}}));
    EXPECT_EQ(availableMemoryBytesUnderRoot(v1.path()), 2078 * kMiB);
}
