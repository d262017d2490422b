#include "app/document/ZQQuorvaneDocument.h"

#include "app/services/LibraryServices.h"
#include "app/services/MapDocumentServices.h"
#include "app/document/DocumentWorkProgress.h"
#include "app/document/MapDocumentPackage.h"
#include "app/document/MapDocumentWindowController.h"
#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentError.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXGuideLayer.h"

#include <QFileInfo>
#include <QScopedValueRollback>
#include <cmath>

namespace {

ZQQuorvaneDocument::ExportOperationFactory& exportOperationFactoryStorage()
{
    static ZQQuorvaneDocument::ExportOperationFactory factory;
    return factory;
}

ZQQuorvaneDocument::SlicesLayerFactory& slicesLayerFactoryStorage()
{
    static ZQQuorvaneDocument::SlicesLayerFactory factory;
    return factory;
}

bool isMapType(const QString& typeName)
{
    return typeName == kZQMapDocumentType || typeName == kZQLegacyMapDocumentType;
}

QuorvaneError unsupportedTypeError(const QString& typeName)
{
    return QuorvaneError(kQuorvaneDocumentError,
                         QObject::tr("Documents of type “%1” are not supported.").arg(typeName));
}

// Of a save's progress, the map's encoding; the rest writes its files, the kept ones among them.
constexpr double kEncodingShare = 0.8;

// Told once the save has ended, modal to the application rather than to the map's window: a
// save asked for by closing the window closes it right after.
void tellFilesLeftOut(const QUrl& url, const QList<platform::FileWrapper::FileLeftOut>& leftOut)
{
    if (leftOut.isEmpty())
        return;
    QStringList lines;
    for (const platform::FileWrapper::FileLeftOut& file : leftOut)
        lines << QObject::tr("“%1” was left out: %2.").arg(file.path, file.reason);
    platform::Alert alert;
    alert.setMessageText(QObject::tr("The document “%1” was saved without some of the files it held.")
                             .arg(QFileInfo(url.toLocalFile()).fileName()));
    alert.setInformativeText(lines.join(QLatin1Char('\n')));
    alert.setAlertStyle(platform::Alert::WarningStyle);
    platform::RunLoop::runOnMainThread([alert]() mutable { alert.beginSheetModalForWindowCompletionHandler(nullptr, {}); });
}

// Failures that did not come with a reason get one under `key`, so every read or write
// failure says why in the same place.
void ensureReason(QuorvaneError* error, const QString& key)
{
    if (!error || !error->isError() || error->userInfo().contains(key))
        return;
    QVariantMap userInfo = error->userInfo();
    userInfo.insert(key, error->localizedDescription());
    *error = QuorvaneError(error->code(), error->localizedDescription(), userInfo, error->domain());
}

} // namespace

ZQQuorvaneDocument::ZQQuorvaneDocument()
    : m_mapScale(defaultDrawingScale())
    , m_prescale(defaultPrescale())
{
}

ZQQuorvaneDocument::~ZQQuorvaneDocument()
{
    m_sidebars.detachFromTabViews();
}

bool ZQQuorvaneDocument::initWithTypeError(const QString& typeName, QuorvaneError* error)
{
    if (!isMapType(typeName) && typeName != kVXDrawingDocumentType) {
        if (error)
            *error = unsupportedTypeError(typeName);
        return false;
    }
    return VXDrawingDocument::initWithTypeError(typeName, error);
}

// --- The drawing ---------------------------------------------------------------------------------

VXDrawingPtr ZQQuorvaneDocument::makeDefaultDrawing()
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(defaultDrawingSize());
    drawing->setMargins(defaultDrawingMargins());
    const ZQUnitLengthPtr units = defaultDrawingUnits();
    drawing->setUnitsUnitToPointsConversionFactor(units, units->conversionFactorForPoints());

    // The map's index grid comes from the furniture library; without it, a plain grid.
    const auto& makeMapGrid = MapDocumentServices::installed().makeDefaultMapGrid;
    if (std::shared_ptr<VXGridLayer> grid = makeMapGrid ? makeMapGrid() : nullptr) {
        drawing->addLayer(grid);
    } else {
        grid = std::make_shared<VXGridLayer>();
        grid->setLayerName(tr("Grid"));
        drawing->addLayer(grid);
        grid->setSpanDivisionsMajorsRulerSteps(units->conversionFactorForPoints(), 10, 5, 2);
    }
    auto layer = std::make_shared<VXQMappingLayer>();
    layer->setLayerName(tr("Layer 1"));
    drawing->addLayer(layer);
    auto guides = std::make_shared<VXGuideLayer>();
    guides->setLayerName(tr("Guides"));
    drawing->addLayer(guides);
    drawing->setActiveLayer(layer.get());
    return drawing;
}

const QMetaObject& ZQQuorvaneDocument::classOfDefaultDrawingLayer() const
{
    return VXQMappingLayer::staticMetaObject;
}

VXLayer* ZQQuorvaneDocument::activeLayer() const
{
    return drawing() ? drawing()->activeLayer() : nullptr;
}

VXObjectDrawingLayer* ZQQuorvaneDocument::activeObjectLayer() const
{
    return dynamic_cast<VXObjectDrawingLayer*>(activeLayer());
}

int ZQQuorvaneDocument::countOfItemsInSelection() const
{
    const VXObjectDrawingLayer* layer = activeObjectLayer();
    return layer ? int(layer->selectedAvailableObjects().size()) : 0;
}

bool ZQQuorvaneDocument::hasValidSelection() const
{
    const VXObjectDrawingLayer* layer = activeObjectLayer();
    return layer && layer->visible() && !layer->locked() && countOfItemsInSelection() > 0;
}

// --- Map scale and symbol prescale ---------------------------------------------------------------

void ZQQuorvaneDocument::setMapScale(const VXQMapScalePtr& scale)
{
    if (!scale) {
        ZQLogObjCMethod(QStringLiteral("a document always has a map scale; null refused"));
        return;
    }
    if (m_mapScale->isEqualToMapScale(scale.get()))
        return;
    ZQUndoManager* undo = undoManager();
    undo->registerUndoWithTargetHandler(this, [this, previous = m_mapScale] { setMapScale(previous); });
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    center.postNotificationName(kQuorvaneMapScaleWillChangeNotification, this);
    m_mapScale = scale;
    center.postNotificationName(kQuorvaneMapScaleDidChangeNotification, this);
    if (!undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(tr("Change Map Scale"));
    ZQLog(QStringLiteral("set map scale = %1").arg(scale->description()));
    mapScaleDidChange();
}

void ZQQuorvaneDocument::calibrationWillBegin(QObject*)
{
    ZQUndoManager* undo = undoManager();
    // What the event that opened the sheet changed stays a step of its own.
    undo->closeAutomaticGroup();
    m_undoBeforeCalibration = undo->peekUndo();
}

void ZQQuorvaneDocument::cancelCalibration(QObject*, const VXQMapScalePtr& original)
{
    ZQUndoManager* undo = undoManager();
    undo->closeAutomaticGroup();
    {
        // Undone with registration off, so nothing lands on the redo stack.
        const platform::UndoSuspension noRedo(undo);
        const QString stepName = tr("Change Map Scale");
        const ZQUndoManager::Group before = m_undoBeforeCalibration.lock();
        while (undo->canUndo() && undo->peekUndo() != before && undo->undoActionName() == stepName)
            undo->undo();
    }
    // Steps the history no longer held: the scale is set back as a change of its own.
    setMapScale(original);
}

void ZQQuorvaneDocument::setPrescale(double prescale)
{
    if (!std::isfinite(prescale) || prescale <= 0 || prescale == m_prescale)
        return;
    announceChangeForKey(QStringLiteral("prescale"), [&] { m_prescale = prescale; });
}

void ZQQuorvaneDocument::setUnitDisplayOption(int option)
{
    if (option == m_unitDisplayOption)
        return;
    announceChangeForKey(QStringLiteral("unitDisplayOption"), [&] { m_unitDisplayOption = option; });
    if (drawing())
        drawing()->setNeedsDisplayInRect(drawing()->bounds());
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXDocumentDisplayUnitOptionsChanged, this);
}

ZQUnitLengthPtr ZQQuorvaneDocument::delegateConvertedDisplayUnits() const
{
    return delegateConvertedDisplayMultiplier() > 0 ? m_mapScale->representedMeasurement()->unit() : nullptr;
}

double ZQQuorvaneDocument::delegateConvertedDisplayMultiplier() const
{
    if (!m_mapScale || !m_mapScale->referenceMeasurement() || !m_mapScale->representedMeasurement())
        return 0;
    const double represented = m_mapScale->representedMeasurement()->value();
    const double points = m_mapScale->referenceMeasurement()->lengthInPoints();
    // A scale that maps onto nothing gives no ground units rather than an infinite factor.
    if (!(represented > 0) || !(points > 0) || !std::isfinite(points / represented))
        return 0;
    return points / represented;
}

// --- Document information ------------------------------------------------------------------------

void ZQQuorvaneDocument::setDocumentInfo(const QVariantMap& info)
{
    announceChangeForKey(QStringLiteral("documentInfo"), [&] { m_documentInfo = info; });
}

// --- Documents made from drawings ----------------------------------------------------------------

std::shared_ptr<ZQQuorvaneDocument> ZQQuorvaneDocument::documentWithDrawingDisplay(const VXDrawingPtr& drawing,
                                                                                   bool display)
{
    return documentWithDrawingDisplayFromOriginalDocumentSourceRect(drawing, display, nullptr, QRectF());
}

std::shared_ptr<ZQQuorvaneDocument> ZQQuorvaneDocument::documentWithDrawingDisplayFromOriginalDocumentSourceRect(
    const VXDrawingPtr& drawing, bool display, const ZQQuorvaneDocument* original, const QRectF& sourceRect)
{
    ZQ_ASSERT(drawing, QStringLiteral("invalid drawing, can't be nil"));
    platform::DocumentController* controller = platform::DocumentController::sharedDocumentController();
    QuorvaneError error;
    auto document = std::dynamic_pointer_cast<ZQQuorvaneDocument>(
        controller->makeUntitledDocumentOfTypeError(kZQMapDocumentType, &error));
    if (!document) {
        if (!error)
            error = unsupportedTypeError(kZQMapDocumentType);
        ZQLog(QStringLiteral("the document could not be created. error=%1").arg(error.localizedDescription()));
        return nullptr;
    }
    document->setDrawing(drawing);
    if (original)
        document->adoptFromOriginalDocumentSourceRect(*original, sourceRect);
    document->undoManager()->removeAllActions();
    document->updateChangeCount(ChangeCleared);
    controller->addDocument(document);
    if (display) {
        document->makeWindowControllers();
        document->showWindows();
    }
    return document;
}

void ZQQuorvaneDocument::adoptFromOriginalDocumentSourceRect(const ZQQuorvaneDocument& original, const QRectF&)
{
    m_mapScale = original.mapScale();
}

// --- Commands ------------------------------------------------------------------------------------

void ZQQuorvaneDocument::createSymbol(QObject*)
{
    const auto& create = LibraryServices::installed().createSymbolsFromObjects;
    const VXObjectDrawingLayer* layer = activeObjectLayer();
    if (!create || !layer || !hasValidSelection())
        return;
    QList<ZQObjectPtr> objects;
    for (const VXDrawableObjectPtr& object : layer->selection())
        objects.append(object);
    create(objects);
}

QVariantMap ZQQuorvaneDocument::vectorizingOptions() const
{
    return VXImageShape::tracingParameters();
}

bool ZQQuorvaneDocument::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    if (action == "vectorizeImageSelection")
        return m_tracing.selectedImageShape() != nullptr;
    if (action == "createSymbol")
        return hasValidSelection() && LibraryServices::installed().createSymbolsFromObjects;
    if (action == "linearDuplicate")
        return countOfItemsInSelection() != 0 && m_geometryCommands.hasLinearDuplicateSheet();
    if (action == "polarDuplicate")
        return countOfItemsInSelection() != 0 && m_geometryCommands.hasPolarDuplicateSheet();
    if (action == "bufferAction")
        return canBuffer() && m_geometryCommands.hasBufferSheet();
    if (action == "openCalibrationPanel")
        return platform::ClassRegistry::metaObjectForName(kQVNCalibrationControllerClassName) != nullptr;
    if (action == "newDrawingLayer" || action == "addLayerGroupAction")
        return couldAddNewLayerOrLayerGroup();
    if (action == "duplicateLayer")
        return couldDuplicateLayer();
    if (action == "deleteLayerAction")
        return couldDeleteLayer();
    if (action == "toggleLockAction") {
        const VXLayer* layer = activeLayer();
        item->setTitle(layer && layer->locked() ? tr("Unlock Layer") : tr("Lock Layer"));
        return layer != nullptr;
    }
    if (action == "makeActiveAction") {
        const VXLayerPtr layer = item->representedObject().value<VXLayerPtr>();
        item->setState(layer && layer->isActive() ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return layer && drawing() && drawing()->containsLayer(layer.get()) && layer->layerMayBecomeActive();
    }
    return Document::validateMenuItem(item);
}

// --- The layers panel's delegate ------------------------------------------------------------------

QString ZQQuorvaneDocument::layersControllerNeedsClassForDrawingLayers(QObject*) const
{
    return QString::fromLatin1(classOfDefaultDrawingLayer().className());
}

QString ZQQuorvaneDocument::layersControllerNeedsClassForLayerGroup(QObject*) const
{
    return QStringLiteral("VXLayerGroup");
}

void ZQQuorvaneDocument::layersControllerShowGridOptionsForLayer(QObject*, QObject*)
{
    openGridSettingsPanel(nullptr);
}

void ZQQuorvaneDocument::layersControllerShowDrawingOptionsForDrawing(QObject*, QObject*)
{
    openDrawingSizePanel(nullptr);
}

void ZQQuorvaneDocument::layersControllerShowExportOptionsForLayer(QObject*, QObject*)
{
    if (const auto& exportSlices = MapDocumentServices::installed().exportSlices)
        exportSlices(*this);
    else
        ZQLogObjCMethod(QStringLiteral("the export sheet is not in this build"));
}

SidebarTabViewDelegate::Messages ZQQuorvaneDocument::answeredTabViewMessages() const
{
    return DidAddTab | DidMoveTab | DidChangeInterfaceState | DidBecomeEmpty;
}

// --- Export settings -------------------------------------------------------------------------------

void ZQQuorvaneDocument::setExportOperation(const ZQObjectPtr& operation)
{
    m_exportOperation = operation;
}

void ZQQuorvaneDocument::setDrawing(const VXDrawingPtr& drawing)
{
    const bool replacing = this->drawing() && drawing != this->drawing();
    VXDrawingDocument::setDrawing(drawing);
    installSlicesLayer();
    if (replacing)
        m_sidebars.handDrawingToPanels(drawing.get());
}

void ZQQuorvaneDocument::setSlicesLayerFactory(SlicesLayerFactory factory)
{
    slicesLayerFactoryStorage() = std::move(factory);
}

void ZQQuorvaneDocument::installSlicesLayer()
{
    VXDrawing* current = drawing().get();
    if (!current)
        return;
    // Taking a drawing is not an edit the user could undo.
    const platform::UndoSuspension suspension(undoManager());
    if (!current->slicesLayer() && slicesLayerFactoryStorage())
        current->addLayer(slicesLayerFactoryStorage()());
    // Hidden unless it is the active layer: a drawing saved while editing slices opens with
    // them shown, as activation would show them.
    if (VXLayer* slices = current->slicesLayer())
        slices->setVisible(slices->isActive());
}

void ZQQuorvaneDocument::setExportOperationFactory(ExportOperationFactory factory)
{
    exportOperationFactoryStorage() = std::move(factory);
}

const ZQQuorvaneDocument::ExportOperationFactory& ZQQuorvaneDocument::exportOperationFactory()
{
    return exportOperationFactoryStorage();
}

// --- Document library ----------------------------------------------------------------------------

void ZQQuorvaneDocument::documentWillClose()
{
    cleanUpIfNeeded();
    VXDrawingDocument::documentWillClose();
}

void ZQQuorvaneDocument::tellDuringSave(const QString& note)
{
    if (m_saveProgress)
        m_saveProgress->setNote(note);
    else
        VXDrawingDocument::tellDuringSave(note);
}

// --- Reading and writing ---------------------------------------------------------------------------

bool ZQQuorvaneDocument::readFromURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error)
{
    const bool read = VXDrawingDocument::readFromURLOfTypeError(url, typeName, error);
    if (!read)
        ensureReason(error, platform::kReadFailureReasonKey);
    else
        remergeStylesReadFromURL(allLibraryObjects(), url);
    return read;
}

bool ZQQuorvaneDocument::writeToURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error)
{
    const bool written = isMapType(typeName) ? writePackageToPath(url.toLocalFile(), error)
                                             : VXDrawingDocument::writeToURLOfTypeError(url, typeName, error);
    if (!written)
        ensureReason(error, platform::kWriteFailureReasonKey);
    return written;
}

bool ZQQuorvaneDocument::writePackageToPath(const QString& path, QuorvaneError* error)
{
    DocumentWorkProgress progress(tr("Saving “%1”").arg(displayName()));
    const QScopedValueRollback<DocumentWorkProgress*> saving(m_saveProgress, &progress);
    const std::optional<platform::FileWrapper> package =
        packageWrapper(error, [&](double fraction) { return progress.proceed(fraction * kEncodingShare); });
    return package && package->writeToPath(path, error, &m_filesLeftOut, [&](double fraction) {
        return progress.proceed(kEncodingShare + (1 - kEncodingShare) * fraction);
    });
}

bool ZQQuorvaneDocument::saveToURLOfTypeForSaveOperationError(const QUrl& url, const QString& typeName,
                                                              SaveOperationType operation, QuorvaneError* error)
{
    m_filesLeftOut.clear();
    if (!VXDrawingDocument::saveToURLOfTypeForSaveOperationError(url, typeName, operation, error))
        return false;
    // The package read may go later.
    if (operation != SaveToOperation)
        m_otherPackageFiles.relocateTo(url.toLocalFile());
    const QList<platform::FileWrapper::FileLeftOut> leftOut = std::exchange(m_filesLeftOut, {});
    for (const platform::FileWrapper::FileLeftOut& file : leftOut)
        m_otherPackageFiles.removeFileWrapperAtPath(file.path);
    tellFilesLeftOut(url, leftOut);
    return true;
}

bool ZQQuorvaneDocument::readFromFileWrapperOfTypeError(const platform::FileWrapper& wrapper, const QString& typeName,
                                                        QuorvaneError* error)
{
    if (typeName == kVXDrawingDocumentType)
        return VXDrawingDocument::readFromFileWrapperOfTypeError(wrapper, typeName, error);
    if (!isMapType(typeName)) {
        if (error)
            *error = unsupportedTypeError(typeName);
        return false;
    }
    // A document being opened has no file yet: its name is the package's.
    const QString name = wrapper.filename().isEmpty() ? displayName() : QFileInfo(wrapper.filename()).completeBaseName();
    DocumentWorkProgress progress(tr("Opening “%1”").arg(name));
    std::optional<MapDocumentContents> contents =
        MapDocumentPackage::read(wrapper, error, [&](double fraction) { return progress.proceed(fraction); });
    if (!contents)
        return false;
    setDrawing(contents->drawing);
    m_mapScale = contents->mapScale;
    if (contents->printInfo)
        m_printing.restorePrintInfo(*contents->printInfo);
    setDocumentInfo(contents->documentInfo);
    setPrescale(contents->prescale.value_or(defaultPrescale()));
    setWindowRestorationState(contents->windowState);
    takeFromContentsRead(*contents);
    m_otherPackageFiles = std::move(contents->otherFiles);
    if (contents->exportSettings && exportOperationFactory())
        m_exportOperation = exportOperationFactory()(*contents->exportSettings);
    return true;
}

std::optional<platform::FileWrapper> ZQQuorvaneDocument::fileWrapperOfTypeError(const QString& typeName,
                                                                                QuorvaneError* error)
{
    if (typeName == kVXDrawingDocumentType)
        return VXDrawingDocument::fileWrapperOfTypeError(typeName, error);
    if (!isMapType(typeName)) {
        if (error)
            *error = unsupportedTypeError(typeName);
        return std::nullopt;
    }
    DocumentWorkProgress progress(tr("Saving “%1”").arg(displayName()));
    return packageWrapper(error, [&](double fraction) { return progress.proceed(fraction); });
}

std::optional<platform::FileWrapper> ZQQuorvaneDocument::packageWrapper(QuorvaneError* error,
                                                                        const platform::FileWrapper::Proceed& proceed)
{
    MapDocumentContents contents{drawing(), m_mapScale, printInfo(), m_documentInfo, restorableStateInfo(), {}, m_prescale};
    if (const auto* settings = dynamic_cast<const MapExportSettings*>(m_exportOperation.get()))
        contents.exportSettings = settings->restorableStateInfo();
    contents.otherFiles = m_otherPackageFiles;
    addToContentsToSave(contents);
    return MapDocumentPackage::write(contents, error, proceed);
}

void ZQQuorvaneDocument::makeWindowControllers()
{
    if (windowControllers().isEmpty())
        addWindowController(std::make_shared<MapDocumentWindowController>());
}

MapDocumentWindowController* ZQQuorvaneDocument::mapWindowController() const
{
    for (platform::WindowController* controller : windowControllers()) {
        if (auto* map = qobject_cast<MapDocumentWindowController*>(controller))
            return map;
    }
    return nullptr;
}
