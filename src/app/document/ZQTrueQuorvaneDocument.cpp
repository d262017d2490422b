#include "app/document/ZQTrueQuorvaneDocument.h"

#include "app/services/MapDocumentServices.h"
#include "app/document/MapDocumentPackage.h"
#include "app/document/MapDocumentWindowController.h"
#include "app/import/ZQImportOptionsController.h"
#include "geodata/ZQESRIFile.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "terrain/layer/ZQContourLayer.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QThread>
#include <new>

namespace {

const QString kIndexGridClassName = QStringLiteral("VXQSquareAnnotatedGrid");
const QString kBorderLayerClassName = QStringLiteral("VXQBorderLayer");
const QString kRulerClassName = QStringLiteral("VXQRuler");

// A folder stands for its first .shp (by name); anything else for itself.
QString shapefileAtPath(const QString& path)
{
    if (!QFileInfo(path).isDir())
        return path;
    const QStringList shapefiles = QDir(path).entryList({QStringLiteral("*.shp")}, QDir::Files, QDir::Name);
    return shapefiles.isEmpty() ? path : QDir(path).filePath(shapefiles.first());
}

} // namespace

ZQTrueQuorvaneDocument::ZQTrueQuorvaneDocument() = default;

ZQTrueQuorvaneDocument::~ZQTrueQuorvaneDocument()
{
    // A parse may be calling this document from its worker; this waits for that call.
    cancelShapefileImports();
}

// --- Shapefiles ------------------------------------------------------------------------------------

void ZQTrueQuorvaneDocument::setShapefileTransform(const std::optional<QTransform>& transform)
{
    if (transform == m_shapefileTransform)
        return;
    undoManager()->registerUndoWithTargetHandler(
        this, [this, previous = m_shapefileTransform] { setShapefileTransform(previous); });
    m_shapefileTransform = transform;
}

QRectF ZQTrueQuorvaneDocument::esriFileWantsDocumentRect(ZQESRIFile*)
{
    return drawing() ? drawing()->interior() : QRectF();
}

std::optional<QTransform> ZQTrueQuorvaneDocument::esriFileWantsShapefileTransform(ZQESRIFile*)
{
    return m_shapefileTransform;
}

void ZQTrueQuorvaneDocument::addToContentsToSave(MapDocumentContents& contents) const
{
    contents.shapefileTransform = m_shapefileTransform;
}

// Read, not done: it enters no undo history.
void ZQTrueQuorvaneDocument::takeFromContentsRead(const MapDocumentContents& contents)
{
    m_shapefileTransform = contents.shapefileTransform;
}

std::shared_ptr<VXObjectOwnerLayer> ZQTrueQuorvaneDocument::makeLayerForImport(const ZQESRIFile& file) const
{
    QList<VXDrawableObjectPtr> objects;
    for (const ZQObjectPtr& object : file.createdObjects()) {
        if (auto drawable = std::dynamic_pointer_cast<VXDrawableObject>(object))
            objects.append(std::move(drawable));
    }
    if (objects.isEmpty())
        return nullptr;
    auto layer = std::dynamic_pointer_cast<VXObjectOwnerLayer>(makeDefaultDrawingLayer());
    ZQ_ASSERT(layer, QStringLiteral("the default drawing layer cannot hold objects"));
    layer->addObjectsFromArray(objects);
    return layer;
}

void ZQTrueQuorvaneDocument::esriFileWillFinishLoading(ZQESRIFile* file)
{
    std::shared_ptr<VXObjectOwnerLayer> layer;
    try {
        // Nobody can know the layer yet: what it and its objects would announce has no listener.
        const platform::NotificationSuspension unseen;
        layer = makeLayerForImport(*file);
    } catch (const std::bad_alloc&) {
        // The half-made layer goes here; the main thread only tells.
        const QMutexLocker lock(&m_importLayersMutex);
        m_importsOutOfMemory.append(file);
        return;
    }
    if (!layer)
        return;
    layer->moveLayerToThread(thread());
    const QMutexLocker lock(&m_importLayersMutex);
    m_importLayers.insert(file, std::move(layer));
}

std::shared_ptr<VXObjectOwnerLayer> ZQTrueQuorvaneDocument::takeLayerForImport(const ZQESRIFile& file)
{
    {
        const QMutexLocker lock(&m_importLayersMutex);
        if (std::shared_ptr<VXObjectOwnerLayer> layer = m_importLayers.take(&file))
            return layer;
    }
    return makeLayerForImport(file);
}

bool ZQTrueQuorvaneDocument::takeImportOutOfMemory(const ZQESRIFile& file)
{
    const QMutexLocker lock(&m_importLayersMutex);
    return m_importsOutOfMemory.removeOne(&file);
}

void ZQTrueQuorvaneDocument::esriFileDidFinishLoading(ZQESRIFile* file)
{
    m_shapefileImports.removeIf([file](const std::weak_ptr<ZQESRIFile>& import) {
        const auto reader = import.lock();
        return !reader || reader.get() == file;
    });
    // An import the user stopped delivers what it read before the stop, like a full one.
    bool outOfMemory = takeImportOutOfMemory(*file);
    std::shared_ptr<VXObjectOwnerLayer> layer;
    try {
        if (!outOfMemory)
            layer = takeLayerForImport(*file);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    if (outOfMemory) {
        if (drawing())
            alertShapesDidNotFitInLayer(*file);
        return;
    }
    if (!layer || !drawing()) {
        ZQLog(QStringLiteral("Shapefile import created no objects, layer not created"));
        // A stop needs no explaining.
        if (drawing() && !file->didAbort())
            alertNothingImported(*file);
        return;
    }
    if (file->usedTransform())
        setShapefileTransform(file->usedTransform());
    const QString name = QFileInfo(file->URL().toLocalFile()).completeBaseName();
    layer->setLayerName(drawing()->uniqueLayerNameForName(name.isEmpty() ? tr("Shapefile") : name));
    drawing()->addLayer(layer);
    setActiveLayerUndoably(layer.get());
    undoManager()->setActionName(tr("Import Shapefile"));
    reportNumbersKeptAsText(*file);
    reportLeftOut(*file);
}

void ZQTrueQuorvaneDocument::alertShapesDidNotFitInLayer(const ZQESRIFile& file)
{
    platform::Alert alert;
    alert.setMessageText(tr("Nothing was imported from “%1”.").arg(QFileInfo(file.URL().toLocalFile()).fileName()));
    alert.setInformativeText(tr("There was not enough memory to add its %1 shapes to the map.")
                                 .arg(QLocale().toString(qulonglong(file.countOfObjectsRead()))));
    alert.beginSheetModalForWindowCompletionHandler(windowForSheet(), {});
}

void ZQTrueQuorvaneDocument::reportLeftOut(const ZQESRIFile& file)
{
    const geodata::LeftOutRecords leftOut = file.leftOut();
    const QString description = leftOut.description();
    if (description.isEmpty())
        return;
    const QString name = QFileInfo(file.URL().toLocalFile()).fileName();
    platform::Alert alert;
    if (leftOut.recordCount() == 0 && leftOut.pointsLeftOut > 0)
        alert.setMessageText(tr("Some points of “%1” were left out.").arg(name));
    else if (leftOut.recordCount() == 0)
        alert.setMessageText(tr("The attributes of “%1” could not be read.").arg(name));
    else if (leftOut.recordCount() == leftOut.damaged)
        alert.setMessageText(tr("Some records of “%1” could not be read.").arg(name));
    else
        alert.setMessageText(tr("Some records of “%1” were left out.").arg(name));
    alert.setInformativeText(description);
    alert.beginSheetModalForWindowCompletionHandler(windowForSheet(), {});
}

void ZQTrueQuorvaneDocument::reportNumbersKeptAsText(const ZQESRIFile& file)
{
    const quint64 kept = file.countOfNumbersKeptAsText();
    if (kept == 0)
        return;
    platform::Alert alert;
    alert.setMessageText(tr("Some numbers in “%1” were kept as text.").arg(QFileInfo(file.URL().toLocalFile()).fileName()));
    alert.setInformativeText(
        kept == 1 ? tr("One numeric attribute value lies beyond the range of numbers a map holds; it was kept as the "
                       "text the file holds.")
                  : tr("%1 numeric attribute values lie beyond the range of numbers a map holds; they were kept as "
                       "the text the file holds.")
                        .arg(kept));
    alert.beginSheetModalForWindowCompletionHandler(windowForSheet(), {});
}

void ZQTrueQuorvaneDocument::alertNothingImported(const ZQESRIFile& file)
{
    const qint32 type = file.fileShapeType();
    const bool importedType =
        type == geodata::kPointShape || type == geodata::kPolyLineShape || type == geodata::kPolygonShape;
    const QString name = QFileInfo(file.URL().toLocalFile()).fileName();
    // The worker met what the checks before it could not foresee: the memory free shrank, or
    // ran out in the middle of the records. Without their attributes the shapes may still fit.
    const bool readAttributes = file.readMetadata() && !file.databaseFieldNames().isEmpty();
    if (file.memoryShortage() == ZQESRIFile::MemoryShortage::Attributes
        || (file.memoryShortage() == ZQESRIFile::MemoryShortage::Records && readAttributes)) {
        offerImportWithoutAttributes(file.URL().toLocalFile(),
                                     file.memoryShortage() == ZQESRIFile::MemoryShortage::Attributes
                                         ? tr("The attributes of “%1” do not fit in memory.").arg(name)
                                         : tr("Nothing was imported from “%1”.").arg(name),
                                     file.errorString());
        return;
    }
    QString reason;
    if (file.ranOutOfMemory())
        reason = file.errorString();
    else if (const geodata::LeftOutRecords leftOut = file.leftOut(); leftOut.outsideDrawing > 0)
        reason = leftOut.placementWasKept && leftOut.outsideDrawing == leftOut.recordCount()
                   ? leftOut.description() + u' ' + tr("This one covers another area: import it into a new map instead.")
                   : leftOut.description();
    else if (file.checkHeader() && !importedType)
        reason = tr("Only points, lines and areas are imported, not multipoints or shapes with heights or "
                    "measures (shape type %1).")
                     .arg(type);
    else
        reason = tr("None of its records could be read. %1 %2")
                     .arg(file.errorString(), file.damagedRecordsDescription())
                     .simplified();
    platform::Alert alert;
    alert.setMessageText(tr("Nothing was imported from “%1”.").arg(name));
    alert.setInformativeText(reason);
    alert.beginSheetModalForWindowCompletionHandler(windowForSheet(), {});
}

void ZQTrueQuorvaneDocument::offerImportWithoutAttributes(const QString& path, const QString& message,
                                                          const QString& reason)
{
    platform::Alert alert;
    alert.setMessageText(message);
    alert.setInformativeText(reason + u' ' + tr("Its shapes can be imported without their attributes."));
    alert.addButtonWithTitle(tr("Import Without Attributes"));
    alert.addButtonWithTitle(tr("Cancel"));
    alert.beginSheetModalForWindowCompletionHandler(windowForSheet(), [self = QPointer(this), path](int answer) {
        if (!self || answer != platform::Alert::kDefaultReturn)
            return;
        auto reader = std::make_shared<ZQESRIFile>();
        reader->initWithFile(path);
        reader->setReadMetadata(false);
        self->startShapefileImport(reader);
    });
}

ZQImportOptionsController* ZQTrueQuorvaneDocument::importOptionsController()
{
    if (!m_importOptionsController)
        m_importOptionsController = std::make_shared<ZQImportOptionsController>();
    return m_importOptionsController.get();
}

void ZQTrueQuorvaneDocument::importShapefile(QObject*)
{
    platform::OpenPanel panel;
    panel.setTitle(tr("Import Shapefile"));
    panel.setPrompt(tr("Import"));
    panel.setAllowedFileTypes({QStringLiteral("shp")});
    panel.setAccessoryView(importOptionsController()->accessoryView());
    panel.beginSheetModalForWindowCompletionHandler(windowForSheet(), [panel, self = QPointer(this)](int result) {
        if (self && result == 1 && !panel.URLs().isEmpty())
            self->importShapefileAtURL(panel.URLs().first());
    });
}

void ZQTrueQuorvaneDocument::alertImportRefused(const QString& message, const QString& reason)
{
    platform::Alert alert;
    alert.setMessageText(message);
    alert.setInformativeText(reason);
    alert.setAlertStyle(platform::Alert::CriticalStyle);
    alert.beginSheetModalForWindowCompletionHandler(windowForSheet(), {});
}

std::shared_ptr<ZQESRIFile> ZQTrueQuorvaneDocument::importShapefileAtURL(const QUrl& url)
{
    auto reader = std::make_shared<ZQESRIFile>();
    reader->initWithFile(shapefileAtPath(url.toLocalFile()));
    return startShapefileImport(reader);
}

std::shared_ptr<ZQESRIFile> ZQTrueQuorvaneDocument::startShapefileImport(const std::shared_ptr<ZQESRIFile>& reader)
{
    const QString name = QFileInfo(reader->URL().toLocalFile()).fileName();
    if (!reader->checkHeader()) {
        alertImportRefused(tr("The file “%1” could not be imported.").arg(name), reader->headerProblem());
        return nullptr;
    }
    if (const QString problem = reader->shapeMemoryProblem(); !problem.isEmpty()) {
        alertImportRefused(tr("The shapes of “%1” do not fit in memory.").arg(name), problem);
        return nullptr;
    }
    if (const QString problem = reader->attributeBudgetProblem(); !problem.isEmpty()) {
        offerImportWithoutAttributes(reader->URL().toLocalFile(),
                                     tr("The attributes of “%1” do not fit in memory.").arg(name), problem);
        return nullptr;
    }
    beginShapefileImport(reader);
    return reader;
}

void ZQTrueQuorvaneDocument::beginShapefileImport(const std::shared_ptr<ZQESRIFile>& reader)
{
    reader->setDiscardOutOfViewObjects(true);
    m_shapefileImports.append(reader);
    reader->beginLoadWithDelegate(this);
}

void ZQTrueQuorvaneDocument::cancelShapefileImports()
{
    for (const std::weak_ptr<ZQESRIFile>& import : std::exchange(m_shapefileImports, {})) {
        if (const auto reader = import.lock())
            reader->cancelLoad();
    }
    // No reader calls any more: what they filled is never delivered.
    const QMutexLocker lock(&m_importLayersMutex);
    m_importLayers.clear();
    m_importsOutOfMemory.clear();
}

void ZQTrueQuorvaneDocument::documentWillClose()
{
    cancelShapefileImports();
    ZQQuorvaneDocument::documentWillClose();
}

// --- Ruler -------------------------------------------------------------------------------------------

void ZQTrueQuorvaneDocument::setRuler(const ZQMeasuringRulerPtr& ruler)
{
    if (m_rulerVisible)
        redisplayRuler();
    m_ruler = ruler;
    if (!m_ruler)
        return;
    m_ruler->setDelegate(this);
    std::shared_ptr<VXGridLayer> grid = mapGrid();
    if (!grid && drawing())
        grid = drawing()->gridLayer();
    if (grid)
        m_ruler->setMarksDistanceStepUpRatioStepDownRatio(grid->divisionDistance(), 10, 5);
    if (m_rulerVisible)
        redisplayRuler();
}

void ZQTrueQuorvaneDocument::windowControllerDidLoadWindow(MapDocumentWindowController* controller)
{
    if (!m_ruler)
        setRuler(std::dynamic_pointer_cast<ZQMeasuringRuler>(platform::ClassRegistry::create(kRulerClassName)));
    VXDrawingView* view = controller->drawingView();
    if (!view)
        return;
    view->setOverlay(this, [this, view](QPainter&, const QRectF&) {
        if (m_rulerVisible && m_ruler)
            m_ruler->drawInView(view);
    });
}

void ZQTrueQuorvaneDocument::setRulerVisible(bool visible)
{
    if (visible == m_rulerVisible)
        return;
    announceChangeForKey(QStringLiteral("rulerVisible"), [&] { m_rulerVisible = visible; });
    redisplayRuler();
}

QString ZQTrueQuorvaneDocument::distanceLabelForLength(double points) const
{
    if (!drawing())
        return {};
    const auto twoPlaces = [](double value, const QString& symbol) {
        return QStringLiteral("%1 %2").arg(value, 0, 'f', 2).arg(symbol);
    };
    const double pointsPerGroundUnit = delegateConvertedDisplayMultiplier();
    switch (unitDisplayOption()) {
    case kPointsDisplayOption:
        return twoPlaces(points, ZQUnitLength::points()->symbol());
    case kMapUnitsDisplayOption:
        if (pointsPerGroundUnit > 0)
            return twoPlaces(points / pointsPerGroundUnit, delegateConvertedDisplayUnits()->symbol());
        break;
    default:
        break;
    }
    // Paper units on a map whose scale could give ground lengths: say which it is.
    const QString paper = drawing()->formattedConvertedLength(points);
    return pointsPerGroundUnit > 0 ? tr("%1 on paper").arg(paper) : paper;
}

void ZQTrueQuorvaneDocument::redisplayRuler() const
{
    if (m_ruler && drawing())
        drawing()->setNeedsDisplayInRect(m_ruler->bounds());
}

void ZQTrueQuorvaneDocument::mapScaleDidChange()
{
    if (m_rulerVisible)
        redisplayRuler();
}

// --- Map furniture ---------------------------------------------------------------------------------

std::shared_ptr<VXGridLayer> ZQTrueQuorvaneDocument::mapGrid() const
{
    std::shared_ptr<VXGridLayer> grid = m_mapGrid.lock();
    if (grid && drawing() && drawing()->containsLayer(grid.get()))
        return grid;
    const QMetaObject* gridClass = platform::ClassRegistry::metaObjectForName(kIndexGridClassName);
    grid = gridClass && drawing() ? std::dynamic_pointer_cast<VXGridLayer>(drawing()->firstLayerOfClass(*gridClass))
                                  : nullptr;
    m_mapGrid = grid;
    return grid;
}

void ZQTrueQuorvaneDocument::addBorderLayerAction(QObject*)
{
    auto layer = std::dynamic_pointer_cast<VXLayer>(platform::ClassRegistry::create(kBorderLayerClassName));
    if (!layer || !drawing()) {
        ZQLogObjCMethod(QStringLiteral("no border layer class to add"));
        return;
    }
    layer->setLayerName(drawing()->uniqueLayerNameForName(tr("Border Layer")));
    insertLayerWithActionName(layer, tr("New Border Layer"));
}

void ZQTrueQuorvaneDocument::addContourLayerAction(QObject*)
{
    if (!drawing())
        return;
    auto layer = std::make_shared<ZQContourLayer>();
    layer->setLayerName(drawing()->uniqueLayerNameForName(tr("Contours")));
    insertLayerWithActionName(layer, tr("Add Contour Layer"));
}

bool ZQTrueQuorvaneDocument::validateMenuItem(platform::MenuItem* item)
{
    if (item->action() == "addContourLayerAction")
        return drawing() != nullptr;
    if (item->action() == "addBorderLayerAction")
        return drawing() && platform::ClassRegistry::metaObjectForName(kBorderLayerClassName);
    if (item->action() == "repositionContentAction")
        return drawing() && mainView() && !m_inRepositionMode;
    if (item->action() == "editIndexGridSettingsAction")
        return mapGrid() && MapDocumentServices::installed().editGridSettings;
    // Actions the document leaves to a helper are validated by that helper.
    if (!platform::ResponderChain::hasActionMethod(this, item->action())) {
        for (const ZQObjectPtr& helper : helpers())
            if (platform::ResponderChain::respondsToAction(helper.get(), item->action()))
                return item->isEnabledBy(helper.get());
    }
    return ZQQuorvaneDocument::validateMenuItem(item);
}

// --- Helpers ---------------------------------------------------------------------------------------

namespace {

QList<ZQTrueQuorvaneDocument::HelperFactory>& helperFactories()
{
    static QList<ZQTrueQuorvaneDocument::HelperFactory> factories;
    return factories;
}

} // namespace

void ZQTrueQuorvaneDocument::addDocumentHelperFactory(HelperFactory factory)
{
    helperFactories().append(std::move(factory));
}

const QList<ZQObjectPtr>& ZQTrueQuorvaneDocument::helpers() const
{
    if (!m_helpers) {
        m_helpers.emplace();
        auto& self = const_cast<ZQTrueQuorvaneDocument&>(*this);
        for (const HelperFactory& factory : helperFactories())
            if (ZQObjectPtr helper = factory(self))
                m_helpers->append(helper);
    }
    return *m_helpers;
}

QList<QObject*> ZQTrueQuorvaneDocument::forwardingTargetsForSelector(const QByteArray& selector) const
{
    QList<QObject*> targets;
    for (const ZQObjectPtr& helper : helpers())
        targets.append(helper.get());
    return targets;
}

void ZQTrueQuorvaneDocument::editIndexGridSettingsAction(QObject*)
{
    const std::shared_ptr<VXGridLayer> grid = mapGrid();
    const auto& editGridSettings = MapDocumentServices::installed().editGridSettings;
    if (!grid || !editGridSettings) {
        ZQLogObjCMethod(QStringLiteral("no index grid settings to edit"));
        return;
    }
    editGridSettings(windowForSheet(), grid);
}

// --- Documents made from part of another -------------------------------------------------------------

void ZQTrueQuorvaneDocument::adoptFromOriginalDocumentSourceRect(const ZQQuorvaneDocument& original,
                                                                 const QRectF& sourceRect)
{
    ZQQuorvaneDocument::adoptFromOriginalDocumentSourceRect(original, sourceRect);
    const auto* mapOriginal = qobject_cast<const ZQTrueQuorvaneDocument*>(&original);
    if (!mapOriginal || !mapOriginal->shapefileTransform() || !drawing())
        return;
    // The drawing's content moved from the source rectangle to the new interior.
    const QPointF shift(drawing()->leftMargin() - sourceRect.x(), drawing()->topMargin() - sourceRect.y());
    m_shapefileTransform = *mapOriginal->shapefileTransform() * QTransform::fromTranslate(shift.x(), shift.y());
}
