#include "media/folders/FilePackages.h"

#include <QFileInfo>
#include <QStringList>

bool hasPackageExtension(const QString& name)
{
    static const QStringList extensions = {
        QStringLiteral("qvnl"),       QStringLiteral("tmsv"),    QStringLiteral("vlm"), QStringLiteral("quorvane_map"),
        QStringLiteral("symlibrary"), QStringLiteral("libitem"), QStringLiteral("app"), QStringLiteral("bundle"),
    };
    return extensions.contains(pathExtension(name), Qt::CaseInsensitive);
}

bool isFilePackage(const QFileInfo& info)
{
    return info.isDir() && hasPackageExtension(info.fileName());
}

QString pathExtension(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1)
        return {};
    return path.mid(dot + 1);
}
