#include "library/browser/VXQLibraryItemViewController.h"

#include "library/browser/LibraryItemMenuValidation.h"
#include "library/browser/LibraryItemPdfPreview.h"
#include "library/browser/LibraryItemTableModel.h"
#include "library/store/VXQLibrary.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Sheet.h"
#include "widgets/cells/ZQLabelledIconCell.h"
#include "widgets/controls/ZQSegmentedControl.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QStackedWidget>
#include <QTableView>
#include <QUrl>

namespace {

const QString kPrintPreviewContext = QStringLiteral("print_preview");

// An impossible setting, so that a stored one always applies.
constexpr int kUnsetSetting = 100;

} // namespace

VXQLibraryItemViewController::VXQLibraryItemViewController()
    : m_iconSource(*this)
    , m_presentations(*this, m_iconSource)
    , m_selection(*this, m_presentations, m_disabled)
    , m_controls(this, [this](int mode) { setSortedBy(mode); })
    , m_sortOrder(LibraryItemTableModel::columnKeys())
    , m_settings([this] { return settingsNameRoot(); })
{
}

VXQLibraryItemViewController::~VXQLibraryItemViewController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

// --- Building ---------------------------------------------------------------------------------

QWidget* VXQLibraryItemViewController::loadView()
{
    return m_presentations.build(iconSizeForSizing(m_iconSizing == kUnsetSetting ? 0 : m_iconSizing));
}

void VXQLibraryItemViewController::awakeFromInterface()
{
    view();
    if (m_awake)
        return;
    m_awake = true;
    m_presentations.listView()->setDragEnabled(true);
    m_presentations.listView()->setDragDropMode(QAbstractItemView::DragOnly);
    setSortedBy(0);

    m_allowIconUpscaling = m_settings.iconsCanBeScaledUp();
    m_lockBadging = m_settings.showsLockBadging();
    if (auto* cell = dynamic_cast<ZQLabelledIconCell*>(m_presentations.iconView()->prototype()))
        cell->setImageScaling(m_allowIconUpscaling ? ZQLabelledIconCell::ImageScaleProportionallyUpOrDown
                                                   : ZQLabelledIconCell::ImageScaleProportionallyDown);
    m_iconSizing = kUnsetSetting;
    setIconSizing(m_settings.iconSizing());
    showLayoutMode(m_settings.layoutMode());
    setIconViewBackgroundColour(m_settings.backgroundColourIndex());

    auto& center = platform::NotificationCenter::defaultCenter();
    for (const QString& name : {kVXQLibraryObjectInternallyUpdated, kVXQLibraryObjectImageUpdated})
        center.addObserver(this, name, nullptr, [this](const platform::Notification& n) { libraryItemChanged(n); });
}

// --- Shared values ----------------------------------------------------------------------------

QByteArray VXQLibraryItemViewController::pdfPreviewForContentArrangedInColumnsIconSize(
    const QList<VXQLibraryItemPtr>& content, unsigned columns, int sizing)
{
    auto browser = std::make_shared<VXQLibraryItemViewController>();
    browser->m_content = content;
    return librarybrowser::pdfOfIconGrid(browser->m_iconSource, browser->m_iconSource, content.size(), columns,
                                         iconSizeForSizing(sizing));
}

// --- Content and delegate ---------------------------------------------------------------------

void VXQLibraryItemViewController::setContentPreservingSelection(const QList<VXQLibraryItemPtr>& content,
                                                                bool preserving)
{
    if (!content.isEmpty() && content == m_content)
        return;
    view();
    if (preserving && !content.isEmpty())
        m_selection.remember();
    m_presentations.forgetSelections();
    m_disabled.set.reset();
    m_content = content;
    m_presentations.reload();
    if (preserving)
        m_selection.restore();
}

QList<VXQLibraryItemPtr> VXQLibraryItemViewController::content()
{
    if (m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::Content))
        m_content = m_delegate->contentForLibraryItemViewController(this);
    return m_content;
}

qint64 VXQLibraryItemViewController::numberOfItemsInContent()
{
    if (m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::NumberOfItems))
        return std::max<qint64>(0, m_delegate->numberOfItemsForLibraryItemViewController(this));
    return content().size();
}

VXQLibraryItemPtr VXQLibraryItemViewController::itemAtIndex(qint64 index)
{
    const QList<VXQLibraryItemPtr> items = content();
    return index >= 0 && index < items.size() ? items.at(index) : nullptr;
}

qint64 VXQLibraryItemViewController::indexOfItem(const VXQLibraryItem* item)
{
    if (!item)
        return -1;
    const QList<VXQLibraryItemPtr> items = content();
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items.at(i).get() == item)
            return i;
    return -1;
}

void VXQLibraryItemViewController::setDelegate(VXQLibraryItemViewControllerDelegate* delegate)
{
    QObject* object = dynamic_cast<QObject*>(delegate);
    if (!ZQ_EXPECT(!delegate || object, QStringLiteral("delegate must conform to VXQLibraryItemViewControllerDelegate")))
        return;
    m_delegate = delegate;
    m_delegateObject = object;
    if (object)
        connect(object, &QObject::destroyed, this, [this, object] {
            if (m_delegateObject.isNull() || m_delegateObject == object)
                m_delegate = nullptr;
        });
}

QString VXQLibraryItemViewController::settingsNameRoot() const
{
    if (m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::SaveSettingsRootName))
        return m_delegate->saveSettingsRootNameForItemViewController(const_cast<VXQLibraryItemViewController*>(this));
    return {};
}

// --- Presentation -----------------------------------------------------------------------------

void VXQLibraryItemViewController::setLayoutMode(int mode)
{
    if (validLayoutMode(mode) != layoutMode())
        showLayoutMode(mode);
}

int VXQLibraryItemViewController::validLayoutMode(int mode)
{
    // A stored mode that no presentation has shows icons.
    return mode == ListMode ? ListMode : IconMode;
}

void VXQLibraryItemViewController::showLayoutMode(int mode)
{
    mode = validLayoutMode(mode);
    view();
    const JXIndexSet selected = selectedItemIndexes();
    m_presentations.show(mode);
    m_presentations.reload();
    m_selection.show(selected);
    m_controls.showLayoutMode(mode);
    m_settings.setLayoutMode(mode);
}

void VXQLibraryItemViewController::setIconSizing(int sizing)
{
    if (layoutMode() != IconMode || sizing == m_iconSizing)
        return;
    view();
    m_iconSizing = sizing;
    const QSizeF size = iconSizeForSizing(sizing);
    m_presentations.setCellSize(size);
    const JXIndexSet selected = m_presentations.iconView()->selectedItemIndexes();
    if (!selected.empty())
        m_presentations.iconView()->scrollItemToVisible(*selected.begin());
    m_controls.showIconSizing(sizing);
    m_settings.setIconSizing(sizing);
    if (m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::IconSizingChanged))
        m_delegate->iconSizingChanged(size);
}

void VXQLibraryItemViewController::setIconsCanBeScaledUp(bool flag)
{
    m_allowIconUpscaling = flag;
    m_settings.setIconsCanBeScaledUp(flag);
    refreshActiveView();
}

void VXQLibraryItemViewController::setShowsLockBadging(bool flag)
{
    m_lockBadging = flag;
    m_settings.setShowsLockBadging(flag);
    refreshActiveView();
}

void VXQLibraryItemViewController::setIconViewBackgroundColour(int index)
{
    view();
    m_backgroundColourIndex = index;
    m_presentations.setIconBackground(librarybrowser::backgroundColourForIndex(index));
    m_settings.setBackgroundColourIndex(index);
}

QWidget* VXQLibraryItemViewController::activeView()
{
    view();
    return m_presentations.activeView();
}

JXDistributedView* VXQLibraryItemViewController::iconView()
{
    view();
    return m_presentations.iconView();
}

void VXQLibraryItemViewController::setIconView(JXDistributedView* iconView)
{
    m_presentations.setIconView(iconView, iconSizeForSizing(m_iconSizing == kUnsetSetting ? 0 : m_iconSizing));
}

QTableView* VXQLibraryItemViewController::listView()
{
    view();
    return m_presentations.listView();
}

double VXQLibraryItemViewController::rowHeight()
{
    view();
    return m_presentations.rowHeight();
}

double VXQLibraryItemViewController::fixedHeight()
{
    view();
    return m_presentations.fixedHeight();
}

ZQSegmentedControl* VXQLibraryItemViewController::iconSizeControl()
{
    return m_controls.iconSizeControl(m_iconSizing, layoutMode());
}

ZQSegmentedControl* VXQLibraryItemViewController::layoutModeControl()
{
    return m_controls.layoutModeControl(layoutMode());
}

QComboBox* VXQLibraryItemViewController::sortByPopUpButton()
{
    return m_controls.sortByPopUpButton(sortedBy());
}

// --- Selection --------------------------------------------------------------------------------

void VXQLibraryItemViewController::tellSelectionChanged(const JXIndexSet& indexes)
{
    if (m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::ItemSelectionChanged))
        m_delegate->itemSelectionChanged(indexes);
}

// --- Editing ----------------------------------------------------------------------------------

void VXQLibraryItemViewController::setEditingEnabled(bool enabled)
{
    for (const VXQLibraryItemPtr& item : selectedItems())
        item->setLocked(!enabled);
    refreshActiveView();
}

int VXQLibraryItemViewController::isEditingEnabled()
{
    QList<bool> locked;
    for (const VXQLibraryItemPtr& item : selectedItems())
        locked.append(item->locked());
    return librarybrowser::editingStateForLockedFlags(locked);
}

void VXQLibraryItemViewController::setDisabledItems(const std::optional<JXIndexSet>& items)
{
    if (items == m_disabled.set)
        return;
    m_disabled.set = items;
    // Disabled items cannot stay selected.
    const JXIndexSet selected = selectedItemIndexes();
    const JXIndexSet allowed = m_disabled.filterSelection(selected);
    m_presentations.reload();
    if (allowed != selected)
        m_selection.show(allowed);
}

int VXQLibraryItemViewController::sortedBy() const
{
    return m_sortOrder.sortMode();
}

void VXQLibraryItemViewController::setSortedBy(int mode)
{
    view();
    if (const auto previous = m_sortOrder.leadWithMode(mode))
        tableViewSortDescriptorsDidChange(*previous);
}

void VXQLibraryItemViewController::setSortDescriptors(const QList<LibrarySortDescriptor>& descriptors)
{
    if (const auto previous = m_sortOrder.setDescriptors(descriptors))
        tableViewSortDescriptorsDidChange(*previous);
}

void VXQLibraryItemViewController::tableHeaderClicked(int column)
{
    view();
    if (const auto previous = m_sortOrder.leadWithColumn(column))
        tableViewSortDescriptorsDidChange(*previous);
}

void VXQLibraryItemViewController::tableViewSortDescriptorsDidChange(const QList<LibrarySortDescriptor>& previous)
{
    if (m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::SortDescriptorsChanged))
        m_delegate->sortDescriptorsChanged(previous);
    const int column = m_sortOrder.highlightLeadingColumn();
    if (m_sortOrder.descriptors().isEmpty())
        return;
    m_presentations.showSortIndicator(column, m_sortOrder.descriptors().first().ascending);
    m_controls.showSortMode(sortedBy());
}

void VXQLibraryItemViewController::renameItemAtIndex(qint64 index)
{
    const VXQLibraryItemPtr item = itemAtIndex(index);
    if (!item || item->locked())
        return;
    m_presentations.beginRenaming(index);
}

bool VXQLibraryItemViewController::shouldEditItemAtIndex(qint64 index)
{
    if (m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::ShouldEditItemAtIndex))
        return m_delegate->libraryItemViewControllerShouldEditItemAtIndex(this, index);
    return true;
}

void VXQLibraryItemViewController::tableSelectionDidChange()
{
    if (layoutMode() == ListMode)
        tellSelectionChanged(selectedItemIndexes());
}

// --- Printing ---------------------------------------------------------------------------------

int VXQLibraryItemViewController::printToPrinter(QPrinter& printer)
{
    view();
    return m_iconSource.print(printer);
}

void VXQLibraryItemViewController::performPrintWithPrintInfo(const std::optional<QPageLayout>& pageLayout)
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (pageLayout)
        printer->setPageLayout(*pageLayout);
    QWidget* host = m_sheetHostWindow ? m_sheetHostWindow.data() : view()->window();
    auto* dialog = new QPrintDialog(printer.get(), host);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    platform::Sheet::beginSheetModalForWindowCompletionHandler(
        dialog, host, [this, guard = QPointer(this), printer](int code) {
            if (!guard)
                return;
            const bool success = code == QDialog::Accepted && printToPrinter(*printer) > 0;
            if (m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::PrintOperationDidRun))
                m_delegate->printOperationDidRunSuccessContextInfo(success, kPrintPreviewContext);
        });
}

// --- Actions ----------------------------------------------------------------------------------

void VXQLibraryItemViewController::iconSizingAction(QObject* sender)
{
    if (auto* control = qobject_cast<ZQSegmentedControl*>(sender))
        setIconSizing(control->selectedTag());
    else if (auto* item = qobject_cast<platform::MenuItem*>(sender))
        setIconSizing(item->tag());
}

void VXQLibraryItemViewController::iconContinuousSizingAction(QObject* sender)
{
    if (layoutMode() != IconMode || !sender)
        return;
    bool ok = false;
    const double value = sender->property("value").toDouble(&ok);
    if (!ok || !(value > 0))
        return;
    m_presentations.setCellSize(QSizeF(value, value));
    if (m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::IconSizingChanged))
        m_delegate->iconSizingChanged(QSizeF(value, value));
}

void VXQLibraryItemViewController::layoutModeAction(QObject* sender)
{
    if (auto* control = qobject_cast<ZQSegmentedControl*>(sender))
        setLayoutMode(control->selectedSegment());
    else if (auto* item = qobject_cast<platform::MenuItem*>(sender))
        setLayoutMode(item->tag());
}

void VXQLibraryItemViewController::enableEditingAction(QObject* sender)
{
    bool off = false;
    if (const auto* item = qobject_cast<platform::MenuItem*>(sender))
        off = item->state() == platform::MenuItem::OffState;
    else if (const auto* button = qobject_cast<QAbstractButton*>(sender))
        off = !button->isChecked();
    setEditingEnabled(off);
}

void VXQLibraryItemViewController::showItemMenu(qint64 index, QPoint globalPosition)
{
    if (index >= 0 && index < numberOfItemsInContent() && !m_selection.indexes().contains(index))
        selectItemsAtIndexes({index});
    platform::Menu menu;
    addItemCommands(menu);
    menu.exec(globalPosition);
}

void VXQLibraryItemViewController::revealInFinderAction(QObject*)
{
    const QList<VXQLibraryItemPtr> items = selectedItems();
    if (items.isEmpty())
        return;
    const VXQLibraryItemPtr& item = items.first();
    VXQLibrary* library = item->library();
    if (!library || library->isFactoryLibrary() || item->path().isEmpty())
        return;
    // No file viewer here selects a file: the package's folder is opened instead.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(item->path()).absolutePath()));
}

void VXQLibraryItemViewController::renameAction(QObject*)
{
    const JXIndexSet selected = selectedItemIndexes();
    if (!selected.empty())
        renameItemAtIndex(*selected.begin());
}

void VXQLibraryItemViewController::delete_(QObject*)
{
    const QList<VXQLibraryItemPtr> items = selectedUnlockedItems();
    if (items.isEmpty())
        return;
    QStringList names;
    for (const VXQLibraryItemPtr& item : items)
        names.append(item->name());
    VXQLibrary* library = items.last()->library();
    const QString message = librarybrowser::deleteItemsMessage(names, library ? library->name() : QString());

    m_deleteSheet.begin(view()->window(), message, this, [this](int code) { finishDeleteSheet(code); });
}

void VXQLibraryItemViewController::deleteItemsOKAction(QObject*)
{
    m_deleteSheet.end(platform::Sheet::kDefaultReturn);
}

void VXQLibraryItemViewController::deleteItemsCancelAction(QObject*)
{
    m_deleteSheet.end(platform::Sheet::kCancelReturn);
}

void VXQLibraryItemViewController::finishDeleteSheet(int returnCode)
{
    if (returnCode != platform::Sheet::kDefaultReturn)
        return;
    if (!m_delegate || !m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::DeleteItemsAtIndexes))
        return;
    // Only what the message named: locked items are never deleted.
    const JXIndexSet unlocked = m_selection.unlockedIndexes();
    if (!unlocked.empty())
        m_delegate->deleteItemsAtIndexes(unlocked);
}

void VXQLibraryItemViewController::backgroundColourAction(QObject* sender)
{
    if (sender)
        setIconViewBackgroundColour(sender->property("tag").toInt());
}

void VXQLibraryItemViewController::sortByAction(QObject* sender)
{
    if (sender)
        setSortedBy(sender->property("tag").toInt());
}

bool VXQLibraryItemViewController::validateMenuItem(platform::MenuItem* item)
{
    return item && librarybrowser::validateMenuItem(*this, *item);
}

// --- Drag out ---------------------------------------------------------------------------------

void VXQLibraryItemViewController::distributedViewDraggedImageMovedTo(JXDistributedView*, const QImage&,
                                                                      QPointF screenPoint)
{
    m_dragOut.imageMovedTo(screenPoint.toPoint(), [this] {
        return m_delegate && m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::CanRemoveItemsAtIndexes)
            && m_delegate->canRemoveItemsAtIndexes(selectedItemIndexes());
    });
}

bool VXQLibraryItemViewController::dragEndedWithOperationAtPoint(Qt::DropAction operation, QPoint screenPoint)
{
    if (!m_dragOut.endedAsRemoval(operation, screenPoint) || !m_delegate)
        return false;
    const JXIndexSet selected = selectedItemIndexes();
    if (selected.empty()
        || !m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::CanRemoveItemsAtIndexes)
        || !m_delegate->canRemoveItemsAtIndexes(selected)
        || !m_delegate->answers(VXQLibraryItemViewControllerDelegate::Message::RemoveItemsAtIndexes))
        return false;
    return m_delegate->removeItemsAtIndexes(selected);
}

// --- Item changes -----------------------------------------------------------------------------

void VXQLibraryItemViewController::libraryItemChanged(const platform::Notification& notification)
{
    if (!isViewLoaded())
        return;
    const qint64 index = indexOfItem(qobject_cast<VXQLibraryItem*>(notification.object()));
    if (index >= 0)
        m_presentations.itemNeedsDisplay(index);
}
