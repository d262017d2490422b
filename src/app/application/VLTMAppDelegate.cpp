#include "app/application/VLTMAppDelegate.h"

#include "platform/foundation/ClassRegistry.h"

#include "app/utilities/FileUtilities.h"
#include "app/services/LibraryServices.h"
#include "app/services/InspectorServices.h"
#include "app/services/WindowServices.h"
#include "app/document/QuorvaneDocumentController.h"
#include "app/import/ShapefileImportHost.h"
#include "app/application/VLTMApplication.h"
#include "app/application/VLTMHelpTrampoline.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ColourPanel.h"
#include "platform/ui/DocumentError.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/SheetFocus.h"
#include "platform/vantrix/styles/VXStrokeDash.h"
#include "platform/vantrix/styles/VXStyleHistory.h"
#include "platform/vantrix/svg/VXSVGPreview.h"
#include "platform/vantrix/text/AbbreviationTable.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/tools/VXZoomTool.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "terrain/layer/ZQContourLayer.h"
#include "terrain/panel/VXQContourLayerController.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <vector>

namespace {

const QString kDefaultsResourceName = QStringLiteral("Quorvane_defaults");
const QString kDefaultsResourceType = QStringLiteral("plist");
const QString kSymbolLibraryExtension = QStringLiteral("symlibrary");
const QString kSVGThumbnailsFolderName = QStringLiteral("SVG Thumbnails");
constexpr int kWelcomeWindowDelayMilliseconds = 2000;

// An alert raised while launching (a file that could not be opened, damaged settings) stays in
// front of the windows that open after it, or the user would never see it.
void keepOpenAlertInFront()
{
    if (QWidget* alert = QApplication::activeModalWidget())
        alert->raise();
}

bool isSymbolLibraryFile(const QString& filename)
{
    return QFileInfo(filename).suffix().compare(kSymbolLibraryExtension, Qt::CaseInsensitive) == 0;
}

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

struct SavedSearchesSteps {
    VLTMAppDelegate::SavedSearchesStep load;
    VLTMAppDelegate::SavedSearchesStep save;
};

SavedSearchesSteps& savedSearchesSteps()
{
    static SavedSearchesSteps steps;
    return steps;
}

void runSavedSearchesStep(const VLTMAppDelegate::SavedSearchesStep& step)
{
    if (step)
        step();
    else
        LogEvent(kLifeEvent, QStringLiteral("no saved searches in this build"));
}

} // namespace

VLTMAppDelegate::VLTMAppDelegate() = default;

VLTMAppDelegate::~VLTMAppDelegate() = default;

// --- Launch and termination ---------------------------------------------------------------

bool VLTMAppDelegate::runStep(const char* phase, const Step& step)
{
    const QString line = QStringLiteral("%1: %2").arg(QLatin1StringView(phase), QLatin1StringView(step.name));
    if (!step.perform) {
        LogEvent(kLifeEvent, line + QStringLiteral(" (not in this build)"));
        return true;
    }
    LogEvent(kLifeEvent, line);
    return platform::runGuarded(step.name, [&] { (this->*step.perform)(); });
}

bool VLTMAppDelegate::applicationWillFinishLaunching()
{
    static const Step steps[] = {
        {"create the document controller", &VLTMAppDelegate::makeDocumentController},
        {"start loading the photo library", &VLTMAppDelegate::startLoadingPhotoLibrary},
        {"map renamed archive classes", &VLTMAppDelegate::mapRenamedArchiveClasses},
        {"set the default style", &VLTMAppDelegate::setDefaultStyle},
        {"install the object name provider", nullptr},
        {"register the user defaults", &VLTMAppDelegate::registerUserDefaults},
        {"point the SVG thumbnail cache at its folder", &VLTMAppDelegate::pointSVGThumbnailCacheAtFolder},
        {"let text shapes and text paths take graphic styles", nullptr},
        {"install the drawing dearchiving helper", nullptr},
        {"stop drawing views making drawings of their own", &VLTMAppDelegate::stopDrawingViewsMakingDrawings},
        {"let tools activate a valid layer", &VLTMAppDelegate::letToolsActivateValidLayer},
        {"read the default quality modulation", &VLTMAppDelegate::readDefaultQualityModulation},
        {"substitute the labelled shape for the plain shape", &VLTMAppDelegate::substituteLabelledShape},
        {"install the cartographic abbreviation table", &VLTMAppDelegate::installAbbreviationTable},
    };
    for (const Step& step : steps)
        runStep("launch", step);
    // Without what self-installation sets up the application cannot work.
    return runStep("launch", {"self-installation", &VLTMAppDelegate::selfInstall});
}

void VLTMAppDelegate::applicationDidFinishLaunching()
{
    static const Step steps[] = {
        {"run the library migration when needed", &VLTMAppDelegate::runLibraryMigrationWhenNeeded},
        {"load the saved searches", &VLTMAppDelegate::loadSavedSearches},
        {"let the colour panel show opacity", &VLTMAppDelegate::letColourPanelShowOpacity},
        {"prepare the cloud storage", nullptr},
        {"migrate the earlier version's collections and templates", nullptr},
        {"show the template chooser when asked", &VLTMAppDelegate::showTemplateChooserWhenAsked},
        {"register the drawing tools", &VLTMAppDelegate::registerQuorvaneTools},
        {"connect shapefile imports to the progress window", &VLTMAppDelegate::installShapefileImportHost},
        {"open the terrain panel's help in the help book", &VLTMAppDelegate::installTerrainPanelHelp},
        {"restore the inspector states", &VLTMAppDelegate::restoreInspectorStates},
        {"observe the style history", &VLTMAppDelegate::observeStyleHistory},
        {"enable the tool palette", &VLTMAppDelegate::enableToolPalette},
        {"show the welcome window when asked", &VLTMAppDelegate::showWelcomeWindowWhenAsked},
    };
    for (const Step& step : steps)
        runStep("launch", step);
}

void VLTMAppDelegate::applicationWillTerminate()
{
    static const Step steps[] = {
        {"save the tool defaults", nullptr},
        {"save the saved searches", &VLTMAppDelegate::saveSavedSearches},
        {"save the dash table", &VLTMAppDelegate::saveDashTable},
        {"save the inspector states", &VLTMAppDelegate::saveInspectorStates},
        {"save the default quality modulation", &VLTMAppDelegate::writeDefaultQualityModulation},
    };
    for (const Step& step : steps)
        runStep("terminate", step);
    defaults().synchronize();
}

void VLTMAppDelegate::setSavedSearchesSteps(SavedSearchesStep load, SavedSearchesStep save)
{
    savedSearchesSteps() = {std::move(load), std::move(save)};
}

void VLTMAppDelegate::loadSavedSearches()
{
    runSavedSearchesStep(savedSearchesSteps().load);
}

void VLTMAppDelegate::saveSavedSearches()
{
    runSavedSearchesStep(savedSearchesSteps().save);
}

void VLTMAppDelegate::makeDocumentController()
{
    platform::DocumentController::setSharedDocumentController(std::make_unique<QuorvaneDocumentController>());
}

void VLTMAppDelegate::mapRenamedArchiveClasses()
{
    platform::KeyedUnarchiver::setClassForClassName(QStringLiteral("VXGradientFill"), QStringLiteral("VXQGradientFill"));
    platform::KeyedUnarchiver::setClassForClassName(QStringLiteral("VXQTaperedStroke"),
                                                    QStringLiteral("VXQTaperedStrokeRasterizer"));
    platform::KeyedUnarchiver::setClassForClassName(QStringLiteral("VXQTaggedStroke"),
                                                    QStringLiteral("VXQTaggedStrokeRasterizer"));
}

void VLTMAppDelegate::setDefaultStyle()
{
    VXStyle::setDefaultStyle(VXStyle::styleWithFillColourStrokeColour(QColor(0xAA, 0xD0, 0xE5), QColor(0x33, 0x33, 0x33)));
}

void VLTMAppDelegate::registerUserDefaults()
{
    defaults().registerDefaultsFromBundleResource(kDefaultsResourceName, kDefaultsResourceType);
}

void VLTMAppDelegate::pointSVGThumbnailCacheAtFolder()
{
    // Previews are made without a cache when the system names no support folder.
    const QUrl support = thisApplicationsSupportFolderURL();
    if (!support.isEmpty())
        VXSVGPreview::setCacheFolder(QDir(support.toLocalFile()).filePath(kSVGThumbnailsFolderName));
}

void VLTMAppDelegate::stopDrawingViewsMakingDrawings()
{
    VXDrawingView::setCreatesOwnDrawing(false);
}

void VLTMAppDelegate::letToolsActivateValidLayer()
{
    VXToolController::setToolsAutoActivateValidLayer(true);
}

void VLTMAppDelegate::readDefaultQualityModulation()
{
    ZQQuorvaneDocument::setDefaultQualityModulation(defaults().boolForKey(kZQPlotDemoDefaultQualityModulationFlag));
}

void VLTMAppDelegate::substituteLabelledShape()
{
    // Named, not linked: the labelled shape belongs to a later library, registered by main.
    const QString labelledShape = QStringLiteral("VXQLabelledShape");
    if (!platform::ClassRegistry::metaObjectForName(labelledShape)) {
        LogEvent(kLifeEvent, labelledShape + QStringLiteral(" is not registered: shapes stay plain"));
        return;
    }
    platform::ClassRegistry::setSubstituteClass(QStringLiteral("VXDrawableShape"), labelledShape);
}

void VLTMAppDelegate::installAbbreviationTable()
{
    VXTextAdornment::setAbbreviationTable(platform::AbbreviationTable::cartographicTable());
}

void VLTMAppDelegate::selfInstall()
{
    LogEvent(kLifeEvent, QStringLiteral("layer selection colours from \"Selection Colors\" (not in this build)"));
    const qsizetype dashes = VXStrokeDash::registeredDashes().size();
    // The file's name alone: the log should not carry the user's home folder.
    const QString file = QFileInfo(VXStrokeDash::registeredDashesFilePath()).fileName();
    LogEvent(kLifeEvent, QStringLiteral("%1 saved dashes from %2").arg(dashes).arg(file));
}

void VLTMAppDelegate::letColourPanelShowOpacity()
{
    platform::ColourPanel::sharedColorPanel()->setShowsAlpha(true);
}

void VLTMAppDelegate::observeStyleHistory()
{
    // The tool palette shows the current style once it exists; until then the change is noted.
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kStyleHistoryNewStyleNotification, &VXStyleHistory::defaultHistory(), [](const platform::Notification&) {
            const VXStylePtr style = VXStyleHistory::defaultHistory().currentStyle();
            LogEvent(kReactiveEvent, QStringLiteral("current style: %1").arg(style ? style->name() : QString()));
        });
}

void VLTMAppDelegate::restoreInspectorStates()
{
    if (const auto& restore = WindowServices::installed().restoreToolPaletteState)
        restore();
    if (const auto& restore = LibraryServices::installed().restoreLibraryPickerState)
        restore();
}

void VLTMAppDelegate::saveInspectorStates()
{
    if (const auto& save = WindowServices::installed().saveToolPaletteState)
        save();
    if (const auto& save = LibraryServices::installed().saveLibraryPickerState)
        save();
}

void VLTMAppDelegate::enableToolPalette()
{
    // The palette takes picked items itself; each pick must be used once.
    if (const auto& enable = WindowServices::installed().enableToolPalette) {
        enable();
        return;
    }
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kVXQLibraryPickerSelectedObjectDidChange, nullptr,
        [this](const platform::Notification& notification) { newLibToolSelected(notification); });
}

void VLTMAppDelegate::newLibToolSelected(const platform::Notification& notification)
{
    QObject* item = notification.userInfo.value(QStringLiteral("lib_object")).value<QObject*>();
    if (!item || !platform::objectFromVariant(item->property("representedObject")))
        return;
    const LibraryServices& services = LibraryServices::installed();
    if (services.recordUseOfItem)
        services.recordUseOfItem(item);
    VXDrawingTool* tool = currentDrawingTool();
    if (!tool || !services.setToolStyleOrSymbol || !services.setToolStyleOrSymbol(*tool, item))
        return;
    platform::NotificationCenter::defaultCenter().postNotificationName(kQuorvaneToolControllerStyleChangedExternally, tool);
}

VXDrawingTool* VLTMAppDelegate::currentDrawingTool()
{
    const platform::WindowController* controller =
        platform::WindowController::controllerForWindow(platform::ResponderChain::mainWindow());
    const auto* document = controller ? dynamic_cast<const VXDrawingDocument*>(controller->document()) : nullptr;
    return document ? document->drawingTool() : nullptr;
}

void VLTMAppDelegate::showWelcomeWindowWhenAsked()
{
    const WindowServices& services = WindowServices::installed();
    if (!services.showsWelcomeWindowAtLaunch || !services.showsWelcomeWindowAtLaunch())
        return;
    platform::RunLoop::performAfterDelay(this, [this] {
        showWelcomeToTamsiver(nullptr);
        keepOpenAlertInFront();
    }, kWelcomeWindowDelayMilliseconds);
}

void VLTMAppDelegate::startLoadingPhotoLibrary()
{
    if (const auto& start = WindowServices::installed().startLoadingPhotoLibrary)
        start();
    else
        LogEvent(kLifeEvent, QStringLiteral("the photo library is not in this build"));
}

void VLTMAppDelegate::installShapefileImportHost()
{
    ShapefileImportHost::install();
}

void VLTMAppDelegate::installTerrainPanelHelp()
{
    VXQContourLayerController::setHelpHandler(
        [](const QString& page) { VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(page); });
}

void VLTMAppDelegate::saveDashTable()
{
    VXStrokeDash::saveRegisteredDashes();
}

void VLTMAppDelegate::writeDefaultQualityModulation()
{
    defaults().setBoolForKey(ZQQuorvaneDocument::defaultQualityModulation(), kZQPlotDemoDefaultQualityModulationFlag);
}

namespace {

std::vector<VLTMAppDelegate::ToolRegistration>& toolRegistrations()
{
    static std::vector<VLTMAppDelegate::ToolRegistration> registrations;
    return registrations;
}

} // namespace

void VLTMAppDelegate::addToolRegistration(ToolRegistration registration)
{
    toolRegistrations().push_back(std::move(registration));
}

void VLTMAppDelegate::registerQuorvaneTools()
{
    VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
    auto zoomOut = std::make_shared<VXZoomTool>();
    zoomOut->setZoomsOut(true);
    zoomOut->setKeyboardEquivalent(QStringLiteral("x"));
    registry.registerDrawingToolWithName(zoomOut, QStringLiteral("Zoom Out"));
    for (const ToolRegistration& registration : toolRegistrations())
        registration(registry);
    // Tools keep preferences of their own.
    if (const auto& apply = WindowServices::installed().applyStoredPreferences)
        apply();
}

void VLTMAppDelegate::showHelpItemNamed(const QString& item)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(item);
}

void VLTMAppDelegate::showHelpItemWithTitleOfSender(QObject* sender)
{
    if (sender)
        showHelpItemNamed(sender->property("title").toString());
}

void VLTMAppDelegate::openURLItemWithIdentifier(int identifier)
{
    // The maker's site has no host here: its paths map into the help book.
    static const QHash<int, QString> links = {
        {1, QStringLiteral("/quorvane/get-started/")},
        {2, QStringLiteral("/quorvane/tutorials/")},
        {3, QStringLiteral("/forums/forum/quorvane/")},
        {4, QStringLiteral("/quorvane/guides/")},
    };
    if (const QString link = links.value(identifier); !link.isEmpty())
        VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForURLString(link);
}

void VLTMAppDelegate::openURLItemAction(QObject* sender)
{
    if (sender)
        openURLItemWithIdentifier(sender->property("tag").toInt());
}

void VLTMAppDelegate::showToolPalette(QObject*)
{
    if (const auto& toggle = WindowServices::installed().toggleToolPalette)
        toggle();
}

void VLTMAppDelegate::openPreferences(QObject*)
{
    if (const auto& show = WindowServices::installed().showPreferences)
        show();
}

void VLTMAppDelegate::showWelcomeToTamsiver(QObject*)
{
    if (const auto& show = WindowServices::installed().showWelcomeWindow)
        show();
}

// --- Opening files --------------------------------------------------------------------------

QuorvaneDocumentController* VLTMAppDelegate::documentController() const
{
    auto* controller = qobject_cast<QuorvaneDocumentController*>(platform::DocumentController::existingSharedDocumentController());
    ZQ_ASSERT(controller, QStringLiteral("the document controller is made before any file opens"));
    return controller;
}

bool VLTMAppDelegate::applicationOpenFile(QObject*, const QString& filename)
{
    const QFileInfo file(filename);
    if (isSymbolLibraryFile(filename)) {
        if (const auto& import = LibraryServices::installed().confirmAndImportLibraryFile)
            return import(file.absoluteFilePath());
        ZQLogObjCMethod(QStringLiteral("symbol libraries are imported by the library manager (not in this build): %1")
                            .arg(filename));
        return false;
    }
    QuorvaneDocumentController* controller = documentController();
    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    QuorvaneError error;
    const platform::Document* document = controller->openDocumentWithContentsOfURLDisplayError(url, true, &error);
    if (!document) {
        const QString reason = platform::DocumentError::failureReason(error);
        ZQLog(QStringLiteral("could not open %1: %2").arg(filename, reason.isEmpty() ? error.localizedDescription() : reason));
        controller->presentError(error);
    }
    return document != nullptr;
}

bool VLTMAppDelegate::applicationOpenFiles(const QStringList& filenames)
{
    bool openedDocument = false;
    for (const QString& filename : filenames)
        platform::runGuarded("opening a file", [&] {
            const bool opened = applicationOpenFile(qApp, filename);
            openedDocument = (opened && !isSymbolLibraryFile(filename)) || openedDocument;
        });
    return openedDocument;
}

void VLTMAppDelegate::applicationOpenUntitledFile()
{
    platform::runGuarded("opening an untitled document", [this] {
        QuorvaneError error;
        if (!documentController()->openUntitledDocumentAndDisplayError(true, &error))
            documentController()->presentError(error);
    });
    keepOpenAlertInFront();
}

void VLTMAppDelegate::openSelectedTemplateURL(const QUrl& url)
{
    ZQLogObjCMethod(QStringLiteral("opening document from template: %1").arg(url.toString()));
    QuorvaneError error;
    if (!documentController()->openDocumentFromTemplateURLDisplayError(url, true, &error))
        documentController()->presentError(error);
}

void VLTMAppDelegate::newDocumentFromTemplate(QObject*)
{
    if (const auto& show = WindowServices::installed().showTemplateChooser)
        show(this);
    else
        ZQLogObjCMethod(QStringLiteral("the template chooser is not in this build"));
}

bool VLTMAppDelegate::willDisplayTemplateBrowserAtLaunch() const
{
    const auto& shouldShow = WindowServices::installed().shouldShowTemplateChooserAtLaunch;
    return shouldShow && shouldShow();
}

void VLTMAppDelegate::showTemplateChooserWhenAsked()
{
    if (!willDisplayTemplateBrowserAtLaunch())
        return;
    newDocumentFromTemplate(nullptr);
    m_showedTemplateBrowserAtLaunch = true;
}

void VLTMAppDelegate::createDocumentWithImageAtURL(const QUrl& url)
{
    QuorvaneError error;
    if (!documentController()->openDocumentWithImageAtURLDisplayError(url, true, &error))
        ZQLogObjCMethod(QStringLiteral("no document from %1: %2").arg(url.toString(), error.localizedDescription()));
}

void VLTMAppDelegate::createDocumentWithSVGAtURL(const QUrl& url)
{
    QuorvaneError error;
    if (documentController()->openDocumentWithSVGAtURLDisplayError(url, true, &error))
        return;
    ZQLogObjCMethod(QStringLiteral("no document from %1: %2").arg(url.toString(), error.localizedDescription()));
    documentController()->presentError(error);
}

// --- Application state --------------------------------------------------------------------

std::optional<QList<VXLayerPtr>> VLTMAppDelegate::flattenedListOfDrawingLayersInCurrentDocument() const
{
    const platform::DocumentController* controller = platform::DocumentController::existingSharedDocumentController();
    const auto* document = qobject_cast<const VXDrawingDocument*>(controller ? controller->currentDocument() : nullptr);
    if (!document || !document->drawing())
        return std::nullopt;
    return document->drawing()->flattenedLayers();
}

void VLTMAppDelegate::setLayerClippingMenuItem(QAction* item)
{
    m_layerClippingMenuItem = item;
    if (item)
        item->setVisible(defaults().boolForKey(kVLLayerClippingMenuEnabled));
}

void VLTMAppDelegate::enableLayerClippingMenu(bool flag)
{
    if (m_layerClippingMenuItem)
        m_layerClippingMenuItem->setVisible(flag);
    defaults().setBoolForKey(flag, kVLLayerClippingMenuEnabled);
}

bool VLTMAppDelegate::layerClippingMenuEnabled() const
{
    return m_layerClippingMenuItem && m_layerClippingMenuItem->isVisible();
}

// --- Commands -----------------------------------------------------------------------------

void VLTMAppDelegate::confirmAndDiscardApplicationPreferences()
{
    platform::Alert alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Do you really want to reset all preferences?"), tr("Reset Preferences"), tr("Cancel"), {},
        tr("This restores everything to its original state as if the application were a new installation. It "
           "cannot be undone, and should only be done if absolutely necessary."));
    const QPointer<VLTMAppDelegate> self(this);
    alert.beginSheetModalForWindowCompletionHandler(nullptr, [self](int returnCode) {
        if (self && returnCode == platform::Alert::kDefaultReturn)
            self->discardApplicationPreferences();
    });
}

void VLTMAppDelegate::discardApplicationPreferences()
{
    defaults().removePersistentDomainForName(QCoreApplication::applicationName());
    platform::UserDefaults::resetStandardUserDefaults();
    registerUserDefaults();
}

void VLTMAppDelegate::performClose(QObject*)
{
    if (QWidget* window = platform::ResponderChain::keyWindow())
        window->close();
}

void VLTMAppDelegate::terminate(QObject*)
{
    if (m_documentUnderReview)
        bringReviewedDocumentToFront();
    else
        closeNextDocumentThenQuit();
}

void VLTMAppDelegate::bringReviewedDocumentToFront() const
{
    QWidget* window = m_documentUnderReview->windowForSheet();
    if (!window)
        return;
    window->raise();
    window->activateWindow();
    // The question, or the save panel it led to, is a sheet of that window.
    if (QDialog* sheet = platform::SheetFocus::sheetCovering(window)) {
        sheet->raise();
        sheet->activateWindow();
    }
}

void VLTMAppDelegate::closeNextDocumentThenQuit()
{
    platform::DocumentController* controller = platform::DocumentController::existingSharedDocumentController();
    const QList<platform::Document*> documents = controller ? controller->documents() : QList<platform::Document*>();
    if (documents.isEmpty()) {
        QCoreApplication::quit();
        return;
    }
    const QPointer<VLTMAppDelegate> self(this);
    const QPointer<platform::Document> document = documents.first();
    m_documentUnderReview = document;
    document->canCloseDocument([self, document](bool shouldClose) {
        if (!self)
            return;
        self->m_documentUnderReview = nullptr;
        if (!shouldClose)
            return;
        // It may have gone by the answer: a close asked during its save waited with the quit.
        if (document) {
            document->close();
            // A document that stays open would be asked again and again.
            if (platform::DocumentController::existingSharedDocumentController()->documents().contains(document.data())) {
                ZQLog(QStringLiteral("%1 did not close; not quitting").arg(document->displayName()));
                return;
            }
        }
        self->closeNextDocumentThenQuit();
    });
}

void VLTMAppDelegate::orderFrontStandardAboutPanel(QObject*)
{
    platform::Alert alert;
    alert.setAlertStyle(platform::Alert::InformationalStyle);
    alert.setMessageText(VLTMApplication::productName());
    alert.setInformativeText(tr("Maps drawn as vector drawings."));
    alert.beginSheetModalForWindowCompletionHandler(nullptr, {});
}

VXToolController* VLTMAppDelegate::keyToolController()
{
    for (QWidget* widget = platform::ResponderChain::firstResponder(); widget; widget = widget->parentWidget())
        if (auto* view = qobject_cast<VXDrawingView*>(widget))
            return view->toolController();
    return VXDrawingTool::firstResponderAbleToSetTool();
}

void VLTMAppDelegate::selectToolAction(QObject* sender)
{
    VXToolController* controller = keyToolController();
    const QString name = sender ? sender->property("title").toString() : QString();
    // The registry answers nothing for a name that has gone (or was never registered).
    if (const VXDrawingToolPtr tool = VXToolRegistry::sharedToolRegistry().drawingToolWithName(name); tool && controller)
        controller->setDrawingTool(tool);
}

bool VLTMAppDelegate::validateMenuItem(platform::MenuItem* item)
{
    if (item->action() == "performClose")
        return platform::ResponderChain::keyWindow() != nullptr;
    if (item->action() == "selectToolAction") {
        const VXToolController* controller = keyToolController();
        const VXDrawingTool* current = controller ? controller->drawingTool() : nullptr;
        item->setState(current && current->registeredName() == item->title() ? platform::MenuItem::OnState
                                                                                : platform::MenuItem::OffState);
        return controller && VXToolRegistry::sharedToolRegistry().drawingToolWithName(item->title());
    }
    if (item->action() == "showLibraryPickerAction")
        return bool(LibraryServices::installed().showLibraryPicker);
    if (item->action() == "showLibraryManagerAction") {
        const auto& existing = LibraryServices::installed().existingLibraryManagerWindow;
        const QWidget* manager = existing ? existing() : nullptr;
        item->setState(manager && manager->isActiveWindow() ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return bool(LibraryServices::installed().showLibraryManager);
    }
    if (item->action() == "showMediaBrowser")
        return bool(WindowServices::installed().showMediaBrowser);
    if (item->action() == "showObjectInspector")
        return bool(InspectorServices::installed().showObjectInspector);
    if (item->action() == "showToolPalette")
        return bool(WindowServices::installed().toggleToolPalette);
    if (item->action() == "openPreferences")
        return bool(WindowServices::installed().showPreferences);
    if (item->action() == "showWelcomeToTamsiver")
        return bool(WindowServices::installed().showWelcomeWindow);
    return true;
}

void VLTMAppDelegate::manageSymbolsAction(QObject*) {}

void VLTMAppDelegate::showLibraryPickerAction(QObject*)
{
    if (const auto& show = LibraryServices::installed().showLibraryPicker)
        show();
}

void VLTMAppDelegate::showLibraryManagerAction(QObject*)
{
    if (const auto& show = LibraryServices::installed().showLibraryManager)
        show();
}

void VLTMAppDelegate::showMediaBrowser(QObject*)
{
    if (const auto& show = WindowServices::installed().showMediaBrowser)
        show(runsInDebugMode());
}

void VLTMAppDelegate::showObjectInspector(QObject*)
{
    if (const auto& show = InspectorServices::installed().showObjectInspector)
        show();
}

bool VLTMAppDelegate::runsInDebugMode()
{
#ifdef NDEBUG
    return false;
#else
    return true;
#endif
}

void VLTMAppDelegate::debug_makeFactoryLibrariesWritableAction(QObject*)
{
    if (const auto& setWritable = LibraryServices::installed().setFactoryLibrariesWritable)
        setWritable(true);
}

void VLTMAppDelegate::runLibraryMigrationWhenNeeded()
{
    const auto& run = LibraryServices::installed().runMigrationIfNeeded;
    // The event loop is not running yet: quitting waits for it.
    if (run && run() == 0)
        platform::RunLoop::runOnMainThread([this] { terminate(nullptr); }, this);
}

ZQObjectPtr VLTMAppDelegate::applicationWillReturnSymbolManager()
{
    const auto& make = LibraryServices::installed().makeSymbolRegistry;
    return make ? make() : nullptr;
}
