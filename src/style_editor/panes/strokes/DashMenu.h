#pragma once

// The "Dashes" menu of the stroke and hatching panes: "Solid Line" (tag -2), every registered
// dash (tag 99, the dash as represented object, its swatch as image) and "Custom..." (tag -1),
// which asks for the dash editor. Rebuilt when a dash is registered.

#include "platform/vantrix/styles/VXStrokeDash.h"

#include <QPointer>
#include <QToolButton>
#include <functional>
#include <QMenu>
#include <QActionGroup>

class QFormLayout;
class StyleTablePane;
namespace platform {
class MenuItem;
}

class DashMenu : public QToolButton {
    Q_OBJECT

public:
    static constexpr int kSolidTag = -2;
    static constexpr int kDashTag = 99;
    static constexpr int kCustomTag = -1;

    struct Handlers {
        // A copy of the registered dash picked, or null for "Solid Line".
        std::function<void(const VXStrokeDashPtr&)> chosen;
        std::function<void()> custom;
    };
    explicit DashMenu(Handlers handlers, QWidget* parent = nullptr);
    // A "Dash" row of the form whose picks write the pane's key path.
    static DashMenu* addToForm(StyleTablePane& pane, QFormLayout& form, const QString& keyPath,
                               std::function<void()> custom = {});

    QMenu* dashMenu() const { return m_menu; }
    void rebuild();
    // Null or invalid: "Solid Line"; an equal registered dash: its item; else "Custom...".
    void selectDash(const VXStrokeDashPtr& dash);
    platform::MenuItem* selectedItem() const;

private:
    platform::MenuItem* addItem(const QString& title, int tag);

    Handlers m_handlers;
    QPointer<QMenu> m_menu;
    QPointer<QActionGroup> m_group;
};
