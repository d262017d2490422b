#include "library/browser/LibraryItemBrowserControls.h"

#include "library/browser/LibraryItemBrowserRules.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Menu.h"
#include "widgets/controls/ZQSegmentedControl.h"

#include <QComboBox>
#include <QCoreApplication>

namespace {

// Segments of the icon-size control, smallest first, tagged with their sizings.
constexpr int kSizingsBySegment[] = {3, 0, 1, 2};
constexpr int kIconMode = 0;
constexpr int kListMode = 1;

platform::MenuItem* addItem(platform::Menu& menu, QObject* target, const QString& title, const QByteArray& action,
                            int tag = 0)
{
    platform::MenuItem* item = menu.addItemWithTitleActionKeyEquivalent(title, action);
    item->setTarget(target);
    item->setTag(tag);
    return item;
}

QString tr(const char* text)
{
    return QCoreApplication::translate("VXQLibraryItemViewController", text);
}

} // namespace

LibraryItemBrowserControls::LibraryItemBrowserControls(QObject* target, std::function<void(int)> sortChosen)
    : m_target(target)
    , m_sortChosen(std::move(sortChosen))
{
}

ZQSegmentedControl* LibraryItemBrowserControls::iconSizeControl(int sizing, int mode)
{
    if (!m_iconSize) {
        auto* control = new ZQSegmentedControl;
        control->setSegmentCount(int(std::size(kSizingsBySegment)));
        for (int segment = 0; segment < control->segmentCount(); ++segment) {
            const int segmentSizing = kSizingsBySegment[segment];
            control->setTagForSegment(segmentSizing, segment);
            control->setLabelForSegment(QString::number(int(librarybrowser::iconSizeForSizing(segmentSizing).width())),
                                        segment);
        }
        control->setToolTip(tr("Icon Size"));
        control->setTarget(m_target);
        control->setAction("iconSizingAction");
        control->selectSegmentWithTag(sizing);
        control->setEnabled(mode == kIconMode);
        m_iconSize = control;
    }
    return m_iconSize;
}

ZQSegmentedControl* LibraryItemBrowserControls::layoutModeControl(int mode)
{
    if (!m_layoutMode) {
        auto* control = new ZQSegmentedControl;
        control->setSegmentCount(2);
        control->setLabelForSegment(tr("Icons"), kIconMode);
        control->setLabelForSegment(tr("List"), kListMode);
        control->setTarget(m_target);
        control->setAction("layoutModeAction");
        control->setSelectedSegment(mode);
        m_layoutMode = control;
    }
    return m_layoutMode;
}

QComboBox* LibraryItemBrowserControls::sortByPopUpButton(int sortMode)
{
    if (!m_sortBy) {
        auto* popUp = new QComboBox;
        popUp->addItem(tr("Name"), 0);
        popUp->addItem(tr("Kind"), 1);
        popUp->addItem(tr("Locked"), 2);
        popUp->setCurrentIndex(popUp->findData(sortMode));
        QObject::connect(popUp, &QComboBox::activated, m_target, [this, popUp](int index) {
            platform::runGuarded("sort pop-up", [&] { m_sortChosen(popUp->itemData(index).toInt()); });
        });
        m_sortBy = popUp;
    }
    return m_sortBy;
}

platform::Menu* LibraryItemBrowserControls::makeViewMenu(const QString& title, QWidget* parent) const
{
    auto* menu = new platform::Menu(title, parent);
    addItem(*menu, m_target, tr("as Icons"), "layoutModeAction", kIconMode);
    addItem(*menu, m_target, tr("as List"), "layoutModeAction", kListMode);
    menu->addSeparator();
    for (const int sizing : kSizingsBySegment) {
        const int side = int(librarybrowser::iconSizeForSizing(sizing).width());
        addItem(*menu, m_target, tr("Icons %1 × %1").arg(side), "iconSizingAction", sizing);
    }
    // Checked when small previews keep their size.
    addItem(*menu, m_target, tr("Keep Small Icons Small"), "toggleIconScalingAction");
    addItem(*menu, m_target, tr("Show Lock Badges"), "toggleLockBadgingAction");
    auto* background = new platform::Menu(tr("Background"), menu);
    const QStringList colours{tr("Standard"), tr("White"), tr("Grey"), tr("Light Grey"), tr("Black")};
    for (int index = 0; index < colours.size(); ++index)
        addItem(*background, m_target, colours[index], "backgroundColourAction", index);
    menu->addMenu(background);
    return menu;
}

void LibraryItemBrowserControls::addItemCommands(platform::Menu& menu) const
{
    addItem(menu, m_target, tr("Delete..."), "delete_")->setStandardKey(QKeySequence::Delete);
    menu.addSeparator();
    addItem(menu, m_target, tr("Select All"), "selectAll")->setStandardKey(QKeySequence::SelectAll);
    addItem(menu, m_target, tr("Select None"), "selectNone")->setStandardKey(QKeySequence::Deselect);
    addItem(menu, m_target, tr("Select Others"), "selectOthers");
    menu.addSeparator();
    addItem(menu, m_target, tr("Rename Item"), "renameAction");
    addItem(menu, m_target, tr("Enable Editing"), "enableEditingAction");
    addItem(menu, m_target, tr("Show Item in File Manager"), "revealInFinderAction");
}

void LibraryItemBrowserControls::showLayoutMode(int mode)
{
    if (m_iconSize)
        m_iconSize->setEnabled(mode == kIconMode);
    if (m_layoutMode)
        m_layoutMode->setSelectedSegment(mode);
}

void LibraryItemBrowserControls::showIconSizing(int sizing)
{
    if (m_iconSize)
        m_iconSize->selectSegmentWithTag(sizing);
}

void LibraryItemBrowserControls::showSortMode(int sortMode)
{
    if (m_sortBy)
        m_sortBy->setCurrentIndex(m_sortBy->findData(sortMode));
}
