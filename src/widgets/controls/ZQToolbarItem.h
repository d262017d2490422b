#pragma once

// A toolbar item holding a control that follows its target's validation: in each pass of
// the toolbar the control is enabled when the target's validateUserInterfaceItem answers
// true for it. A control without such a target keeps its state.

#include "platform/ui/Toolbar.h"

#include <QWidgetAction>

class ZQToolbarItem : public QWidgetAction, public platform::ToolbarItemValidation {
    Q_OBJECT

public:
    explicit ZQToolbarItem(QObject* parent = nullptr);

    void validate() override;
};

// The label a toolbar item shows.
QString toolbarItemTitle(const QAction& item);
