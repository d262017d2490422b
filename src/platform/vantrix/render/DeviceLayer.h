#pragma once

// An offscreen image standing in for part of a painter's device, one pixel per device pixel
// (fewer when the area is huge), so an effect can work on pixels and its result is drawn
// back where the content would have been. Components draw into it through a graphics context
// with the target's coordinates, as they would on the target.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QTransform>
#include <functional>

namespace platform {

class DeviceLayer {
public:
    // Larger layers draw at a lower resolution rather than allocate without bound.
    static constexpr qint64 kMaximumPixels = qint64(4096) * 4096;

    // `area` in the target's user coordinates. The layer covers the part the device shows through
    // the target's clip, widened by `margin` user units so content just outside can spread into
    // view (and the few pixels blurs add to it), at
    // `resolution` (at most 1) layer pixels per device pixel, and at most `maximumPixels`.
    DeviceLayer(QPainter& target, const QRectF& area, double margin = 0, double resolution = 1,
                qint64 maximumPixels = kMaximumPixels);

    // Device pixels per unit of the painter's user space.
    static double devicePixelsPerUnit(const QPainter& painter);
    // The painter's user space to pixels of its device, counted from the device's top left.
    // Unlike QPainter::deviceTransform, without the offset of a widget painted into its
    // window's surface.
    static QTransform userToDevicePixels(const QPainter& painter);

    bool isEmpty() const { return m_image.isNull(); }
    // Transparent until painted; premultiplied ARGB.
    QImage& image() { return m_image; }
    // Layer pixels per unit of the target's user space, for radii given in drawing units.
    double pixelsPerUnit() const { return m_pixelsPerUnit; }
    // The target's user coordinates to layer pixels.
    const QTransform& userToLayer() const { return m_userToLayer; }

    // Runs `draw` with a graphics context on the layer.
    void paint(const std::function<void()>& draw);
    // Draws `image` (of the layer's size) onto the target at the layer's place, through the
    // target's clip.
    void drawBack(const QImage& image, QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver) const;

private:
    QPainter& m_target;
    QImage m_image;
    QTransform m_userToLayer;
    QTransform m_layerToDevice;
    double m_pixelsPerUnit = 1;
};

// Runs `draw` composed in one layer over `area` (user coordinates), then fades the layer as
// a whole by `opacity`, so overlapping parts do not show through each other. Devices that are
// not raster (PDF, printers) get no layer: each part fades on its own. A rendering in steps
// (RenderSteps) stopping inside a layer whose steps are counted, named by `steppedLayer`, keeps
// the layer unfaded and goes on with it when taken up.
void drawInFadedLayer(QPainter& painter, const QRectF& area, double opacity, const std::function<void()>& draw,
                      const void* steppedLayer = nullptr);

} // namespace platform
