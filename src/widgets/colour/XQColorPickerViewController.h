#pragma once

// The popover's content: the shared colour panel's own content, borrowed from the panel,
// under an icon tab bar that mirrors the panel's picker modes, at least 230 × 400. Loading it hides a visible
// panel and deactivates every well first; the panel shows opacity while hosted.

#include "platform/ui/ColourPanel.h"
#include "platform/ui/ViewController.h"
#include "widgets/tabs/XQIconTabBar.h"

#include <QPointer>

class XQColorPickerViewController : public platform::ViewController {
    Q_OBJECT

public:
    static constexpr QSize kViewSize{230, 400};
    static constexpr int kTabBarHeight = 34;

    XQColorPickerViewController();
    ~XQColorPickerViewController() override;

    // The shared panel, once the view is loaded.
    platform::ColourPanel* colorPanel() const { return m_colorPanel; }
    XQIconTabBar* tabbar() const { return m_tabbar; }
    QWidget* colorPanelView() const { return m_colorPanelView; }

    Q_INVOKABLE void tabBarChangedSelection(XQIconTabBar* bar);

protected:
    QWidget* loadView() override;

private:
    QPointer<platform::ColourPanel> m_colorPanel;
    QPointer<XQIconTabBar> m_tabbar;
    QPointer<QWidget> m_colorPanelView;
};
