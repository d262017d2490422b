#pragma once

// A toolbar whose items validate themselves after every user input, focus change and
// window activation, coalesced into one pass per event-loop turn, while it is visible.

#include <QToolBar>

namespace platform {

// An item that takes part in the toolbar's validation pass besides menu items, such as an
// item whose control follows its target's validation.
class ToolbarItemValidation {
public:
    virtual ~ToolbarItemValidation() = default;
    virtual void validate() = 0;
};

class Toolbar : public QToolBar {
    Q_OBJECT

public:
    explicit Toolbar(const QString& title = {}, QWidget* parent = nullptr);
    ~Toolbar() override;

    // Validates the toolbar's menu items and self-validating items now.
    void validateVisibleItems();
};

} // namespace platform
