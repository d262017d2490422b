#pragma once

// The main window until the map document arrives: one drawing with an object layer in a
// drawing view, a tool bar with every registered tool, and undo / redo.

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/VXDrawing.h"

#include <QMainWindow>

class VXDrawingView;

class DrawingWindow : public QMainWindow {
    Q_OBJECT

public:
    DrawingWindow();

private:
    void addToolBar();
    void addEditMenu();

    ZQUndoManager m_undoManager;
    VXDrawingPtr m_drawing;
    VXDrawingView* m_view = nullptr;
};
