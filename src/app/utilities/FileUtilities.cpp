#include "app/utilities/FileUtilities.h"

#include "platform/foundation/NamedException.h"
#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

QUrl thisApplicationsSupportFolderURL()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (path.isEmpty()) {
        ZQLogObjCMethod(QStringLiteral("search for directory failed, error = no writable application data location"));
        return {};
    }
    const QUrl folder = QUrl::fromLocalFile(path);
    createDirectoryIfNeeded(folder);
    return folder;
}

bool createDirectoryIfNeeded(const QUrl& folder)
{
    const QString path = folder.toLocalFile();
    std::error_code error;
    if (path.isEmpty()) {
        error = std::make_error_code(std::errc::invalid_argument);
    } else {
        const std::filesystem::path native(QFile::encodeName(path).toStdString());
        std::filesystem::create_directories(native, error);
        if (!error && !std::filesystem::is_directory(native, error) && !error)
            error = std::make_error_code(std::errc::not_a_directory);
    }
    if (!error)
        return true;
    ZQLogObjCMethod(QStringLiteral("unable to create directory %1, error = %2")
                        .arg(folder.toString(), QString::fromLocal8Bit(error.message())));
    return false;
}

namespace {

constexpr int kMaximumNumberedCopies = 999;

// "name.ext" -> ("name", ".ext"); a leading dot starts a name, not an extension.
std::pair<QString, QString> splitExtension(const QString& filename)
{
    const qsizetype dot = filename.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return {filename, QString()};
    return {filename.left(dot), filename.mid(dot)};
}

// A dangling link still takes the name.
bool isTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString uniqueFilenameForFilenameInDirectory(const QString& filename, const QString& directory)
{
    const QDir folder(directory);
    if (!isTaken(folder.filePath(filename)))
        return filename;
    const auto [stem, extension] = splitExtension(filename);
    for (int number = 1; number <= kMaximumNumberedCopies; ++number) {
        const QString candidate = QStringLiteral("%1 %2%3").arg(stem, QString::number(number), extension);
        if (!isTaken(folder.filePath(candidate)))
            return candidate;
    }
    throw platform::NamedException(QStringLiteral("Too Many Files!"),
                         QStringLiteral(">%1 files in '%2' - are you nuts?").arg(kMaximumNumberedCopies).arg(directory));
}
