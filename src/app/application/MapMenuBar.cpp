#include "app/application/MapMenuBar.h"

#include "app/application/ApplicationKeys.h"
#include "app/application/UndoRedirector.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/Menu.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VXLayerGroup.h"
#include "platform/vantrix/tools/VXToolRegistry.h"

#include <QMenuBar>
#include <QPointer>
#include <optional>

using platform::Menu;
using platform::MenuItem;

namespace {

MenuItem* addItem(Menu* menu, const QString& title, const QByteArray& action,
                  std::optional<QKeySequence::StandardKey> key = std::nullopt)
{
    MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(title, action);
    if (key)
        item->setStandardKey(*key);
    return item;
}

// One of the commands every window answers: the same item, title and keys everywhere.
void addApplicationItem(Menu* menu, const QByteArray& action)
{
    menu->addAction(ApplicationKeys::makeItem(action, menu));
}

Menu* addMenu(QMenuBar* bar, const QString& title)
{
    auto* menu = new Menu(title, bar);
    bar->addMenu(menu);
    return menu;
}

void addOpenRecentMenu(Menu* file)
{
    auto* recent = new Menu(QObject::tr("Open Recent"), file);
    QObject::connect(recent, &QMenu::aboutToShow, recent, [recent] {
        platform::DocumentController::sharedDocumentController()->populateOpenRecentMenu(recent);
        Menu::validateActions(recent->actions());
    });
    file->addMenu(recent);
}

void addFileMenu(QMenuBar* bar)
{
    Menu* file = addMenu(bar, QObject::tr("&File"));
    addApplicationItem(file, "newDocument");
    addItem(file, QObject::tr("New from Template..."), "newDocumentFromTemplate");
    addApplicationItem(file, "openDocument");
    addOpenRecentMenu(file);
    file->addSeparator();
    addApplicationItem(file, "performClose");
    addItem(file, QObject::tr("Save"), "saveDocument", QKeySequence::Save);
    addItem(file, QObject::tr("Save As..."), "saveDocumentAs", QKeySequence::SaveAs);
    addItem(file, QObject::tr("Revert to Saved"), "revertDocumentToSaved");
    file->addSeparator();
    addItem(file, QObject::tr("Import Shapefile..."), "importShapefile");
    file->addSeparator();
    addItem(file, QObject::tr("Drawing Setup..."), "openDrawingSizePanel");
    addItem(file, QObject::tr("Graph Paper..."), "openGridSettingsPanel");
    addItem(file, QObject::tr("Share..."), "shareDocumentAction");
    addItem(file, QObject::tr("Export..."), "exportAction");
    file->addSeparator();
    addItem(file, QObject::tr("Page Setup..."), "runPageLayout");
    addItem(file, QObject::tr("Print..."), "printDocument", QKeySequence::Print);
    file->addSeparator();
    addApplicationItem(file, "terminate");
}

void addEditMenu(QMenuBar* bar)
{
    Menu* edit = addMenu(bar, QObject::tr("&Edit"));
    for (MenuItem* item : {addItem(edit, QObject::tr("Undo"), "undo", QKeySequence::Undo),
                           addItem(edit, QObject::tr("Redo"), "redo", QKeySequence::Redo)})
        item->setTarget(UndoRedirector::sharedRedirector());
    edit->addSeparator();
    addItem(edit, QObject::tr("Cut"), "cut", QKeySequence::Cut);
    addItem(edit, QObject::tr("Copy"), "copy", QKeySequence::Copy);
    addItem(edit, QObject::tr("Paste"), "paste", QKeySequence::Paste);
    addItem(edit, QObject::tr("Delete"), "delete_", QKeySequence::Delete);
    addItem(edit, QObject::tr("Select All"), "selectAll", QKeySequence::SelectAll);
    addItem(edit, QObject::tr("Vectorize..."), "vectorizeImageSelection");
    addItem(edit, QObject::tr("Linear Duplicate..."), "linearDuplicate");
    addItem(edit, QObject::tr("Polar Duplicate..."), "polarDuplicate");
    addItem(edit, QObject::tr("Buffer..."), "bufferAction");
    edit->addSeparator();
    auto* find = new Menu(QObject::tr("Find"), edit);
    edit->addMenu(find);
    addItem(find, QObject::tr("Find..."), "openAdvancedSearchDialog", QKeySequence::Find);
    addItem(find, QObject::tr("Repeat Last Search"), "repeatLatestSearch")->setKeyEquivalent(QStringLiteral("g"));
    addItem(find, QObject::tr("Smart Searches..."), "openSmartSearchesDialog");
    edit->addSeparator();
    addApplicationItem(edit, "openPreferences");
}

void addViewMenu(QMenuBar* bar)
{
    Menu* view = addMenu(bar, QObject::tr("&View"));
    addItem(view, QObject::tr("Zoom In"), "zoomIn", QKeySequence::ZoomIn);
    addItem(view, QObject::tr("Zoom Out"), "zoomOut", QKeySequence::ZoomOut);
    addItem(view, QObject::tr("Actual Size"), "zoomToActualSize")->setKeyEquivalent(QStringLiteral("0"));
    addItem(view, QObject::tr("Fit in Window"), "zoomFitInWindow");
    view->addSeparator();
    addItem(view, QObject::tr("Reposition Content"), "repositionContentAction");
}

// The font manager's commands: they change the font of what is selected, or of the characters
// selected in text being edited.
void addFormatMenu(QMenuBar* bar)
{
    Menu* format = addMenu(bar, QObject::tr("F&ormat"));
    platform::FontManager* fonts = platform::FontManager::sharedFontManager();
    MenuItem* showFonts = addItem(format, QObject::tr("Show Fonts"), "orderFrontFontPanel");
    showFonts->setKeyEquivalent(QStringLiteral("t"));
    format->addSeparator();
    addItem(format, QObject::tr("Bold"), "addFontTrait", QKeySequence::Bold)->setTag(platform::FontManager::BoldFontMask);
    addItem(format, QObject::tr("Italic"), "addFontTrait", QKeySequence::Italic)->setTag(platform::FontManager::ItalicFontMask);
    addItem(format, QObject::tr("Bigger"), "modifyFont")->setTag(platform::FontManager::SizeUpFontAction);
    addItem(format, QObject::tr("Smaller"), "modifyFont")->setTag(platform::FontManager::SizeDownFontAction);
    for (QAction* action : format->actions())
        if (auto* item = qobject_cast<MenuItem*>(action))
            item->setTarget(fonts);
}

// Lists the tools registered when it opens, with their keys. The drawing view answers a
// tool's key itself, so the item only shows it (and takes it while the menu is open).
void addToolsMenu(QMenuBar* bar)
{
    Menu* tools = addMenu(bar, QObject::tr("&Tools"));
    QObject::connect(tools, &QMenu::aboutToShow, tools, [tools] {
        tools->clear();
        const VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
        for (const QString& name : registry.names()) {
            MenuItem* item = addItem(tools, name, "selectToolAction");
            item->setShortcutContext(Qt::WidgetShortcut);
            item->setKeyEquivalent(registry.drawingToolWithName(name)->keyboardEquivalent(), 0);
        }
        Menu::validateActions(tools->actions());
    });
}

VXDrawing* drawingShownIn(const QWidget* window)
{
    const platform::WindowController* controller = platform::WindowController::controllerForWindow(window);
    const auto* document = controller ? qobject_cast<VXDrawingDocument*>(controller->document()) : nullptr;
    return document ? document->drawing().get() : nullptr;
}

// A layer's item: indented by the layer's depth in groups. Choosing a layer makes it active;
// a group is listed with its members but cannot be chosen.
MenuItem* addLayerItem(Menu* menu, const VXLayerPtr& layer)
{
    constexpr int kIndentPerLevel = 4;
    const bool isGroup = qobject_cast<const VXLayerGroup*>(layer.get()) != nullptr;
    const QString title = QString(layer->level() * kIndentPerLevel, QLatin1Char(' '))
                          + layer->layerName();
    MenuItem* item = addItem(menu, title, isGroup ? QByteArray() : QByteArrayLiteral("makeActiveAction"));
    item->setRepresentedObject(QVariant::fromValue(layer));
    return item;
}

// Below the layer commands, the drawing's layers and groups from the top. They stand in for
// the layers panel.
void addLayerMenu(QMenuBar* bar, QWidget* window)
{
    Menu* layer = addMenu(bar, QObject::tr("&Layer"));
    addItem(layer, QObject::tr("New Layer"), "newDrawingLayer");
    addItem(layer, QObject::tr("New Layer Group"), "addLayerGroupAction");
    addItem(layer, QObject::tr("Duplicate Layer"), "duplicateLayer");
    addItem(layer, QObject::tr("Delete Layer"), "deleteLayerAction");
    layer->addSeparator();
    addItem(layer, QObject::tr("Border Layer"), "addBorderLayerAction");
    addItem(layer, QObject::tr("Add Contour Layer"), "addContourLayerAction");
    addItem(layer, QObject::tr("Insert Scale Bar"), "insertScaleBar");
    addItem(layer, QObject::tr("Index Grid Settings..."), "editIndexGridSettingsAction");
    layer->addSeparator();
    addItem(layer, QObject::tr("Lock Layer"), "toggleLockAction");
    QAction* layersStart = layer->addSeparator();
    QObject::connect(layer, &QMenu::aboutToShow, layer, [layer, layersStart, window = QPointer<QWidget>(window)] {
        const QList<QAction*> shown = layer->actions();
        qDeleteAll(shown.mid(shown.indexOf(layersStart) + 1));
        QList<QAction*> listed;
        if (const VXDrawing* drawing = drawingShownIn(window))
            for (const VXLayerPtr& each : drawing->flattenedLayers(true))
                listed.append(addLayerItem(layer, each));
        layersStart->setVisible(!listed.isEmpty());
        Menu::validateActions(listed);
    });
}

// The sequence commands of the selected symbol, with the kinds as tags 0...8; they stand in
// for the main Symbol menu and the symbol pane's "sequenceable" box.
void addSymbolMenu(QMenuBar* bar)
{
    Menu* symbol = addMenu(bar, QObject::tr("&Symbol"));
    // Make Sequenceable tells in its tip when the symbol would show no number.
    symbol->setToolTipsVisible(true);
    addItem(symbol, QObject::tr("Create Symbol"), "createSymbol");
    symbol->addSeparator();
    addItem(symbol, QObject::tr("Make Sequenceable"), "makeSequencable");
    symbol->addSeparator();
    const QStringList kinds{QObject::tr("Numeric"), QObject::tr("Alphabetical"), QObject::tr("Alpha-numeric"),
                            QObject::tr("Reverse Alpha-numeric"), QObject::tr("Roman Numerals"),
                            QObject::tr("Hexadecimal"), QObject::tr("Cardinal Numbers"),
                            QObject::tr("Ordinal Numbers"), QObject::tr("Abbreviated Ordinal Numbers")};
    auto* kindMenu = new Menu(QObject::tr("Sequence Type"), symbol);
    for (int kind = 0; kind < kinds.size(); ++kind)
        addItem(kindMenu, kinds[kind], "setSequenceKindAction")->setTag(kind);
    symbol->addMenu(kindMenu);
    addItem(symbol, QObject::tr("Renumber Automatically"), "toggleAutoRenumbering");
    addItem(symbol, QObject::tr("Renumber Sequence..."), "renumberSequence");
    symbol->addSeparator();
    addItem(symbol, QObject::tr("Move Forward In Sequence"), "moveForwardInSequence");
    addItem(symbol, QObject::tr("Move Backward In Sequence"), "moveBackwardInSequence");
    addItem(symbol, QObject::tr("Move To Start Of Sequence"), "moveToStartOfSequence");
    addItem(symbol, QObject::tr("Move To End Of Sequence"), "moveToEndOfSequence");
    symbol->addSeparator();
    addItem(symbol, QObject::tr("Insert Sequence Key"), "insertKeyTable");
}

void addWindowMenu(QMenuBar* bar)
{
    Menu* window = addMenu(bar, QObject::tr("&Window"));
    addItem(window, QObject::tr("Tools"), "showToolPalette");
    addItem(window, QObject::tr("Styles & Symbols"), "showLibraryPickerAction");
    addItem(window, QObject::tr("Library Manager"), "showLibraryManagerAction");
    addItem(window, QObject::tr("Media Browser"), "showMediaBrowser");
    addItem(window, QObject::tr("Object Inspector"), "showObjectInspector");
}

void addHelpMenu(QMenuBar* bar)
{
    Menu* help = addMenu(bar, QObject::tr("&Help"));
    addApplicationItem(help, "showHelpItemWithTitleOfSender");
    addItem(help, QObject::tr("Welcome To Quorvane"), "showWelcomeToTamsiver");
    help->addSeparator();
    // The tags are the web pages' identifiers (VLTMAppDelegate::openURLItemWithIdentifier).
    const QString webPages[] = {QObject::tr("Get Started"), QObject::tr("Tutorials"), QObject::tr("User Forum"),
                                QObject::tr("Guides")};
    for (int tag = 1; tag <= 4; ++tag)
        addItem(help, webPages[tag - 1], "openURLItemAction")->setTag(tag);
    help->addSeparator();
    addItem(help, QObject::tr("About Quorvane"), "orderFrontStandardAboutPanel");
}

} // namespace

QMenuBar* MapMenuBar::make(QWidget* window)
{
    auto* bar = new QMenuBar(window);
    addFileMenu(bar);
    addEditMenu(bar);
    addViewMenu(bar);
    addFormatMenu(bar);
    addToolsMenu(bar);
    addLayerMenu(bar, window);
    addSymbolMenu(bar);
    addWindowMenu(bar);
    addHelpMenu(bar);
    return bar;
}
