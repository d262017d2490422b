#include "panels/tabs/VLTMDragTabProxy.h"

#include "panels/tabs/VLTMTabViewModel.h"
#include "platform/foundation/ZQAssert.h"

VLTMDragTabProxy::VLTMDragTabProxy(VLTMTabContentViewPtr proxiedView)
    : m_proxiedView(std::move(proxiedView))
{
    if (!ZQ_EXPECT(m_proxiedView, QStringLiteral("can't pass nil here")))
        return;
    setTabIdentifier(m_proxiedView->tabIdentifier());
    setTitle(m_proxiedView->title());
    setIcon(m_proxiedView->icon());
    setTitleVisible(m_proxiedView->titleVisible());
    setIconVisible(m_proxiedView->iconVisible());
}

VLTMTabContentViewPtr VLTMDragTabProxy::importProxiedView()
{
    VLTMTabContentViewPtr tab = m_proxiedView;
    if (VLTMTabViewModel* owner = tab->tabView())
        owner->removeTabFromView(tab.get());
    return tab;
}
