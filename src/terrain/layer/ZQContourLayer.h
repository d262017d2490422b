#pragma once

// A terrain layer: a grid of heights (metres) spread over the drawing's interior, drawn as
// contour lines, sculpted with the mouse while it is the active layer and set up in the
// shared terrain panel. Grid point (x, y) lies at the interior's origin + (x, y) x cellSize.
//
// Contours are cached: a change to the heights, the interval or the simplify and smooth
// flags makes the cache stale. A view that draws a stale cache has the contours recomputed in
// the background (within the segment budget of ContourComputation) and shows the last ones
// meanwhile; output and contourPaths() recompute at once. A brush step recomputes at once,
// and only the levels it can have changed. Colours and the line width only redraw. Where
// levels are too large to draw, the map says so over the interior.
//
// Settings are undoable (each with its action name) and observable under the keys of
// observableKeys(); setting the current value does nothing. The interval and base height are
// set and answered in display units (see ContourUnits).
//
// While active, the layer takes the selection tool's mouse: a drag raises, lowers or levels
// the heights or cuts a valley with a round brush (one undo step per drag, named after the
// tool; Option swaps raise and lower), and the cross section (a profile of one grid row or
// column drawn beside it) is moved by its body, turned by a double click and reshaped by its
// points.

#include "geodata/ZQContourPlotter.h"
#include "geodata/ZQKernel.h"
#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/model/DrawableContainer.h"
#include "platform/vantrix/model/VXLayer.h"
#include "terrain/layer/ContourCache.h"
#include "terrain/layer/ContourLevels.h"

#include <QColor>
#include <optional>

class BackgroundContours;
struct ContourRequest;
struct ContourResult;
class VXQContourCrossSection;

namespace platform {
class MenuItem;
}

class ZQContourLayer : public VXLayer, public ZQContourPlotter::DataSource, public platform::DrawableContainer {
    Q_OBJECT
    Q_PROPERTY(double contourInterval READ contourInterval WRITE setContourInterval STORED false)
    Q_PROPERTY(double baseHeight READ baseHeight WRITE setBaseHeight STORED false)
    Q_PROPERTY(bool simplifiesContours READ simplifiesContours WRITE setSimplifiesContours STORED false)
    Q_PROPERTY(bool smoothsContours READ smoothsContours WRITE setSmoothsContours STORED false)
    Q_PROPERTY(QColor contourColour READ contourColour WRITE setContourColour STORED false)
    Q_PROPERTY(QColor negativeContourColour READ negativeContourColour WRITE setNegativeContourColour STORED false)
    Q_PROPERTY(ZQObjectPtr heightMap READ heightMapObject STORED false)
    Q_PROPERTY(double contourLineWidth READ contourLineWidth WRITE setContourLineWidth STORED false)
    Q_PROPERTY(QString units READ units WRITE setUnits STORED false)
    Q_PROPERTY(bool showsCrossSection READ showsCrossSection WRITE setShowsCrossSection STORED false)
    Q_PROPERTY(bool crossSectionIsVertical READ crossSectionIsVertical WRITE setCrossSectionIsVertical STORED false)
    Q_PROPERTY(quint64 kernelSize READ kernelSize WRITE setKernelSize STORED false)
    Q_PROPERTY(int terrainMode READ terrainMode WRITE setTerrainMode STORED false)
    Q_PROPERTY(double terrainHeightForLevelMode READ terrainHeightForLevelMode WRITE setTerrainHeightForLevelMode
                   STORED false)

public:
    using Index = ZQMatrixArray::Index;

    enum TerrainMode { RaiseMode = 0, LowerMode = 1, LevelMode = 2, CutValleyMode = 3, CrossSectionEditMode = 4 };

    static constexpr double kNewCellSize = 15.0;
    static constexpr double kArchivedCellSizeFallback = 16.0;
    static constexpr double kNewHeight = 3.5;
    static constexpr double kTerrainAdjustment = 20.0;
    static constexpr double kHighlightedContourInterval = 100.0;
    static constexpr quint64 kDefaultKernelSize = 7;
    // New grids never hold more points than this; a smaller cell size is widened to fit.
    static constexpr quint64 kMaximumGridCount = 4'000'000;

    ZQContourLayer();
    ~ZQContourLayer() override;

    // The keys the terrain panel observes.
    static QStringList observableKeys();

    // --- Settings ------------------------------------------------------------------------------
    // Display units; an interval that is not a positive, finite number is refused.
    double contourInterval() const;
    void setContourInterval(double interval);
    const std::shared_ptr<ZQMatrixArray>& heightMap() const { return m_heightData; }
    ZQObjectPtr heightMapObject() const { return m_heightData; }
    // The grid itself (not a copy): later brush steps change it in place.
    void setHeightMap(const std::shared_ptr<ZQMatrixArray>& grid);
    std::shared_ptr<ZQMatrixArray> frozenHeightMap() const;
    QColor contourColour() const { return m_contourLineColour; }
    void setContourColour(const QColor& colour);
    // Invalid for none: levels at or below 0 are then drawn in the contour colour.
    QColor negativeContourColour() const { return m_negativeContourColour; }
    void setNegativeContourColour(const QColor& colour);
    double contourLineWidth() const { return m_contourLineWidth; }
    // Negative or non-finite widths are refused.
    void setContourLineWidth(double width);
    // The lowest level in display units; setting it shifts every height.
    double baseHeight() const;
    void setBaseHeight(double baseHeight);
    bool simplifiesContours() const;
    void setSimplifiesContours(bool simplifies);
    bool smoothsContours() const;
    void setSmoothsContours(bool smooths);
    QString units() const { return m_units; }
    void setUnits(const QString& units);
    QColor selectionColour() const override { return contourColour(); }
    void setSelectionColour(const QColor& colour) override { setContourColour(colour); }

    // The spacing of grid points; set it before the layer joins a drawing to size its grid.
    // Values that are not positive and finite are refused.
    double cellSize() const { return m_cellSize; }
    void setCellSize(double cellSize);
    double unitFactor() const;

    // The brush: odd sizes only, not undoable.
    quint64 kernelSize() const { return m_kernelSize; }
    void setKernelSize(quint64 size);
    const std::shared_ptr<ZQKernel>& kernel() const { return m_kernel; }
    void setKernel(const std::shared_ptr<ZQKernel>& kernel) { m_kernel = kernel; }
    int terrainMode() const { return m_terrainMode; }
    void setTerrainMode(int mode) { m_terrainMode = mode; }
    // Base units; non-finite heights are refused.
    double terrainHeightForLevelMode() const { return m_terrainHeightForLevelMode; }
    void setTerrainHeightForLevelMode(double height);

    // --- Levels and contours -------------------------------------------------------------------
    ContourLevels contourLevels() const;
    // The highest and lowest levels (base units).
    double maxHeight() const { return contourLevels().highest; }
    double minHeight() const { return contourLevels().lowest; }
    void getMaxHeightMinHeight(double* maximum, double* minimum) const;
    // Marks the contours stale.
    void clearCache();
    void recalculateContours();
    // The cached contour of each level (empty where a level has none); recomputed when stale.
    const QList<QPainterPath>& contourPaths() const;
    // Why some or all contours are not drawn; empty when all are (or none are computed yet).
    QString contourProblem() const;
    // Whether the contours drawn are those of the heights and settings now.
    bool contoursAreCurrent() const { return m_contoursCache && !m_contoursStale; }
    // Waits for the contours being computed in the background and takes them.
    void finishBackgroundContours();
    Q_INVOKABLE void updateContours(QObject* sender = nullptr);

    // ZQContourPlotter::DataSource: the grid's points over the interior.
    qint64 minX() const override { return 0; }
    qint64 minY() const override { return 0; }
    qint64 maxX() const override;
    qint64 maxY() const override;
    quint64 countOfContours() const override { return contourLevels().count; }
    double contourForIndex(quint64 index) const override { return contourLevels().level(index); }
    double heightForXY(qint64 x, qint64 y) const override;
    QPointF coordinateForXY(qint64 x, qint64 y) const override;

    // --- Grid geometry ---------------------------------------------------------------------------
    // The grid point of the cell holding `point`; not-found outside the interior or the grid.
    Index indexForPoint(QPointF point) const;
    bool containsIndex(Index index) const;
    // The height under the point; 0 outside.
    double spotHeight(QPointF point) const;
    void fillHeightDataWithCount(double value, quint64 count);
    QColor colourForHeight(double height) const;
    // Why a grid from outside (a file, an archive) may not become the layer's; empty when it
    // may: full rows, and every height a finite number within single precision's range.
    static QString heightGridProblem(const ZQMatrixArray& grid);
    // The grid's text form; empty for a grid the format cannot hold.
    QString heightDataAsTabDelimitedString() const;

    // --- Export and import ---------------------------------------------------------------------
    Q_INVOKABLE void saveHeightMap(QObject* sender = nullptr);
    Q_INVOKABLE void openHeightMap(QObject* sender = nullptr);
    // Writes the grid's text atomically; false (alerted) when it cannot be written.
    bool exportHeightMapToFile(const QString& path);
    // Reads a grid from the file and makes it the layer's in one undo step "Import Height Map";
    // an unreadable or irregular file, one of more than kMaximumGridCount heights or with a
    // height beyond single precision's range is alerted with the reason and changes nothing.
    // A file without heights changes nothing and says nothing.
    bool importHeightMap(const QString& path);
    // The same with the file read and checked on a worker (as File > Import Height Map does): a
    // grid of millions of heights keeps the window waiting no longer than setting it does.
    void importHeightMapInBackground(const QString& path);

    // --- Cross section -----------------------------------------------------------------------------
    bool showsCrossSection() const { return m_showsCrossSection; }
    void setShowsCrossSection(bool shows);
    bool crossSectionIsVertical() const { return m_crossSectionIsVertical; }
    // Turns the section and puts it on the middle column or row.
    void setCrossSectionIsVertical(bool vertical);
    // The grid row (or column, when vertical) the section follows, clamped to the grid's lines on the drawing.
    quint64 crossSectionRow() const { return m_crossSectionRow; }
    void setCrossSectionRow(quint64 row);
    Q_INVOKABLE void toggleCrossSection(QObject* sender = nullptr);
    VXQContourCrossSection* crossSection() const { return m_crossSection.get(); }
    bool crossSectionSelected() const { return m_crossSectionSelected; }
    // Makes the section when needed and rebuilds its profile (never an undo step).
    void initCrossSection();
    QRectF crossSectionBounds() const;
    void drawCrossSection() const;
    bool isSelectedObject(const VXDrawableObject* object) const;
    qint64 indexOfObject(const VXDrawableObject* object) const { return 0; }

    // --- Sculpting -------------------------------------------------------------------------------
    // One brush step at the grid point; false (and nothing changed) outside the grid.
    bool modelTerrainAtIndexWithMode(Index index, int mode);
    // Sets the height at the point, with the kernel's neighbourhood following (none: that cell only).
    void setTerrainAtIndexToHeightWithKernel(Index index, double height, const ZQKernel* kernel);
    QRectF rectAffectedByKernelAtIndex(Index index) const;
    void setKernelPathForKernelSize(quint64 size);
    void setKernelPathToPoint(QPointF point);
    const platform::BezierPath& kernelPath() const { return m_kernelPath; }
    static QColor kernelPathColourForMode(int mode);
    static QString undoActionNameForMode(int mode);
    void recordHeightDataForUndo();
    std::shared_ptr<ZQMatrixArray> heightDataForUndo() const { return m_frozenHeightDataForUndo; }
    void updateHeightInfoAtPoint(QPointF point);
    QPointF epicentreOfCrossSectionDrag(QPointF point) const;
    void adjustCrossSectionPartToPointWithEvent(int part, QPointF point, const VXLayerMouseEvent& event);
    int activeTerrainMode() const { return m_activeTerrainMode; }
    bool inMouseDrag() const { return m_inMouseDrag; }

    // --- VXLayer ---------------------------------------------------------------------------------
    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;
    int prepareToDrawRect(const QRectF& rect) const override;
    void wasAddedToDrawing(VXDrawing* drawing) override;
    void layerDidBecomeActiveLayer() override;
    void layerDidResignActiveLayer() override;
    QString auxiliaryInfoString() const override { return QString(""); }
    QIcon icon() const override;
    bool wantsMouseEvents() const override { return true; }
    void mouseDownInView(const VXLayerMouseEvent& event, VXDrawingView* view) override;
    void mouseDraggedInView(const VXLayerMouseEvent& event, VXDrawingView* view) override;
    void mouseUpInView(const VXLayerMouseEvent& event, VXDrawingView* view) override;
    void mouseMovedInView(const VXLayerMouseEvent& event, VXDrawingView* view) override;
    QCursor cursor() const override;
    std::unique_ptr<platform::Menu> menuForEventInView(QPointF point, VXDrawingView* view) override;
    // Titles the section toggle "Hide Section" or "Show Section".
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- platform::DrawableContainer, for the cross section ----------------------------------------
    VXObjectOwnerLayer* layer() const override { return nullptr; }
    VXDrawing* drawing() const override { return VXLayer::drawing(); }
    ZQUndoManager* undoManager() const override { return VXLayer::undoManager(); }
    QTransform renderingTransform() const override { return {}; }
    void objectDidChangeBoundsFrom(VXDrawableObject* object, const QRectF& oldBounds) override;
    void setNeedsDisplayInRect(const QRectF& rect) override { VXLayer::setNeedsDisplayInRect(rect); }
    QVariant metadataObjectForKey(const QString& key) const override { return {}; }

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    ContourRequest contourRequest(std::shared_ptr<const ZQMatrixArray> grid, const QList<double>& levels) const;
    // All levels, keeping the segments for brush steps.
    ContourRequest fullContourRequest(std::shared_ptr<const ZQMatrixArray> grid) const;
    QList<double> levelList() const;
    void storeContours(const ContourResult& result);
    // Starts the background computation when the cache is stale (main thread).
    void startBackgroundContours();
    void drawContourProblem(QPainter& painter, const QString& problem) const;
    QRectF interior() const;
    QPointF gridOrigin() const { return interior().topLeft(); }
    // Registers `inverse` for undo and names the step unless undoing or redoing.
    void registerUndo(std::function<void(ZQContourLayer&)> inverse, const QString& actionName);
    // The standard alert, with the reason when there is one.
    void alertImportFailure(const QString& reason) const;
    // A height file's grid, or (without one) why it cannot be a layer's: no reason when the
    // file holds no heights at all. On any thread.
    struct HeightFileReading {
        std::shared_ptr<ZQMatrixArray> grid;
        QString problem;
    };
    static HeightFileReading readHeightFile(const QString& path);
    // Makes the reading's grid the layer's, or alerts the reason it has.
    bool takeHeightFileReading(const HeightFileReading& reading);
    void makeNewGrid();
    // The grid's columns (or rows) that lie on the drawing.
    qint64 gridLinesOnDrawing(bool columns) const;
    // The rows (or columns, when vertical) the section may follow: those of the grid on the drawing.
    qint64 sectionLinesOnDrawing() const;
    void clampCrossSectionRow();
    // Forgets the heights' range and levels (the heights changed).
    void heightsDidChange();
    // After a brush step: the grid's range follows the touched cells' range without a scan,
    // unless they held its lowest or highest height.
    void updateHeightRangeAfterStep(std::pair<double, double> touchedBefore, std::pair<double, double> touchedAfter);
    // Recomputes the levels a brush step over `cells` can have changed, given the heights
    // the cells had before (all levels when the level list itself changed).
    void recalculateContoursAfterStep(const QRect& cells, double lowestBefore, double highestBefore,
                                      const ContourLevels& levelsBefore);
    // The lowest and highest height among the cells (clipped to the grid).
    std::pair<double, double> heightRangeOfCells(const QRect& cells) const;
    QRect cellsTouchedByKernelAtIndex(Index index, quint64 kernelSize) const;
    void redrawCrossSection() const;

    bool m_simplifiesContours = false;
    double m_smoothing = 1.0;
    QColor m_contourLineColour;
    QColor m_negativeContourColour;
    double m_contourLineWidth = 0.2;
    mutable std::optional<ContourCache> m_contoursCache;
    bool m_contoursStale = true;
    // Counts the changes that make the contours stale, so a background result can tell its age.
    quint64 m_contoursGeneration = 0;
    std::unique_ptr<BackgroundContours> m_backgroundContours;
    // The grid's height range and levels, kept until the heights or the interval change.
    mutable std::optional<std::pair<double, double>> m_heightRange;
    mutable std::optional<ContourLevels> m_levelsCache;
    QString m_units;
    double m_cellSize = kNewCellSize;
    std::shared_ptr<ZQMatrixArray> m_heightData;
    std::shared_ptr<ZQMatrixArray> m_frozenHeightDataForUndo;
    bool m_showsCrossSection = true;
    bool m_crossSectionSelected = false;
    bool m_inMouseDrag = false;
    bool m_crossSectionIsVertical = false;
    bool m_heightDataWasEdited = false;
    quint64 m_crossSectionRow = 0;
    std::shared_ptr<VXQContourCrossSection> m_crossSection;
    int m_partHit = 0;
    QPointF m_mouseAnchor;
    double m_contourInterval = 10.0;
    double m_terrainAdjustment = kTerrainAdjustment;
    double m_terrainHeightForLevelMode = 0.0;
    quint64 m_kernelSize = 0;
    platform::BezierPath m_kernelPath;
    std::shared_ptr<ZQKernel> m_kernel;
    int m_terrainMode = RaiseMode;
    int m_activeTerrainMode = RaiseMode;
    bool m_mouseInSection = false;
};
