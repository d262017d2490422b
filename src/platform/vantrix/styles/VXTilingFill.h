#pragma once

// Fills the object's path with an image repeated edge to edge, a pixel a drawing unit. The
// tiles are laid from the drawing origin, so neighbouring objects continue one texture.

#include "platform/vantrix/styles/VXRasterizer.h"

#include <QImage>

class VXTilingFill : public VXRasterizer {
    Q_OBJECT
    Q_PROPERTY(QImage image READ image WRITE setImage)
    Q_PROPERTY(double opacity READ opacity WRITE setOpacity)
    Q_CLASSINFO("actionName:image", "Change Tiling Image")
    Q_CLASSINFO("actionName:opacity", "Tiling Opacity")

public:
    // Image files larger than this (pixels) are refused.
    static constexpr qint64 kMaximumImagePixels = qint64(8192) * 8192;

    // No image, opaque.
    VXTilingFill();

    QString displayName() const override;

    QImage image() const { return m_image; }
    // Kept as premultiplied ARGB.
    void setImage(const QImage& image);
    double opacity() const { return m_opacity; }
    void setOpacity(double opacity); // 0 ... 1
    // Reads an image file's bytes (any format the platform reads) into "image"; false, with
    // nothing changed, when they are not a readable image of acceptable size.
    bool setImageData(const QByteArray& data);

    void render(const VXRenderable& object) const override;
    bool isValid() const override;

private:
    QImage m_image;
    double m_opacity = 1;
};

using VXTilingFillPtr = std::shared_ptr<VXTilingFill>;
