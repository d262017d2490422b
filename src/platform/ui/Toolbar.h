#pragma once

// A toolbar whose items validate themselves after every user input, focus change and
// window activation, coalesced into one pass per event-loop turn, while it is visible.

#include <QToolBar>

namespace platform {

class Toolbar : public QToolBar {
    Q_OBJECT

public:
    explicit Toolbar(const QString& title = {}, QWidget* parent = nullptr);
    ~Toolbar() override;

    // Validates the toolbar's menu items now.
    void validateVisibleItems();
};

} // namespace platform
