#pragma once

// The map document the application makes for "Map" files. It adds what belongs to a map
// on screen: the ruler, shapefile imports that line up with each other through a kept
// transform, the mode in which the content is repositioned over the drawing, and the map
// furniture's layers (index grid, border layers), which it makes by class name: the
// furniture library registers them.

#include "app/services/TransformAdjustmentView.h"
#include "app/commands/ZQMeasuringRuler.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "geodata/ZQESRIFileDelegate.h"

#include <QHash>
#include <QMutex>
#include <QPointer>
#include <functional>
#include <QTransform>
#include <QUrl>
#include <memory>
#include <optional>

class VXGridLayer;
class VXObjectOwnerLayer;
class ZQImportOptionsController;

class ZQTrueQuorvaneDocument : public ZQQuorvaneDocument,
                               public ZQESRIFileDelegate,
                               public TransformAdjustmentDelegate {
    Q_OBJECT
    Q_PROPERTY(bool rulerVisible READ rulerVisible WRITE setRulerVisible)

public:
    ZQTrueQuorvaneDocument();
    ~ZQTrueQuorvaneDocument() override;

    // --- Shapefiles ---------------------------------------------------------------------
    // Maps shapefile coordinates into this drawing; none until a first import sets it.
    const std::optional<QTransform>& shapefileTransform() const { return m_shapefileTransform; }
    // Undoable.
    void setShapefileTransform(const std::optional<QTransform>& transform);

    // File > Import Shapefile...: asks for a .shp (or a folder, whose first .shp is taken)
    // with the import options under the file list, then imports it.
    Q_INVOKABLE void importShapefile(QObject* sender = nullptr);
    // Imports the .shp at `url` (or a folder's first .shp) into a new layer, on a worker
    // thread, leaving out what falls outside the drawing. A file that is not a shapefile gets
    // an alert naming it and saying why; one whose attributes would pass their memory budget
    // gets an alert saying so that offers to import its shapes without them. An import that
    // runs out of memory stops and says so once, with the same offer when it was reading
    // attributes. Answers the running reader, null when
    // nothing was started (yet).
    std::shared_ptr<ZQESRIFile> importShapefileAtURL(const QUrl& url);
    // Stops the imports under way and forgets them: they deliver nothing to this document.
    void cancelShapefileImports();
    ZQImportOptionsController* importOptionsController();

    // The drawing's interior; the zero rectangle without a drawing.
    QRectF esriFileWantsDocumentRect(ZQESRIFile* file) override;
    std::optional<QTransform> esriFileWantsShapefileTransform(ZQESRIFile* file) override;
    // Fills the import's layer on the reader's worker, out of the main thread's way: a large
    // import takes a while to index.
    void esriFileWillFinishLoading(ZQESRIFile* file) override;
    // The reader's created objects become a new layer named after the .shp, made active, as
    // the undo step "Import Shapefile"; the transform the reader used becomes the document's.
    // An import the user stopped lands what it read before the stop; one that made nothing
    // says why in an alert, and one that landed says what it left out and why.
    void esriFileDidFinishLoading(ZQESRIFile* file) override;

    // --- Ruler ---------------------------------------------------------------------------
    // The measuring ruler ("VXQRuler"), made when the window loads; null before, or when no
    // library provides it. Drawn over the drawing in the window's view while rulerVisible.
    const ZQMeasuringRulerPtr& ruler() const { return m_ruler; }
    // The document becomes the ruler's delegate and gives it the grid's division distance as
    // tick spacing, with a major tick every 10 and a middle one every 5.
    void setRuler(const ZQMeasuringRulerPtr& ruler);
    bool rulerVisible() const { return m_rulerVisible; }
    // A change redraws the ruler's area.
    void setRulerVisible(bool visible);
    // The length (points) as text in the display units the document shows (those of the
    // Geometry tab): points, map units on the ground, or paper units, which on a map with a
    // scale say "on paper" so as not to pass for ground lengths.
    Q_INVOKABLE QString distanceLabelForLength(double points) const;
    void windowControllerDidLoadWindow(MapDocumentWindowController* controller) override;

    // --- Map furniture ---------------------------------------------------------------------
    // The drawing's index grid ("VXQSquareAnnotatedGrid", at any depth), remembered once
    // found; null when the drawing has none.
    std::shared_ptr<VXGridLayer> mapGrid() const;
    // A border layer ("Border Layer") above the active layer, made active, as the undo step
    // "New Border Layer".
    Q_INVOKABLE void addBorderLayerAction(QObject* sender = nullptr);
    // A terrain layer ("Contours") over the interior above the active layer, made active, as
    // the undo step "Add Contour Layer".
    Q_INVOKABLE void addContourLayerAction(QObject* sender = nullptr);
    // Furniture commands are disabled while their layer classes are not registered.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);
    // Opens the index grid settings sheet (installed by the furniture library) for mapGrid on
    // the document's window.
    Q_INVOKABLE void editIndexGridSettingsAction(QObject* sender = nullptr);

    // --- Helpers -----------------------------------------------------------------------------
    // Libraries above the application core give map documents behaviour through helpers:
    // each registered factory makes one helper per document, on first need, and the helpers
    // take the actions (and their validation) that the document has no method for.
    using HelperFactory = std::function<ZQObjectPtr(ZQTrueQuorvaneDocument& document)>;
    static void addDocumentHelperFactory(HelperFactory factory);
    // In the order the factories were added.
    const QList<ZQObjectPtr>& helpers() const;
    QList<QObject*> forwardingTargetsForSelector(const QByteArray& selector) const override;

    // --- Reposition mode -----------------------------------------------------------------
    // View > Reposition Content: outside the mode, ends text editing, fits the drawing in the
    // view, shows the rulers with an empty strip above them for the overlay's buttons, and
    // begins the mode.
    Q_INVOKABLE void repositionContentAction(QObject* sender = nullptr);
    // Covers the drawing view with the overlay, showing a picture of the whole drawing.
    // Entering twice is a programming error.
    void beginRepositionMode();
    // Cancels an open overlay, removes the ruler's strip and hides the ruler markers; nothing
    // outside the mode.
    void endRepositionMode();
    bool isInRepositionMode() const { return m_inRepositionMode; }
    TransformAdjustmentView* adjustmentView() const { return m_adjustmentView; }

    // Response 1 moves every object of the drawing by the overlay's transform and appends it to
    // the shapefile transform, as one undo step "Reposition Content".
    void adjustmentViewDidEndWithResponse(TransformAdjustmentView& view, int response) override;
    void adjustmentViewDidChangeSelectionRect(TransformAdjustmentView& view, const QRectF& rect) override;
    QWidget* hostingViewForAdjustmentControls(TransformAdjustmentView& view) override;

protected:
    // Stops the shapefile imports under way.
    void documentWillClose() override;
    void mapScaleDidChange() override;
    // The shapefile transform is saved with the map, so imports after reopening line up.
    void addToContentsToSave(MapDocumentContents& contents) const override;
    void takeFromContentsRead(const MapDocumentContents& contents) override;
    // Also keeps the original's shapefile transform, moved by the source rectangle's offset.
    void adoptFromOriginalDocumentSourceRect(const ZQQuorvaneDocument& original, const QRectF& sourceRect) override;

private:
    void redisplayRuler() const;
    // Refuses with an alert a set that could not be imported whole (offering its shapes alone
    // when its attributes are what does not fit), else begins its import; answers the reader
    // begun.
    std::shared_ptr<ZQESRIFile> startShapefileImport(const std::shared_ptr<ZQESRIFile>& reader);
    void beginShapefileImport(const std::shared_ptr<ZQESRIFile>& reader);
    void alertNothingImported(const ZQESRIFile& file);
    // Says why the set at `path` was not imported, and offers to import it again without its
    // attributes.
    void offerImportWithoutAttributes(const QString& path, const QString& message, const QString& reason);
    // A critical alert on the map's window for a file refused before it is read.
    void alertImportRefused(const QString& message, const QString& reason);
    void reportNumbersKeptAsText(const ZQESRIFile& file);
    // Tells what an import that landed left out: records and attributes, with the reasons.
    void reportLeftOut(const ZQESRIFile& file);
    // The shapes were made but the layer to hold them could not be.
    void alertShapesDidNotFitInLayer(const ZQESRIFile& file);
    // A new layer holding the reader's drawables; null when it made none.
    std::shared_ptr<VXObjectOwnerLayer> makeLayerForImport(const ZQESRIFile& file) const;
    // The layer filled on the reader's worker, or one made now.
    std::shared_ptr<VXObjectOwnerLayer> takeLayerForImport(const ZQESRIFile& file);
    // Whether filling the reader's layer on its worker ran out of memory (said once).
    bool takeImportOutOfMemory(const ZQESRIFile& file);

    mutable std::optional<QList<ZQObjectPtr>> m_helpers;
    std::optional<QTransform> m_shapefileTransform;
    QList<std::weak_ptr<ZQESRIFile>> m_shapefileImports;
    QMutex m_importLayersMutex; // workers fill m_importLayers
    QHash<const ZQESRIFile*, std::shared_ptr<VXObjectOwnerLayer>> m_importLayers;
    QList<const ZQESRIFile*> m_importsOutOfMemory; // whose layer could not be filled
    std::shared_ptr<ZQImportOptionsController> m_importOptionsController;
    mutable std::weak_ptr<VXGridLayer> m_mapGrid;
    ZQMeasuringRulerPtr m_ruler;
    bool m_rulerVisible = false;
    bool m_inRepositionMode = false;
    QPointer<TransformAdjustmentView> m_adjustmentView;
};
