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
#include "app/document/MapLayerCommands.h"
#include "app/document/MapTemplates.h"
#include "app/setup/MapScaleCalibration.h"
#include "app/sidebar/SidebarTabViewDelegate.h"
#include "platform/vantrix/model/VXDrawingDocument.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <functional>

class DrawingSetupSheet;
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

inline const QString kVLTMDocument_DefaultRestorableState = QStringLiteral("kVLTMDocument_DefaultRestorableState");

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
    // The calibration sheet, made on first use and kept; null while no library provides one.
    ZQCalibrationPanel* calibrationController();
    // Opens the calibration sheet on the document's window, with the map-side length editable.
    Q_INVOKABLE void openCalibrationPanel(QObject* sender = nullptr);
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

    // --- Drawing set-up -----------------------------------------------------------------------
    // A new set-up dictionary (see DrawingSetupSettings.h) of the drawing; unlocks the grid
    // without an undo step and always reports the index grid missing.
    QVariantMap dictionaryOfDrawingSettings();
    // Applies a set-up dictionary. A preview or cancel (true) registers no undo; a commit
    // (false) is one undo step "Drawing Setup" that applies the set-up sheet's original
    // settings (the state before, without a sheet) and locks the grid. An empty dictionary is
    // a programming error.
    void performDrawingSetUpWithOptionsIsPreviewOrCancel(const QVariantMap& settings, bool previewOrCancel);
    // The part a live preview shows: map scale, units, grid and paper.
    void performDrawingPreviewWithOptions(const QVariantMap& settings);
    // The set-up sheet on its drawing page, or on its graph-paper page; one sheet per
    // document, made through WindowServices on first use. Also the calibration's Advanced.
    Q_INVOKABLE void openDrawingSizePanel(QObject* sender) override;
    Q_INVOKABLE void openGridSettingsPanel(QObject* sender);
    bool canOpenDrawingSizePanel() const override;

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

    // --- Geometry commands ---------------------------------------------------------------------
    // Run the linear or polar duplicate sheet on the document's window (one of each kind per
    // document, made on first use), or a new buffer sheet.
    Q_INVOKABLE void linearDuplicate(QObject* sender = nullptr);
    Q_INVOKABLE void polarDuplicate(QObject* sender = nullptr);
    Q_INVOKABLE void bufferAction(QObject* sender = nullptr);
    // Whether the active object layer's one selected object can be buffered and is unlocked.
    bool canBuffer() const;
    // Copies of the active object layer's selected available objects, added and selected as
    // one undo step ("Linear Duplication", "Polar Duplication", "Auto Polar Duplication").
    // Nothing without a selection (auto: without exactly one object), or for a count of
    // copies outside 1 to VXObjectDrawingLayer::kMaximumDuplicateCopies.
    void doLinearDuplicateCopiesOffset(int copies, QSizeF offset) override;
    QString unitsStringForOffsetUnits() const override { return unitsStringForBufferUnits(); }
    double unitsConversionFactorForOffsetUnits() const override;
    void doPolarDuplicateCopiesCentreIncAngleRotateCopies(int copies, QPointF centre, double incrementAngle,
                                                          bool rotateCopies) override;
    void doAutoPolarDuplicateWithCentre(QPointF centre) override;
    bool locatesGridPoints() const override { return true; }
    QPointF gridPointForPointInWindowSnapToGrid(QPointF point, QWidget* window, bool snap) override;
    QString unitsStringForBufferUnits() const override;
    double unitsConversionFactorForBufferUnits() const override;
    // Beeps, changing nothing, unless the object can be buffered and the distance is positive.
    void bufferControllerPerformBufferingWithDistance(double distance) override;

    // --- Tracing an image -------------------------------------------------------------------
    // Opens the tracing sheet (the document's own, made on first use) with this document as
    // its delegate.
    Q_INVOKABLE void vectorizeImageSelection(QObject* sender = nullptr);
    // Makes symbol items in the library of the selected objects (the library asks first when
    // there are many).
    Q_INVOKABLE void createSymbol(QObject* sender = nullptr);
    // The image of the single selected image shape as it is shown; null without one.
    Q_INVOKABLE QImage vectorizingSourceImage() const;
    // The image shapes' class-wide tracing parameters.
    Q_INVOKABLE QVariantMap vectorizingOptions() const;
    // Makes the options the class-wide parameters and vectorizes the single selected image
    // shape ("Vectorize"); nothing without one.
    Q_INVOKABLE void vectorizeWithOptions(const QVariantMap& options);
    QVNVectorizingOptionsController* vectorizingController() const { return m_vectorizingController.get(); }

    // --- Window state --------------------------------------------------------------------
    // The window's restorable state: {"splits": the split sizes, "left_sidebar",
    // "right_sidebar": the state of each side panel's tab view}.
    // Before the window exists, the state read from the package.
    QVariantMap restorableStateInfo() const;
    // Applies a state; an empty one is a programming error.
    void restoreWithStateInfo(const QVariantMap& state);
    // The state to restore once the window is made (read from the package).
    QVariantMap windowRestorationState() const { return m_windowRestorationState; }
    void setWindowRestorationState(const QVariantMap& state);
    // The state new windows start with, kept in the user defaults.
    Q_INVOKABLE void saveRestorableStateAsPreference() const;
    void restoreStateFromPreference();
    // The window's layout changed: the preference follows 2 s after the last change.
    void windowStateDidChange();
    static constexpr int kWindowStateSaveDelay = 2000;
    // Called as the window is set up: restores the pending state (or the preference's); side
    // panels left without tabs get the default ones on the right.
    void makeTabViewControllers();
    // The first tab with that identifier, left side panel first; null without one.
    SidebarTab* tabWithIdentifier(const QString& identifier) const;
    // Makes the tab with the identifier current in its side panel; false when there is none.
    bool selectTabWithIdentifier(const QString& identifier);

    // The side panels' tab views tell the document about their tabs: it gives each new tab
    // its panel controller (turning away identifiers without one, the undo history and
    // duplicates), saves the arrangement as the preference, and collapses an emptied panel.
    Messages answeredTabViewMessages() const override;
    void tabViewDidAddTab(SidebarTabView& tabView, SidebarTab& tab, qsizetype index) override;
    void tabViewDidMoveTab(SidebarTabView& tabView, SidebarTab& tab, qsizetype toIndex) override;
    void tabViewDidChangeInterfaceState(SidebarTabView& tabView) override;
    void tabViewDidBecomeEmpty(SidebarTabView& tabView) override;
    // The left and right side panels of the window; null before it is made.
    QWidget* sidebarTabView() const;
    QWidget* rightHandSidebarTabView() const;

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
    // Hands the document library back.
    void close() override;

    // --- Reading and writing ---------------------------------------------------------------
    // Failures carry their reason under platform::kReadFailureReasonKey or kWriteFailureReasonKey.
    bool readFromURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error) override;
    bool writeToURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error) override;
    bool readFromFileWrapperOfTypeError(const platform::FileWrapper& wrapper, const QString& typeName,
                                        QuorvaneError* error) override;
    std::optional<platform::FileWrapper> fileWrapperOfTypeError(const QString& typeName, QuorvaneError* error) override;
    void makeWindowControllers() override;
    MapDocumentWindowController* mapWindowController() const;
    // The map window has made its views.
    virtual void windowControllerDidLoadWindow(MapDocumentWindowController* controller) {}

protected:
    // Called after the map scale changed (also when undone).
    virtual void mapScaleDidChange() {}
    // Takes over what a document made from part of `original` keeps from it.
    virtual void adoptFromOriginalDocumentSourceRect(const ZQQuorvaneDocument& original, const QRectF& sourceRect);

    void insertLayerWithActionName(const VXLayerPtr& layer, const QString& actionName)
    {
        m_layerCommands.insertLayerWithActionName(layer, actionName);
    }
    void setActiveLayerUndoably(VXLayer* layer) { m_layerCommands.setActiveLayerUndoably(layer); }

private:
    void installSlicesLayer();
    VXObjectDrawingLayer* activeObjectLayer() const;
    void runDrawingSetupSheetOnPage(int page);
    // The active object layer's only selected object; null without exactly one.
    VXDrawableObject* singleSelectedObject() const;
    // Adds the copies to the layer, selected, as one undo step named `actionName`.
    void addDuplicates(const QList<VXDrawableObjectPtr>& copies, const QString& actionName);
    // The active object layer's only selected object when it is an image shape.
    VXImageShape* selectedImageShape() const;

    MapLayerCommands m_layerCommands{*this};
    MapDocumentPrinting m_printing{*this};
    MapDocumentLibrary m_library{*this};
    VXQMapScalePtr m_mapScale;
    double m_prescale = 1.0;
    int m_unitDisplayOption = 0;
    QVariantMap m_documentInfo;
    QVariantMap m_windowRestorationState;
    bool m_turningAwayTab = false;
    ZQObjectPtr m_exportOperation;
    std::shared_ptr<QVNVectorizingOptionsController> m_vectorizingController;
    std::shared_ptr<DrawingSetupSheet> m_drawingGridController;
    std::shared_ptr<LinearDuplicateSheet> m_linearDuplicateController;
    std::shared_ptr<PolarDuplicateSheet> m_polarDuplicateController;
    std::shared_ptr<BufferSheet> m_bufferController;
    ZQObjectPtr m_calibrationController;
};
