#pragma once

// The side panels of a map window are tab views. The application core declares what the
// document needs of them; the panels library provides them through the factory hook, so a
// window made before that library installs its factory simply has plain side panels.

#include <QString>
#include <QVariantMap>
#include <functional>
#include <limits>
#include <memory>

class QWidget;
class SidebarTabViewDelegate;

namespace platform {
class ViewController;
}

// One tab: an identifier naming its panel, and the controller whose view it hosts.
class SidebarTab {
public:
    virtual ~SidebarTab() = default;

    virtual QString tabIdentifier() const = 0;
    virtual platform::ViewController* viewController() const = 0;
    // Takes the controller's title, icon and tool tip and hosts its view.
    virtual void setContentViewWithController(std::shared_ptr<platform::ViewController> controller) = 0;
};

class SidebarTabView {
public:
    // The index of no tab (also as stored in a saved state).
    static constexpr qsizetype NotFound = std::numeric_limits<qsizetype>::max();

    virtual ~SidebarTabView() = default;

    // The widget to place in the window; null for a tab view without one.
    virtual QWidget* widget() const = 0;
    // Not owned; cleared by passing null.
    virtual void setDelegate(SidebarTabViewDelegate* delegate) = 0;

    virtual qsizetype numberOfTabs() const = 0;
    virtual SidebarTab* tabAtIndex(qsizetype index) const = 0;
    virtual qsizetype currentTab() const = 0;
    virtual void setCurrentTab(qsizetype index) = 0;
    // The first tab with the identifier, or null.
    virtual SidebarTab* tabWithIdentifier(const QString& identifier) const = 0;
    virtual SidebarTab* addTabWithIdentifier(const QString& identifier) = 0;
    // Ignores a tab of another view.
    virtual void removeTabFromView(SidebarTab* tab) = 0;

    // {"identifierList", "selectedTab", "tabOptions", "tabAlignment"}.
    virtual QVariantMap restorableStateInfo() const = 0;
    // An empty state is refused by assertion; an empty identifier list changes nothing.
    virtual void restoreWithStateInfo(const QVariantMap& state) = 0;

    using Factory = std::function<std::unique_ptr<SidebarTabView>()>;
    static void setFactory(Factory factory);
    // Null while no factory is installed.
    static std::unique_ptr<SidebarTabView> makeSidebarTabView();
};
