#include "library/archiving/FolderZipWriter.h"

#include <QDir>
#include <QFileInfo>
#include <zip.h>

namespace FolderZipWriter {

namespace {

constexpr zip_uint32_t kDeflateLevel = 9;

QString errorText(zip_t* archive)
{
    return QString::fromLocal8Bit(zip_strerror(archive));
}

// Adds the folder's entries under `prefix` ("Roads.symlibrary/"), depth first.
bool addFolder(zip_t* archive, const QString& folder, const QString& prefix, QString* reason)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink())
            continue;
        const QString name = prefix + entry.fileName();
        if (entry.isDir()) {
            if (zip_dir_add(archive, (name + u'/').toUtf8().constData(), ZIP_FL_ENC_UTF_8) < 0
                || !addFolder(archive, entry.filePath(), name + u'/', reason)) {
                if (reason && reason->isEmpty())
                    *reason = errorText(archive);
                return false;
            }
            continue;
        }
        if (!entry.isFile())
            continue;
        zip_source_t* source = zip_source_file(archive, QFile::encodeName(entry.filePath()).constData(), 0, -1);
        const zip_int64_t index = source ? zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            if (reason)
                *reason = errorText(archive);
            return false;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, kDeflateLevel);
    }
    return true;
}

} // namespace

bool writeArchive(const QString& folder, const QString& destination, QString* reason)
{
    const QFileInfo source(folder);
    if (!source.isDir() || source.isSymLink()) {
        if (reason)
            *reason = QStringLiteral("'%1' is no folder").arg(folder);
        return false;
    }
    if (QFileInfo(destination).isDir()) {
        if (reason)
            *reason = QStringLiteral("'%1' is a folder").arg(destination);
        return false;
    }
    int error = 0;
    // The archive is made in memory of what to add; closing writes a temporary file and renames it.
    zip_t* archive = zip_open(QFile::encodeName(destination).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_error_t details;
        zip_error_init_with_code(&details, error);
        if (reason)
            *reason = QString::fromLocal8Bit(zip_error_strerror(&details));
        zip_error_fini(&details);
        return false;
    }
    const QString top = source.fileName() + u'/';
    if (zip_dir_add(archive, top.toUtf8().constData(), ZIP_FL_ENC_UTF_8) < 0
        || !addFolder(archive, source.filePath(), top, reason)) {
        if (reason && reason->isEmpty())
            *reason = errorText(archive);
        zip_discard(archive);
        return false;
    }
    if (zip_close(archive) != 0) {
        if (reason)
            *reason = errorText(archive);
        zip_discard(archive);
        return false;
    }
    return true;
}

QString archivedFolderName(const QString& archive)
{
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return {};
    const char* first = zip_get_num_entries(zip, 0) > 0 ? zip_get_name(zip, 0, ZIP_FL_ENC_GUESS) : nullptr;
    const QString name = first ? QString::fromUtf8(first) : QString();
    zip_discard(zip);
    const qsizetype slash = name.indexOf(u'/');
    return slash > 0 ? name.left(slash) : QString();
}

} // namespace FolderZipWriter
