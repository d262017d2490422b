// The commands of the Style tab and their validation.

#include "style_editor/editor/VLTMStyleEditorController.h"

#include "app/application/VLTMAppDelegate.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/items/VXQLibraryItem.h"
#include "library/manager/VXQLibraryManagerWindowController.h"
#include "library/registry/VXQLibraryRegistryShim.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "style_editor/panes/VLTMStyleComponentController.h"
#include "style_editor/swatch/VXQStyleImageView.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
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

// --- The tag table ---------------------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditorController::componentClassForStyleComponentTag(int tag)
{
    for (const TagRow& row : kComponentTags) {
        if (!row.className)
            return nullptr;
        if (row.tag == tag)
            return platform::ClassRegistry::metaObjectForName(QString::fromLatin1(row.className));
    }
    return nullptr;
}

QList<int> VLTMStyleEditorController::styleComponentTags()
{
    QList<int> tags;
    for (const TagRow& row : kComponentTags)
        if (row.className)
            tags.append(row.tag);
    return tags;
}

// --- Adding and pasting ----------------------------------------------------------------------------------

void VLTMStyleEditorController::addComponentWithTagOfSenderAction(QObject* sender)
{
    addComponentForTag(sender ? sender->property("tag").toInt() : -1);
}

void VLTMStyleEditorController::addComponentAction(QObject* sender)
{
    // A pop-up's chosen item carries the tag as its data.
    if (const auto* popUp = qobject_cast<const QComboBox*>(sender))
        addComponentForTag(popUp->currentData().isValid() ? popUp->currentData().toInt() : -1);
    else
        addComponentWithTagOfSenderAction(sender);
}

void VLTMStyleEditorController::addComponentForTag(int tag)
{
    const QMetaObject* componentClass = componentClassForStyleComponentTag(tag);
    const VXStylePtr shown = style();
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
        const VXRasterizer::EditingScope scope(undoManager());
        shown->addRenderer(component);
    }
    buildUIForStyle(shown);
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(QStringLiteral("%1 %2").arg(tr("Add"), component->displayName()));
}

bool VLTMStyleEditorController::canPasteComponentFromName(const QMimeData* data, QString* name)
{
    const VXRasterizerPtr component = VXRasterizer::rasterizerFromPasteboard(data);
    if (component && name)
        *name = component->displayName();
    return component != nullptr;
}

void VLTMStyleEditorController::pasteComponentAction(QObject*)
{
    const VXRasterizerPtr component = pasteboardComponent();
    if (component)
        LogEvent(kReactiveEvent, QStringLiteral("pasting rasterizer: %1").arg(component->description()));
    const VXStylePtr shown = style();
    if (!component || !shown || shown->locked())
        return;
    {
        const VXRasterizer::EditingScope scope(undoManager());
        shown->addRenderer(component);
    }
    buildUIForStyle(shown);
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(QStringLiteral("%1 %2").arg(tr("Paste"), component->displayName()));
}

// --- The style itself ------------------------------------------------------------------------------------------

void VLTMStyleEditorController::applyStyleToSelection(const VXStylePtr& style)
{
    if (!ZQ_EXPECT(style, QStringLiteral("style cannot be nil here")))
        return;
    VXStylePtr attached;
    for (const VXDrawableObjectPtr& object : std::as_const(m_selectionCache)) {
        object->setStyle(style);
        if (VXStylePtr now = object->style())
            attached = now;
    }
    if (!attached)
        attached = style;
    setContent({attached});
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXStyleInspectorDidCreateNewStyle, this,
                                                                      {{QStringLiteral("style"), QVariant::fromValue(attached)}});
}

void VLTMStyleEditorController::resetStyleAction(QObject*)
{
    // A fresh copy of the default, so edits here never reach the next object's default.
    applyStyleToSelection(VXStyle::defaultStyle());
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(tr("Reset Style"));
}

void VLTMStyleEditorController::cloneStyleAction(QObject*)
{
    const VXStylePtr shown = style();
    if (!shown)
        return;
    VXStyle::disableNameProvider();
    const auto enable = qScopeGuard([] { VXStyle::enableNameProvider(); });
    // A fresh key: a copy keeping the original's would stand for the same library item.
    const VXStylePtr copy = shown->clone();
    applyStyleToSelection(copy);
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(tr("Clone Style"));
}

void VLTMStyleEditorController::styleWellAction(QObject*)
{
    if (const VXStylePtr dropped = m_stylePreviewImageWell ? m_stylePreviewImageWell->style() : nullptr) {
        applyStyleToSelection(dropped);
        if (ZQUndoManager* undo = undoManager())
            undo->setActionName(tr("Apply Style"));
    }
}

void VLTMStyleEditorController::editableAction(QObject* sender)
{
    const bool editable = sender ? sender->property("checked").toBool() : false;
    setCommonValueForKeyPath(editable ? 0 : 1, QStringLiteral("locked"));
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(editable ? tr("Allow Editing") : tr("Disable Editing"));
}

void VLTMStyleEditorController::sharedAction(QObject* sender)
{
    if (sender)
        setCommonValueForKeyPath(sender->property("checked").toBool(), QStringLiteral("styleSharable"));
}

void VLTMStyleEditorController::masterOpacityAction(QObject* sender)
{
    const std::optional<double> entered = numberOfControl(sender);
    if (!entered || m_styleList.isEmpty()) {
        // Unreadable text shows the style's opacity again.
        if (const VXStylePtr shown = style())
            setOpacity(shown->opacity());
        return;
    }
    const double opacity = std::clamp(*entered, 0.0, 1.0);
    setCommonValueForKeyPath(opacity, QStringLiteral("opacity"));
    setOpacity(opacity);
}

void VLTMStyleEditorController::renameAction(QObject*)
{
    if (const VXStylePtr shown = style(); shown && !shown->locked())
        setRenamingMode(true);
}

void VLTMStyleEditorController::handleNameDoubleClick()
{
    renameAction(nullptr);
}

void VLTMStyleEditorController::nameFieldAction(QObject* sender)
{
    const QString name = sender ? sender->property("text").toString().trimmed() : QString();
    const bool renaming = m_renamingModeActive;
    setRenamingMode(false);
    const VXStylePtr shown = style();
    if (!renaming || !shown)
        return;
    if (name.isEmpty()) {
        setName(shown->name());
        return;
    }
    setCommonValueForKeyPath(name, QStringLiteral("name"));
}

void VLTMStyleEditorController::setRenamingMode(bool renaming)
{
    if (!m_styleNameTextView || renaming == m_renamingModeActive)
        return;
    m_renamingModeActive = renaming;
    m_styleNameTextView->setReadOnly(!renaming);
    m_styleNameTextView->setFrame(renaming);
    if (renaming) {
        m_styleNameTextView->setFocus();
        m_styleNameTextView->selectAll();
    } else {
        m_styleNameTextView->deselect();
        if (QWidget* window = m_styleNameTextView->window(); window && m_styleNameTextView->hasFocus())
            window->setFocus();
    }
}

// --- Libraries ---------------------------------------------------------------------------------------------------

VXQLibrary* VLTMStyleEditorController::styleLibrary() const
{
    const VXStylePtr shown = style();
    if (!shown || !shown->isStyleRegistered())
        return nullptr;
    return VXQLibraryCatalogue::libraryContainingItemWithUniqueIDInGroups(
        shown->uniqueKey(), {kVXQLibraryFactoryGroupName, kVXQLibraryUserGroupName});
}

bool VLTMStyleEditorController::styleInLockedLibrary() const
{
    const VXQLibrary* library = styleLibrary();
    return library && !library->allowsContentChanges();
}

bool VLTMStyleEditorController::styleAllowsChanges() const
{
    const VXStylePtr shown = style();
    return shown && !shown->locked() && !styleInLockedLibrary();
}

void VLTMStyleEditorController::addToLibraryAction(QObject*)
{
    const VXStylePtr shown = style();
    if (!shown)
        return;
    const std::shared_ptr<VXQLibraryItem> item = VXQLibraryRegistryShim::registerStyle(shown);
    if (const auto registered = item ? std::dynamic_pointer_cast<VXStyle>(item->representedObject()) : nullptr) {
        applyStyleToSelection(registered);
        if (ZQUndoManager* undo = undoManager())
            undo->setActionName(tr("Add to Library"));
    }
}

void VLTMStyleEditorController::revealInLibraryAction(QObject*)
{
    const VXStylePtr shown = style();
    if (!shown)
        return;
    VXQLibraryManagerWindowController* manager = VXQLibraryManagerWindowController::sharedLibraryManager();
    if (manager && manager->showItemWithUniqueIDInCategorySelectIt(shown->uniqueKey(), nullptr, true))
        manager->showWindow(nullptr);
}

void VLTMStyleEditorController::resetStyleNumberingAction(QObject*)
{
    if (VXQLibrary* library = VXQLibraryCatalogue::defaultUserLibrary())
        library->resetAdHocStyleName();
}

void VLTMStyleEditorController::populateMenuOfUserLibraries(QMenu* menu)
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

void VLTMStyleEditorController::libraryContentChanged()
{
    // Filled when it opens; only a menu already filled needs doing again.
    if (m_userLibrariesListMenu && !m_userLibrariesListMenu->isEmpty())
        populateMenuOfUserLibraries(m_userLibrariesListMenu);
}

void VLTMStyleEditorController::defaultLibrarySelectAction(QObject* sender)
{
    const auto* item = qobject_cast<platform::MenuItem*>(sender);
    if (auto* library = item ? qobject_cast<VXQLibrary*>(item->representedObject().value<QObject*>()) : nullptr)
        VXQLibraryCatalogue::setDefaultUserLibrary(library);
}

// --- Stack, units and help -----------------------------------------------------------------------------------------

void VLTMStyleEditorController::collapseAllAction(QObject*)
{
    styleComponentStackView()->collapseAll();
}

void VLTMStyleEditorController::expandAllAction(QObject*)
{
    styleComponentStackView()->expandAll();
}

void VLTMStyleEditorController::toggleDrawingUnitsDisplayAction(QObject*)
{
    setShowsDrawingUnits(!m_displaysDrawingUnits);
}

void VLTMStyleEditorController::setShowsDrawingUnits(bool shows)
{
    m_displaysDrawingUnits = shows;
    applyDisplayUnits();
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(shows, kShowsDrawingUnitsKey);
}

void VLTMStyleEditorController::applyDisplayUnits()
{
    const bool drawingUnits = m_displaysDrawingUnits && m_drawing && m_drawing->unitToPointsConversionFactor() > 0;
    if (drawingUnits)
        changeUnitsConversionFactorToWithUnits(1.0 / m_drawing->unitToPointsConversionFactor(),
                                               m_drawing->abbreviatedDrawingUnits());
    else
        changeUnitsConversionFactorToWithUnits(1.0, QStringLiteral("pt"));
}

void VLTMStyleEditorController::changeUnitsConversionFactorToWithUnits(double factor, const QString& units)
{
    for (const auto& pane : std::as_const(m_subControllers))
        pane->changeUnitsConversionFactorToWithUnits(factor, units);
}

void VLTMStyleEditorController::drawingUnitsChanged()
{
    applyDisplayUnits();
}

void VLTMStyleEditorController::styleEditorHelpAction(QObject*)
{
    platform::invokeSelector(platform::Application::delegate(), "showHelpItemNamed",
                             QStringLiteral("the-styles-tab"));
}

bool VLTMStyleEditorController::isInMainWindow() const
{
    return m_styleNameTextView && m_styleNameTextView->window()->isActiveWindow();
}

// --- Validation ------------------------------------------------------------------------------------------------------

bool VLTMStyleEditorController::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    if (action == "addComponentWithTagOfSenderAction" || action == "addComponentAction")
        return componentClassForStyleComponentTag(item->tag()) != nullptr;
    if (action == "toggleDrawingUnitsDisplayAction") {
        item->setState(m_displaysDrawingUnits ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (action == "revealInLibraryAction")
        return styleLibrary() != nullptr;
    if (action == "renameAction" || action == "deleteComponentAction")
        return styleAllowsChanges();
    if (action == "pasteComponentAction") {
        QString name;
        const bool available = canPasteComponentFromName(QGuiApplication::clipboard()->mimeData(), &name);
        item->setTitle(available ? QStringLiteral("%1 (%2)").arg(tr("Paste Component"), name) : tr("Paste Component"));
        return available && styleAllowsChanges();
    }
    if (action == "addToLibraryAction")
        return styleLibrary() == nullptr;
    if (action == "defaultLibrarySelectAction") {
        const QObject* library = item->representedObject().value<QObject*>();
        item->setState(library && library == VXQLibraryCatalogue::defaultUserLibrary() ? platform::MenuItem::OnState
                                                                                      : platform::MenuItem::OffState);
        return true;
    }
    return true;
}
