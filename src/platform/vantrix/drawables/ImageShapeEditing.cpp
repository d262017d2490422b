// Editing an image shape's picture: fitting the shape to it, cropping it to what the shape
// shows, and handing it to an outside editor.

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXImageShape.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QPointer>
#include <QStandardPaths>
#include <QUrl>

namespace {

bool openWithDefaultHandler(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

VXImageShape::FileOpener& launcher()
{
    static VXImageShape::FileOpener opener = openWithDefaultHandler;
    return opener;
}

// The files handed to outside editors, each watched until its shape goes.
class ExternalImageEdits : public QObject {
public:
    static ExternalImageEdits& shared()
    {
        static ExternalImageEdits edits;
        return edits;
    }

    // The file of the shape's picture (written again each time editing starts).
    QString fileForShape(const std::shared_ptr<VXImageShape>& shape)
    {
        QBuffer buffer;
        buffer.setData(shape->imageData());
        const QByteArray format = QImageReader(&buffer).format();
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/Edited Images");
        QDir().mkpath(folder);
        const QString path = folder + QLatin1Char('/') + shape->uniqueKey() + QLatin1Char('.')
                             + QString::fromLatin1(format.isEmpty() ? QByteArray("png") : format);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(shape->imageData()) != shape->imageData().size())
            return {};
        file.close();
        m_shapes.insert(path, shape);
        if (!m_watcher.files().contains(path))
            m_watcher.addPath(path);
        return path;
    }

private:
    ExternalImageEdits()
    {
        connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) { fileChanged(path); });
    }

    void fileChanged(const QString& path)
    {
        const std::shared_ptr<VXImageShape> shape = m_shapes.value(path).lock();
        if (!shape) {
            m_shapes.remove(path);
            m_watcher.removePath(path);
            return;
        }
        // Editors often save by replacing the file, which ends the watch.
        if (!m_watcher.files().contains(path) && QFile::exists(path))
            m_watcher.addPath(path);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray data = file.readAll();
        // A file caught half written, or no longer a picture, is left for the next change.
        if (data == shape->imageData() || !VXImageShape::imageShapeWithImageData(data))
            return;
        shape->setImageData(data);
        if (ZQUndoManager* undo = shape->undoManager())
            undo->setActionName(QObject::tr("Edit Image"));
    }

    QFileSystemWatcher m_watcher;
    QHash<QString, std::weak_ptr<VXImageShape>> m_shapes;
};

} // namespace

void VXImageShape::fitToImage(QObject*)
{
    const QImage picture = image();
    if (picture.isNull() || locked())
        return;
    const QPointF centre = bounds().center();
    setSize(QSizeF(picture.size()));
    setImageScale(1.0);
    setLocation(location() + (centre - bounds().center()));
}

void VXImageShape::cropImage(QObject*)
{
    if (locked())
        return;
    const QImage shown = resampledAndCroppedImage();
    if (shown.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "png").write(shown))
        return;
    setImageData(png);
    setImageScale(1.0);
}

void VXImageShape::editImage(QObject*)
{
    if (image().isNull())
        return;
    const QString path = ExternalImageEdits::shared().fileForShape(std::static_pointer_cast<VXImageShape>(shared_from_this()));
    if (!path.isEmpty())
        launcher()(path);
}

void VXImageShape::setExternalEditorLauncher(FileOpener opener)
{
    launcher() = opener ? std::move(opener) : openWithDefaultHandler;
}
