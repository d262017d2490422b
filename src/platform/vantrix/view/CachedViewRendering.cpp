#include "platform/vantrix/view/CachedViewRendering.h"

#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/render/PoolPainting.h"
#include "platform/vantrix/render/RenderSteps.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QPainter>
#include <cmath>
#include <optional>

namespace platform {

namespace {

// While tiles are coming, paints that show them take at most about this share of the main
// thread: a paint of N ms waits N / share - N ms after the last one.
constexpr double kShowingShare = 0.25;

// What a tile is drawn from; copied into background jobs, which read the drawing and the view
// only while the main thread lends them (RenderGate), and never after the queue has gone.
struct TileSource {
    const VXDrawing* drawing = nullptr;
    VXDrawingView* view = nullptr;
    CachedViewRendering::Mapping mapping;
    QPoint key;
};

// What a background job has drawn of its tile: interrupted, it goes on from there when run
// again over the same layers. Edits within the tile give it a new job.
struct TileProgress {
    QImage image;
    std::optional<RenderSteps::Stop> stop;
    bool complete = false;
    quint64 layerStructure = 0;
};

// Whether the tile's backdrop and paper are painted, or are there from an earlier run.
enum class Ground { Paint, Kept };

template <class Visit>
void forEachKeyOf(const QRect& keys, Visit visit)
{
    for (int row = keys.top(); row <= keys.bottom(); ++row)
        for (int column = keys.left(); column <= keys.right(); ++column)
            visit(QPoint(column, row));
}

// A range of keys can be far larger than the table of what is kept for them: whichever is
// fewer is walked.
template <class Table>
bool rangeIsSmaller(const QRect& keys, const Table& table)
{
    return qint64(keys.width()) * keys.height() <= table.size();
}

// Calls `visit(key, value)` for each entry of `table` whose key lies in `keys`.
template <class Table, class Visit>
void forEachKeyIn(Table& table, const QRect& keys, Visit visit)
{
    if (rangeIsSmaller(keys, table)) {
        forEachKeyOf(keys, [&](QPoint key) {
            if (const auto it = table.find(key); it != table.end())
                visit(key, it.value());
        });
        return;
    }
    for (auto it = table.begin(); it != table.end(); ++it)
        if (keys.contains(it.key()))
            visit(it.key(), it.value());
}

template <class Table>
void removeKeysIn(Table& table, const QRect& keys)
{
    if (rangeIsSmaller(keys, table))
        forEachKeyOf(keys, [&](QPoint key) { table.remove(key); });
    else
        table.removeIf([&](typename Table::iterator it) { return keys.contains(it.key()); });
}

QPoint tileOrigin(QPoint key)
{
    return key * CachedViewRendering::kTileSide;
}

void drawPaper(const VXDrawing& drawing, QPainter& painter)
{
    drawing.drawPaperInRect(painter, drawing.bounds());
    painter.setPen(QPen(QColor(160, 160, 200), 0, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(drawing.interior());
}

// Draws the drawing's content over `area` (tile pixels) of the tile's image.
void drawTileArea(QImage& image, const TileSource& source, const QRegion& area, Ground ground = Ground::Paint)
{
    const double scale = source.mapping.scale;
    QPainter painter(&image);
    painter.setClipRegion(area);
    if (ground == Ground::Paint)
        painter.fillRect(area.boundingRect(), source.mapping.backdrop);
    painter.translate(-tileOrigin(source.key));
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    if (ground == Ground::Paint)
        drawPaper(*source.drawing, painter);
    // A pixel more, for antialiased edges reaching in.
    const QRectF content = QRectF(area.boundingRect().translated(tileOrigin(source.key))).adjusted(-1, -1, 1, 1);
    DrawingRenderer::Options options;
    options.drawPaper = false;
    options.view = source.view;
    DrawingRenderer::drawDrawing(*source.drawing, painter,
                                 QRectF(content.topLeft() / scale, content.size() / scale), options);
}

constexpr QRect kWholeTile(0, 0, CachedViewRendering::kTileSide, CachedViewRendering::kTileSide);

QImage blankTile(const CachedViewRendering::Mapping& mapping)
{
    const int side = qCeil(CachedViewRendering::kTileSide * mapping.pixelRatio);
    QImage image(side, side, QImage::Format_RGB32);
    image.setDevicePixelRatio(mapping.pixelRatio);
    return image;
}

QImage renderTile(const TileSource& source)
{
    QImage image = blankTile(source.mapping);
    drawTileArea(image, source, kWholeTile);
    return image;
}

// The tile in the background, inside the gate: null when interrupted.
QImage renderTileInSteps(const TileSource& source, TileProgress& progress)
{
    const quint64 layerStructure = source.drawing->layerStructureGeneration();
    if (progress.layerStructure != layerStructure)
        progress = {};
    progress.layerStructure = layerStructure;
    if (!progress.complete) {
        const bool resuming = progress.stop.has_value();
        if (!resuming)
            progress.image = blankTile(source.mapping);
        RenderSteps::Scope steps(std::exchange(progress.stop, std::nullopt));
        drawTileArea(progress.image, source, kWholeTile, resuming ? Ground::Kept : Ground::Paint);
        progress.stop = steps.takeStop();
        progress.complete = !steps.stopped();
    }
    return progress.complete ? progress.image : QImage();
}

} // namespace

CachedViewRendering::CachedViewRendering(VXDrawingView& view)
    : m_view(view)
{
    m_showLater.setSingleShot(true);
    connect(&m_showLater, &QTimer::timeout, this, [this] { showFinishedTiles(); });
    setDrawing(nullptr);
}

CachedViewRendering::~CachedViewRendering() = default;

CachedViewRendering::Mapping CachedViewRendering::mappingOfView() const
{
    // Whole pixels, so kept pixels show where they were drawn; live parts follow them.
    return {m_view.scale(), m_view.convertPointFromDrawing(QPointF()).toPoint(),
            m_view.viewport()->devicePixelRatioF(), m_view.palette().color(QPalette::Dark)};
}

QRect CachedViewRendering::visibleContent(const Mapping& mapping) const
{
    return m_view.viewport()->rect().translated(-mapping.origin);
}

void CachedViewRendering::setDrawing(const VXDrawing* drawing)
{
    m_drawing = drawing;
    // Jobs of the drawing before may still hold it: a new queue starts clean, and the one
    // before ends every rendering of it as it goes.
    m_background = std::make_unique<BackgroundTileQueue>();
    connect(m_background.get(), &BackgroundTileQueue::tilesFinished, this, [this] { takeFinishedTiles(); });
    discard();
}

void CachedViewRendering::discard()
{
    m_background->clear();
    m_tiles.clear();
    m_unshown = {};
    m_prepared.clear();
    m_readied = {};
    m_preview.clear();
}

QRect CachedViewRendering::keyRangeMeeting(const QRect& content)
{
    if (content.isEmpty())
        return {};
    const auto key = [](int pixel) { return int(std::floor(double(pixel) / kTileSide)); };
    return QRect(QPoint(key(content.left()), key(content.top())), QPoint(key(content.right()), key(content.bottom())));
}

QList<QPoint> CachedViewRendering::keysMeeting(const QRect& content)
{
    QList<QPoint> keys;
    forEachKeyOf(keyRangeMeeting(content), [&](QPoint key) { keys.append(key); });
    return keys;
}

QRectF CachedViewRendering::drawingRectOfContent(const QRect& content) const
{
    const double scale = m_mapping.scale;
    return {QPointF(content.topLeft()) / scale, QSizeF(content.size()) / scale};
}

void CachedViewRendering::useMapping(const Mapping& mapping)
{
    if (mapping.backdrop != m_mapping.backdrop)
        discard();
    if (mapping.scale != m_mapping.scale || mapping.pixelRatio != m_mapping.pixelRatio) {
        // A zoom: what was drawn shows scaled until the new scale's tiles are ready. When zooms
        // come faster than tiles, the last scale that had tiles stays the preview.
        QHash<QPoint, QImage> drawn;
        for (auto it = m_tiles.cbegin(); it != m_tiles.cend(); ++it)
            if (!it->image.isNull() && it->dirty.isEmpty())
                drawn.insert(it.key(), it->image);
        if (!drawn.isEmpty()) {
            m_preview = std::move(drawn);
            m_previewScale = m_mapping.scale;
        }
        m_tiles.clear();
        m_unshown = {};
        m_prepared.clear();
        m_background->clear();
    }
    m_mapping = mapping;
}

void CachedViewRendering::invalidateDrawingRect(const QRectF& rect)
{
    if (!rect.isValid() || m_mapping.scale <= 0)
        return;
    const auto contentOf = [&](double scale) {
        return QRectF(rect.topLeft() * scale, rect.size() * scale).toAlignedRect().adjusted(-1, -1, 1, 1);
    };
    if (m_readied.area.intersects(rect))
        m_readied = {};
    // An edit may meet far more tiles than are kept (a long text at a close zoom): only the
    // tiles in view and those kept are visited.
    const QRect content = contentOf(m_mapping.scale);
    const QRect met = keyRangeMeeting(content);
    const QRect visible = visibleContent(m_mapping);
    QRegion repaint;
    forEachKeyOf(met & keyRangeMeeting(visible), [&](QPoint key) {
        // A tile in view edited only past the viewport's edge gets no paint from the edit
        // itself to queue it again.
        if (!(tileRect(key) & content).intersects(visible))
            repaint += tileRect(key) & visible;
    });
    removeKeysIn(m_prepared, met);
    forEachKeyIn(m_tiles, met, [&](QPoint key, Tile& tile) {
        tile.dirty += (content & tileRect(key)).translated(-tileOrigin(key));
        // Hundreds of edits in one tile (a shared style changed) cost more to keep apart, in
        // every addition and in the clip of the repair, than to redraw together.
        if (tile.dirty.rectCount() > kMostDirtyRects)
            tile.dirty = tile.dirty.boundingRect();
        tile.version = ++m_nextVersion;
    });
    if (!m_preview.isEmpty())
        removeKeysIn(m_preview, keyRangeMeeting(contentOf(m_previewScale)));
    // The tiles met were readied for the drawing as it was; the next paint readies them again.
    // Jobs of the other tiles stay: an edit elsewhere, out of view, brings no paint to
    // queue them again.
    m_background->remove(met);
    if (!repaint.isEmpty())
        m_view.viewport()->update(repaint.translated(m_mapping.origin));
}

bool CachedViewRendering::bringUpToDate(const QRect& exposed, const QRect& visible)
{
    if (!m_drawing)
        return true;
    QList<QPoint> missing, edited, elsewhere;
    qint64 editedPixels = 0;
    for (const QPoint& key : keysMeeting(visible)) {
        Tile& tile = m_tiles[key];
        if (tile.version == 0)
            tile.version = ++m_nextVersion;
        if (!tile.image.isNull() && tile.dirty.isEmpty())
            continue;
        // A tile outside the area being painted is drawn in the background even when small:
        // drawn now, it would not show until painted again.
        if (!tileRect(key).intersects(exposed)) {
            elsewhere.append(key);
        } else if (tile.image.isNull()) {
            missing.append(key);
        } else {
            edited.append(key);
            const QRect box = tile.dirty.boundingRect();
            editedPixels += qint64(box.width()) * box.height();
        }
    }
    // An edit of a small area (a drag step) is drawn now; a large one, or one among many objects
    // (a paste over a dense map, shown again around a progress window), in the background while
    // the tiles show what they had.
    const QSize port = m_view.viewport()->size();
    if (editedPixels <= qint64(port.width()) * port.height() / 4 && objectsInEditedAreas(edited) <= kImmediateObjects)
        repairTiles(edited);
    else
        missing += edited;
    readyTiles(missing + elsewhere);
    int objects = 0;
    for (const QPoint& key : missing)
        objects += m_prepared.value(key);
    if (objects <= kImmediateObjects) {
        drawTilesNow(missing);
        missing.clear();
    }
    // What waits was asked for by earlier paints, perhaps of tiles gone from view since; the
    // jobs of tiles still lacking stay, with what they drew.
    const QList<QPoint> background = missing + elsewhere;
    m_background->keepOnly(background);
    enqueue(background);
    return background.isEmpty();
}

void CachedViewRendering::readyTiles(const QList<QPoint>& keys)
{
    // Readied once per edit: a pan that outruns the background readies only the tiles coming in.
    QList<QPoint> unready;
    QRect area;
    for (const QPoint& key : keys) {
        if (!m_prepared.contains(key)) {
            unready.append(key);
            area |= tileRect(key);
        }
    }
    if (unready.isEmpty())
        return;
    // Tiles filling a block (a zoom's whole view, a strip) are readied in one pass, which meets
    // each object once; scattered ones one by one.
    const qint64 tileArea = qint64(kTileSide) * kTileSide;
    if (qint64(area.width()) * area.height() > 2 * tileArea * unready.size()) {
        for (const QPoint& key : unready)
            m_prepared.insert(key, readyDrawingRect(drawingRectOfContent(tileRect(key).adjusted(-1, -1, 1, 1))));
        return;
    }
    // The count only decides whether to draw now or in the background: shared out evenly.
    const int objects = readyDrawingRect(drawingRectOfContent(area.adjusted(-1, -1, 1, 1)));
    const int share = int((objects + unready.size() - 1) / unready.size());
    for (const QPoint& key : unready)
        m_prepared.insert(key, share);
}

int CachedViewRendering::readyDrawingRect(const QRectF& rect)
{
    const auto areaOf = [](const QRectF& r) { return r.width() * r.height(); };
    // Within what was readied since the last edit there, at any scale: nothing to do, and the
    // objects met are about as dense as there.
    if (m_readied.area.contains(rect))
        return int(std::ceil(m_readied.objects * areaOf(rect) / areaOf(m_readied.area)));
    const int objects = DrawingRenderer::prepareToDrawConcurrently(*m_drawing, rect);
    if (areaOf(rect) > 0 && areaOf(rect) >= areaOf(m_readied.area))
        m_readied = {rect, objects};
    return objects;
}

int CachedViewRendering::objectsInEditedAreas(const QList<QPoint>& keys)
{
    int objects = 0;
    for (const QPoint& key : keys) {
        const QRect edited = m_tiles[key].dirty.boundingRect().translated(tileOrigin(key));
        objects += readyDrawingRect(drawingRectOfContent(edited.adjusted(-1, -1, 1, 1)));
    }
    return objects;
}

void CachedViewRendering::repairTiles(const QList<QPoint>& keys)
{
    for (const QPoint& key : keys) {
        Tile& tile = m_tiles[key];
        drawTileArea(tile.image, {m_drawing, &m_view, m_mapping, key}, tile.dirty);
        tile.dirty = {};
    }
}

void CachedViewRendering::drawTilesNow(const QList<QPoint>& keys)
{
    std::vector<QImage> images(size_t(keys.size()));
    paintInParallel(keys.size(), [&](qsizetype i) {
        images[size_t(i)] = renderTile({m_drawing, &m_view, m_mapping, keys[i]});
    });
    for (qsizetype i = 0; i < keys.size(); ++i)
        m_tiles[keys[i]] = {std::move(images[size_t(i)]), {}, m_tiles[keys[i]].version};
}

void CachedViewRendering::enqueue(const QList<QPoint>& keys)
{
    for (const QPoint& key : keys) {
        const TileSource source{m_drawing, &m_view, m_mapping, key};
        m_background->enqueue(key, m_tiles[key].version, [source, progress = std::make_shared<TileProgress>()] {
            return renderTileInSteps(source, *progress);
        });
    }
}

void CachedViewRendering::takeFinishedTiles()
{
    for (BackgroundTileQueue::Finished& finished : m_background->takeFinished()) {
        const auto tile = m_tiles.find(finished.key);
        // A tile edited, or of a scale left, since the job was queued waits for its next job.
        if (tile == m_tiles.end() || tile->version != finished.version || finished.image.isNull())
            continue;
        tile->image = std::move(finished.image);
        tile->dirty = {};
        m_unshown += tileRect(finished.key);
    }
    showFinishedTiles();
}

void CachedViewRendering::showFinishedTiles()
{
    if (m_unshown.isEmpty())
        return;
    if (!m_background->isIdle()) {
        const qint64 gap = qint64(m_paintCost * (1 / kShowingShare - 1));
        if (const qint64 wait = gap - m_paintClock.elapsed(); m_paintClock.isValid() && wait > 0) {
            if (!m_showLater.isActive())
                m_showLater.start(int(wait));
            return;
        }
    }
    m_showLater.stop();
    m_view.viewport()->update(m_unshown.boundingRect().translated(m_mapping.origin));
    m_unshown = {};
}

void CachedViewRendering::dropTilesAwayFrom(const QRect& content)
{
    // Tiles within a view's size of what shows stay, for scrolling back.
    const QRect kept = content.adjusted(-content.width(), -content.height(), content.width(), content.height());
    if (m_tiles.size() <= 2 * keysMeeting(kept).size())
        return;
    m_tiles.removeIf([&](const auto& it) { return !tileRect(it.key()).intersects(kept); });
}

QPoint CachedViewRendering::paint(QPainter& painter, const QRect& exposed)
{
    m_paintClock.start();
    const Mapping mapping = mappingOfView();
    useMapping(mapping);
    takeFinishedTiles();
    const QRect content = exposed.translated(-mapping.origin);
    m_unshown -= content;
    const QRect visible = visibleContent(mapping);
    bringUpToDate(content, visible);
    QRegion missing;
    for (const QPoint& key : keysMeeting(content)) {
        const QRect target = tileRect(key).translated(mapping.origin);
        const QImage& image = m_tiles.value(key).image;
        if (image.isNull())
            missing += target & exposed;
        else
            painter.drawImage(target.topLeft(), image);
    }
    if (!missing.isEmpty())
        drawPreview(painter, missing);
    // Kept while any tile in view lacks its image, for the paints that show it meanwhile.
    if (!lacksImages(visible))
        m_preview.clear();
    dropTilesAwayFrom(visible);
    return mapping.origin;
}

void CachedViewRendering::paintEnded()
{
    m_paintCost = m_paintClock.restart();
}

void CachedViewRendering::drawPreview(QPainter& painter, const QRegion& missing) const
{
    painter.save();
    painter.setClipRegion(missing);
    painter.fillRect(missing.boundingRect(), m_mapping.backdrop);
    painter.translate(m_mapping.origin);
    painter.save();
    painter.scale(m_mapping.scale, m_mapping.scale);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_drawing)
        drawPaper(*m_drawing, painter);
    painter.restore();
    if (m_previewScale > 0) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const double factor = m_mapping.scale / m_previewScale;
        for (auto it = m_preview.cbegin(); it != m_preview.cend(); ++it) {
            const QRectF target(QPointF(tileOrigin(it.key())) * factor, QSizeF(kTileSide, kTileSide) * factor);
            painter.drawImage(target, it.value());
        }
    }
    painter.restore();
}

bool CachedViewRendering::isSettled() const
{
    const Mapping mapping = mappingOfView();
    if (mapping.scale != m_mapping.scale || !m_background->isIdle() || !m_unshown.isEmpty())
        return false;
    for (const QPoint& key : keysMeeting(visibleContent(mapping))) {
        const Tile tile = m_tiles.value(key);
        if (tile.image.isNull() || !tile.dirty.isEmpty())
            return false;
    }
    return true;
}

bool CachedViewRendering::lacksImages(const QRect& content) const
{
    const QList<QPoint> keys = keysMeeting(content);
    return std::any_of(keys.begin(), keys.end(), [this](QPoint key) { return m_tiles.value(key).image.isNull(); });
}

void CachedViewRendering::finishRendering()
{
    const Mapping mapping = mappingOfView();
    useMapping(mapping);
    const QRect content = visibleContent(mapping);
    takeFinishedTiles();
    // A few rounds at most: a tile whose drawing failed stays missing rather than hang the view.
    for (int round = 0; round < 4 && !bringUpToDate(content, content); ++round) {
        m_background->waitUntilIdle();
        takeFinishedTiles();
    }
    m_view.viewport()->update();
}

} // namespace platform
