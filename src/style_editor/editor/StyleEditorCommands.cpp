#include "style_editor/editor/StyleEditorCommands.h"

#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/items/VXQLibraryItem.h"
#include "library/manager/VXQLibraryManagerWindowController.h"
#include "library/registry/VXQLibraryRegistryShim.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "style_editor/editor/VLTMStyleEditorController.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMimeData>
#include <QScopeGuard>
#include <cmath>

namespace {

struct TagRow {
    int tag;
    const char* className;
};

// The add-component menu's tags; 23 to 25 have no row, and -1 ends the table.
constexpr TagRow kComponentTags[] = {
    {0, "VXStroke"},
    {1, "VXFill"},
    {2, "VXRastGroup"},
    {3, "VXImageAdornment"},
    {4, "VXCIFilterRastGroup"},
    {5, "VXTextAdornment"},
    {6, "VXHatching"},
    {7, "VXArrowStroke"},
    {8, "VXPathDecorator"},
    {9, "VXFillPattern"},
    {10, "VXBlendGroup"},
    {11, "VXZigZagStroke"},
    {12, "VXZigZagFill"},
    {13, "VXRoughStroke"},
    {14, "VXQBridgeRasterizer"},
    {15, "VXQTunnelRasterizer"},
    {16, "VXGradientFill"},
    {17, "VXQTaggedStroke"},
    {18, "VXQTaperedStroke"},
    {19, "VXQCuttingAndEmbankmentRasterizer"},
    {20, "VXRepeatTransformGroup"},
    {21, "VXCIFilterTypeBlurGroup"},
    {26, "VXGloomGroup"},
    {27, "VXGloomGroup"},
    {22, "VXTilingFill"},
    {-1, nullptr},
};

// The pasteboard's component; null when it holds none that reads.
VXRasterizerPtr pasteboardComponent()
{
    return VXRasterizer::rasterizerFromPasteboard(QGuiApplication::clipboard()->mimeData());
}

// A number written in a field or set on a stepper; none for empty or unreadable text.
std::optional<double> numberOfControl(QObject* control)
{
    if (auto* stepper = qobject_cast<QDoubleSpinBox*>(control))
        return stepper->value();
    const QVariant value = control ? control->property(control->metaObject()->userProperty().name()) : QVariant();
    bool ok = false;
    const double number = QLocale::c().toDouble(value.toString().trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

} // namespace

StyleEditorCommands::StyleEditorCommands(VLTMStyleEditorController& editor)
    : m_editor(editor)
{
}

void StyleEditorCommands::nameUndo(const QString& name) const
{
    if (ZQUndoManager* undo = m_editor.undoManager())
        undo->setActionName(name);
}

// --- The tag table ---------------------------------------------------------------------------------------

const QMetaObject* StyleEditorCommands::componentClassForTag(int tag)
{
    for (const TagRow& row : kComponentTags) {
        if (!row.className)
            return nullptr;
        if (row.tag == tag)
            return platform::ClassRegistry::metaObjectForName(QString::fromLatin1(row.className));
    }
    return nullptr;
}

QList<int> StyleEditorCommands::componentTags()
{
    QList<int> tags;
    for (const TagRow& row : kComponentTags)
        if (row.className)
            tags.append(row.tag);
    return tags;
}

// --- Adding and pasting ----------------------------------------------------------------------------------

void StyleEditorCommands::addComponentWithTagOfSenderAction(QObject* sender)
{
    addComponentForTag(sender ? sender->property("tag").toInt() : -1);
}

void StyleEditorCommands::addComponentAction(QObject* sender)
{
    // A pop-up's chosen item carries the tag as its data.
    if (const auto* popUp = qobject_cast<const QComboBox*>(sender))
        addComponentForTag(popUp->currentData().isValid() ? popUp->currentData().toInt() : -1);
    else
        addComponentWithTagOfSenderAction(sender);
}

void StyleEditorCommands::addComponentForTag(int tag)
{
    const QMetaObject* componentClass = componentClassForTag(tag);
    const VXStylePtr shown = m_editor.style();
    const auto component = componentClass && shown && !shown->locked()
                               ? std::dynamic_pointer_cast<VXRasterizer>(platform::ClassRegistry::create(componentClass->className()))
                               : nullptr;
    if (!component) {
        platform::Application::beep();
        ZQLog(QStringLiteral("a component (tag=%1) could not be added because its class wasn't recognised, or because the "
                             "style is locked or missing")
                  .arg(tag));
        return;
    }
    {
        const VXRasterizer::EditingScope scope(m_editor.undoManager());
        shown->addRenderer(component);
    }
    m_editor.buildUIForStyle(shown);
    nameUndo(QStringLiteral("%1 %2").arg(tr("Add"), component->displayName()));
}

bool StyleEditorCommands::canPasteComponentFromName(const QMimeData* data, QString* name)
{
    const VXRasterizerPtr component = VXRasterizer::rasterizerFromPasteboard(data);
    if (component && name)
        *name = component->displayName();
    return component != nullptr;
}

void StyleEditorCommands::pasteComponentAction(QObject*)
{
    const VXRasterizerPtr component = pasteboardComponent();
    if (component)
        LogEvent(kReactiveEvent, QStringLiteral("pasting rasterizer: %1").arg(component->description()));
    const VXStylePtr shown = m_editor.style();
    if (!component || !shown || shown->locked())
        return;
    {
        const VXRasterizer::EditingScope scope(m_editor.undoManager());
        shown->addRenderer(component);
    }
    m_editor.buildUIForStyle(shown);
    nameUndo(QStringLiteral("%1 %2").arg(tr("Paste"), component->displayName()));
}

// --- The style itself ------------------------------------------------------------------------------------------

void StyleEditorCommands::applyStyleToSelection(const VXStylePtr& style)
{
    if (!ZQ_EXPECT(style, QStringLiteral("style cannot be nil here")))
        return;
    VXStylePtr attached;
    const QList<VXDrawableObjectPtr> selection = m_editor.selection();
    for (const VXDrawableObjectPtr& object : selection) {
        object->setStyle(style);
        if (VXStylePtr now = object->style())
            attached = now;
    }
    if (!attached)
        attached = style;
    m_editor.setContent({attached});
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXStyleInspectorDidCreateNewStyle, &m_editor,
                                                                      {{QStringLiteral("style"), QVariant::fromValue(attached)}});
}

void StyleEditorCommands::resetStyleAction(QObject*)
{
    // A fresh copy of the default, so edits here never reach the next object's default.
    applyStyleToSelection(VXStyle::defaultStyle());
    nameUndo(tr("Reset Style"));
}

void StyleEditorCommands::cloneStyleAction(QObject*)
{
    const VXStylePtr shown = m_editor.style();
    if (!shown)
        return;
    VXStyle::disableNameProvider();
    const auto enable = qScopeGuard([] { VXStyle::enableNameProvider(); });
    // A fresh key: a copy keeping the original's would stand for the same library item.
    const VXStylePtr copy = shown->clone();
    applyStyleToSelection(copy);
    nameUndo(tr("Clone Style"));
}

void StyleEditorCommands::styleWellAction(QObject*)
{
    if (const VXStylePtr dropped = m_editor.previewView() ? m_editor.previewView()->style() : nullptr) {
        applyStyleToSelection(dropped);
        nameUndo(tr("Apply Style"));
    }
}

void StyleEditorCommands::editableAction(QObject* sender)
{
    const bool editable = sender ? sender->property("checked").toBool() : false;
    m_editor.setCommonValueForKeyPath(editable ? 0 : 1, QStringLiteral("locked"));
    nameUndo(editable ? tr("Allow Editing") : tr("Disable Editing"));
}

void StyleEditorCommands::sharedAction(QObject* sender)
{
    if (sender)
        m_editor.setCommonValueForKeyPath(sender->property("checked").toBool(), QStringLiteral("styleSharable"));
}

void StyleEditorCommands::masterOpacityAction(QObject* sender)
{
    const std::optional<double> entered = numberOfControl(sender);
    if (!entered || m_editor.content().isEmpty()) {
        // Unreadable text shows the style's opacity again.
        if (const VXStylePtr shown = m_editor.style())
            m_editor.setOpacity(shown->opacity());
        return;
    }
    const double opacity = std::clamp(*entered, 0.0, 1.0);
    m_editor.setCommonValueForKeyPath(opacity, QStringLiteral("opacity"));
    m_editor.setOpacity(opacity);
}

void StyleEditorCommands::renameAction(QObject*)
{
    if (const VXStylePtr shown = m_editor.style(); shown && !shown->locked())
        m_editor.setRenamingMode(true);
}

void StyleEditorCommands::handleNameDoubleClick()
{
    renameAction(nullptr);
}

void StyleEditorCommands::nameFieldAction(QObject* sender)
{
    const QString name = sender ? sender->property("text").toString().trimmed() : QString();
    const bool renaming = m_editor.renamingModeActive();
    m_editor.setRenamingMode(false);
    const VXStylePtr shown = m_editor.style();
    if (!renaming || !shown)
        return;
    if (name.isEmpty()) {
        m_editor.setName(shown->name());
        return;
    }
    m_editor.setCommonValueForKeyPath(name, QStringLiteral("name"));
}

// --- Libraries ---------------------------------------------------------------------------------------------------

void StyleEditorCommands::addToLibraryAction(QObject*)
{
    const VXStylePtr shown = m_editor.style();
    if (!shown)
        return;
    const std::shared_ptr<VXQLibraryItem> item = VXQLibraryRegistryShim::registerStyle(shown);
    if (const auto registered = item ? std::dynamic_pointer_cast<VXStyle>(item->representedObject()) : nullptr) {
        applyStyleToSelection(registered);
        nameUndo(tr("Add to Library"));
    }
}

void StyleEditorCommands::revealInLibraryAction(QObject*)
{
    const VXStylePtr shown = m_editor.style();
    if (!shown)
        return;
    VXQLibraryManagerWindowController* manager = VXQLibraryManagerWindowController::sharedLibraryManager();
    if (manager && manager->showItemWithUniqueIDInCategorySelectIt(shown->uniqueKey(), nullptr, true))
        manager->showWindow(nullptr);
}

void StyleEditorCommands::resetStyleNumberingAction(QObject*)
{
    if (VXQLibrary* library = VXQLibraryCatalogue::defaultUserLibrary())
        library->resetAdHocStyleName();
}

void StyleEditorCommands::populateMenuOfUserLibraries(QMenu* menu)
{
    if (!menu)
        return;
    menu->clear();
    const QList<VXQLibraryPtr> libraries = VXQLibraryCatalogue::userLibraries().value_or(QList<VXQLibraryPtr>());
    const VXQLibrary* chosen = VXQLibraryCatalogue::defaultUserLibrary();
    for (const VXQLibraryPtr& library : libraries) {
        auto* item = new platform::MenuItem(library->name(), "defaultLibrarySelectAction", menu);
        item->setTarget(this);
        item->setRepresentedObject(QVariant::fromValue<QObject*>(library.get()));
        item->setCheckable(true);
        item->setState(library.get() == chosen ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        menu->addAction(item);
    }
}

void StyleEditorCommands::defaultLibrarySelectAction(QObject* sender)
{
    const auto* item = qobject_cast<platform::MenuItem*>(sender);
    if (auto* library = item ? qobject_cast<VXQLibrary*>(item->representedObject().value<QObject*>()) : nullptr)
        VXQLibraryCatalogue::setDefaultUserLibrary(library);
}

// --- Stack, units and help -----------------------------------------------------------------------------------------

void StyleEditorCommands::collapseAllAction(QObject*)
{
    m_editor.styleComponentStackView()->collapseAll();
}

void StyleEditorCommands::expandAllAction(QObject*)
{
    m_editor.styleComponentStackView()->expandAll();
}

void StyleEditorCommands::toggleDrawingUnitsDisplayAction(QObject*)
{
    m_editor.setShowsDrawingUnits(!m_editor.displaysDrawingUnits());
}

void StyleEditorCommands::styleEditorHelpAction(QObject*)
{
    platform::invokeSelector(platform::Application::delegate(), "showHelpItemNamed",
                             QStringLiteral("the-styles-tab"));
}

// --- Validation ------------------------------------------------------------------------------------------------------

bool StyleEditorCommands::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    if (action == "addComponentWithTagOfSenderAction" || action == "addComponentAction")
        return componentClassForTag(item->tag()) != nullptr;
    if (action == "toggleDrawingUnitsDisplayAction") {
        item->setState(m_editor.displaysDrawingUnits() ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "revealInLibraryAction")
        return m_editor.styleLibrary() != nullptr;
    if (action == "renameAction" || action == "deleteComponentAction")
        return m_editor.styleAllowsChanges();
    if (action == "pasteComponentAction") {
        QString name;
        const bool available = canPasteComponentFromName(QGuiApplication::clipboard()->mimeData(), &name);
        item->setTitle(available ? QStringLiteral("%1 (%2)").arg(tr("Paste Component"), name) : tr("Paste Component"));
        return available && m_editor.styleAllowsChanges();
    }
    if (action == "addToLibraryAction")
        return m_editor.styleLibrary() == nullptr;
    if (action == "defaultLibrarySelectAction") {
        const QObject* library = item->representedObject().value<QObject*>();
        item->setState(library && library == VXQLibraryCatalogue::defaultUserLibrary() ? platform::MenuItem::OnState
                                                                                      : platform::MenuItem::OffState);
        return true;
    }
    return true;
}
