#pragma once

// A shape that shows an image filling its box (clipped to its path), faded by an opacity,
// under or over what its style draws. The original file bytes are kept, so the image is
// saved as it came; the decoded image is made on first use and shared by every shape that
// shows the same bytes.

#include "platform/vantrix/drawables/SharedImage.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"

#include <QImage>
#include <functional>

class QuorvaneError;

class VXImageShape : public VXDrawableShape {
    Q_OBJECT
    Q_PROPERTY(QByteArray imageData READ imageData WRITE setImageData)
    Q_PROPERTY(double imageOpacity READ imageOpacity WRITE setImageOpacity)
    Q_PROPERTY(double imageScale READ imageScale WRITE setImageScale)
    Q_PROPERTY(bool imageDrawsOnTop READ imageDrawsOnTop WRITE setImageDrawsOnTop)
    Q_PROPERTY(int compositingOperation READ compositingOperation WRITE setCompositingOperation)
    Q_PROPERTY(int imagePresentationMode READ imagePresentationMode WRITE setImagePresentationMode STORED false)
    Q_CLASSINFO("displayName", "Image Shape")

public:
    VXImageShape();

    // A shape the image's size in pixels (one point each) with its top left at the origin;
    // null when the data is no image this program reads or it is too large to show.
    static std::shared_ptr<VXImageShape> imageShapeWithImageData(const QByteArray& data);
    static std::shared_ptr<VXImageShape> imageShapeWithSharedImage(std::shared_ptr<const platform::SharedImage> image);
    // The same for an image file; files larger than kMaximumImageFileSize are refused unread.
    // Null, with the reason in `error`, when the file gives no image.
    static std::shared_ptr<VXImageShape> imageShapeWithContentsOfFile(const QString& path, QuorvaneError* error);
    static constexpr qint64 kMaximumImageFileSize = qint64(1) << 30;

    QByteArray imageData() const { return m_imageData; }
    void setImageData(const QByteArray& data);
    // The decoded image; null when the data is not an image or too large.
    QImage image() const { return m_content->image(); }
    const std::shared_ptr<const platform::SharedImage>& sharedImage() const { return m_content; }
    double imageOpacity() const { return m_imageOpacity; }
    void setImageOpacity(double opacity); // clamped to 0..1
    // The image's size relative to the box, about its centre.
    double imageScale() const { return m_imageScale; }
    void setImageScale(double scale);     // clamped to 0.01..100
    bool imageDrawsOnTop() const { return m_imageDrawsOnTop; }
    void setImageDrawsOnTop(bool onTop);
    // A QPainter::CompositionMode.
    int compositingOperation() const { return m_compositingOperation; }
    void setCompositingOperation(int operation);

    // The image as the shape shows it, one pixel a point: drawn at the shape's size, scaled
    // about the centre and clipped to the path, transparent elsewhere (at most
    // kMaximumTracedPixels, keeping the proportions). Null without an image.
    QImage resampledAndCroppedImage() const;
    static constexpr qint64 kMaximumTracedPixels = qint64(1) << 23;

    // --- Editing the image (each an undo step named by the caller) -------------------------------
    // The shape takes the image's own size (a pixel a point) about its centre, and shows the
    // whole image again. Nothing without an image or while locked.
    Q_INVOKABLE void fitToImage(QObject* sender = nullptr);
    // The image becomes what the shape shows of it, at that size: scaled, cropped to the box
    // and clipped to the path; the scale goes back to 1. Nothing without an image or while locked.
    Q_INVOKABLE void cropImage(QObject* sender = nullptr);
    // Opens the image in the desktop's image editor and takes it back each time the file
    // changes, through the launcher below (the system's default handler unless replaced).
    Q_INVOKABLE void editImage(QObject* sender = nullptr);
    using FileOpener = std::function<bool(const QString& path)>;
    static void setExternalEditorLauncher(FileOpener opener);

    // Cropping on the image: in kCropPresentation a rectangle dragged over the selected shape
    // marks what to keep, shown over the dimmed rest; deselecting the shape applies it
    // (applyCrop). Changing the mode back discards it. Not undoable by itself.
    enum PresentationMode { kNormalPresentation = 0, kCropPresentation = 2 };
    static constexpr int kCropPart = 1001;
    int imagePresentationMode() const { return m_presentationMode; }
    Q_INVOKABLE void setImagePresentationMode(int mode);
    // In the shape's unit box (-0.5..0.5 each way); the whole box when cropping starts.
    QRectF cropRect() const { return m_cropRect; }
    void setCropRect(const QRectF& unitRect);
    // The image becomes the part of it under the crop rectangle and the shape shrinks to that
    // part, as one step "Crop Image"; cropping ends. Nothing for an empty rectangle.
    void applyCrop();

    // --- Tracing -------------------------------------------------------------------------------
    // The kVXTracingParam_* parameters every image shape traces with.
    static QVariantMap tracingParameters();
    static void setTracingParameters(const QVariantMap& parameters);
    // The traced levels of the shown image as filled paths laid over the shape, lightest first.
    QList<VXDrawableObjectPtr> vectorizedObjects() const;
    // Whether vectorize can replace the shape: it lies in an object layer and is not locked.
    bool canBeVectorized() const;
    // Replaces the shape in its layer by a selected group of its traced levels: one undo
    // step named by the sender's "title" property.
    Q_INVOKABLE void vectorize(QObject* sender);

    void drawContent() const override;
    void drawSelectedState() const override;
    void mouseDownAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    void mouseDraggedAtPointInPartEvent(QPointF point, int part, QMouseEvent* event) override;
    void objectIsNoLongerSelected() override;
    // The whole box hits, whatever the style fills.
    int hitPart(QPointF point) const override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    void drawImage() const;

    QByteArray m_imageData; // the bytes of m_content
    std::shared_ptr<const platform::SharedImage> m_content;
    double m_imageOpacity = 1.0;
    double m_imageScale = 1.0;
    bool m_imageDrawsOnTop = false;
    int m_compositingOperation = 0; // source over
    int m_presentationMode = kNormalPresentation;
    QRectF m_cropRect;
    QPointF m_cropAnchor; // where the crop drag began, in the unit box
};
