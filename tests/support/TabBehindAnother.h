#pragma once

// A view on a tab behind another of a shown window, as the window stacks its inspector tabs:
// bringToFront() shows it as a click on its tab does. The tabs take the view.

#include <QStackedWidget>

namespace testsupport {

class TabBehindAnother {
public:
    explicit TabBehindAnother(QWidget* view) : m_view(view)
    {
        m_tabs.addWidget(new QWidget);
        m_tabs.addWidget(view);
        m_tabs.show();
    }
    void bringToFront() { m_tabs.setCurrentWidget(m_view); }

private:
    QStackedWidget m_tabs;
    QWidget* m_view;
};

} // namespace testsupport
