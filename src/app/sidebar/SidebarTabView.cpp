#include "app/sidebar/SidebarTabView.h"

#include <utility>

namespace {

SidebarTabView::Factory& installedFactory()
{
    static SidebarTabView::Factory factory;
    return factory;
}

} // namespace

void SidebarTabView::setFactory(Factory factory)
{
    installedFactory() = std::move(factory);
}

std::unique_ptr<SidebarTabView> SidebarTabView::makeSidebarTabView()
{
    return installedFactory() ? installedFactory()() : nullptr;
}
