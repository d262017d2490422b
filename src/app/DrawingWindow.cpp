#include "DrawingWindow.h"

#include "platform/vantrix/VXDrawingTool.h"
#include "platform/vantrix/VXDrawingView.h"
#include "platform/vantrix/VXObjectDrawingLayer.h"
#include "platform/vantrix/VXToolController.h"
#include "platform/vantrix/VXToolRegistry.h"

#include "platform/foundation/NotificationCenter.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QToolBar>

DrawingWindow::DrawingWindow()
    : m_drawing(VXDrawing::drawingWithSize(QSizeF(842, 595))) // A4 landscape in points
    , m_view(new VXDrawingView(this))
{
    setWindowTitle(QStringLiteral("Quorvane"));
    m_drawing->setUndoManager(&m_undoManager);
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    layer->setLayerName(tr("Layer 1"));
    m_drawing->addLayer(layer);
    m_drawing->setActiveLayer(layer.get());
    m_undoManager.removeAllActions(); // setting up is not an edit

    m_view->setDrawing(m_drawing);
    setCentralWidget(m_view);
    addToolBar();
    addEditMenu();
    resize(1100, 760);
}

void DrawingWindow::addToolBar()
{
    QToolBar* bar = QMainWindow::addToolBar(tr("Tools"));
    auto* group = new QActionGroup(bar);
    const VXToolRegistry& registry = VXToolRegistry::sharedToolRegistry();
    for (const QString& name : registry.names()) {
        QAction* action = bar->addAction(name);
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, name] {
            if (const VXDrawingToolPtr tool = VXToolRegistry::sharedToolRegistry().drawingToolWithName(name))
                m_view->toolController()->setDrawingTool(tool);
        });
    }
    // Tools also change by themselves (back to Select after a creation): keep the bar in step.
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kVXDidChangeToolNotification, nullptr, [this, group](const platform::Notification&) {
            const VXDrawingTool* tool = m_view->toolController()->drawingTool();
            for (QAction* action : group->actions())
                action->setChecked(tool && action->text() == tool->registeredName());
        });
}

void DrawingWindow::addEditMenu()
{
    QMenu* edit = menuBar()->addMenu(tr("Edit"));
    QAction* undo = edit->addAction(tr("Undo"), QKeySequence::Undo, [this] {
        if (m_undoManager.canUndo())
            m_undoManager.undo();
    });
    QAction* redo = edit->addAction(tr("Redo"), QKeySequence::Redo, [this] {
        if (m_undoManager.canRedo())
            m_undoManager.redo();
    });
    edit->addSeparator();
    edit->addAction(tr("Cut"), QKeySequence::Cut, [this] { m_view->cut(); });
    edit->addAction(tr("Copy"), QKeySequence::Copy, [this] { m_view->copy(); });
    edit->addAction(tr("Paste"), QKeySequence::Paste, [this] { m_view->paste(); });
    edit->addAction(tr("Delete"), QKeySequence::Delete, [this] { m_view->delete_(); });
    edit->addAction(tr("Select All"), QKeySequence::SelectAll, [this] { m_view->selectAll(); });
    connect(edit, &QMenu::aboutToShow, this, [this, undo, redo] {
        undo->setEnabled(m_undoManager.canUndo());
        undo->setText(m_undoManager.undoMenuItemTitle());
        redo->setEnabled(m_undoManager.canRedo());
        redo->setText(m_undoManager.redoMenuItemTitle());
    });
}
