#pragma once

// Draws drawings, layers and objects onto a QPainter: on screen (the drawing view), into
// images, PDF and printers. It decides what draws and how layers combine; the layers and
// objects draw themselves into GraphicsContext::current().
//
// A layer draws when it is visible (and, for output that prints, when it prints); a layer
// or group with alpha below 1 is composed on its own and faded as a whole on raster
// devices (vector devices fade each element, as they have no transparency groups). Only
// the objects meeting the rectangle asked for are touched.
//
// Images are painted on threads of the global pool while the caller waits, large ones in tiles
// on several threads at once, so drawing code must not rely on running on the main thread (no
// notifications, no widgets) and must fill its caches in the layers' prepareToDrawRect.

#include "platform/graphics/ImageWriter.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <functional>

class QPainter;
class QPrinter;
class VXDrawableObject;
class VXDrawing;
class VXDrawingView;
class VXLayer;
class VXLayerGroup;

namespace platform {

class DrawingRenderer {
public:
    struct Options {
        bool printing = false;     // leave out layers that do not print, and unprinted paper
        bool drawPaper = true;
        bool highlighting = false; // selection highlights (views only)
        bool includeHidden = false;  // draw hidden layers too (a layer exported by itself)
        VXDrawingView* view = nullptr; // drawing for a view's screen (on-screen aids show)
    };

    // Draws the part of the drawing meeting `rect` (drawing coordinates) with the painter's
    // current transform, inside a graphics context.
    static void drawDrawing(const VXDrawing& drawing, QPainter& painter, const QRectF& rect, const Options& options);
    // Draws one layer (a group with its members) into the current graphics context.
    static void drawLayer(const VXLayer& layer, const QRectF& rect, const Options& options);
    // The members of a group, bottom first, into the current graphics context.
    static void drawLayersOfGroup(const VXLayerGroup& group, const QRectF& rect, const Options& options);

    // Fills the caches that drawing `rect` of the drawing fills on first use, on this thread, so
    // that threads may then draw parts of it at once while this one waits.
    // Answers how many objects the rectangle meets.
    static int prepareToDrawConcurrently(const VXDrawing& drawing, const QRectF& rect);
    // The live parts of the visible layers (see VXLayer::drawLiveRectInView), bottom first,
    // into the current graphics context.
    static void drawLiveParts(const VXLayerGroup& group, const QRectF& rect, VXDrawingView* view);

    // Draws one tile of an image: the painter maps drawing coordinates onto the image and clips
    // to the tile; `area` is the part of the source the tile shows.
    using TilePainting = std::function<void(QPainter& painter, const QRectF& area)>;
    // Told on the calling thread, between rounds of tiles, the fraction of an image painted;
    // answers false to stop painting it.
    using Proceed = std::function<bool(double fraction)>;
    // `source` (drawing coordinates) scaled onto an image of `pixels`, over `background`
    // (transparent when invalid), painted tile by tile on several of the pool's threads at once,
    // as a view paints: what one tile leaves out costs it nothing. Whatever `paint` draws must
    // keep to the drawing exclusion. With `proceed`, the tiles are smaller and painted a round
    // per thread at a time, so that even a small image of a large map reports as it goes. Null
    // when the size cannot be drawn, painting failed or `proceed` stopped it.
    static QImage imageOfRect(const QRectF& source, QSize pixels, const QColor& background,
                              const TilePainting& paint, const Proceed& proceed = {});
    // The drawing's `source` that way, for output (printing rules).
    static QImage imageOfDrawing(const VXDrawing& drawing, const QRectF& source, QSize pixels,
                                 const QColor& background, const Proceed& proceed = {});
    static QByteArray pdfOfDrawingRect(const VXDrawing& drawing, const QRectF& mediaBox);
    static QByteArray pdfOfLayer(const VXLayer& layer);
    // The object over its bounds, with its text labels as the map shows them.
    static QByteArray pdfOfObject(const VXDrawableObject& object);
    // The object scaled to fit `size` (points), centred, on a transparent image; null when
    // painting failed.
    static QImage imageOfObjectWithSize(const VXDrawableObject& object, QSizeF size);

    // Fits the drawing to the printer's page, keeping its proportions.
    static void printDrawing(const VXDrawing& drawing, QPrinter& printer);
};

} // namespace platform
