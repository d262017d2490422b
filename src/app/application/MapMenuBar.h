#pragma once

// The menu bar of a map document window: File, Edit, View, Format, Tools, Layer, Symbol, Window
// and Help. Every item sends its action along the responder chain from the window it belongs to, so the focused view,
// the window's controller, the document and the application delegate each answer the
// commands they know, and an item is enabled only while something would answer it. Undo
// and Redo go through the UndoRedirector. Shortcuts are the platform's standard keys, with
// Ctrl+= for Zoom In and Ctrl+Shift+S for Save As. Format holds the font manager's
// commands (the font panel, bold, italic, bigger, smaller). Tools lists the registered drawing
// tools with their keys until the tool palette takes over; Layer lists the drawing's
// layers until the layers panel does; Symbol holds the selected symbol's sequence commands
// until the symbol pane and the main Symbol menu do. Window opens the library manager.

class QMenuBar;
class QWidget;

class MapMenuBar {
public:
    // A menu bar for `window` (which takes ownership through Qt's parenting).
    static QMenuBar* make(QWidget* window);
};
