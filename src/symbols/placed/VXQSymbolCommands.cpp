// The placed symbol's menu commands, its context menu and their validation.

#include "symbols/placed/VXQSymbol.h"

#include "app/services/LibraryServices.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tools/VXToolRegistry.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

const QString kSymbolToolName = QStringLiteral("Place Symbol");

} // namespace

void VXQSymbol::detachSymbol(QObject*)
{
    auto* drawingLayer = qobject_cast<VXObjectDrawingLayer*>(layer());
    if (locked() || !drawingLayer)
        return;
    const VXDrawableObjectPtr copy = placedCopyOfMasterObject();
    if (!ZQ_EXPECT(copy, QStringLiteral("couldn't detach - object was nil")))
        return;
    copy->setLocation(m_placement.location);
    copy->setMetadata(metadata());
    if (m_useLocalStyle)
        copy->setStyle(VXDrawableObject::style());
    const VXDrawableObjectPtr self = std::static_pointer_cast<VXDrawableObject>(shared_from_this());
    const int index = drawingLayer->indexOfObject(this);
    drawingLayer->editWithSelectionUndo(tr("Detach Symbol"), [&] {
        drawingLayer->insertObjectInObjectsAtIndex(copy, index + 1);
        drawingLayer->replaceSelectionWithObject(copy);
        drawingLayer->removeObject(self.get());
    });
}

void VXQSymbol::pickUpSymbol(QObject*)
{
    const VXDrawingToolPtr tool = VXToolRegistry::sharedToolRegistry().drawingToolWithName(kSymbolToolName);
    if (locked() || !tool || !master())
        return;
    tool->performSelector("setSymbolMaster", {QVariant::fromValue(master())});
    tool->set();
    auto* drawingLayer = qobject_cast<VXObjectDrawingLayer*>(layer());
    if (!drawingLayer || (platform::currentModifierFlags() & platform::OptionKeyMask))
        return;
    // The symbol's own attributes stay as they are: they come back with an undo.
    const VXDrawableObjectPtr self = std::static_pointer_cast<VXDrawableObject>(shared_from_this());
    drawingLayer->editWithSelectionUndo(tr("Pick Up Symbol"), [&] { drawingLayer->removeObject(self.get()); });
}

void VXQSymbol::scaleSymbolWithTagOfSender(QObject* sender)
{
    if (locked() || !sender)
        return;
    setScaleFactor(sender->property("tag").toInt() / 10.0);
    nameUndoAction(tr("Change Symbol Scale"));
}

void VXQSymbol::copySymbolMaster(QObject*)
{
    if (!master())
        return;
    platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    pasteboard.clearContents();
    master()->copyToPasteboard(pasteboard);
}

void VXQSymbol::pasteSymbolMaster(QObject*)
{
    if (locked())
        return;
    if (const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithPasteboard(platform::Pasteboard::generalPasteboard())) {
        setMaster(master);
        nameUndoAction(tr("Paste Symbol Master"));
    }
}

void VXQSymbol::applySymbolMaster(const ZQObjectPtr& master)
{
    if (const auto symbolMaster = std::dynamic_pointer_cast<VXQSymbolMaster>(master))
        setMaster(symbolMaster);
}

bool VXQSymbol::performDragOperation(const platform::Pasteboard& pasteboard)
{
    const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithPasteboard(pasteboard);
    if (!master)
        return false;
    setMaster(master);
    nameUndoAction(tr("Drop Symbol Master"));
    return true;
}

void VXQSymbol::revealMasterSymbol(QObject*)
{
    if (const auto& show = LibraryServices::installed().showLibraryItemWithUniqueID; show && master())
        show(master()->uniqueKey());
}

void VXQSymbol::selectMatchingStyle(QObject*)
{
    if (master())
        master()->selectAllSymbols();
}

void VXQSymbol::copyDrawingStyle(QObject*)
{
    const VXStylePtr drawnWith = style();
    if (!drawnWith)
        return;
    auto* data = new QMimeData;
    drawnWith->copyToPasteboard(data);
    QGuiApplication::clipboard()->setMimeData(data);
}

bool VXQSymbol::populateContextualMenuAtPoint(platform::Menu* menu, QPointF point)
{
    if (!menu)
        return false;
    m_labels.addTextItemsToMenuAtPoint(menu, point, false);
    const auto add = [&](const QString& title, const QByteArray& action) {
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(title, action);
        item->setTarget(this);
    };
    add(tr("Detach From Symbol Master"), "detachSymbol");
    add(tr("Show Master In Library"), "revealMasterSymbol");
    // Untargeted: the responder chain takes it to the selection.
    menu->addItemWithTitleActionKeyEquivalent(tr("Pick Up"), "pickUpSymbol");
    menu->addSeparator();
    add(tr("Copy Style"), "copyDrawingStyle");
    add(tr("Copy Symbol Master"), "copySymbolMaster");
    if (VXQSymbolMaster::canInitWithPasteboard(platform::Pasteboard::generalPasteboard()))
        add(tr("Paste Symbol Master"), "pasteSymbolMaster");
    return true;
}

bool VXQSymbol::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    if (const std::optional<bool> enabled = m_labels.validateContainerMenuItem(item, locked()))
        return *enabled;
    if (action == "editText")
        return !locked() && m_labels.hasSelection();
    if (action == "detachSymbol" || action == "pickUpSymbol" || action == "scaleSymbolWithTagOfSender")
        return !locked();
    if (action == "pasteSymbolMaster")
        return !locked() && VXQSymbolMaster::canInitWithPasteboard(platform::Pasteboard::generalPasteboard());
    if (action == "copySymbolMaster" || action == "revealMasterSymbol")
        return true;
    if (const std::optional<bool> enabled = m_membership.validateMenuItem(item))
        return *enabled;
    if (!locked() && m_labels.validateLabelMenuItem(item))
        return true;
    return platform::ResponderChain::hasActionMethod(this, action);
}
