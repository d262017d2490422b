#include "platform/foundation/TreeCopy.h"

#include "platform/foundation/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <vector>

namespace platform {

namespace {

struct Entry {
    QString relativePath; // empty for the source itself
    bool isFolder = false;
    qint64 size = 0;
};

QString largerThan(qint64 bytes)
{
    return QStringLiteral("it is larger than %1")
        .arg(QLocale::c().formattedDataSize(bytes, 0, QLocale::DataSizeTraditionalFormat));
}

class TreeScan {
public:
    TreeScan(const QString& root, const TreeCopyLimits& limits) : m_root(root), m_limits(limits) {}

    // The entries, parents before children; nullopt with `reason` when the tree is refused.
    std::optional<std::vector<Entry>> entries(QString* reason)
    {
        if (!visit(QString(), 0))
            return refuse(reason);
        return std::move(m_entries);
    }

private:
    std::nullopt_t refuse(QString* reason) const
    {
        if (reason)
            *reason = m_why;
        return std::nullopt;
    }

    bool fail(const QString& relativePath, const QString& why)
    {
        m_why = relativePath.isEmpty() ? why : QStringLiteral("“%1”: %2").arg(relativePath, why);
        return false;
    }

    bool visit(const QString& relativePath, int depth)
    {
        const QString path = relativePath.isEmpty() ? m_root : m_root + u'/' + relativePath;
        const QFileInfo info(path);
        const QString special = info.isSymLink() ? QStringLiteral("it is a symbolic link")
                              : info.isDir()     ? QString()
                                                 : reasonIsNotRegularFile(path);
        if (!special.isEmpty())
            return relativePath.isEmpty() ? fail(relativePath, special) : true; // left out
        if (depth > m_limits.maximumDepth)
            return fail(relativePath, QStringLiteral("it is nested too deeply"));
        if (qint64(m_entries.size()) >= m_limits.maximumEntries)
            return fail(QString(), QStringLiteral("it holds more than %1 files").arg(m_limits.maximumEntries));
        const qint64 size = info.isDir() ? 0 : info.size();
        m_bytes += size;
        if (size > m_limits.maximumFileBytes)
            return fail(relativePath, largerThan(m_limits.maximumFileBytes));
        if (m_bytes > m_limits.maximumBytes)
            return fail(QString(), largerThan(m_limits.maximumBytes));
        m_entries.push_back({relativePath, info.isDir(), size});
        if (!info.isDir())
            return true;
        const QStringList names =
            QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& name : names)
            if (!visit(relativePath.isEmpty() ? name : relativePath + u'/' + name, depth + 1))
                return false;
        return true;
    }

    const QString m_root;
    const TreeCopyLimits m_limits;
    std::vector<Entry> m_entries;
    qint64 m_bytes = 0;
    QString m_why;
};

// Copies no more than the file held when it was looked at, and only a regular file.
bool copyFile(const QString& source, const QString& target, qint64 size, QString* reason)
{
    const std::optional<RegularFile> in = RegularFile::open(source, size, reason, SymbolicLinks::Refuse);
    if (!in)
        return false;
    QFile input;
    QFile output(target);
    if (!input.open(in->descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle)
        || !output.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *reason = input.isOpen() ? output.errorString() : input.errorString();
        return false;
    }
    constexpr qint64 kChunk = qint64(1) << 20;
    for (qint64 left = in->size(); left > 0;) {
        const QByteArray chunk = input.read(std::min(kChunk, left));
        if (chunk.isEmpty() || output.write(chunk) != chunk.size()) {
            *reason = chunk.isEmpty() ? QStringLiteral("it changed while it was being copied") : output.errorString();
            return false;
        }
        left -= chunk.size();
    }
    return true;
}

void removeTree(const QString& target)
{
    if (QFileInfo(target).isDir() && !QFileInfo(target).isSymLink())
        QDir(target).removeRecursively();
    else
        QFile::remove(target);
}

} // namespace

bool copyTreeWithinLimits(const QString& source, const QString& target, const TreeCopyLimits& limits, QString* reason)
{
    QString why;
    const auto refuse = [&](const QString& text) {
        if (reason)
            *reason = text;
        return false;
    };
    if (QFileInfo(target).exists() || QFileInfo(target).isSymLink())
        return refuse(QStringLiteral("“%1” already exists").arg(target));
    const std::optional<std::vector<Entry>> entries = TreeScan(source, limits).entries(&why);
    if (!entries)
        return refuse(why);
    for (const Entry& entry : *entries) {
        const QString from = entry.relativePath.isEmpty() ? source : source + u'/' + entry.relativePath;
        const QString to = entry.relativePath.isEmpty() ? target : target + u'/' + entry.relativePath;
        const bool copied = entry.isFolder ? QDir().mkdir(to) : copyFile(from, to, entry.size, &why);
        if (!copied) {
            removeTree(target);
            return refuse(entry.isFolder ? QStringLiteral("the folder “%1” could not be made").arg(to)
                                         : QStringLiteral("“%1”: %2").arg(entry.relativePath.isEmpty() ? QFileInfo(from).fileName() : entry.relativePath, why));
        }
    }
    return true;
}

} // namespace platform
