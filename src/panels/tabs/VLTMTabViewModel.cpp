#include "panels/tabs/VLTMTabViewModel.h"

#include "app/sidebar/VLTMTabContentViewController.h"
#include "panels/tabs/VLTMDragTabProxy.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/MenuItem.h"

#include <algorithm>
#include <utility>
#include <optional>

namespace {

const QString kIdentifierListKey = QStringLiteral("identifierList");
const QString kSelectedTabKey = QStringLiteral("selectedTab");
const QString kTabOptionsKey = QStringLiteral("tabOptions");
const QString kTabAlignmentKey = QStringLiteral("tabAlignment");

constexpr int kVisibilityBits = VLTMTabViewModel::TitlesShown | VLTMTabViewModel::IconsShown;

// Options that show neither titles nor icons would leave blank buttons: icons instead.
int sanitisedOptions(qint64 options)
{
    const int bits = int(options & kVisibilityBits);
    return bits == 0 ? VLTMTabViewModel::IconsShown : bits;
}

// A stored index is unsigned; a negative or unreadable one stands for no tab.
qsizetype storedIndex(const QVariant& value)
{
    if (!value.isValid())
        return 0;
    bool ok = false;
    const qlonglong index = value.toLongLong(&ok);
    return ok && index >= 0 ? qsizetype(index) : SidebarTabView::NotFound;
}

platform::MenuItem* menuItem(QObject* sender)
{
    return qobject_cast<platform::MenuItem*>(sender);
}

} // namespace

VLTMTabViewModel::VLTMTabViewModel()
{
    auto* defaults = platform::UserDefaults::standardUserDefaults();
    m_tabAlignment = int(defaults->integerForKey(kVLTMTabViewAlignmentPreferencesKey));
    m_tabOptions = sanitisedOptions(defaults->integerForKey(kVLTMTabViewOptionsPreferencesKey));
}

VLTMTabViewModel::~VLTMTabViewModel()
{
    // Controllers go first, while the views they tear down still stand.
    for (const VLTMTabContentViewPtr& tab : std::exchange(m_tabs, {}))
        tab->setTabView(nullptr);
    m_draggingView.reset();
    delete m_widget.data();
}

bool VLTMTabViewModel::delegateAnswers(SidebarTabViewDelegate::Message message) const
{
    return m_delegate && m_delegate->answeredTabViewMessages().testFlag(message);
}

void VLTMTabViewModel::interfaceStateDidChange()
{
    if (!m_restoring && delegateAnswers(SidebarTabViewDelegate::DidChangeInterfaceState))
        m_delegate->tabViewDidChangeInterfaceState(*this);
}

// --- Tabs --------------------------------------------------------------------------------------

VLTMTabContentView* VLTMTabViewModel::tabAtIndex(qsizetype index) const
{
    return index >= 0 && index < m_tabs.size() ? m_tabs[index].get() : nullptr;
}

qsizetype VLTMTabViewModel::indexOfTab(const SidebarTab* tab) const
{
    for (qsizetype i = 0; i < m_tabs.size(); ++i)
        if (m_tabs[i].get() == tab)
            return i;
    return NotFound;
}

VLTMTabContentView* VLTMTabViewModel::tabWithIdentifier(const QString& identifier) const
{
    for (const VLTMTabContentViewPtr& tab : m_tabs)
        if (tab->tabIdentifier() == identifier)
            return tab.get();
    return nullptr;
}

VLTMTabContentViewPtr VLTMTabViewModel::newTab()
{
    auto tab = std::make_shared<VLTMTabContentView>();
    tab->setTabView(this);
    tab->setTitleVisible(m_tabOptions & TitlesShown);
    tab->setIconVisible(m_tabOptions & IconsShown);
    return tab;
}

VLTMTabContentView* VLTMTabViewModel::addTabWithIdentifier(const QString& identifier)
{
    VLTMTabContentViewPtr tab = newTab();
    tab->setTabIdentifier(identifier);
    addTab(tab);
    return tab.get();
}

VLTMTabContentView* VLTMTabViewModel::addTabWithContentViewController(std::shared_ptr<platform::ViewController> controller)
{
    if (!ZQ_EXPECT(controller, QStringLiteral("need valid controller")))
        return nullptr;
    VLTMTabContentViewPtr tab = newTab();
    addTab(tab);
    tab->setContentViewWithController(std::move(controller));
    return tab.get();
}

void VLTMTabViewModel::addTab(VLTMTabContentViewPtr tab)
{
    if (!ZQ_EXPECT(tab, QStringLiteral("must have valid tab")))
        return;
    const qsizetype index = m_tabs.size();
    if (!m_restoring && delegateAnswers(SidebarTabViewDelegate::WillAddTab))
        m_delegate->tabViewWillAddTab(*this, *tab, index);
    tab->setTabView(this);
    m_tabs.append(tab);
    Q_EMIT tabsChanged();
    // The delegate may remove the tab again at once (a tab it has no panel for).
    if (delegateAnswers(SidebarTabViewDelegate::DidAddTab))
        m_delegate->tabViewDidAddTab(*this, *tab, index);
    interfaceStateDidChange();
}

void VLTMTabViewModel::removeTabFromView(SidebarTab* tab)
{
    const qsizetype index = indexOfTab(tab);
    if (index != NotFound)
        removeTabAtIndex(index);
}

void VLTMTabViewModel::removeTabAtIndex(qsizetype index)
{
    const VLTMTabContentViewPtr tab = m_tabs[index]; // alive until the delegate has heard of it
    if (delegateAnswers(SidebarTabViewDelegate::WillRemoveTab))
        m_delegate->tabViewWillRemoveTab(*this, *tab);
    m_tabs.removeAt(index);
    tab->setTabView(nullptr);

    if (index == m_currentTab) {
        tab->resignSelected();
        m_currentTab = NotFound;
        Q_EMIT tabsChanged();
        if (!m_tabs.isEmpty())
            setCurrentTab(0);
    } else {
        // The same tab stays current when one before it leaves.
        if (m_currentTab != NotFound && index < m_currentTab)
            --m_currentTab;
        Q_EMIT tabsChanged();
    }
    if (m_tabs.isEmpty() && delegateAnswers(SidebarTabViewDelegate::DidBecomeEmpty))
        m_delegate->tabViewDidBecomeEmpty(*this);
    interfaceStateDidChange();
}

void VLTMTabViewModel::removeAllTabs()
{
    if (VLTMTabContentView* current = selectedTab())
        current->resignSelected();
    m_currentTab = NotFound;
    while (!m_tabs.isEmpty())
        removeTabAtIndex(m_tabs.size() - 1);
}

void VLTMTabViewModel::setNumberOfTabs(qsizetype count)
{
    while (m_tabs.size() < count) {
        const qsizetype before = m_tabs.size();
        addTab(newTab());
        if (m_tabs.size() == before)
            break; // the delegate turns new tabs away
    }
    while (m_tabs.size() > std::max<qsizetype>(count, 0))
        removeTabAtIndex(m_tabs.size() - 1);
}

void VLTMTabViewModel::moveTabAtIndex(qsizetype from, qsizetype to)
{
    const qsizetype count = m_tabs.size();
    if (from == to || from < 0 || to < 0 || from >= count || to >= count)
        return;
    const VLTMTabContentViewPtr tab = m_tabs.takeAt(from);
    m_tabs.insert(to, tab);
    // The current tab keeps being current wherever the move leaves it.
    if (from == m_currentTab)
        m_currentTab = to;
    else if (m_currentTab != NotFound && from < m_currentTab && to >= m_currentTab)
        --m_currentTab;
    else if (m_currentTab != NotFound && from > m_currentTab && to <= m_currentTab)
        ++m_currentTab;
    Q_EMIT tabsChanged();
    if (delegateAnswers(SidebarTabViewDelegate::DidMoveTab))
        m_delegate->tabViewDidMoveTab(*this, *tab, to);
    interfaceStateDidChange();
}

// --- Selection ---------------------------------------------------------------------------------

void VLTMTabViewModel::setCurrentTab(qsizetype index)
{
    if (index == m_currentTab || (index != NotFound && (index < 0 || index >= m_tabs.size())))
        return;
    if (VLTMTabContentView* old = selectedTab())
        old->resignSelected();
    m_currentTab = index;
    if (VLTMTabContentView* current = selectedTab())
        current->becomeSelected();
    if (delegateAnswers(SidebarTabViewDelegate::DidSelectTab))
        m_delegate->tabViewDidSelectTabAtIndex(*this, index);
    Q_EMIT tabsChanged();
    interfaceStateDidChange();
}

void VLTMTabViewModel::selectTabWithIdentifier(const QString& identifier)
{
    if (VLTMTabContentView* tab = tabWithIdentifier(identifier))
        setCurrentTab(indexOfTab(tab));
}

VLTMTabContentViewController* VLTMTabViewModel::selectedTabContentViewController() const
{
    const VLTMTabContentView* tab = selectedTab();
    return tab ? qobject_cast<VLTMTabContentViewController*>(tab->viewController()) : nullptr;
}

// --- Appearance --------------------------------------------------------------------------------

void VLTMTabViewModel::setTabOptions(int options)
{
    m_tabOptions = options;
    platform::UserDefaults::standardUserDefaults()->setIntegerForKey(options, kVLTMTabViewOptionsPreferencesKey);
    for (const VLTMTabContentViewPtr& tab : m_tabs) {
        tab->setTitleVisible(options & TitlesShown);
        tab->setIconVisible(options & IconsShown);
    }
    Q_EMIT appearanceChanged();
    interfaceStateDidChange();
}

void VLTMTabViewModel::setTabAlignment(int alignment)
{
    m_tabAlignment = alignment;
    Q_EMIT appearanceChanged();
    interfaceStateDidChange();
    platform::UserDefaults::standardUserDefaults()->setIntegerForKey(alignment, kVLTMTabViewAlignmentPreferencesKey);
}

// --- Menu --------------------------------------------------------------------------------------

void VLTMTabViewModel::iconAndTextAction(QObject*)
{
    setTabOptions(TitlesShown | IconsShown);
}

void VLTMTabViewModel::iconOnlyAction(QObject*)
{
    setTabOptions(IconsShown);
}

void VLTMTabViewModel::textOnlyAction(QObject*)
{
    setTabOptions(TitlesShown);
}

void VLTMTabViewModel::tabAlignmentAction(QObject* sender)
{
    if (platform::MenuItem* item = menuItem(sender))
        setTabAlignment(item->tag());
}

void VLTMTabViewModel::selectTabWithName(QObject* sender)
{
    platform::MenuItem* item = menuItem(sender);
    if (!item)
        return;
    for (qsizetype i = 0; i < m_tabs.size(); ++i) {
        if (m_tabs[i]->title() == item->title()) {
            setCurrentTab(i);
            return;
        }
    }
}

bool VLTMTabViewModel::validateMenuItem(platform::MenuItem* item)
{
    if (!item)
        return false;
    const QByteArray action = item->action();
    std::optional<bool> checked;
    if (action == "iconAndTextAction")
        checked = (m_tabOptions & kVisibilityBits) == (TitlesShown | IconsShown);
    else if (action == "iconOnlyAction")
        checked = (m_tabOptions & kVisibilityBits) == IconsShown;
    else if (action == "textOnlyAction")
        checked = (m_tabOptions & kVisibilityBits) == TitlesShown;
    else if (action == "tabAlignmentAction")
        checked = item->tag() == m_tabAlignment;
    else if (action == "selectTabWithName")
        checked = selectedTab() && selectedTab()->title() == item->title();
    if (checked)
        item->setState(*checked ? platform::MenuItem::OnState : platform::MenuItem::OffState);
    // Reached only for actions this view answers.
    return true;
}

// --- Dragging in --------------------------------------------------------------------------------

void VLTMTabViewModel::insertTabViewProxy(std::shared_ptr<VLTMDragTabProxy> proxy, qsizetype index)
{
    setCurrentTab(NotFound);
    index = std::clamp<qsizetype>(index, 0, m_tabs.size());
    proxy->setTabView(this);
    m_tabs.insert(index, proxy);
    m_currentTab = index;
    m_draggingView = std::move(proxy);
    m_externalDrag = true;
    Q_EMIT tabsChanged();
}

void VLTMTabViewModel::removeTabViewProxyIfNeeded()
{
    if (!m_externalDrag)
        return;
    m_tabs.removeOne(m_draggingView);
    m_draggingView.reset();
    m_currentTab = NotFound;
    m_externalDrag = false;
    Q_EMIT tabsChanged();
}

bool VLTMTabViewModel::importTabViewProxy()
{
    auto proxy = std::dynamic_pointer_cast<VLTMDragTabProxy>(m_draggingView);
    if (!m_externalDrag || !proxy)
        return false;
    const qsizetype index = std::max<qsizetype>(m_tabs.indexOf(m_draggingView), 0);
    m_tabs.removeOne(m_draggingView);
    m_currentTab = NotFound;

    VLTMTabContentViewPtr tab = proxy->importProxiedView();
    tab->setTabView(this);
    tab->resignSelected();
    tab->setTitleVisible(m_tabOptions & TitlesShown);
    tab->setIconVisible(m_tabOptions & IconsShown);
    if (delegateAnswers(SidebarTabViewDelegate::WillAddTab))
        m_delegate->tabViewWillAddTab(*this, *tab, index);
    m_tabs.insert(std::min(index, m_tabs.size()), tab);
    m_externalDrag = false;
    m_draggingView.reset();

    m_currentTab = m_tabs.indexOf(tab);
    tab->becomeSelected();
    Q_EMIT tabsChanged();
    interfaceStateDidChange();
    return true;
}

// --- Saved state -------------------------------------------------------------------------------

QVariantMap VLTMTabViewModel::restorableStateInfo() const
{
    QVariantList identifiers;
    // The current tab is counted among the tabs that are saved, so it is the one restored.
    qsizetype selected = NotFound;
    for (qsizetype i = 0; i < m_tabs.size(); ++i) {
        if (m_tabs[i]->tabIdentifier().isEmpty())
            continue;
        if (i == m_currentTab)
            selected = identifiers.size();
        identifiers.append(m_tabs[i]->tabIdentifier());
    }
    return {
        {kIdentifierListKey, identifiers},
        {kSelectedTabKey, QVariant::fromValue<quint64>(selected)},
        {kTabOptionsKey, QVariant::fromValue<quint32>(m_tabOptions)},
        {kTabAlignmentKey, QVariant::fromValue<quint32>(m_tabAlignment)},
    };
}

void VLTMTabViewModel::restoreWithStateInfo(const QVariantMap& state)
{
    if (!ZQ_EXPECT(!state.isEmpty(), QStringLiteral("no data for tab state restoration (2)")))
        return;
    if (m_restoring)
        return;
    const QVariant list = state.value(kIdentifierListKey);
    if (list.metaType().id() != QMetaType::QVariantList && list.metaType().id() != QMetaType::QStringList)
        return;
    const QVariantList identifiers = list.toList();
    if (identifiers.isEmpty())
        return;

    m_restoring = true;
    removeAllTabs();
    m_tabOptions = sanitisedOptions(state.value(kTabOptionsKey).toLongLong());
    m_tabAlignment = int(state.value(kTabAlignmentKey).toLongLong());
    for (const QVariant& identifier : identifiers) {
        VLTMTabContentViewPtr tab = newTab();
        // Anything but text gives a tab without identifier, which the delegate turns away.
        if (identifier.metaType().id() == QMetaType::QString)
            tab->setTabIdentifier(identifier.toString());
        addTab(tab);
    }
    Q_EMIT appearanceChanged();
    setCurrentTab(storedIndex(state.value(kSelectedTabKey)));
    m_restoring = false;
}

QByteArray VLTMTabViewModel::restorableState() const
{
    platform::KeyedArchiver archiver;
    archiver.encodeObject(restorableStateInfo().value(kIdentifierListKey), kIdentifierListKey);
    archiver.encodeInt(restorableStateInfo().value(kSelectedTabKey).toLongLong(), kSelectedTabKey);
    archiver.encodeInt(m_tabOptions, kTabOptionsKey);
    archiver.encodeInt(m_tabAlignment, kTabAlignmentKey);
    return archiver.finishEncoding();
}

void VLTMTabViewModel::restoreFromState(const QByteArray& data)
{
    if (!ZQ_EXPECT(!data.isEmpty(), QStringLiteral("no data for tab state restoration")))
        return;
    platform::KeyedUnarchiver unarchiver(data);
    if (!unarchiver.isValid() || !unarchiver.containsValueForKey(kIdentifierListKey))
        return;
    restoreWithStateInfo({
        {kIdentifierListKey, unarchiver.decodeValue(kIdentifierListKey)},
        {kSelectedTabKey, unarchiver.decodeInt(kSelectedTabKey)},
        {kTabOptionsKey, unarchiver.decodeInt(kTabOptionsKey)},
        {kTabAlignmentKey, unarchiver.decodeInt(kTabAlignmentKey)},
    });
}
