#pragma once

// What a drawing view has drawn of its drawing, kept so that a repaint copies pixels instead of
// drawing objects again. The pixels are kept in tiles of 256 x 256 content pixels at the view's
// scale, not in one backing image: scrolling keeps every tile still in view and draws only the
// tiles coming in, an edit redraws just the tiles it touches, tiles are drawn on several
// threads at once, and a rendering cut short by the next scroll or zoom keeps the tiles it
// finished; one cut short by the main thread waking keeps what it drew of a tile and goes on
// from there unless the tile was edited or the drawing's layers changed meanwhile.
//
// Small areas (a drag's old and new places, a strip of a small drawing) are drawn at once, on
// the pool's threads while the view waits. Larger ones are drawn in the background while the
// main thread waits for events (see RenderGate); until they are ready the view shows what it
// had: the edited tile's previous pixels, or after a zoom the tiles of the scale before,
// scaled. A tile edited while it was drawn is drawn again, so nothing stale stays on screen
// once the rendering settles.
//
// Only the drawing's content is cached: selection highlights, knobs, the object being made,
// overlays and tool feedback are drawn live over it by the view. When those make a paint slow
// (a large selection), tiles finished in the background are shown less often while more are
// coming: each showing paints them all again.

#include "platform/vantrix/render/BackgroundTileQueue.h"

#include <QColor>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QTimer>
#include <memory>

class QPainter;
class VXDrawing;
class VXDrawingView;

namespace platform {

class CachedViewRendering : public QObject {
    Q_OBJECT

public:
    static constexpr int kTileSide = 256;
    // Areas meeting up to this many objects are drawn while the view waits.
    static constexpr int kImmediateObjects = 3000;
    // A tile's edited area kept as at most this many rectangles, else as their bounds.
    static constexpr int kMostDirtyRects = 16;

    // How the view maps its drawing: content pixels are drawing points times `scale`, and
    // content pixel (0, 0) shows at `origin` of the viewport, in whole pixels.
    struct Mapping {
        double scale = 1;
        QPoint origin;
        qreal pixelRatio = 1;
        QColor backdrop; // around the paper
    };
    Mapping mappingOfView() const;

    explicit CachedViewRendering(VXDrawingView& view);
    ~CachedViewRendering() override;

    // Forgets everything drawn of the drawing before.
    void setDrawing(const VXDrawing* drawing);
    // The drawing changed in `rect` (drawing coordinates).
    void invalidateDrawingRect(const QRectF& rect);
    // Forgets every tile.
    void discard();

    // Draws `exposed` (viewport pixels) from the tiles, drawing first what is small enough to
    // draw now and sending the rest to the background. Answers where the drawing's origin
    // showed, for what is drawn live over it.
    QPoint paint(QPainter& painter, const QRect& exposed);
    // The view's paint begun with paint() has drawn all it draws over the tiles.
    void paintEnded();
    // Nothing of the viewport waits to be drawn.
    bool isSettled() const;
    // Draws whatever the viewport still lacks, waiting for the background, then repaints it.
    void finishRendering();

private:
    struct Tile {
        QImage image;  // null until first drawn
        QRegion dirty; // tile pixels edited since
        quint64 version = 0;
    };

    static QRect tileRect(QPoint key) { return {key * kTileSide, QSize(kTileSide, kTileSide)}; }
    // The keys of the tiles meeting `content`, as a range of columns x rows, and one by one.
    static QRect keyRangeMeeting(const QRect& content);
    static QList<QPoint> keysMeeting(const QRect& content);
    QRect visibleContent(const Mapping& mapping) const;
    void useMapping(const Mapping& mapping);
    // Draws now what the tiles meeting `exposed` lack, when that is little, and queues the
    // rest of what the tiles meeting `visible` lack; true when nothing was queued.
    bool bringUpToDate(const QRect& exposed, const QRect& visible);
    bool lacksImages(const QRect& content) const;
    // Fills the drawing's caches for the tiles (see DrawingRenderer::prepareToDrawConcurrently)
    // unless done since their last edit, and notes about how many objects each meets.
    void readyTiles(const QList<QPoint>& keys);
    int readyDrawingRect(const QRectF& rect);
    void drawTilesNow(const QList<QPoint>& keys);
    // The objects that repairing the tiles' edited areas would draw.
    int objectsInEditedAreas(const QList<QPoint>& keys);
    void repairTiles(const QList<QPoint>& keys);
    void enqueue(const QList<QPoint>& keys);
    void takeFinishedTiles();
    // Repaints where finished tiles have not shown yet, or later while paints are slow and
    // the background has more to come.
    void showFinishedTiles();
    void dropTilesAwayFrom(const QRect& content);
    void drawPreview(QPainter& painter, const QRegion& missing) const;
    QRectF drawingRectOfContent(const QRect& content) const;

    VXDrawingView& m_view;
    const VXDrawing* m_drawing = nullptr;
    Mapping m_mapping;
    QHash<QPoint, Tile> m_tiles;
    quint64 m_nextVersion = 0;
    // Tiles whose objects were readied for the background since the last edit, with how many
    // objects they meet.
    QHash<QPoint, int> m_prepared;
    // The largest area (drawing coordinates) readied since its last edit, whatever the scale,
    // with how many objects it met: zooming within it readies nothing again.
    struct ReadiedArea {
        QRectF area;
        int objects = 0;
    };
    ReadiedArea m_readied;
    // The tiles of the scale before a zoom, shown scaled until their successors are drawn.
    double m_previewScale = 0;
    QHash<QPoint, QImage> m_preview;
    std::unique_ptr<BackgroundTileQueue> m_background;
    // Tiles finished (content pixels) that no paint has shown yet.
    QRegion m_unshown;
    QTimer m_showLater;
    QElapsedTimer m_paintClock; // since the last paint began, then since it ended
    qint64 m_paintCost = 0;     // ms the last paint took
};

} // namespace platform
