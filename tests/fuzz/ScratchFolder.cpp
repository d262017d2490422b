#include "ScratchFolder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace fuzz {

namespace {

const QByteArray kSeparator("\0QF\0", 4);

FolderEntry::Kind kindForLetter(char letter)
{
    switch (letter) {
    case 'd': return FolderEntry::Kind::Folder;
    case 'l': return FolderEntry::Kind::Link;
    case 'p': return FolderEntry::Kind::Pipe;
    case 's': return FolderEntry::Kind::Sparse;
    case 'c': return FolderEntry::Kind::Shrinking;
    default: return FolderEntry::Kind::File;
    }
}

FolderEntry entryFromBytes(QByteArrayView bytes)
{
    const QByteArrayView rest = bytes.sliced(1);
    const qsizetype end = rest.indexOf('\0');
    if (end < 0)
        return {kindForLetter(bytes[0]), rest.toByteArray(), {}};
    return {kindForLetter(bytes[0]), rest.first(end).toByteArray(), rest.sliced(end + 1).toByteArray()};
}

// Writes a new file (never through a link), false when it cannot.
bool writeNewFile(const fs::path& path, QByteArrayView contents)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, contents.data(), size_t(contents.size())) == contents.size();
    ::close(fd);
    return written;
}

// Removes `path` once this process ends, however it ends (the fuzzer's limits end a run with
// _Exit, past every destructor): a shell waits on a pipe whose writing end only this process
// holds, and the end of the process closes it.
void removeWhenThisProcessEnds(const QString& path)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    // A session of its own: what stops this process's group (timeout, a terminal) spares it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    const QByteArray place = QFile::encodeName(path);
    const char* arguments[] = {"sh", "-c", "cat >/dev/null; rm -rf -- \"$0\"", place.constData(), nullptr};
    pid_t shell = 0;
    if (::posix_spawn(&shell, "/bin/sh", &actions, &attributes, const_cast<char**>(arguments), environ) != 0)
        ::close(ends[1]);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[0]);
}

} // namespace

QList<FolderEntry> folderEntries(QByteArrayView input)
{
    QList<FolderEntry> entries;
    qsizetype start = 0;
    while (start <= input.size()) {
        qsizetype end = input.indexOf(QByteArrayView(kSeparator), start);
        if (end < 0)
            end = input.size();
        if (end > start)
            entries.append(entryFromBytes(input.sliced(start, end - start)));
        start = end + kSeparator.size();
    }
    return entries;
}

ScratchFolder::ScratchFolder(const QString& name)
{
    const fs::path place(QFile::encodeName(m_place.path()).toStdString());
    m_root = place / QFile::encodeName(name).toStdString();
    m_outside = place / "outside";
    removeWhenThisProcessEnds(m_place.path());
    m_outsideContents = "outside " + QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    writeNewFile(m_outside, m_outsideContents);
}

QString ScratchFolder::path() const
{
    return QFile::decodeName(QByteArray::fromStdString(m_root.native()));
}

QString ScratchFolder::pathBeside(const QString& name) const
{
    return QDir(m_place.path()).filePath(name);
}

qint64 ScratchFolder::write(const QList<FolderEntry>& entries)
{
    std::error_code ignored;
    std::vector<fs::path> previous;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_outside.parent_path(), ignored)) {
        if (entry.path() != m_outside)
            previous.push_back(entry.path());
    }
    for (const fs::path& path : previous)
        fs::remove_all(path, ignored);
    m_shrinking.clear();

    const auto itself = std::find_if(entries.begin(), entries.end(), [](const FolderEntry& e) { return e.name.isEmpty(); });
    if (itself != entries.end() && itself->kind != FolderEntry::Kind::Folder)
        return make(m_root, *itself);
    fs::create_directory(m_root, ignored);
    qint64 size = 0;
    for (const FolderEntry& entry : entries) {
        if (const std::optional<fs::path> place = placeFor(entry.name))
            size += make(*place, entry);
    }
    return size;
}

void ScratchFolder::shrinkFiles()
{
    std::error_code ignored;
    for (const fs::path& path : m_shrinking)
        fs::resize_file(path, fs::file_size(path, ignored) / 2, ignored);
}

std::optional<fs::path> ScratchFolder::placeFor(const QByteArray& name) const
{
    QList<QByteArray> parts = name.split('/');
    parts.removeIf([](const QByteArray& part) { return part.isEmpty() || part == "."; });
    if (parts.isEmpty() || parts.contains(".."))
        return std::nullopt;
    fs::path place = m_root;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        place /= parts[i].toStdString();
        std::error_code error;
        const fs::file_status status = fs::symlink_status(place, error);
        if (status.type() == fs::file_type::not_found)
            fs::create_directory(place, error);
        else if (status.type() != fs::file_type::directory)
            return std::nullopt;
        if (error)
            return std::nullopt;
    }
    return place / parts.last().toStdString();
}

qint64 ScratchFolder::make(const fs::path& path, const FolderEntry& entry)
{
    std::error_code ignored;
    switch (entry.kind) {
    case FolderEntry::Kind::Folder:
        fs::create_directory(path, ignored);
        return 0;
    case FolderEntry::Kind::Link:
        fs::create_symlink(entry.payload.toStdString(), path, ignored);
        return 0;
    case FolderEntry::Kind::Pipe:
        ::mkfifo(path.c_str(), 0644);
        return 0;
    case FolderEntry::Kind::Sparse: {
        if (entry.payload.size() < 4 || !writeNewFile(path, QByteArrayView(entry.payload).sliced(4)))
            return 0;
        const quint32 size = qFromBigEndian<quint32>(entry.payload.constData());
        fs::resize_file(path, size, ignored);
        return size;
    }
    case FolderEntry::Kind::Shrinking:
    case FolderEntry::Kind::File:
        if (!writeNewFile(path, entry.payload))
            return 0;
        if (entry.kind == FolderEntry::Kind::Shrinking)
            m_shrinking.push_back(path);
        return entry.payload.size();
    }
    return 0;
}

} // namespace fuzz
