#include "windows/sharing/DocumentSharingMenu.h"

#include "platform/foundation/ZQLog.h"

#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

namespace {

std::shared_ptr<ShareLauncher>& installedLauncher()
{
    static std::shared_ptr<ShareLauncher> launcher = std::make_shared<ShareLauncher>();
    return launcher;
}

} // namespace

bool ShareLauncher::startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool ShareLauncher::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

ShareLauncher& DocumentSharingMenu::launcher()
{
    return *installedLauncher();
}

void DocumentSharingMenu::setLauncher(std::shared_ptr<ShareLauncher> launcher)
{
    installedLauncher() = launcher ? std::move(launcher) : std::make_shared<ShareLauncher>();
}

QString DocumentSharingMenu::writeSharedImage(const QImage& image)
{
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/Shared"));
    if (image.isNull() || !folder.mkpath(QStringLiteral(".")))
        return {};
    QString path;
    for (int n = 1; path.isEmpty() || QFile::exists(path); ++n)
        path = folder.filePath(QStringLiteral("Map %1.png").arg(n));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        ZQLog(QStringLiteral("the shared picture could not be written to %1").arg(path));
        return {};
    }
    return path;
}

bool DocumentSharingMenu::mailImage(const QImage& image)
{
    const QString path = writeSharedImage(image);
    return !path.isEmpty() && launcher().startDetached(QStringLiteral("xdg-email"), {QStringLiteral("--attach"), path});
}

bool DocumentSharingMenu::openImageInViewer(const QImage& image)
{
    const QString path = writeSharedImage(image);
    return !path.isEmpty() && launcher().openUrl(QUrl::fromLocalFile(path));
}

void DocumentSharingMenu::copyImage(const QImage& image)
{
    QGuiApplication::clipboard()->setImage(image);
}

QMenu* DocumentSharingMenu::makeMenu(const QImage& image, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    QObject::connect(menu->addAction(QObject::tr("Mail")), &QAction::triggered, menu, [image] { mailImage(image); });
    QObject::connect(menu->addAction(QObject::tr("Open in Image Viewer")), &QAction::triggered, menu,
                     [image] { openImageInViewer(image); });
    QObject::connect(menu->addAction(QObject::tr("Copy Image")), &QAction::triggered, menu,
                     [image] { copyImage(image); });
    return menu;
}

void DocumentSharingMenu::showMenu(const QImage& image, QWidget* anchor)
{
    QMenu* menu = makeMenu(image, anchor);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint at = anchor && anchor->isVisible() ? anchor->mapToGlobal(QPoint(0, anchor->height())) : QCursor::pos();
    menu->popup(anchor && anchor->isWindow() ? QCursor::pos() : at);
}
