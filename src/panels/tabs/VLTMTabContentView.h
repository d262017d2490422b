#pragma once

// One tab of a side-panel tab view: the panel controller it hosts, and what its button in the
// strip shows (title, icons, tool tip) and in which state. The tab view's widget shows the
// view of the current tab's controller; the tab itself holds no widget, so tab lists can be
// built and tested without a window.

#include "app/sidebar/SidebarTabView.h"
#include "platform/foundation/ZQObject.h"

#include <QFont>
#include <QIcon>
#include <QPointer>

class VLTMTabViewModel;

class VLTMTabContentView : public ZQObject, public SidebarTab {
    Q_OBJECT

public:
    enum State { Normal = 0, Highlighted = 1, Selected = 2, SelectedHighlighted = 3 };

    static constexpr double kDefaultTitleFontSize = 12.0;
    static QFont defaultTitleFont();

    VLTMTabContentView();
    ~VLTMTabContentView() override;

    QString tabIdentifier() const override { return m_tabIdentifier; }
    void setTabIdentifier(const QString& identifier) { m_tabIdentifier = identifier; }
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    // Null means the title is the tool tip.
    QString tooltip() const { return m_tooltip; }
    void setTooltip(const QString& tooltip) { m_tooltip = tooltip; }
    QString toolTipText() const { return m_tooltip.isNull() ? m_title : m_tooltip; }

    QIcon icon() const { return m_icon; }
    void setIcon(const QIcon& icon);
    // The icon when none was set.
    QIcon selectedIcon() const { return m_selectedIcon.isNull() ? m_icon : m_selectedIcon; }
    void setSelectedIcon(const QIcon& icon);

    bool titleVisible() const { return m_titleVisible; }
    void setTitleVisible(bool visible);
    bool iconVisible() const { return m_iconVisible; }
    void setIconVisible(bool visible);

    State state() const { return m_state; }
    void setState(State state);
    bool isHighlighted() const { return m_state == Highlighted || m_state == SelectedHighlighted; }
    void setHighlighted(bool highlighted);
    bool isSelected() const { return m_state == Selected || m_state == SelectedHighlighted; }
    void becomeSelected();
    void resignSelected();

    platform::ViewController* viewController() const override { return m_viewController.get(); }
    // Takes identifier (the controller's name), title, icon and tool tip from the controller.
    void setContentViewWithController(std::shared_ptr<platform::ViewController> controller) override;

    // Null while detached.
    VLTMTabViewModel* tabView() const;
    void setTabView(VLTMTabViewModel* tabView);

    // The width of the button showing what is visible of icon and title, in points.
    double widthNeededForTab() const;

    QString description() const;

Q_SIGNALS:
    // The button needs painting again (state, title, icon or visibility changed).
    void appearanceChanged();

private:
    void loadIconsNamed(const QString& name);

    QString m_tabIdentifier;
    QString m_title;
    QString m_tooltip;
    QIcon m_icon;
    QIcon m_selectedIcon;
    bool m_titleVisible = true;
    bool m_iconVisible = true;
    State m_state = Normal;
    std::shared_ptr<platform::ViewController> m_viewController;
    QPointer<VLTMTabViewModel> m_tabView;
};

using VLTMTabContentViewPtr = std::shared_ptr<VLTMTabContentView>;
