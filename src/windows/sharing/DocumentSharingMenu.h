#pragma once

// Sharing a picture of the map without a system share sheet: a menu offering Mail (the desktop
// mail client with the picture attached, through xdg-email), Open in Image Viewer (the desktop's
// viewer for PNG) and Copy Image. The picture goes to a PNG file in the cache folder first.
// What starts other programs is a replaceable launcher, so tests run nothing.

#include <QImage>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>

class QMenu;
class QWidget;

class ShareLauncher {
public:
    virtual ~ShareLauncher() = default;
    virtual bool startDetached(const QString& program, const QStringList& arguments);
    virtual bool openUrl(const QUrl& url);
};

class DocumentSharingMenu {
public:
    // The launcher in use; null restores the desktop one.
    static ShareLauncher& launcher();
    static void setLauncher(std::shared_ptr<ShareLauncher> launcher);

    // The picture as "<cache>/Shared/Map <n>.png"; empty when it cannot be written.
    static QString writeSharedImage(const QImage& image);
    static bool mailImage(const QImage& image);
    static bool openImageInViewer(const QImage& image);
    static void copyImage(const QImage& image);

    // A menu of the three, owned by `parent`.
    static QMenu* makeMenu(const QImage& image, QWidget* parent);
    // Pops the menu up beside `anchor` (at the pointer without one) and returns at once.
    static void showMenu(const QImage& image, QWidget* anchor);
};
