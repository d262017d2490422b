#pragma once

// The application delegate: it launches and terminates the application in a fixed order,
// opens the files the system hands over, and answers the application-wide commands at the
// end of the responder chain.
//
// Each launch and termination step is a member, logged as a life event ("launch: <step>",
// "terminate: <step>"). Steps that belong to parts of the application this build lacks
// log that and do nothing. A step that throws is logged and the others still run, except
// self-installation, whose failure abandons the launch.

#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/model/VXLayer.h"

#include <QPointer>
#include <QUrl>
#include <functional>
#include <optional>

class QAction;
class QuorvaneDocumentController;
class VXDrawingTool;
class VXToolController;
class VXToolRegistry;
namespace platform {
class Document;
class MenuItem;
struct Notification;
}

inline const QString kVLLayerClippingMenuEnabled = QStringLiteral("kVLLayerClippingMenuEnabled");
inline const QString kZQPlotDemoDefaultQualityModulationFlag = QStringLiteral("ZQPlotDemo_defaultQualityModulationFlag");

class VLTMAppDelegate : public ZQObject {
    Q_OBJECT

public:
    VLTMAppDelegate();
    ~VLTMAppDelegate() override;

    // --- Launch and termination ------------------------------------------------------------
    // Answers false when the launch must be abandoned (the application then quits).
    bool applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    void applicationWillTerminate();

    // Registers the application's named drawing tools with the framework's registry,
    // then runs every added tool registration.
    void registerQuorvaneTools();
    // Libraries above the application core (tracks, symbols...) register their tools through
    // this before launch; registerQuorvaneTools runs them in the order added.
    using ToolRegistration = std::function<void(VXToolRegistry&)>;
    static void addToolRegistration(ToolRegistration registration);
    // The library that keeps the saved searches gives the launch step that loads them and the
    // termination step that stores them; without it both steps do nothing.
    using SavedSearchesStep = std::function<void()>;
    static void setSavedSearchesSteps(SavedSearchesStep load, SavedSearchesStep save);

    // --- Opening files -----------------------------------------------------------------------
    // Map documents, templates, flat drawings, images and SVG files open through the document
    // controller; answers whether a document opened. A symbol library is offered to the library
    // manager to install; answers whether it was. Failures are shown to the user.
    bool applicationOpenFile(QObject* application, const QString& filename);
    // The files named at start-up, one by one, each failure shown; answers whether any document
    // opened (a library installed leaves the launch to give the user a map as without files).
    bool applicationOpenFiles(const QStringList& filenames);
    // A new untitled map, shown. The application quits with its last window, so a launch
    // that opened nothing ends here; an alert already up stays in front of the new window.
    void applicationOpenUntitledFile();
    // A new untitled document from the template, shown.
    Q_INVOKABLE void openSelectedTemplateURL(const QUrl& url);
    // File > New from Template...: the template chooser, choosing for this delegate.
    Q_INVOKABLE void newDocumentFromTemplate(QObject* sender);
    // Whether the template chooser is to show at launch (its setting is on and there are
    // templates); the launch then opens no untitled map.
    bool willDisplayTemplateBrowserAtLaunch() const;
    // Whether the launch showed the template chooser.
    bool showedTemplateBrowserAtLaunch() const { return m_showedTemplateBrowserAtLaunch; }
    // A new untitled document showing the image; nothing (but a log line) when it cannot be read.
    Q_INVOKABLE void createDocumentWithImageAtURL(const QUrl& url);
    // A new untitled document holding the SVG file's objects, shown; an alert tells why when the
    // file cannot be converted.
    Q_INVOKABLE void createDocumentWithSVGAtURL(const QUrl& url);

    // --- Application state ---------------------------------------------------------------------
    // The current document's layers, groups' members included; none without a drawing document.
    std::optional<QList<VXLayerPtr>> flattenedListOfDrawingLayersInCurrentDocument() const;

    // The menu item that switches layer clipping; shown or hidden as the user default says.
    void setLayerClippingMenuItem(QAction* item);
    // Shows or hides that item and remembers the choice.
    void enableLayerClippingMenu(bool flag);
    bool layerClippingMenuEnabled() const;

    // --- Commands --------------------------------------------------------------------------------
    // Asks, then forgets every stored preference and registers the shipped defaults again.
    Q_INVOKABLE void confirmAndDiscardApplicationPreferences();
    // The part of the above that runs once the user agreed.
    void discardApplicationPreferences();
    Q_INVOKABLE void performClose(QObject* sender);
    // Closes the documents one by one, each asking to save its changes first, and quits
    // once all have closed; cancelling any of them cancels quitting. While a document is
    // being asked, Quit brings its window and question to the front and asks nothing new.
    Q_INVOKABLE void terminate(QObject* sender);
    Q_INVOKABLE void orderFrontStandardAboutPanel(QObject* sender);
    // Makes the registered tool named by the sender's title current in the key window's
    // drawing view; stands in for the tool palette.
    Q_INVOKABLE void selectToolAction(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);
    // "Manage Symbols...": the symbol library's window will answer it; until then it does nothing.
    Q_INVOKABLE void manageSymbolsAction(QObject* sender);
    // Window > Styles & Symbols: the library's picker palette.
    Q_INVOKABLE void showLibraryPickerAction(QObject* sender);
    // Window > Library Manager; checked while the manager's window is the active one.
    Q_INVOKABLE void showLibraryManagerAction(QObject* sender);
    // Window > Media Browser; a debug build puts the browser back to its factory state first.
    Q_INVOKABLE void showMediaBrowser(QObject* sender);
    // Window > Object Inspector.
    Q_INVOKABLE void showObjectInspector(QObject* sender);
    static bool runsInDebugMode();
    // Opens the help page of an item ("the-styles-tab"), or the page of the sender's title.
    Q_INVOKABLE void showHelpItemNamed(const QString& item);
    Q_INVOKABLE void showHelpItemWithTitleOfSender(QObject* sender);
    // Opens one of the maker's web pages: 1 getting started, 2 tutorials, 3 the user forum,
    // 4 the guides; others nothing. The menu items send their tag.
    void openURLItemWithIdentifier(int identifier);
    Q_INVOKABLE void openURLItemAction(QObject* sender);
    // Window > Tools: shows the tool palette, or hides it when it is visible.
    Q_INVOKABLE void showToolPalette(QObject* sender);
    // Edit > Preferences...
    Q_INVOKABLE void openPreferences(QObject* sender);
    // Help > Welcome To Quorvane; at launch too, 2 s after it finished, when the user wants it.
    Q_INVOKABLE void showWelcomeToTamsiver(QObject* sender);
    // Lets factory libraries take new content (a developer's command).
    Q_INVOKABLE void debug_makeFactoryLibrariesWritableAction(QObject* sender);

    // --- Symbols -----------------------------------------------------------------------------------
    // The symbol library's registry, asked once by the symbol manager; null while no library is
    // installed, so the manager keeps a registry of its own.
    Q_INVOKABLE ZQObjectPtr applicationWillReturnSymbolManager();

    // Stands in for the tool palette in builds without it: an item picked in the library's
    // picker palette becomes the style (or symbol master) of the main window's tool, and its
    // use is recorded. The palette, when there is one, does this instead.
    void newLibToolSelected(const platform::Notification& notification);

private:
    struct Step {
        const char* name;
        void (VLTMAppDelegate::*perform)(); // null: the part that does it is not in this build
    };
    // Answers false when a step threw.
    bool runStep(const char* phase, const Step& step);

    void makeDocumentController();
    void startLoadingPhotoLibrary();
    void mapRenamedArchiveClasses();
    void setDefaultStyle();
    void registerUserDefaults();
    void pointSVGThumbnailCacheAtFolder();
    void stopDrawingViewsMakingDrawings();
    void letToolsActivateValidLayer();
    void readDefaultQualityModulation();
    // Shapes made from then on are labelled shapes, when that class is registered.
    void substituteLabelledShape();
    void installAbbreviationTable();
    void selfInstall();
    void letColourPanelShowOpacity();
    void observeStyleHistory();
    // The window states of the tool palette and the library's picker palette.
    void restoreInspectorStates();
    void saveInspectorStates();
    void enableToolPalette();
    void showWelcomeWindowWhenAsked();
    // Quits when the user declines the update of old library files.
    void runLibraryMigrationWhenNeeded();
    void showTemplateChooserWhenAsked();
    void installShapefileImportHost();
    void installTerrainPanelHelp();
    void saveDashTable();
    void loadSavedSearches();
    void saveSavedSearches();
    void writeDefaultQualityModulation();

    QuorvaneDocumentController* documentController() const;
    void closeNextDocumentThenQuit();
    void bringReviewedDocumentToFront() const;
    // The tool controller of the key window's drawing view; null without one.
    static VXToolController* keyToolController();
    // The tool of the main window's drawing document; null without one.
    static VXDrawingTool* currentDrawingTool();

    QPointer<QAction> m_layerClippingMenuItem;
    // The document asked to close by Quit, until it answers.
    QPointer<platform::Document> m_documentUnderReview;
    bool m_showedTemplateBrowserAtLaunch = false;
};
