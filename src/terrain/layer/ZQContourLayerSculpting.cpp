// The terrain layer's mouse: brush steps, the cross section and the height readout.

#include "terrain/layer/ZQContourLayer.h"

#include "platform/foundation/UndoSuspension.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXLayerMouseEvent.h"
#include "terrain/layer/ContourComputation.h"
#include "terrain/layer/ContourUnits.h"
#include "terrain/section/ProfileSampling.h"
#include "terrain/section/VXQContourCrossSection.h"

#include <cmath>

namespace {

constexpr double kCutValleyStrength = 4.0;
constexpr quint64 kCutValleyKernelSize = 3;
// How far the drawn profile stands off its grid line, and drawing units per metre.
constexpr double kProfileOffset = 10.0;
constexpr double kProfileScale = 0.5;
// The redrawn area reaches this share of a brush's rectangle beyond it on every side.
constexpr double kRedrawMargin = 0.7;

int effectiveMode(int mode) { return mode >= ZQContourLayer::RaiseMode && mode <= ZQContourLayer::CrossSectionEditMode ? mode : ZQContourLayer::RaiseMode; }

QRectF grownBy(const QRectF& rect, double share)
{
    const double dx = rect.width() * share, dy = rect.height() * share;
    return rect.adjusted(-dx, -dy, dx, dy);
}

// Room for the section's stroke and knobs around its bounds.
QRectF sectionRedrawRect(const QRectF& bounds) { return bounds.adjusted(-8, -8, 8, 8); }

} // namespace

// --- Brush ------------------------------------------------------------------------------------------

QColor ZQContourLayer::kernelPathColourForMode(int mode)
{
    static const QColor colours[] = {QColor::fromRgbF(1, 0, 0, 0.1), QColor::fromRgbF(0, 0, 1, 0.1),
                                     QColor::fromRgbF(0.5, 0, 0.5, 0.1), QColor::fromRgbF(0.6, 0.4, 0.2, 0.1),
                                     QColor::fromRgbF(0, 1, 0, 0.1)};
    return colours[effectiveMode(mode)];
}

QString ZQContourLayer::undoActionNameForMode(int mode)
{
    switch (effectiveMode(mode)) {
    case LowerMode: return tr("Lower Terrain");
    case LevelMode: return tr("Level Terrain");
    case CutValleyMode: return tr("Cut Valley");
    case CrossSectionEditMode: return tr("Edit Contours");
    default: return tr("Raise Terrain");
    }
}

void ZQContourLayer::setKernelPathForKernelSize(quint64 size)
{
    const double side = double(size) * m_cellSize;
    m_kernelPath = platform::BezierPath::bezierPathWithOvalInRect({0, 0, side, side});
}

void ZQContourLayer::setKernelPathToPoint(QPointF point)
{
    VXLayer::setNeedsDisplayInRect(m_kernelPath.bounds());
    const QPointF shift = point - m_kernelPath.bounds().center();
    m_kernelPath.transformUsingAffineTransform(QTransform::fromTranslate(shift.x(), shift.y()));
    VXLayer::setNeedsDisplayInRect(m_kernelPath.bounds());
}

QRectF ZQContourLayer::rectAffectedByKernelAtIndex(Index index) const
{
    const double side = double(m_kernelSize) * m_cellSize;
    const double back = double(m_kernelSize / 2) * m_cellSize;
    const QPointF origin = coordinateForXY(index.x, index.y) - QPointF(back, back);
    return QRectF(origin, QSizeF(side, side)).intersected(interior());
}

QRect ZQContourLayer::cellsTouchedByKernelAtIndex(Index index, quint64 kernelSize) const
{
    // The cells a changed point is a corner of reach one point further.
    const int reach = int(kernelSize / 2) + 1;
    return QRect(int(index.x) - reach, int(index.y) - reach, 2 * reach + 1, 2 * reach + 1);
}

std::pair<double, double> ZQContourLayer::heightRangeOfCells(const QRect& cells) const
{
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    const int right = int(std::min<qint64>(cells.right(), maxX())), bottom = int(std::min<qint64>(cells.bottom(), maxY()));
    for (int y = std::max(cells.top(), 0); y <= bottom; ++y)
        for (int x = std::max(cells.left(), 0); x <= right; ++x) {
            const double h = m_heightData->objectAtRowColumn(quint64(y), quint64(x));
            lowest = std::min(lowest, h);
            highest = std::max(highest, h);
        }
    return {lowest, highest};
}

bool ZQContourLayer::modelTerrainAtIndexWithMode(Index index, int mode)
{
    if (!containsIndex(index))
        return false;
    mode = effectiveMode(mode);
    std::shared_ptr<ZQKernel> kernel = m_kernel;
    if (mode == CutValleyMode) {
        kernel = ZQKernel::gaussianKernelWithKernelSize(kCutValleyKernelSize)->kernelByMultiplyingBy(kCutValleyStrength);
        setKernelPathForKernelSize(kCutValleyKernelSize);
    }
    const QRect cells = cellsTouchedByKernelAtIndex(index, kernel->kernelSize());
    const auto [lowestBefore, highestBefore] = heightRangeOfCells(cells);
    const ContourLevels levelsBefore = contourLevels();
    if (mode == LevelMode)
        setTerrainAtIndexToHeightWithKernel(index, m_terrainHeightForLevelMode, kernel.get());
    else
        m_heightData->offsetInPlaceWithKernelAtIndexWithSign(*kernel, index, mode == LowerMode || mode == CutValleyMode);
    updateHeightRangeAfterStep({lowestBefore, highestBefore}, heightRangeOfCells(cells));
    if (m_showsCrossSection)
        initCrossSection();
    recalculateContoursAfterStep(cells, lowestBefore, highestBefore, levelsBefore);
    VXLayer::setNeedsDisplayInRect(grownBy(rectAffectedByKernelAtIndex(index), kRedrawMargin));
    return true;
}

void ZQContourLayer::setTerrainAtIndexToHeightWithKernel(Index index, double height, const ZQKernel* kernel)
{
    if (!containsIndex(index) || !std::isfinite(height))
        return;
    heightsDidChange();
    if (!kernel) {
        m_heightData->replaceObjectAtIndexWithObject(index, float(height));
        return;
    }
    const double current = heightForXY(index.x, index.y);
    const double factor = (height - current) / kernel->centreValue();
    if (std::isfinite(factor))
        m_heightData->offsetInPlaceWithKernelAtIndex(*kernel->kernelByMultiplyingBy(factor), index);
}

void ZQContourLayer::updateHeightRangeAfterStep(std::pair<double, double> touchedBefore,
                                                std::pair<double, double> touchedAfter)
{
    m_levelsCache.reset();
    if (!m_heightRange)
        return;
    auto& [lowest, highest] = *m_heightRange;
    if (touchedBefore.first > lowest && touchedBefore.second < highest) {
        lowest = std::min<double>(lowest, float(touchedAfter.first));
        highest = std::max<double>(highest, float(touchedAfter.second));
    } else {
        m_heightRange.reset();
    }
}

void ZQContourLayer::recalculateContoursAfterStep(const QRect& cells, double lowestBefore, double highestBefore,
                                                  const ContourLevels& levelsBefore)
{
    const ContourLevels levels = contourLevels();
    // New levels change the whole map: the background takes it from here.
    if (!contoursAreCurrent() || m_contoursCache->isExhausted() || !(levels == levelsBefore)) {
        clearCache();
        setNeedsDisplay();
        return;
    }
    // Only the levels within the heights the touched cells had before or have now can have moved.
    const auto [lowestAfter, highestAfter] = heightRangeOfCells(cells);
    const double lowest = std::min(lowestBefore, lowestAfter), highest = std::max(highestBefore, highestAfter);
    QList<double> changed;
    QList<qsizetype> positions;
    for (quint64 i = 0; i < levels.count; ++i) {
        if (const double level = levels.level(i); level >= lowest && level <= highest) {
            changed.append(level);
            positions.append(qsizetype(i));
        }
    }
    // Read in place: nothing changes the grid while this runs.
    const ContourRequest request = contourRequest(m_heightData, changed);
    ContourSegments& kept = m_contoursCache->segments();
    std::optional<ContourResult> fromKept;
    if (kept.levelCount() == qsizetype(levels.count))
        fromKept = ContourComputation::recomputeRows(request, positions, cells.top(), cells.bottom(), kept);
    // Levels replaced from scratch leave the segments kept behind.
    if (!fromKept)
        m_contoursCache->forgetSegments();
    const ContourResult result = fromKept ? std::move(*fromKept) : ContourComputation::compute(request);
    if (result.exhausted) {
        clearCache();
        setNeedsDisplay();
        return;
    }
    for (qsizetype j = 0; j < positions.size(); ++j)
        m_contoursCache->replaceLevel(positions[j], result.paths[j], result.strands[j], result.leftOut.contains(j));
}

void ZQContourLayer::recordHeightDataForUndo() { m_frozenHeightDataForUndo = frozenHeightMap(); }

void ZQContourLayer::updateHeightInfoAtPoint(QPointF point)
{
    const QString text = QStringLiteral("h: %1 %2")
                             .arg(QString::number(spotHeight(point) * unitFactor(), 'f', 2),
                                  ContourUnits::abbreviationForUnits(m_units));
    showInfoWindowWithStringAtPoint(text, point);
}

// --- Cross section ------------------------------------------------------------------------------------

void ZQContourLayer::setShowsCrossSection(bool shows)
{
    if (shows == m_showsCrossSection)
        return;
    redrawCrossSection();
    announceChangeForKey(QStringLiteral("showsCrossSection"), [&] { m_showsCrossSection = shows; });
    if (shows)
        initCrossSection();
    redrawCrossSection();
}

void ZQContourLayer::setCrossSectionIsVertical(bool vertical)
{
    if (vertical == m_crossSectionIsVertical)
        return;
    redrawCrossSection();
    announceChangeForKey(QStringLiteral("crossSectionIsVertical"), [&] { m_crossSectionIsVertical = vertical; });
    m_crossSectionRow = m_heightData ? quint64(sectionLinesOnDrawing() / 2) : 0;
    initCrossSection();
    redrawCrossSection();
}

void ZQContourLayer::setCrossSectionRow(quint64 row)
{
    if (row == m_crossSectionRow)
        return;
    redrawCrossSection();
    m_crossSectionRow = row;
    clampCrossSectionRow();
    initCrossSection();
    redrawCrossSection();
}

void ZQContourLayer::toggleCrossSection(QObject*) { setShowsCrossSection(!m_showsCrossSection); }

void ZQContourLayer::redrawCrossSection() const
{
    if (m_crossSection)
        VXLayer::setNeedsDisplayInRect(sectionRedrawRect(crossSectionBounds()));
}

QRectF ZQContourLayer::crossSectionBounds() const { return m_crossSection ? m_crossSection->bounds() : QRectF(); }

bool ZQContourLayer::isSelectedObject(const VXDrawableObject* object) const
{
    return object && object == m_crossSection.get() && m_crossSectionSelected;
}

void ZQContourLayer::initCrossSection()
{
    if (!m_crossSection) {
        m_crossSection = std::make_shared<VXQContourCrossSection>();
        m_crossSection->setStyle(VXQContourCrossSection::sectionStyle());
        m_crossSection->setContainer(this);
    }
    const QRectF area = interior();
    const double base = minHeight();
    const double inset = m_cellSize * double(0.1f);
    platform::BezierPath profile;
    if (m_heightData && maxX() >= 0 && maxY() >= 0) {
        clampCrossSectionRow();
        const qint64 line = qint64(m_crossSectionRow);
        // Only the points on the drawing, and no more than a screen shows along the section. The
        // grid may reach past the interior's far edge: the section closes beyond its last point,
        // never back over it (the drawing clips it to the interior).
        const qint64 along = gridLinesOnDrawing(!m_crossSectionIsVertical);
        const QList<qint64> points = profilesampling::sampledIndices(along, [&](qint64 i) {
            return m_crossSectionIsVertical ? heightForXY(line, i) : heightForXY(i, line);
        });
        if (m_crossSectionIsVertical) {
            const double cx = coordinateForXY(line, 0).x(), x0 = cx + kProfileOffset;
            const double lastY = coordinateForXY(line, along - 1).y() + inset, bottom = std::max(area.bottom(), lastY);
            profile.moveToPoint({cx, bottom});
            profile.lineToPoint({cx, area.top()});
            profile.lineToPoint({x0, area.top()});
            double offset = 0;
            for (const qint64 r : points) {
                offset = (heightForXY(line, r) - base) * kProfileScale;
                profile.lineToPoint({x0 + offset, coordinateForXY(line, r).y() + inset});
            }
            if (bottom > lastY)
                profile.lineToPoint({x0 + offset, bottom});
        } else {
            const double cy = coordinateForXY(0, line).y(), y0 = cy - kProfileOffset;
            const double lastX = coordinateForXY(along - 1, line).x() + inset, right = std::max(area.right(), lastX);
            profile.moveToPoint({right, cy});
            profile.lineToPoint({area.left(), cy});
            profile.lineToPoint({area.left(), y0});
            double offset = 0;
            for (const qint64 c : points) {
                offset = (heightForXY(c, line) - base) * kProfileScale;
                profile.lineToPoint({coordinateForXY(c, line).x() + inset, y0 - offset});
            }
            if (right > lastX)
                profile.lineToPoint({right, y0 - offset});
        }
        profile.closePath();
    }
    const platform::UndoSuspension suspension(undoManager());
    m_crossSection->setPath(profile);
}

void ZQContourLayer::drawCrossSection() const
{
    if (m_crossSection)
        m_crossSection->drawContentWithSelectedState(m_crossSectionSelected && !m_inMouseDrag);
}

QPointF ZQContourLayer::epicentreOfCrossSectionDrag(QPointF point) const
{
    const qint64 line = qint64(m_crossSectionRow);
    return m_crossSectionIsVertical ? QPointF(coordinateForXY(line, 0).x(), point.y())
                                    : QPointF(point.x(), coordinateForXY(0, line).y());
}

void ZQContourLayer::adjustCrossSectionPartToPointWithEvent(int, QPointF point, const VXLayerMouseEvent& event)
{
    const double base = minHeight();
    const QPointF grid = coordinateForXY(qint64(m_crossSectionRow), qint64(m_crossSectionRow));
    QPointF target;
    double height;
    if (m_crossSectionIsVertical) {
        target = {grid.x(), m_mouseAnchor.y()};
        height = base + (point.x() - (grid.x() + kProfileOffset)) / kProfileScale;
    } else {
        target = {m_mouseAnchor.x(), grid.y()};
        height = base + ((grid.y() - kProfileOffset) - point.y()) / kProfileScale;
    }
    updateHeightInfoAtPoint(target);
    setKernelPathToPoint(target);
    setTerrainAtIndexToHeightWithKernel(indexForPoint(target), height, event.optionKeyDown() ? nullptr : m_kernel.get());
    clearCache();
    initCrossSection();
    setNeedsDisplay();
}

// --- Mouse ---------------------------------------------------------------------------------------------

void ZQContourLayer::mouseDownInView(const VXLayerMouseEvent& event, VXDrawingView*)
{
    const QPointF p = event.point;
    m_mouseAnchor = p;
    m_inMouseDrag = true;
    m_partHit = 0;
    m_heightDataWasEdited = false;
    recordHeightDataForUndo();
    setKernelPathForKernelSize(m_terrainMode == CutValleyMode ? kCutValleyKernelSize : m_kernelSize);
    if (m_showsCrossSection && m_crossSection) {
        if (event.clickCount >= 2) {
            setCrossSectionIsVertical(!m_crossSectionIsVertical);
            return;
        }
        redrawCrossSection();
        m_partHit = m_crossSection->hitPart(p);
        m_crossSectionSelected = m_partHit != 0;
        redrawCrossSection();
        const QPointF epicentre = epicentreOfCrossSectionDrag(p);
        setKernelPathToPoint(epicentre);
        if (m_partHit > 0) {
            m_activeTerrainMode = CrossSectionEditMode;
            updateHeightInfoAtPoint(epicentre);
        }
    }
    if (m_partHit == 0) {
        setKernelPathToPoint(p);
        updateHeightInfoAtPoint(p);
    }
}

void ZQContourLayer::mouseDraggedInView(const VXLayerMouseEvent& event, VXDrawingView*)
{
    const QPointF p = event.point;
    if (m_showsCrossSection && m_partHit != 0) {
        if (m_partHit != -1) {
            m_activeTerrainMode = CrossSectionEditMode;
            adjustCrossSectionPartToPointWithEvent(m_partHit, p, event);
            m_heightDataWasEdited = true;
        } else if (const Index index = indexForPoint(p); index != ZQMatrixArray::kNotFoundIndex) {
            setCrossSectionRow(quint64(m_crossSectionIsVertical ? index.x : index.y));
        }
        return;
    }
    int mode = m_terrainMode;
    if (event.optionKeyDown() && (mode == RaiseMode || mode == LowerMode))
        mode = mode == RaiseMode ? LowerMode : RaiseMode;
    m_activeTerrainMode = mode;
    if (modelTerrainAtIndexWithMode(indexForPoint(p), mode))
        m_heightDataWasEdited = true;
    setKernelPathToPoint(p);
    updateHeightInfoAtPoint(p);
}

void ZQContourLayer::mouseUpInView(const VXLayerMouseEvent&, VXDrawingView*)
{
    m_inMouseDrag = false;
    VXLayer::setNeedsDisplayInRect(m_kernelPath.bounds());
    if (m_showsCrossSection)
        redrawCrossSection();
    hideInfoWindow();
    if (m_heightDataWasEdited && m_frozenHeightDataForUndo) {
        registerUndo([before = m_frozenHeightDataForUndo](ZQContourLayer& layer) { layer.setHeightMap(before); },
                     undoActionNameForMode(m_activeTerrainMode));
        // Observers hear of the sculpted grid (and the base height it may have moved) once, when the stroke is done.
        announceChangeForKeys({QStringLiteral("heightMap"), QStringLiteral("baseHeight")}, [] {});
    }
    m_heightDataWasEdited = false;
    m_frozenHeightDataForUndo.reset();
}

void ZQContourLayer::mouseMovedInView(const VXLayerMouseEvent& event, VXDrawingView*)
{
    if (!m_showsCrossSection || m_inMouseDrag || !m_crossSection)
        return;
    m_mouseInSection = m_crossSection->renderingPath().containsPoint(event.point);
}

QCursor ZQContourLayer::cursor() const
{
    if (!m_inMouseDrag)
        return m_mouseInSection && m_showsCrossSection ? Qt::OpenHandCursor : Qt::CrossCursor;
    if (!m_crossSectionSelected)
        return Qt::CrossCursor;
    if (m_partHit == -1)
        return Qt::ClosedHandCursor;
    return m_crossSectionIsVertical ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}
