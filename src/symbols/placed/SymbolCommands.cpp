#include "symbols/placed/SymbolCommands.h"

#include "app/services/LibraryServices.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/VXQSymbolSequence.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>

namespace {

const QString kSymbolToolName = QStringLiteral("Place Symbol");

} // namespace

void SymbolCommands::detach()
{
    auto* drawingLayer = qobject_cast<VXObjectDrawingLayer*>(m_symbol.layer());
    if (m_symbol.locked() || !drawingLayer)
        return;
    const VXDrawableObjectPtr copy = m_symbol.placedCopyOfMasterObject();
    if (!ZQ_EXPECT(copy, QStringLiteral("couldn't detach - object was nil")))
        return;
    copy->setLocation(m_symbol.location());
    copy->setMetadata(m_symbol.metadata());
    if (m_symbol.usesLocalStyle())
        copy->setStyle(m_symbol.lentStyle());
    const VXDrawableObjectPtr self = std::static_pointer_cast<VXDrawableObject>(m_symbol.shared_from_this());
    const int index = drawingLayer->indexOfObject(&m_symbol);
    drawingLayer->editWithSelectionUndo(tr("Detach Symbol"), [&] {
        drawingLayer->insertObjectInObjectsAtIndex(copy, index + 1);
        drawingLayer->replaceSelectionWithObject(copy);
        drawingLayer->removeObject(self.get());
    });
}

void SymbolCommands::pickUp()
{
    const VXDrawingToolPtr tool = VXToolRegistry::sharedToolRegistry().drawingToolWithName(kSymbolToolName);
    const VXQSymbolMasterPtr& master = m_symbol.master();
    if (m_symbol.locked() || !tool || !master)
        return;
    tool->performSelector("setSymbolMaster", {QVariant::fromValue(master)});
    tool->set();
    auto* drawingLayer = qobject_cast<VXObjectDrawingLayer*>(m_symbol.layer());
    if (!drawingLayer || (platform::currentModifierFlags() & platform::OptionKeyMask))
        return;
    // The symbol's own attributes stay as they are: they come back with an undo.
    const VXDrawableObjectPtr self = std::static_pointer_cast<VXDrawableObject>(m_symbol.shared_from_this());
    drawingLayer->editWithSelectionUndo(tr("Pick Up Symbol"), [&] { drawingLayer->removeObject(self.get()); });
}

void SymbolCommands::scaleToTagOf(QObject* sender)
{
    if (m_symbol.locked() || !sender)
        return;
    m_symbol.setScaleFactor(sender->property("tag").toInt() / 10.0);
    m_symbol.nameUndoAction(tr("Change Symbol Scale"));
}

void SymbolCommands::copyMaster() const
{
    if (!m_symbol.master())
        return;
    platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    pasteboard.clearContents();
    m_symbol.master()->copyToPasteboard(pasteboard);
}

void SymbolCommands::pasteMaster()
{
    if (m_symbol.locked())
        return;
    if (const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithPasteboard(platform::Pasteboard::generalPasteboard())) {
        m_symbol.setMaster(master);
        m_symbol.nameUndoAction(tr("Paste Symbol Master"));
    }
}

bool SymbolCommands::dropMaster(const platform::Pasteboard& pasteboard)
{
    const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithPasteboard(pasteboard);
    if (!master)
        return false;
    m_symbol.setMaster(master);
    m_symbol.nameUndoAction(tr("Drop Symbol Master"));
    return true;
}

void SymbolCommands::revealMaster() const
{
    if (const auto& show = LibraryServices::installed().showLibraryItemWithUniqueID; show && m_symbol.master())
        show(m_symbol.master()->uniqueKey());
}

void SymbolCommands::selectMatchingStyle() const
{
    if (m_symbol.master())
        m_symbol.master()->selectAllSymbols();
}

void SymbolCommands::copyDrawingStyle() const
{
    const VXStylePtr drawnWith = m_symbol.style();
    if (!drawnWith)
        return;
    auto* data = new QMimeData;
    drawnWith->copyToPasteboard(data);
    QGuiApplication::clipboard()->setMimeData(data);
}

// --- The sequence -------------------------------------------------------------------------------

void SymbolCommands::renumberSequence()
{
    if (m_symbol.locked() || !m_symbol.sequence())
        return;
    auto alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Renumber Symbol Sequence of '%1'?").arg(m_symbol.masterName()), tr("Cancel"), tr("Renumber"), {},
        tr("Symbol sequence number of new symbols with this master will be renumbered from 1. This will eliminate "
           "any gaps in the sequence."));
    const std::weak_ptr<ZQObject> weakSymbol = m_symbol.weak_from_this();
    alert.beginSheetModalForWindowCompletionHandler(QApplication::activeWindow(), [weakSymbol](int returnCode) {
        const auto symbol = std::static_pointer_cast<VXQSymbol>(weakSymbol.lock());
        if (returnCode != platform::Alert::kAlternateReturn || !symbol || !symbol->sequence())
            return;
        symbol->sequence()->renumber();
        symbol->nameUndoAction(tr("Renumber Symbols"));
    });
}

void SymbolCommands::toggleAutoRenumbering()
{
    if (VXQSymbolSequence* sequence = m_symbol.sequence())
        sequence->setAutoRenumbers(!sequence->autoRenumbers());
}

void SymbolCommands::setSequenceKind(QObject* sender)
{
    if (m_symbol.locked() || !m_symbol.sequence() || !sender)
        return;
    m_symbol.sequence()->setSequenceKind(sender->property("tag").toInt());
    m_symbol.nameUndoAction(tr("Sequence Type"));
}

void SymbolCommands::moveInSequence(SymbolSequenceMembership::Move move, QObject* sender)
{
    const SymbolSequenceMembership& membership = m_symbol.m_membership;
    const std::optional<qint64> target = membership.targetOf(move);
    if (m_symbol.locked() || !target)
        return;
    membership.moveTo(*target);
    if (const QString title = sender ? sender->property("title").toString() : QString(); !title.isEmpty())
        m_symbol.nameUndoAction(title);
}

void SymbolCommands::insertKeyTable()
{
    if (VXQSymbolSequence* sequence = m_symbol.sequence())
        sequence->createAndInsertKeyTable();
}

const void* SymbolCommands::sharedReceiverKeyForAction(const QByteArray& action) const
{
    static const QSet<QByteArray> sequenceWide{"renumberSequence", "toggleAutoRenumbering", "insertKeyTable"};
    return sequenceWide.contains(action) ? m_symbol.sequence() : nullptr;
}

// --- Menus ---------------------------------------------------------------------------------------

bool SymbolCommands::populateContextualMenuAtPoint(platform::Menu* menu, QPointF point)
{
    if (!menu)
        return false;
    m_symbol.m_labels.addTextItemsToMenuAtPoint(menu, point, false);
    const auto add = [&](const QString& title, const QByteArray& action) {
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(title, action);
        item->setTarget(&m_symbol);
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

bool SymbolCommands::validateMenuItem(platform::MenuItem* item) const
{
    const QByteArray action = item->action();
    if (const std::optional<bool> enabled = m_symbol.m_labels.validateContainerMenuItem(item, m_symbol.locked()))
        return *enabled;
    if (action == "editText")
        return !m_symbol.locked() && m_symbol.m_labels.hasSelection();
    if (action == "detachSymbol" || action == "pickUpSymbol" || action == "scaleSymbolWithTagOfSender")
        return !m_symbol.locked();
    if (action == "pasteSymbolMaster")
        return !m_symbol.locked() && VXQSymbolMaster::canInitWithPasteboard(platform::Pasteboard::generalPasteboard());
    if (action == "copySymbolMaster" || action == "revealMasterSymbol")
        return true;
    if (const std::optional<bool> enabled = m_symbol.m_membership.validateMenuItem(item))
        return *enabled;
    if (!m_symbol.locked() && m_symbol.m_labels.validateLabelMenuItem(item))
        return true;
    return platform::ResponderChain::hasActionMethod(&m_symbol, action);
}
