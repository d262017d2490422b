#pragma once

// The map document. Panels, inspectors and dialogs reach the drawing, its undo manager,
// the map scale and the print settings through it.
//
// It is saved as a package (see MapDocumentPackage): the drawing's archive, the drawing
// information, an auxiliary archive with the map scale, print and document information,
// Quick Look images, the window's state and, once there is one, the export operation's
// settings. Every document has a map scale: a document read without one, or made while
// the default scale cannot be read, gets VXQMapScale::defaultScale().
//
// New documents take their size, margins, units, scale and prescale from class defaults
// kept in the user defaults.

#include "app/commands/GeometryCommandSheets.h"
#include "app/document/MapDocumentDefaults.h"
#include "app/document/MapDocumentLibrary.h"
#include "app/document/MapDocumentPrinting.h"
#include "app/document/MapDocumentSidebars.h"
#include "app/document/MapDrawingSetup.h"
#include "app/document/MapGeometryCommands.h"
#include "app/document/MapImageTracing.h"
#include "app/document/MapLayerCommands.h"
#include "app/document/MapTemplates.h"
#include "app/setup/DrawingSetupSheet.h"
#include "app/setup/MapScaleCalibration.h"
#include "app/sidebar/SidebarTabViewDelegate.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/FileWrapper.h"
#include "platform/vantrix/model/VXDrawingDocument.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <functional>

class DocumentWorkProgress;
struct MapDocumentContents;
class MapDocumentWindowController;
class MapPrintOperation;
class QVNVectorizingOptionsController;
class VXDrawableObject;
class VXImageShape;
class VXObjectDrawingLayer;
using VXDrawableObjectPtr = std::shared_ptr<VXDrawableObject>;

inline const QString kZQMapDocumentType = QStringLiteral("Map");
inline const QString kZQLegacyMapDocumentType = QStringLiteral("Tms");

inline const QString kQuorvaneMapScaleWillChangeNotification = QStringLiteral("kQuorvaneMapScaleWillChangeNotification");
inline const QString kQuorvaneMapScaleDidChangeNotification = QStringLiteral("kQuorvaneMapScaleDidChangeNotification");
inline const QString kVXDocumentDisplayUnitOptionsChanged = QStringLiteral("kVXDocumentDisplayUnitOptionsChanged");

class ZQQuorvaneDocument : public VXDrawingDocument,
                           public QVNCalibrationDelegate,
                           public SidebarTabViewDelegate,
                           public LinearDuplicateDelegate,
                           public PolarDuplicateDelegate,
                           public BufferDelegate {
    Q_OBJECT
    Q_PROPERTY(double prescale READ prescale WRITE setPrescale)
    Q_PROPERTY(int unitDisplayOption READ unitDisplayOption WRITE setUnitDisplayOption)
    Q_PROPERTY(QVariantMap documentInfo READ documentInfo WRITE setDocumentInfo)

public:
    ZQQuorvaneDocument();
    ~ZQQuorvaneDocument() override;

    // Map documents ("Map", "Tms") and flat drawings ("Drawing"); any other type is error 101.
    bool initWithTypeError(const QString& typeName, QuorvaneError* error) override;

    // --- The drawing -------------------------------------------------------------------
    // The class defaults' size, margins and units, the index grid (a plain grid until the
    // furniture library installs its maker), guides and one mapping layer.
    VXDrawingPtr makeDefaultDrawing() override;
    const QMetaObject& classOfDefaultDrawingLayer() const override;

    // The drawing's active layer; null without one.
    VXLayer* activeLayer() const;
    // The active layer when it holds objects; null otherwise.
    VXObjectDrawingLayer* activeObjectLayer() const;
    // Selected, visible and unlocked objects of the active object layer; 0 without one.
    int countOfItemsInSelection() const override;
    // Whether the active layer holds a selection that commands can act on.
    bool hasValidSelection() const;

    // --- Map scale and symbol prescale ---------------------------------------------------
    VXQMapScalePtr mapScale() const override { return m_mapScale; }
    // Nothing for null or an equal scale. Otherwise undoable ("Change Map Scale"), between
    // kQuorvaneMapScaleWillChangeNotification and kQuorvaneMapScaleDidChangeNotification
    // (sender: the document).
    void setMapScale(const VXQMapScalePtr& scale) override;
    // A cancelled calibration undoes the map-scale steps the sheet made, without a redo, so the
    // change count and the undo history are what they were when it opened.
    void calibrationWillBegin(QObject* controller) override;
    void cancelCalibration(QObject* controller, const VXQMapScalePtr& original) override;
    // The calibration sheet and opening it (see MapDrawingSetup).
    ZQCalibrationPanel* calibrationController() { return m_setup.calibrationPanel(); }
    Q_INVOKABLE void openCalibrationPanel(QObject* = nullptr) { m_setup.runCalibrationPanel(); }
    // The factor symbols placed in the document are scaled by.
    double prescale() const { return m_prescale; }
    void setPrescale(double prescale);

    // How lengths are shown; a change redisplays and posts kVXDocumentDisplayUnitOptionsChanged.
    static constexpr int kDrawingUnitsDisplayOption = 0;
    static constexpr int kPointsDisplayOption = 1;
    static constexpr int kMapUnitsDisplayOption = 2;
    int unitDisplayOption() const { return m_unitDisplayOption; }
    void setUnitDisplayOption(int option);
    // Lengths on the ground: the unit the map scale represents, and the points of the drawing
    // one such unit takes ("4 cm = 1 km" gives kilometres and 113.4). Null and 0 without a
    // usable scale.
    ZQUnitLengthPtr delegateConvertedDisplayUnits() const;
    double delegateConvertedDisplayMultiplier() const;

    // --- Drawing set-up (see MapDrawingSetup) ----------------------------------------------------
    QVariantMap dictionaryOfDrawingSettings() { return m_setup.currentSettings(); }
    void performDrawingSetUpWithOptionsIsPreviewOrCancel(const QVariantMap& settings, bool previewOrCancel)
    {
        m_setup.apply(settings, previewOrCancel);
    }
    void performDrawingPreviewWithOptions(const QVariantMap& settings) { m_setup.preview(settings); }
    // The set-up sheet on its drawing page, or on its graph-paper page.
    Q_INVOKABLE void openDrawingSizePanel(QObject*) override { m_setup.runSheetOnPage(DrawingSetupSheet::kDrawingPage); }
    Q_INVOKABLE void openGridSettingsPanel(QObject*) { m_setup.runSheetOnPage(DrawingSetupSheet::kGraphPaperPage); }
    bool canOpenDrawingSizePanel() const override { return m_setup.canRunSheet(); }

    // --- Page layout, printing and sharing (see MapDocumentPrinting) -------------------------
    const QPageLayout& printInfo() const { return m_printing.printInfo(); }
    void setPrintInfo(const QPageLayout& printInfo) { m_printing.setPrintInfo(printInfo); }
    // File > Page Setup..., File > Print....
    Q_INVOKABLE void runPageLayout(QObject*) { m_printing.runPageLayout(); }
    Q_INVOKABLE void printDocument(QObject*) { m_printing.printDocument(); }
    bool runModalPrintOperation(MapPrintOperation& operation) { return m_printing.runModalPrintOperation(operation); }
    // Offers the drawing's picture to the installed share menu beside the sender.
    Q_INVOKABLE void shareDocumentAction(QObject* sender) { m_printing.shareDocument(sender); }
    QImage sharableDocumentImage() const { return m_printing.sharableDocumentImage(); }

    // Free-form information about the document, kept in its package.
    QVariantMap documentInfo() const { return m_documentInfo; }
    void setDocumentInfo(const QVariantMap& info);

    // --- Class defaults (see MapDocumentDefaults) ----------------------------------------
    static QSizeF defaultDrawingSize() { return MapDocumentDefaults::drawingSize(); }
    static void setDefaultDrawingSize(QSizeF size) { MapDocumentDefaults::setDrawingSize(size); }
    static QMarginsF defaultDrawingMargins() { return MapDocumentDefaults::drawingMargins(); }
    static void setDefaultDrawingMargins(const QMarginsF& margins) { MapDocumentDefaults::setDrawingMargins(margins); }
    static VXQMapScalePtr defaultDrawingScale() { return MapDocumentDefaults::drawingScale(); }
    static void setDefaultDrawingScale(const VXQMapScalePtr& scale) { MapDocumentDefaults::setDrawingScale(scale); }
    static ZQUnitLengthPtr defaultDrawingUnits() { return MapDocumentDefaults::drawingUnits(); }
    static void setDefaultDrawingUnits(const ZQUnitLengthPtr& units) { MapDocumentDefaults::setDrawingUnits(units); }
    static double defaultPrescale() { return MapDocumentDefaults::prescale(); }
    static void setDefaultPrescale(double prescale) { MapDocumentDefaults::setPrescale(prescale); }
    static QPageLayout defaultPrintInfo() { return MapDocumentDefaults::printInfo(); }
    static bool defaultQualityModulation() { return MapDocumentDefaults::qualityModulation(); }
    static void setDefaultQualityModulation(bool flag) { MapDocumentDefaults::setQualityModulation(flag); }

    // --- Templates (see MapTemplates) ------------------------------------------------------
    static const QStringList& templateFileExtensions() { return MapTemplates::templateFileExtensions(); }
    static QUrl documentTemplatesURL() { return MapTemplates::documentTemplatesURL(); }
    static QUrl userTemplatesURL() { return MapTemplates::userTemplatesURL(); }
    static QList<QUrl> availableTemplatesAtURLIncludingSubfolders(const QUrl& folder, bool includingSubfolders)
    {
        return MapTemplates::availableTemplatesAtURLIncludingSubfolders(folder, includingSubfolders);
    }
    static bool hasTemplatesAvailable() { return MapTemplates::hasTemplatesAvailable(); }
    static bool isUserTemplateURL(const QUrl& url) { return MapTemplates::isUserTemplateURL(url); }

    // --- Documents made from drawings ------------------------------------------------------
    // A new untitled map document holding the drawing, added to the document controller
    // and, with `display`, shown. It takes the map scale of `original` (and what else the
    // document kind keeps from it; `sourceRect` is where the drawing came from). Null with
    // a log line when no document can be made.
    static std::shared_ptr<ZQQuorvaneDocument> documentWithDrawingDisplay(const VXDrawingPtr& drawing, bool display);
    static std::shared_ptr<ZQQuorvaneDocument> documentWithDrawingDisplayFromOriginalDocumentSourceRect(
        const VXDrawingPtr& drawing, bool display, const ZQQuorvaneDocument* original, const QRectF& sourceRect);

    // --- Layer commands (see MapLayerCommands) ---------------------------------------------
    Q_INVOKABLE void newDrawingLayer(QObject* sender = nullptr) { m_layerCommands.newDrawingLayer(sender); }
    Q_INVOKABLE void addLayerGroupAction(QObject* sender = nullptr) { m_layerCommands.addLayerGroup(sender); }
    Q_INVOKABLE void deleteLayerAction(QObject* sender = nullptr) { m_layerCommands.deleteLayer(sender); }
    Q_INVOKABLE void duplicateLayer(QObject* sender = nullptr) { m_layerCommands.duplicateLayer(sender); }
    bool couldAddNewLayerOrLayerGroup() const { return m_layerCommands.couldAddNewLayerOrLayerGroup(); }
    bool couldDuplicateLayer() const { return m_layerCommands.couldDuplicateLayer(); }
    bool couldDeleteLayer() const { return m_layerCommands.couldDeleteLayer(); }
    Q_INVOKABLE void toggleLockAction(QObject* = nullptr) { m_layerCommands.toggleLock(); }
    Q_INVOKABLE void makeActiveAction(QObject* sender) { m_layerCommands.makeActive(sender); }
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- The layers panel's delegate -------------------------------------------------------------
    // Class names of the layers the panel adds.
    Q_INVOKABLE QString layersControllerNeedsClassForDrawingLayers(QObject* controller) const;
    Q_INVOKABLE QString layersControllerNeedsClassForLayerGroup(QObject* controller) const;
    Q_INVOKABLE void layersControllerShowGridOptionsForLayer(QObject* controller, QObject* layer);
    Q_INVOKABLE void layersControllerShowDrawingOptionsForDrawing(QObject* controller, QObject* drawing);
    // The export sheet with the slices as its source.
    Q_INVOKABLE void layersControllerShowExportOptionsForLayer(QObject* controller, QObject* layer);

    // --- Geometry commands (see MapGeometryCommands) ------------------------------------------
    // The sheets run with the document as their delegate; their answers are forwarded.
    Q_INVOKABLE void linearDuplicate(QObject* = nullptr) { m_geometryCommands.runLinearDuplicateSheet(); }
    Q_INVOKABLE void polarDuplicate(QObject* = nullptr) { m_geometryCommands.runPolarDuplicateSheet(); }
    Q_INVOKABLE void bufferAction(QObject* = nullptr) { m_geometryCommands.runBufferSheet(); }
    bool canBuffer() const { return m_geometryCommands.canBuffer(); }
    void doLinearDuplicateCopiesOffset(int copies, QSizeF offset) override
    {
        m_geometryCommands.duplicateLinearly(copies, offset);
    }
    QString unitsStringForOffsetUnits() const override { return unitsStringForBufferUnits(); }
    double unitsConversionFactorForOffsetUnits() const override { return m_geometryCommands.pointsPerOffsetUnit(); }
    void doPolarDuplicateCopiesCentreIncAngleRotateCopies(int copies, QPointF centre, double incrementAngle,
                                                          bool rotateCopies) override
    {
        m_geometryCommands.duplicateRoundCentre(copies, centre, incrementAngle, rotateCopies);
    }
    void doAutoPolarDuplicateWithCentre(QPointF centre) override { m_geometryCommands.duplicateAllRoundCentre(centre); }
    bool locatesGridPoints() const override { return true; }
    QPointF gridPointForPointInWindowSnapToGrid(QPointF point, QWidget* window, bool snap) override
    {
        return m_geometryCommands.gridPointForPointInWindow(point, window, snap);
    }
    QString unitsStringForBufferUnits() const override { return m_geometryCommands.bufferUnitsString(); }
    double unitsConversionFactorForBufferUnits() const override { return m_geometryCommands.pointsPerBufferUnit(); }
    void bufferControllerPerformBufferingWithDistance(double distance) override
    {
        m_geometryCommands.bufferByDistance(distance);
    }

    // --- Tracing an image (see MapImageTracing) -----------------------------------------------
    Q_INVOKABLE void vectorizeImageSelection(QObject* = nullptr) { m_tracing.runSheet(); }
    Q_INVOKABLE QImage vectorizingSourceImage() const { return m_tracing.sourceImage(); }
    Q_INVOKABLE QVariantMap vectorizingOptions() const;
    Q_INVOKABLE void vectorizeWithOptions(const QVariantMap& options) { m_tracing.vectorizeWithOptions(options); }
    QVNVectorizingOptionsController* vectorizingController() const { return m_tracing.sheet(); }
    // Makes symbol items in the library of the selected objects (the library asks first when
    // there are many).
    Q_INVOKABLE void createSymbol(QObject* sender = nullptr);

    // --- Window state and side panels (see MapDocumentSidebars) -------------------------------
    QVariantMap restorableStateInfo() const { return m_sidebars.restorableStateInfo(); }
    void restoreWithStateInfo(const QVariantMap& state) { m_sidebars.restoreWithStateInfo(state); }
    QVariantMap windowRestorationState() const { return m_sidebars.windowRestorationState(); }
    void setWindowRestorationState(const QVariantMap& state) { m_sidebars.setWindowRestorationState(state); }
    Q_INVOKABLE void saveRestorableStateAsPreference() const { m_sidebars.saveRestorableStateAsPreference(); }
    void restoreStateFromPreference() { m_sidebars.restoreStateFromPreference(); }
    void windowStateDidChange() { m_sidebars.windowStateDidChange(); }
    static constexpr int kWindowStateSaveDelay = MapDocumentSidebars::kWindowStateSaveDelay;
    void makeTabViewControllers() { m_sidebars.makeTabViewControllers(); }
    SidebarTab* tabWithIdentifier(const QString& identifier) const { return m_sidebars.tabWithIdentifier(identifier); }
    bool selectTabWithIdentifier(const QString& identifier) { return m_sidebars.selectTabWithIdentifier(identifier); }
    QWidget* sidebarTabView() const { return m_sidebars.leftSidePanel(); }
    QWidget* rightHandSidebarTabView() const { return m_sidebars.rightSidePanel(); }
    // The document is the delegate of both side panels' tab views.
    Messages answeredTabViewMessages() const override;
    void tabViewDidAddTab(SidebarTabView& tabView, SidebarTab& tab, qsizetype) override
    {
        m_sidebars.tabViewDidAddTab(tabView, tab);
    }
    void tabViewDidMoveTab(SidebarTabView&, SidebarTab&, qsizetype) override { windowStateDidChange(); }
    void tabViewDidChangeInterfaceState(SidebarTabView&) override { windowStateDidChange(); }
    void tabViewDidBecomeEmpty(SidebarTabView& tabView) override { m_sidebars.tabViewDidBecomeEmpty(tabView); }

    // --- Export settings ----------------------------------------------------------------
    // The export operation of the document (its MapExportSettings travel in the package); null until
    // one is made or read from the package through the installed factory.
    const ZQObjectPtr& exportOperation() const { return m_exportOperation; }
    void setExportOperation(const ZQObjectPtr& operation);
    using ExportOperationFactory = std::function<ZQObjectPtr(const QVariantMap& restorableStateInfo)>;
    static void setExportOperationFactory(ExportOperationFactory factory);
    static const ExportOperationFactory& exportOperationFactory();

    // --- Export slices ------------------------------------------------------------------
    // Every drawing the document takes holds one slices layer, hidden unless it is the active
    // layer: the installed factory makes it when the drawing has none.
    void setDrawing(const VXDrawingPtr& drawing) override;
    using SlicesLayerFactory = std::function<VXLayerPtr()>;
    static void setSlicesLayerFactory(SlicesLayerFactory factory);

    // --- Document library (see MapDocumentLibrary) -------------------------------------------
    QList<ZQObjectPtr> allLibraryObjects() const { return m_library.allLibraryObjects(); }
    const ZQObjectPtr& library() const { return m_library.library(); }
    void setLibrary(const ZQObjectPtr& library) { m_library.setLibrary(library); }
    void makeTemporaryDocumentLibrary() { m_library.makeTemporaryDocumentLibrary(); }
    void updateTemporaryDocumentLibraryWithItems(const QList<ZQObjectPtr>& objects)
    {
        m_library.updateTemporaryDocumentLibraryWithItems(objects);
    }
    void styleSubstitutionNotification(const platform::Notification& notification)
    {
        m_library.styleSubstitutionNotification(notification);
    }
    void remergeStylesReadFromURL(const QList<ZQObjectPtr>& styles, const QUrl& url)
    {
        m_library.remergeStylesReadFromURL(styles, url);
    }
    void cleanUpIfNeeded() { m_library.cleanUpIfNeeded(); }

    // --- Reading and writing ---------------------------------------------------------------
    // Failures carry their reason under platform::kReadFailureReasonKey or kWriteFailureReasonKey.
    bool readFromURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error) override;
    bool writeToURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error) override;
    bool readFromFileWrapperOfTypeError(const platform::FileWrapper& wrapper, const QString& typeName,
                                        QuorvaneError* error) override;
    std::optional<platform::FileWrapper> fileWrapperOfTypeError(const QString& typeName, QuorvaneError* error) override;
    bool readsPackageFilesOnDemand() const override { return true; }
    // A Save or Save As makes the copies it wrote of the package's other files the ones kept.
    // Files it could not carry over are told after it, in a warning.
    bool saveToURLOfTypeForSaveOperationError(const QUrl& url, const QString& typeName, SaveOperationType operation,
                                              QuorvaneError* error) override;
    void makeWindowControllers() override;
    MapDocumentWindowController* mapWindowController() const;
    // The map window has made its views.
    virtual void windowControllerDidLoadWindow(MapDocumentWindowController* controller) {}

protected:
    // Hands the document library back.
    void documentWillClose() override;
    // In the save's progress window, under its bar.
    void tellDuringSave(const QString& note) override;
    // Called after the map scale changed (also when undone).
    virtual void mapScaleDidChange() {}
    // What a subclass keeps in the package beside the drawing, given on saving and on reading.
    virtual void addToContentsToSave(MapDocumentContents& contents) const {}
    virtual void takeFromContentsRead(const MapDocumentContents& contents) {}
    // Takes over what a document made from part of `original` keeps from it.
    virtual void adoptFromOriginalDocumentSourceRect(const ZQQuorvaneDocument& original, const QRectF& sourceRect);

    void insertLayerWithActionName(const VXLayerPtr& layer, const QString& actionName)
    {
        m_layerCommands.insertLayerWithActionName(layer, actionName);
    }
    void setActiveLayerUndoably(VXLayer* layer) { m_layerCommands.setActiveLayerUndoably(layer); }

private:
    void installSlicesLayer();
    std::optional<platform::FileWrapper> packageWrapper(QuorvaneError* error, const platform::FileWrapper::Proceed& proceed);
    bool writePackageToPath(const QString& path, QuorvaneError* error);

    MapLayerCommands m_layerCommands{*this};
    MapDocumentPrinting m_printing{*this};
    MapDocumentSidebars m_sidebars{*this};
    MapDrawingSetup m_setup{*this};
    MapGeometryCommands m_geometryCommands{*this};
    MapImageTracing m_tracing{*this};
    MapDocumentLibrary m_library{*this};
    VXQMapScalePtr m_mapScale;
    // The undo step on top when the calibration sheet opened; the history's limit may drop it.
    std::weak_ptr<const platform::UndoGroup> m_undoBeforeCalibration;
    double m_prescale = 1.0;
    int m_unitDisplayOption = 0;
    QVariantMap m_documentInfo;
    ZQObjectPtr m_exportOperation;
    // The progress of the save under way, else null.
    DocumentWorkProgress* m_saveProgress = nullptr;
    // The package's files the map does not read, written back with it.
    platform::FileWrapper m_otherPackageFiles = platform::FileWrapper::directory();
    // The kept files the write of the save under way could not carry over.
    QList<platform::FileWrapper::FileLeftOut> m_filesLeftOut;
};
