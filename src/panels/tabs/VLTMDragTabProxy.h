#pragma once

// The placeholder that holds a place in a strip while a tab of the other sidebar is dragged
// over it: measured like the dragged tab, never drawn.

#include "panels/tabs/VLTMTabContentView.h"

class VLTMDragTabProxy : public VLTMTabContentView {
    Q_OBJECT

public:
    explicit VLTMDragTabProxy(VLTMTabContentViewPtr proxiedView);

    VLTMTabContentView* proxiedView() const { return m_proxiedView.get(); }
    // Takes the tab out of its own tab view and answers it.
    VLTMTabContentViewPtr importProxiedView();

private:
    VLTMTabContentViewPtr m_proxiedView;
};
