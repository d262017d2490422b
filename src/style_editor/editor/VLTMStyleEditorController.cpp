#include "style_editor/editor/VLTMStyleEditorController.h"

#include "app/sidebar/TabBehindAnother.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "platform/foundation/Markers.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/inspector/InspectorValues.h"
#include "style_editor/panes/VLTMStyleComponentController.h"

#include <QEvent>
#include <QVBoxLayout>
#include <exception>
#include <utility>

namespace {

const QByteArray kBuildKey = "buildUIForStyle";

} // namespace

VLTMStyleEditorController::VLTMStyleEditorController()
{
    connect(&m_observer, &StyleContentObserver::selectionDidChange, this, &VLTMStyleEditorController::showSelectionStyles);
    connect(&m_observer, &StyleContentObserver::selectionStylesDidChange, this, &VLTMStyleEditorController::setContent);
    connect(&m_observer, &StyleContentObserver::toolStyleDidChange, this,
            [this](const VXStylePtr& style) { setContent({style}); });
    connect(&m_observer, &StyleContentObserver::drawingUnitsDidChange, &m_stack, &StylePaneStack::applyDisplayUnits);
    connect(&m_observer, &StyleContentObserver::styleValueDidChange, this, &VLTMStyleEditorController::styleValueDidChange);
}

VLTMStyleEditorController::~VLTMStyleEditorController()
{
    platform::RunLoop::cancelPreviousPerformRequests(this);
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<VLTMStyleEditorController> VLTMStyleEditorController::make()
{
    auto editor = std::make_shared<VLTMStyleEditorController>();
    editor->initWithNibName(kTabIdentifier);
    editor->setTitle(tr("Style"));
    editor->setTabIcon(kTabIdentifier); // artwork named like the tab, with a "_selected" twin
    return editor;
}

bool VLTMStyleEditorController::styleEditorShowsAdornments()
{
    return platform::UserDefaults::standardUserDefaults()->boolForKey(kShowsAdornmentsKey);
}

void VLTMStyleEditorController::setStyleEditorShowsAdornments(bool shows)
{
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(shows, kShowsAdornmentsKey);
}

// --- Views ------------------------------------------------------------------------------------------------

QWidget* VLTMStyleEditorController::loadView()
{
    auto* tab = new QWidget;
    tab->setObjectName(kTabIdentifier);
    tab->installEventFilter(this);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_header.makeView());
    layout->addWidget(m_stack.makeView(), 1);
    return tab;
}

void VLTMStyleEditorController::viewDidLoad()
{
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    centre.addObserver(this, kVXStyleSharingEnabledChangeNotification, nullptr, [this](const platform::Notification&) {
        const bool sharing = VXStyle::styleSharingEnabled();
        m_header.showSharingAvailable(sharing);
        if (sharing && style())
            setStyleSharable(style()->styleSharable());
    });
    const auto librariesChanged = [this](const platform::Notification&) {
        // Filled when it opens; only a menu already filled needs doing again.
        if (QMenu* menu = m_header.userLibrariesMenu(); menu && !menu->isEmpty())
            m_commands.populateMenuOfUserLibraries(menu);
    };
    if (VXQLibraryGroup* userGroup = VXQLibraryGroup::userGroup())
        centre.addObserver(this, kVXQLibraryGroupContentWasChanged, userGroup, librariesChanged);
    centre.addObserver(this, kVXQLibraryDidChangeName, nullptr, librariesChanged);
    m_observer.followToolStyles(m_header.nameField());
    m_stack.readStoredShowsDrawingUnits();
    m_header.showSharingAvailable(VXStyle::styleSharingEnabled());
    m_header.lockedLibraryIconView()->hide();
    m_stack.readStoredCollapseStates();
    m_header.showNoStyle();
}

// --- The drawing and its selection ----------------------------------------------------------------------

void VLTMStyleEditorController::setDrawing(VXDrawing* drawing)
{
    VXDrawing* previous = m_drawing;
    m_drawing = drawing;
    m_observer.followDrawing(previous, drawing);
}

void VLTMStyleEditorController::showSelectionStyles(const QList<VXStylePtr>& styles)
{
    // Behind another tab nobody sees the line counting every object of the drawing that holds
    // the style, a walk over a million pasted lines on every edit; it waits for the front.
    if (isViewLoaded() && isOnTabBehindAnother(*view())) {
        m_selectionWaitsForShow = true;
        return;
    }
    // The style stays for the same styles and for an empty selection, but how many objects
    // hold it may have changed since it was shown: the selection may have been deleted.
    const bool styleStays = styles.isEmpty() || styles == m_styleList;
    setContent(styles);
    if (const VXStylePtr shown = style(); shown && styleStays && isViewLoaded())
        m_header.showLibraryLine(*shown, m_drawing);
}

bool VLTMStyleEditorController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && isViewLoaded() && watched == view()
        && std::exchange(m_selectionWaitsForShow, false))
        showSelectionStyles(m_observer.stylesOfSelection());
    return VLTMTabContentViewController::eventFilter(watched, event);
}

ZQUndoManager* VLTMStyleEditorController::undoManager() const
{
    return m_drawing ? m_drawing->undoManager() : nullptr;
}

// --- Content --------------------------------------------------------------------------------------------

VXStylePtr VLTMStyleEditorController::style() const
{
    return m_styleList.size() == 1 ? m_styleList.first() : nullptr;
}

void VLTMStyleEditorController::setContent(const QList<VXStylePtr>& styles)
{
    if (styles.isEmpty() || styles == m_styleList)
        return;
    m_observer.stopObservingStyle();
    m_styleList = styles;
    if (const VXStylePtr shown = style()) {
        buildUIForStyle(shown);
        m_observer.observeStyle(shown, styleObservingKeypaths());
        return;
    }
    m_stack.tearDown();
    view();
    m_header.showNoStyle();
    showMultipleStyles();
}

QStringList VLTMStyleEditorController::styleObservingKeypaths()
{
    return {QStringLiteral("name"),   QStringLiteral("opacity"),       QStringLiteral("isStyleRegistered"),
            QStringLiteral("locked"), QStringLiteral("styleSharable"), QStringLiteral("renderList")};
}

QVariant VLTMStyleEditorController::commonValueForKeyPath(const QString& keyPath) const
{
    if (!ZQ_EXPECT(styleObservingKeypaths().contains(keyPath),
                   QStringLiteral("keyPath '%1' used as getter not present in -styleObservingKeypaths").arg(keyPath)))
        return {};
    if (m_styleList.isEmpty())
        return {};
    try {
        const QVariant first = m_styleList.first()->valueForKeyPath(keyPath);
        for (qsizetype i = 1; i < m_styleList.size(); ++i)
            if (m_styleList[i]->valueForKeyPath(keyPath) != first)
                return platform::multipleValuesMarker();
        return first;
    } catch (const std::exception&) {
        return platform::notApplicableMarker();
    }
}

void VLTMStyleEditorController::setCommonValueForKeyPath(const QVariant& value, const QString& keyPath)
{
    const VXRasterizer::EditingScope scope(undoManager());
    for (const VXStylePtr& style : std::as_const(m_styleList))
        style->setValueForKeyPath(value, keyPath);
}

void VLTMStyleEditorController::styleValueDidChange(const QString& keyPath)
{
    const QString key = platform::lastKeyOfKeyPath(keyPath);
    const QVariant value = commonValueForKeyPath(key);
    if (platform::isMultipleValuesMarker(value)) {
        showMultipleStyles();
        return;
    }
    if (platform::isNotApplicableMarker(value))
        return;
    displayBindings().show(*this, value, key);
}

void VLTMStyleEditorController::showMultipleStyles()
{
    view();
    m_header.showMultipleStyles();
}

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

bool VLTMStyleEditorController::isInMainWindow() const
{
    const QLineEdit* name = m_header.nameField();
    return name && name->window()->isActiveWindow();
}

// --- Header and stack ------------------------------------------------------------------------------------------

ZQCollapsibleContainerView* VLTMStyleEditorController::styleComponentStackView()
{
    view();
    return m_stack.stackView();
}

void VLTMStyleEditorController::rebuildUI()
{
    platform::RunLoop::cancelPreviousPerformRequests(this, kBuildKey);
    platform::RunLoop::performAfterDelay(
        this,
        [this] {
            if (const VXStylePtr shown = style())
                buildUIForStyle(shown);
        },
        0, kBuildKey);
}

void VLTMStyleEditorController::buildUIForStyle(const VXStylePtr& style)
{
    if (!ZQ_EXPECT(style, QStringLiteral("unexpected object where style should be")))
        return;
    view();
    platform::RunLoop::cancelPreviousPerformRequests(this, kBuildKey);
    setRenamingMode(false);
    m_stack.tearDown();
    const bool editableByLibrary = m_header.showLibraryLine(*style, m_drawing);
    m_header.showStyle(style, editableByLibrary);
    // The panes are made after the header's lock was shown.
    m_stack.build(style, style->locked() || !editableByLibrary);
}

void VLTMStyleEditorController::setLocked(bool locked)
{
    const bool effective = locked || styleInLockedLibrary();
    m_header.showEditable(!effective);
    m_stack.setLocked(effective);
}

void VLTMStyleEditorController::setRenderList(const QVariantList&)
{
    if (!m_observer.isStartingObservation())
        rebuildUI();
}

const platform::DisplayBindings& VLTMStyleEditorController::displayBindings() const
{
    using Self = VLTMStyleEditorController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("name"), &Self::setName)
        .bind(QStringLiteral("opacity"), &Self::setOpacity)
        .bind(QStringLiteral("isStyleRegistered"), &Self::setIsStyleRegistered)
        .bind(QStringLiteral("locked"), &Self::setLocked)
        .bind(QStringLiteral("styleSharable"), &Self::setStyleSharable)
        .bind(QStringLiteral("renderList"), &Self::setRenderList);
    return bindings;
}
