#include "widgets/colour/XQColorPickerViewController.h"

#include "platform/ui/ColourPanel.h"
#include "platform/ui/ColourWell.h"
#include "widgets/colour/ColourPanelPages.h"
#include "widgets/colour/XQColorPickerPopoverView.h"
#include "widgets/tabs/XQIconTabBar.h"

#include <QVBoxLayout>

XQColorPickerViewController::XQColorPickerViewController() = default;

XQColorPickerViewController::~XQColorPickerViewController()
{
    if (m_colorPanel)
        m_colorPanel->setTarget(nullptr);
}

QWidget* XQColorPickerViewController::loadView()
{
    auto* root = new XQColorPickerPopoverView;
    // Pages wider than the popover (the sliders) widen it rather than being cut off.
    root->setMinimumSize(kViewSize);
    platform::ColourPanel* panel = platform::ColourPanel::sharedColorPanel();
    if (panel->isVisible()) {
        panel->orderOut(this);
        platform::ColourWell::deactivateAll();
    }
    installColourPanelPages(panel);
    m_colorPanel = panel;
    panel->setShowsAlpha(true);

    QList<XQIconTabBar::Item> items;
    int selected = 0;
    const QList<platform::ColourPanel::PickerMode> modes = panel->pickerModes();
    for (qsizetype index = 0; index < modes.size(); ++index) {
        items << XQIconTabBarItem::itemWithIconTooltip(modes[index].icon, modes[index].toolTip);
        if (modes[index].identifier == panel->selectedPickerMode())
            selected = int(index);
    }
    m_tabbar = new XQIconTabBar(root);
    m_tabbar->setDelegate(this);
    m_tabbar->setItems(items);
    m_tabbar->setFixedHeight(kTabBarHeight);
    m_tabbar->selectIndex(selected);

    m_colorPanelView = panel->lendContentView();
    auto* layout = new QVBoxLayout(root);
    // The margin is where the popover is grabbed to tear it off.
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(0);
    layout->addWidget(m_tabbar);
    layout->addWidget(m_colorPanelView, 1);
    m_colorPanelView->show();
    return root;
}

void XQColorPickerViewController::tabBarChangedSelection(XQIconTabBar* bar)
{
    if (!m_colorPanel || !bar || bar->selectedIndex() == XQIconTabBar::kNotFound)
        return;
    const QList<platform::ColourPanel::PickerMode> modes = m_colorPanel->pickerModes();
    if (bar->selectedIndex() < modes.size())
        m_colorPanel->setSelectedPickerMode(modes[bar->selectedIndex()].identifier);
}
