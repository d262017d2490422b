#pragma once

// The menu bar of a map document window. Every item sends its action along the responder
// chain from the window it belongs to, so the focused view, the window's controller, the
// document and the application delegate each answer the commands they know.

class QMenuBar;
class QWidget;

class MapMenuBar {
public:
    // A menu bar for `window` (which takes ownership through Qt's parenting).
    static QMenuBar* make(QWidget* window);
};
