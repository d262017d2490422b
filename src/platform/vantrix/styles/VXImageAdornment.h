#pragma once

// Draws an image on the object: centred on its location, turned with it and by
// `angleInDegrees`, sized by the fitting option, faded by `opacity` and combined with what
// lies below by the composition `operation` (a QPainter::CompositionMode). Clipping keeps
// it inside (2) or outside (1) the path.

#include "platform/vantrix/styles/VXClipping.h"
#include "platform/vantrix/styles/VXRasterizer.h"

#include <QImage>

class VXImageAdornment : public VXRasterizer {
    Q_OBJECT
    Q_PROPERTY(QImage image READ image WRITE setImage)
    Q_PROPERTY(int clipping READ clipping WRITE setClipping)
    Q_PROPERTY(double scale READ scale WRITE setScale)
    Q_PROPERTY(double opacity READ opacity WRITE setOpacity)
    Q_PROPERTY(double angleInDegrees READ angleInDegrees WRITE setAngleInDegrees)
    Q_PROPERTY(int fittingOption READ fittingOption WRITE setFittingOption)
    Q_PROPERTY(int operation READ operation WRITE setOperation)
    Q_CLASSINFO("actionName:image", "Change Image")
    Q_CLASSINFO("actionName:clipping", "Image Clipping")
    Q_CLASSINFO("actionName:scale", "Image Scale")
    Q_CLASSINFO("actionName:opacity", "Image Opacity")
    Q_CLASSINFO("actionName:angleInDegrees", "Image Angle")
    Q_CLASSINFO("actionName:fittingOption", "Image Fitting")
    Q_CLASSINFO("actionName:operation", "Image Compositing")

public:
    enum FittingOption {
        kFitToObject = 0,      // stretched to the object's size
        kFitProportionally = 1, // as large as fits inside it, keeping its shape
        kScaleBy = 2,          // its own size (a pixel a unit) times `scale`
    };

    // No image; clipped to the path, fitted proportionally, opaque, drawn over.
    VXImageAdornment();

    QString displayName() const override;

    QImage image() const { return m_image; }
    // Kept as premultiplied ARGB.
    void setImage(const QImage& image);
    int clipping() const { return m_clipping; }
    void setClipping(int clipping); // VXClipping values
    double scale() const { return m_scale; }
    void setScale(double scale); // above 0
    double opacity() const { return m_opacity; }
    void setOpacity(double opacity); // 0 ... 1
    double angleInDegrees() const { return m_angleInDegrees; }
    void setAngleInDegrees(double angle);
    int fittingOption() const { return m_fittingOption; }
    void setFittingOption(int option);
    int operation() const { return m_operation; }
    void setOperation(int operation); // Porter-Duff and blend modes, not raster operations

    // The size the image is drawn at on an object of `objectSize`.
    QSizeF drawnSizeForObjectSize(QSizeF objectSize) const;

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;
    bool isValid() const override;

private:
    QImage m_image;
    int m_clipping = kVXClipInsidePath;
    double m_scale = 1;
    double m_opacity = 1;
    double m_angleInDegrees = 0;
    int m_fittingOption = kFitProportionally;
    int m_operation = 0;
};

using VXImageAdornmentPtr = std::shared_ptr<VXImageAdornment>;
