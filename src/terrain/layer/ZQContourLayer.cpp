#include "terrain/layer/ZQContourLayer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "terrain/layer/BackgroundContours.h"
#include "terrain/layer/ContourComputation.h"
#include "terrain/layer/ContourUnits.h"
#include "terrain/panel/VXQContourLayerController.h"
#include "terrain/section/VXQContourCrossSection.h"

#include <QPainter>
#include <QScopeGuard>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString kCellSizeKey = QStringLiteral("ZQContourLayer_cellSize");
const QString kContourColourKey = QStringLiteral("ZQContourLayer_contourColour");
const QString kContourLineWidthKey = QStringLiteral("ZQContourLayer_contourLineWidth");
const QString kContourIntervalKey = QStringLiteral("ZQContourLayer_contourInterval");
const QString kHeightMapKey = QStringLiteral("ZQContourLayer_heightMap");
const QString kSimplifyKey = QStringLiteral("ZQContourLayer_simplify");
const QString kSmoothKey = QStringLiteral("ZQContourLayer_smooth");
const QString kUnitsKey = QStringLiteral("ZQContourLayer_units");
const QString kNegativeContourColourKey = QStringLiteral("ZQContourLayer_negativeContourColour");
const QString kCrossSectionIsVerticalKey = QStringLiteral("ZQContourLayer_crossSectionIsVertical");
const QString kCrossSectionRowKey = QStringLiteral("ZQContourLayer_crossSectionRow");

const QColor kDefaultContourColour = QColor::fromRgbF(0.6, 0.4, 0.2);
const QColor kDefaultNegativeContourColour = QColor::fromRgbF(0.26, 0.53, 0.6, 1.0);
constexpr double kDefaultInterval = 10.0;
constexpr double kDefaultLineWidth = 0.2;

bool isUsableInterval(double interval) { return interval > 0 && std::isfinite(interval); }

} // namespace

QString ZQContourLayer::heightGridProblem(const ZQMatrixArray& grid)
{
    if (grid.count() == 0 || grid.count() % grid.rowWidth() != 0)
        return tr("the heights do not fill whole rows");
    const QList<double> heights = grid.objects();
    // Sculpting stores heights in single precision.
    const auto unusable = std::find_if(heights.cbegin(), heights.cend(), [](double h) { return !std::isfinite(float(h)); });
    if (unusable == heights.cend())
        return {};
    const qsizetype at = unusable - heights.cbegin();
    const QString place = tr("row %1, column %2").arg(quint64(at) / grid.rowWidth() + 1).arg(quint64(at) % grid.rowWidth() + 1);
    if (!std::isfinite(*unusable))
        return tr("a height is not a finite number (%1)").arg(place);
    return tr("the height %1 (%2) is out of range: heights lie between %3 and %4")
        .arg(*unusable)
        .arg(place)
        .arg(-std::numeric_limits<float>::max())
        .arg(std::numeric_limits<float>::max());
}

ZQContourLayer::ZQContourLayer()
    : m_contourLineColour(kDefaultContourColour)
    , m_negativeContourColour(kDefaultNegativeContourColour)
    , m_units(ContourUnits::kMetres)
    , m_backgroundContours(std::make_unique<BackgroundContours>(
          // The background works on a copy of the heights: brush steps change the grid in place.
          [this] { return std::pair(m_contoursGeneration, fullContourRequest(frozenHeightMap())); },
          [this](quint64 generation, const ContourResult& result) {
              if (result.cancelled)
                  return;
              // An older result still shows more of the heights than what is drawn; the
              // heights of now follow it.
              const bool current = generation == m_contoursGeneration;
              storeContours(result);
              m_contoursStale = !current;
              setNeedsDisplay();
              if (!current)
                  startBackgroundContours();
          }))
{
    setKernelSize(kDefaultKernelSize);
}

ZQContourLayer::~ZQContourLayer()
{
    if (m_crossSection)
        m_crossSection->setContainer(nullptr);
}

QStringList ZQContourLayer::observableKeys()
{
    return {QStringLiteral("contourInterval"),  QStringLiteral("baseHeight"),
            QStringLiteral("simplifiesContours"), QStringLiteral("smoothsContours"),
            QStringLiteral("contourColour"),     QStringLiteral("negativeContourColour"),
            QStringLiteral("heightMap"),         QStringLiteral("contourLineWidth"),
            QStringLiteral("units"),             QStringLiteral("showsCrossSection"),
            QStringLiteral("crossSectionIsVertical")};
}

QRectF ZQContourLayer::interior() const
{
    const VXDrawing* owner = VXLayer::drawing();
    return owner ? owner->interior() : QRectF();
}

void ZQContourLayer::registerUndo(std::function<void(ZQContourLayer&)> inverse, const QString& actionName)
{
    ZQUndoManager* undo = undoManager();
    if (!undo)
        return;
    const std::shared_ptr<ZQObject> keeper = weak_from_this().lock();
    undo->registerUndoWithTargetHandler(this, [this, keeper, inverse = std::move(inverse)] { inverse(*this); });
    if (!undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(actionName);
}

// --- Settings --------------------------------------------------------------------------------------

double ZQContourLayer::unitFactor() const { return ContourUnits::factorForUnits(m_units); }

double ZQContourLayer::contourInterval() const { return m_contourInterval * unitFactor(); }

void ZQContourLayer::setContourInterval(double interval)
{
    const double stored = interval / unitFactor();
    if (!isUsableInterval(stored) || stored == m_contourInterval)
        return;
    registerUndo([previous = contourInterval()](ZQContourLayer& layer) { layer.setContourInterval(previous); },
                 tr("Contour Interval"));
    announceChangeForKeys({QStringLiteral("contourInterval"), QStringLiteral("baseHeight")},
                          [&] {
                              m_contourInterval = stored;
                              m_levelsCache.reset();
                          });
    clearCache();
    setNeedsDisplay();
}

void ZQContourLayer::setHeightMap(const std::shared_ptr<ZQMatrixArray>& grid)
{
    if (grid == m_heightData)
        return;
    registerUndo([previous = frozenHeightMap()](ZQContourLayer& layer) { layer.setHeightMap(previous); },
                 tr("Change Contour Map"));
    announceChangeForKeys({QStringLiteral("heightMap"), QStringLiteral("baseHeight")}, [&] {
        m_heightData = grid;
        heightsDidChange();
    });
    clearCache();
    clampCrossSectionRow();
    initCrossSection();
    setNeedsDisplay();
}

std::shared_ptr<ZQMatrixArray> ZQContourLayer::frozenHeightMap() const
{
    return m_heightData ? std::static_pointer_cast<ZQMatrixArray>(m_heightData->copy()) : nullptr;
}

void ZQContourLayer::setContourColour(const QColor& colour)
{
    if (colour == m_contourLineColour)
        return;
    registerUndo([previous = m_contourLineColour](ZQContourLayer& layer) { layer.setContourColour(previous); },
                 tr("Contour Colour"));
    announceChangeForKey(QStringLiteral("contourColour"), [&] { m_contourLineColour = colour; });
    setNeedsDisplay();
}

void ZQContourLayer::setNegativeContourColour(const QColor& colour)
{
    if (colour == m_negativeContourColour)
        return;
    registerUndo([previous = m_negativeContourColour](
                     ZQContourLayer& layer) { layer.setNegativeContourColour(previous); },
                 tr("Contour Negative Colour"));
    announceChangeForKey(QStringLiteral("negativeContourColour"), [&] { m_negativeContourColour = colour; });
    if (minHeight() < 0)
        setNeedsDisplay();
}

void ZQContourLayer::setContourLineWidth(double width)
{
    if (!(width >= 0) || !std::isfinite(width) || width == m_contourLineWidth)
        return;
    registerUndo([previous = m_contourLineWidth](ZQContourLayer& layer) { layer.setContourLineWidth(previous); },
                 tr("Contour Line Width"));
    announceChangeForKey(QStringLiteral("contourLineWidth"), [&] { m_contourLineWidth = width; });
    setNeedsDisplay();
}

double ZQContourLayer::baseHeight() const { return minHeight() * unitFactor(); }

void ZQContourLayer::setBaseHeight(double baseHeight)
{
    const ContourLevels levels = contourLevels();
    if (!m_heightData || levels.count == 0 || !std::isfinite(baseHeight))
        return;
    const double shift = baseHeight / unitFactor() - levels.lowest;
    // Heights must stay numbers that single precision holds.
    if (shift == 0 || !std::isfinite(shift) || std::abs(baseHeight / unitFactor()) > 1e7)
        return;
    registerUndo([previous = this->baseHeight()](ZQContourLayer& layer) { layer.setBaseHeight(previous); },
                 tr("Contour Base Height"));
    announceChangeForKey(QStringLiteral("baseHeight"), [&] {
        QList<double> heights = m_heightData->objects();
        for (double& height : heights)
            height = float(height + shift);
        m_heightData->setObjectsFromArray(heights);
        heightsDidChange();
    });
    clearCache();
    initCrossSection();
    setNeedsDisplay();
}

bool ZQContourLayer::simplifiesContours() const { return m_simplifiesContours; }

void ZQContourLayer::setSimplifiesContours(bool simplifies)
{
    if (simplifies == simplifiesContours())
        return;
    registerUndo([previous = !simplifies](ZQContourLayer& layer) { layer.setSimplifiesContours(previous); },
                 tr("Simplify Contours"));
    announceChangeForKey(QStringLiteral("simplifiesContours"), [&] { m_simplifiesContours = simplifies; });
    clearCache();
    setNeedsDisplay();
}

bool ZQContourLayer::smoothsContours() const { return m_smoothing > 0; }

void ZQContourLayer::setSmoothsContours(bool smooths)
{
    if (smooths == smoothsContours())
        return;
    registerUndo([previous = !smooths](ZQContourLayer& layer) { layer.setSmoothsContours(previous); },
                 tr("Smooth Contours"));
    announceChangeForKey(QStringLiteral("smoothsContours"), [&] { m_smoothing = smooths ? 1.0 : 0.0; });
    clearCache();
    setNeedsDisplay();
}

void ZQContourLayer::setUnits(const QString& units)
{
    if (units == m_units)
        return;
    registerUndo([previous = m_units](ZQContourLayer& layer) { layer.setUnits(previous); }, tr("Contour Units"));
    // What the interval and base height show depends on the unit.
    announceChangeForKeys({QStringLiteral("units"), QStringLiteral("contourInterval"), QStringLiteral("baseHeight")},
                          [&] { m_units = units; });
}

void ZQContourLayer::setCellSize(double cellSize)
{
    if (!(cellSize > 0) || !std::isfinite(cellSize) || cellSize == m_cellSize)
        return;
    m_cellSize = cellSize;
    setKernelPathForKernelSize(m_kernelSize);
    clearCache();
    setNeedsDisplay();
}

void ZQContourLayer::setKernelSize(quint64 size)
{
    if (size % 2 == 0 || size == m_kernelSize || size > ZQKernel::kMaximumKernelSize)
        return;
    m_kernelSize = size;
    setKernelPathForKernelSize(size);
    m_kernel = ZQKernel::gaussianKernelWithKernelSize(size)->kernelByMultiplyingBy(m_terrainAdjustment);
}

void ZQContourLayer::setTerrainHeightForLevelMode(double height)
{
    if (std::isfinite(height) && std::abs(height) <= 1e7)
        m_terrainHeightForLevelMode = height;
}

// --- Levels and contours ---------------------------------------------------------------------------

ContourLevels ZQContourLayer::contourLevels() const
{
    if (!m_levelsCache) {
        if (!m_heightRange)
            m_heightRange = ContourLevels::heightRangeOfGrid(m_heightData.get());
        m_levelsCache = ContourLevels::forHeightsAtInterval(m_heightRange->first, m_heightRange->second,
                                                            m_contourInterval);
    }
    return *m_levelsCache;
}

void ZQContourLayer::heightsDidChange()
{
    m_heightRange.reset();
    m_levelsCache.reset();
}

void ZQContourLayer::getMaxHeightMinHeight(double* maximum, double* minimum) const
{
    const ContourLevels levels = contourLevels();
    if (maximum)
        *maximum = levels.highest;
    if (minimum)
        *minimum = levels.lowest;
}

void ZQContourLayer::clearCache()
{
    m_contoursStale = true;
    ++m_contoursGeneration;
    heightsDidChange();
}

QList<double> ZQContourLayer::levelList() const
{
    const ContourLevels levels = contourLevels();
    QList<double> list;
    list.reserve(qsizetype(levels.count));
    for (quint64 i = 0; i < levels.count; ++i)
        list.append(levels.level(i));
    return list;
}

ContourRequest ZQContourLayer::contourRequest(std::shared_ptr<const ZQMatrixArray> grid, const QList<double>& levels) const
{
    return {std::move(grid), levels, m_cellSize, gridOrigin(), m_simplifiesContours, m_smoothing};
}

ContourRequest ZQContourLayer::fullContourRequest(std::shared_ptr<const ZQMatrixArray> grid) const
{
    ContourRequest request = contourRequest(std::move(grid), levelList());
    request.keepsSegments = true;
    return request;
}

void ZQContourLayer::storeContours(const ContourResult& result)
{
    m_contoursCache.emplace(result);
    m_contoursStale = false;
}

void ZQContourLayer::recalculateContours()
{
    // Read in place: nothing changes the grid while this runs.
    storeContours(ContourComputation::compute(fullContourRequest(m_heightData)));
}

const QList<QPainterPath>& ZQContourLayer::contourPaths() const
{
    if (!contoursAreCurrent())
        const_cast<ZQContourLayer*>(this)->recalculateContours();
    return m_contoursCache->paths();
}

QString ZQContourLayer::contourProblem() const { return m_contoursCache ? m_contoursCache->problem() : QString(); }

void ZQContourLayer::startBackgroundContours()
{
    if (!contoursAreCurrent())
        m_backgroundContours->request();
}

void ZQContourLayer::finishBackgroundContours() { m_backgroundContours->finish(); }

void ZQContourLayer::updateContours(QObject*)
{
    clearCache();
    setNeedsDisplay();
}

qint64 ZQContourLayer::maxX() const { return m_heightData ? qint64(m_heightData->columns()) - 1 : -1; }

qint64 ZQContourLayer::maxY() const
{
    // Only full rows are plotted.
    return m_heightData ? qint64(m_heightData->count() / m_heightData->rowWidth()) - 1 : -1;
}

double ZQContourLayer::heightForXY(qint64 x, qint64 y) const
{
    return containsIndex({x, y}) ? m_heightData->objectAtRowColumn(quint64(y), quint64(x)) : 0.0;
}

QPointF ZQContourLayer::coordinateForXY(qint64 x, qint64 y) const
{
    return gridOrigin() + QPointF(double(x) * m_cellSize, double(y) * m_cellSize);
}

// --- Grid geometry -----------------------------------------------------------------------------------

bool ZQContourLayer::containsIndex(Index index) const
{
    return m_heightData && index.x >= 0 && index.y >= 0 && index.x <= maxX() && index.y <= maxY();
}

ZQContourLayer::Index ZQContourLayer::indexForPoint(QPointF point) const
{
    const QRectF area = interior();
    if (!area.contains(point))
        return ZQMatrixArray::kNotFoundIndex;
    const Index index{qint64(std::floor((point.x() - area.left()) / m_cellSize)),
                      qint64(std::floor((point.y() - area.top()) / m_cellSize))};
    return containsIndex(index) ? index : ZQMatrixArray::kNotFoundIndex;
}

double ZQContourLayer::spotHeight(QPointF point) const
{
    const Index index = indexForPoint(point);
    return containsIndex(index) ? heightForXY(index.x, index.y) : 0.0;
}

void ZQContourLayer::fillHeightDataWithCount(double value, quint64 count)
{
    if (!m_heightData)
        m_heightData = std::make_shared<ZQMatrixArray>();
    m_heightData->setObjectsFromArray(QList<double>(qsizetype(count), double(float(value))));
    clearCache();
}

QColor ZQContourLayer::colourForHeight(double height) const
{
    const double red = height / (double(countOfContours()) * 3.1123);
    return QColor::fromRgbF(float(std::clamp(red, 0.0, 1.0)), 0.7f, float(std::clamp(0.8 * red, 0.0, 1.0)),
                            float(std::clamp(0.5 * red, 0.0, 1.0)));
}

QString ZQContourLayer::heightDataAsTabDelimitedString() const
{
    return m_heightData ? m_heightData->dataAsTabDelimitedString().value_or(QString()) : QString();
}

void ZQContourLayer::makeNewGrid()
{
    const QRectF area = interior();
    const auto countAt = [&](double cell) {
        return (std::floor(area.width() / cell) + 2) * (std::floor(area.height() / cell) + 2);
    };
    // A tiny cell size would make a grid of millions of points: widen it until the grid fits.
    if (!(countAt(m_cellSize) <= double(kMaximumGridCount))) {
        m_cellSize = std::max(std::sqrt(area.width() * area.height() / double(kMaximumGridCount)), 1e-3);
        while (countAt(m_cellSize) > double(kMaximumGridCount))
            m_cellSize *= 1.01;
    }
    const quint64 columns = quint64(std::floor(area.width() / m_cellSize)) + 2;
    const quint64 rows = quint64(std::floor(area.height() / m_cellSize)) + 2;
    m_heightData = ZQMatrixArray::makeWithRowWidth(columns);
    fillHeightDataWithCount(kNewHeight, columns * rows);
    m_crossSectionRow = rows / 2;
    m_terrainHeightForLevelMode = kNewHeight;
    LogEvent(kReactiveEvent, QStringLiteral("set up contour layer, height data = %1 rows, %2 columns")
                                 .arg(rows)
                                 .arg(columns));
}

qint64 ZQContourLayer::gridLinesOnDrawing(bool columns) const
{
    const qint64 inGrid = (columns ? maxX() : maxY()) + 1;
    const QRectF area = interior();
    if (area.isEmpty() || !(m_cellSize > 0))
        return inGrid;
    // As many lines as a grid made for the interior has: an imported grid may reach far past it.
    const double across = columns ? area.width() : area.height();
    return std::min(inGrid, qint64(std::floor(across / m_cellSize)) + 2);
}

// A section beyond the drawing could never be seen or dragged back.
qint64 ZQContourLayer::sectionLinesOnDrawing() const { return gridLinesOnDrawing(m_crossSectionIsVertical); }

void ZQContourLayer::clampCrossSectionRow()
{
    if (!m_heightData)
        return;
    const qint64 last = sectionLinesOnDrawing() - 1;
    m_crossSectionRow = quint64(std::clamp<qint64>(qint64(m_crossSectionRow), 0, std::max<qint64>(last, 0)));
}

// --- VXLayer -----------------------------------------------------------------------------------------

void ZQContourLayer::wasAddedToDrawing(VXDrawing*)
{
    if (!m_heightData)
        makeNewGrid();
    clampCrossSectionRow();
    initCrossSection();
}

void ZQContourLayer::layerDidBecomeActiveLayer()
{
    redrawCrossSection();
    VXQContourLayerController* panel = VXQContourLayerController::sharedContourLayerController();
    panel->setContourLayer(this);
    panel->showWindow();
}

void ZQContourLayer::layerDidResignActiveLayer()
{
    redrawCrossSection();
    VXQContourLayerController* panel = VXQContourLayerController::sharedContourLayerController();
    if (panel->contourLayer() == this) {
        panel->setContourLayer(nullptr);
        panel->hideWindow();
    }
}

QIcon ZQContourLayer::icon() const
{
    return QIcon(QStringLiteral(":/bundle/images/VL_Layer_Contour-Template.svg"));
}

int ZQContourLayer::prepareToDrawRect(const QRectF&) const
{
    const_cast<ZQContourLayer*>(this)->startBackgroundContours();
    return 0;
}

// Views show the last contours computed while newer ones are made in the background; output
// waits for the contours of now.
void ZQContourLayer::drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    if (!view)
        contourPaths();
    else if (!contoursAreCurrent()) {
        auto* layer = const_cast<ZQContourLayer*>(this);
        platform::RunLoop::runOnMainThread([layer] { layer->startBackgroundContours(); }, layer);
    }
    const ContourLevels levels = contourLevels();
    QPainter& painter = *context->painter();
    painter.save();
    const auto restore = qScopeGuard([&] { painter.restore(); });
    painter.setClipRect(interior(), Qt::IntersectClip);
    painter.setBrush(Qt::NoBrush);
    const double lw = m_contourLineWidth;
    const QRectF reach = rect.adjusted(-lw, -lw, lw, lw);
    static const ContourCache kNone{ContourResult{}};
    const ContourCache& cache = m_contoursCache ? *m_contoursCache : kNone;
    for (qsizetype i = 0; i < cache.levelCount() && quint64(i) < levels.count; ++i) {
        const double level = levels.level(quint64(i));
        const QColor colour =
            level <= 0 && m_negativeContourColour.isValid() ? m_negativeContourColour : m_contourLineColour;
        const bool highlighted = std::fmod(float(level), float(kHighlightedContourInterval)) == 0;
        QPen pen(colour, highlighted ? 2 * lw : lw);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        // Only the strands that reach the area are stroked: a brush step redraws a small one.
        for (const ContourCache::Strand& strand : cache.strandsOfLevel(i))
            if (strand.bounds.intersects(reach))
                painter.drawPath(strand.path);
    }
    if (const QString problem = cache.problem(); view && !problem.isEmpty())
        drawContourProblem(painter, problem);
    if (!isActive())
        return;
    if (m_showsCrossSection && view && crossSectionBounds().intersects(rect))
        drawCrossSection();
    if (m_inMouseDrag && !m_kernelPath.isEmpty() && m_partHit != -1) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kernelPathColourForMode(m_activeTerrainMode));
        painter.drawPath(m_kernelPath.painterPath());
    }
}

// In the middle of the interior, in drawing units, as a note laid on the map.
void ZQContourLayer::drawContourProblem(QPainter& painter, const QString& problem) const
{
    const QRectF area = interior();
    const double width = std::min(area.width() * 0.8, 320.0);
    QFont font = painter.font();
    font.setPointSizeF(std::max(width / 28, 1.0));
    painter.setFont(font);
    const QRectF room(area.center().x() - width / 2, area.center().y() - width, width, 2 * width);
    const QRectF text = painter.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, problem);
    const double margin = font.pointSizeF() * 0.6;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawRoundedRect(text.adjusted(-margin, -margin, margin, margin), margin, margin);
    painter.setPen(QColor(150, 30, 20));
    painter.drawText(text, Qt::AlignCenter | Qt::TextWordWrap, problem);
}

std::unique_ptr<platform::Menu> ZQContourLayer::menuForEventInView(QPointF point, VXDrawingView* view)
{
    std::unique_ptr<platform::Menu> menu = VXLayer::menuForEventInView(point, view);
    if (!menu)
        menu = std::make_unique<platform::Menu>();
    const auto addItem = [&](const QString& title, const QByteArray& action) {
        menu->addItemWithTitleActionKeyEquivalent(title, action)->setTarget(this);
    };
    addItem(tr("Export Height Map..."), "saveHeightMap");
    addItem(tr("Import Height Map..."), "openHeightMap");
    menu->addSeparator();
    addItem(m_showsCrossSection ? tr("Hide Section") : tr("Show Section"), "toggleCrossSection");
    addItem(tr("Update Contours"), "updateContours");
    return menu;
}

bool ZQContourLayer::validateMenuItem(platform::MenuItem* item)
{
    if (item->action() == "toggleCrossSection") {
        item->setTitle(m_showsCrossSection ? tr("Hide Section") : tr("Show Section"));
        return true;
    }
    return respondsToSelector(item->action());
}

void ZQContourLayer::objectDidChangeBoundsFrom(VXDrawableObject* object, const QRectF& oldBounds)
{
    VXLayer::setNeedsDisplayInRect(oldBounds);
    if (object)
        VXLayer::setNeedsDisplayInRect(object->bounds());
}

// --- Archive -----------------------------------------------------------------------------------------

void ZQContourLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXLayer::encodeWithCoder(coder);
    coder.encodeDouble(m_cellSize, kCellSizeKey);
    coder.encodeColor(m_contourLineColour, kContourColourKey);
    coder.encodeDouble(m_contourLineWidth, kContourLineWidthKey);
    coder.encodeDouble(contourInterval(), kContourIntervalKey);
    coder.encodeObject(m_heightData.get(), kHeightMapKey);
    coder.encodeBool(simplifiesContours(), kSimplifyKey);
    coder.encodeBool(smoothsContours(), kSmoothKey);
    coder.encodeString(m_units, kUnitsKey);
    if (m_negativeContourColour.isValid())
        coder.encodeColor(m_negativeContourColour, kNegativeContourColourKey);
    coder.encodeBool(m_crossSectionIsVertical, kCrossSectionIsVerticalKey);
    coder.encodeInt(qint64(m_crossSectionRow), kCrossSectionRowKey);
}

void ZQContourLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXLayer::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    clearCache();
    const double cellSize = reader.real(kCellSizeKey, kArchivedCellSizeFallback);
    m_cellSize = cellSize > 0 ? cellSize : kArchivedCellSizeFallback;
    m_terrainAdjustment = kTerrainAdjustment;
    m_kernelSize = 0;
    setKernelSize(kDefaultKernelSize);
    m_contourLineColour = reader.colour(kContourColourKey, kDefaultContourColour);
    const double width = reader.real(kContourLineWidthKey, kDefaultLineWidth);
    m_contourLineWidth = width >= 0 ? width : kDefaultLineWidth;
    m_units = reader.string(kUnitsKey, ContourUnits::kMetres);
    if (m_units.isEmpty())
        m_units = ContourUnits::kMetres;
    m_negativeContourColour = reader.colour(kNegativeContourColourKey, QColor());
    const double interval = reader.real(kContourIntervalKey, kDefaultInterval) / unitFactor();
    m_contourInterval = isUsableInterval(interval) ? interval : kDefaultInterval;
    const std::shared_ptr<ZQMatrixArray> grid = reader.object<ZQMatrixArray>(kHeightMapKey);
    if (grid && heightGridProblem(*grid).isEmpty())
        m_heightData = grid;
    else if (grid)
        ZQLogObjCMethod(QStringLiteral("a height grid of %1 values in rows of %2 that is not full or holds no "
                                       "number was left out")
                            .arg(grid->count())
                            .arg(grid->rowWidth()));
    m_showsCrossSection = true;
    // Maps saved before the section's place was kept show it across the middle row.
    m_crossSectionIsVertical = reader.boolean(kCrossSectionIsVerticalKey, false);
    const quint64 across = m_heightData ? (m_crossSectionIsVertical ? m_heightData->columns() : m_heightData->rows()) : 0;
    m_crossSectionRow = quint64(reader.integer(kCrossSectionRowKey, qint64(across / 2), 0, std::max<qint64>(qint64(across) - 1, 0)));
    m_simplifiesContours = reader.boolean(kSimplifyKey, false);
    m_smoothing = reader.boolean(kSmoothKey, true) ? 1.0 : 0.0;
    m_terrainHeightForLevelMode = 0;
}
