#include "app/MapMenuBar.h"

#include "app/UndoRedirector.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/tools/VXToolRegistry.h"

#include <QMenuBar>
#include <optional>

using platform::Menu;
using platform::MenuItem;

namespace {

// The key equivalent of the platform's standard binding, so that the item is validated when
// its keys are pressed; the other bindings of that key work as well.
void setStandardShortcut(MenuItem* item, QKeySequence::StandardKey key)
{
    const QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
    if (bindings.isEmpty())
        return;
    const QKeyCombination primary = bindings.first()[0];
    // Lower case: an upper-case key equivalent adds Shift.
    const QString keyText = QKeySequence(primary.key()).toString(QKeySequence::PortableText).toLower();
    item->setKeyEquivalent(keyText, platform::modifierFlagsFromQt(primary.keyboardModifiers()));
    item->setShortcuts(bindings);
}

MenuItem* addItem(Menu* menu, const QString& title, const QByteArray& action,
                  std::optional<QKeySequence::StandardKey> key = std::nullopt)
{
    MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(title, action);
    if (key)
        setStandardShortcut(item, *key);
    return item;
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
    addItem(file, QObject::tr("New"), "newDocument", QKeySequence::New);
    addItem(file, QObject::tr("Open..."), "openDocument", QKeySequence::Open);
    addOpenRecentMenu(file);
    file->addSeparator();
    addItem(file, QObject::tr("Close"), "performClose", QKeySequence::Close);
    addItem(file, QObject::tr("Save"), "saveDocument", QKeySequence::Save);
    addItem(file, QObject::tr("Save As..."), "saveDocumentAs", QKeySequence::SaveAs);
    addItem(file, QObject::tr("Revert to Saved"), "revertDocumentToSaved");
    file->addSeparator();
    addItem(file, QObject::tr("Quit"), "terminate", QKeySequence::Quit);
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
}

void addViewMenu(QMenuBar* bar)
{
    Menu* view = addMenu(bar, QObject::tr("&View"));
    addItem(view, QObject::tr("Zoom In"), "zoomIn", QKeySequence::ZoomIn);
    addItem(view, QObject::tr("Zoom Out"), "zoomOut", QKeySequence::ZoomOut);
    addItem(view, QObject::tr("Actual Size"), "zoomToActualSize")->setKeyEquivalent(QStringLiteral("0"));
    addItem(view, QObject::tr("Fit in Window"), "zoomFitInWindow");
}

// Lists the tools registered when it opens.
void addToolsMenu(QMenuBar* bar)
{
    Menu* tools = addMenu(bar, QObject::tr("&Tools"));
    QObject::connect(tools, &QMenu::aboutToShow, tools, [tools] {
        tools->clear();
        for (const QString& name : VXToolRegistry::sharedToolRegistry().names())
            addItem(tools, name, "selectToolAction");
        Menu::validateActions(tools->actions());
    });
}

void addLayerMenu(QMenuBar* bar)
{
    Menu* layer = addMenu(bar, QObject::tr("&Layer"));
    addItem(layer, QObject::tr("New Layer"), "newDrawingLayer");
    addItem(layer, QObject::tr("New Layer Group"), "addLayerGroupAction");
    addItem(layer, QObject::tr("Duplicate Layer"), "duplicateLayer");
    addItem(layer, QObject::tr("Delete Layer"), "deleteLayerAction");
}

void addHelpMenu(QMenuBar* bar)
{
    Menu* help = addMenu(bar, QObject::tr("&Help"));
    addItem(help, QObject::tr("About Quorvane"), "orderFrontStandardAboutPanel");
}

} // namespace

QMenuBar* MapMenuBar::make(QWidget* window)
{
    auto* bar = new QMenuBar(window);
    addFileMenu(bar);
    addEditMenu(bar);
    addViewMenu(bar);
    addToolsMenu(bar);
    addLayerMenu(bar);
    addHelpMenu(bar);
    return bar;
}
