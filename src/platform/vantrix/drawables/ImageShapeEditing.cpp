// Editing an image shape's picture: fitting the shape to it, cropping it to what the shape
// shows, and handing it to an outside editor.

#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/view/KnobStampBatch.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
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

// --- Cropping on the image -------------------------------------------------------------------------

namespace {

const QRectF kUnitBox(-0.5, -0.5, 1, 1);

} // namespace

void VXImageShape::setImagePresentationMode(int mode)
{
    const int wanted = mode == kCropPresentation && !image().isNull() && !locked() ? kCropPresentation : kNormalPresentation;
    if (wanted == m_presentationMode)
        return;
    m_presentationMode = wanted;
    m_cropRect = kUnitBox;
    notifyVisualChange();
}

void VXImageShape::setCropRect(const QRectF& unitRect)
{
    m_cropRect = unitRect.normalized().intersected(kUnitBox);
    notifyVisualChange();
}

void VXImageShape::mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent*)
{
    if (part == kCropPart)
        m_cropAnchor = (transform() * containerTransform()).inverted().map(point);
}

void VXImageShape::mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent*)
{
    if (part == kCropPart)
        setCropRect(QRectF(m_cropAnchor, (transform() * containerTransform()).inverted().map(point)));
}

void VXImageShape::objectIsNoLongerSelected()
{
    if (m_presentationMode == kCropPresentation)
        applyCrop();
}

void VXImageShape::applyCrop()
{
    const QRectF kept = m_cropRect;
    m_presentationMode = kNormalPresentation;
    notifyVisualChange();
    const QImage picture = image();
    if (picture.isNull() || locked() || kept.isEmpty() || kept == kUnitBox)
        return;
    // The image fills -s/2..s/2 of the unit box: the kept part in its pixels.
    const double half = m_imageScale / 2;
    const QRectF imageArea(-half, -half, m_imageScale, m_imageScale);
    const QRectF shown = kept.intersected(imageArea);
    if (shown.isEmpty())
        return;
    const QSizeF pixelsPerUnit(picture.width() / m_imageScale, picture.height() / m_imageScale);
    const QRect pixels = QRectF((shown.left() + half) * pixelsPerUnit.width(), (shown.top() + half) * pixelsPerUnit.height(),
                                shown.width() * pixelsPerUnit.width(), shown.height() * pixelsPerUnit.height())
                             .toAlignedRect()
                             .intersected(picture.rect());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (pixels.isEmpty() || !QImageWriter(&buffer, "png").write(picture.copy(pixels)))
        return;
    // The box shrinks about the kept part's centre, so what stays does not move.
    const QPointF centre = (transform() * containerTransform()).map(shown.center());
    const QSizeF box = size();
    setImageData(png);
    setImageScale(1.0);
    setSize(QSizeF(box.width() * shown.width(), box.height() * shown.height()));
    setLocation(location() + (centre - (transform() * containerTransform()).map(QPointF(0, 0))));
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(QObject::tr("Crop Image"));
}

void VXImageShape::drawSelectedState() const
{
    VXDrawableShape::drawSelectedState();
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (m_presentationMode != kCropPresentation || !context)
        return;
    platform::KnobStampBatch::flushCurrent();
    QPainter* painter = context->painter();
    painter->save();
    painter->setTransform(transform() * containerTransform() * painter->worldTransform());
    QPainterPath outside;
    outside.addRect(kUnitBox);
    outside.addRect(m_cropRect);
    painter->fillPath(outside, QColor(0, 0, 0, 90));
    QPen pen(Qt::white, 0);
    pen.setStyle(Qt::DashLine);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(m_cropRect);
    painter->restore();
}
