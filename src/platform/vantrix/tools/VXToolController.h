#pragma once

// The current tool of one drawing view, and the go-between for its mouse events: it turns
// them into drawing coordinates, finds the target layer and object, brackets each gesture in
// one undo group named after the tool's actionName, and, when asked to, goes back to the
// selection tool after a tool made something. Undo and redo wait while a gesture is open
// (the group is explicit); changing the tool or the drawing ends it. Within a gesture the
// objects' key-value undo is coalesced: however many moves a drag has, its step holds one
// action per changed object, setting back what it had at the press.
//
// While the selection tool is current (whatever tool, for a layer that implements its own
// tools), an active, unlocked layer that wants the mouse (VXLayer::wantsMouseEvents) gets the
// events instead of the tool, gesture and undo included.
//
// Posts kVXDidChangeToolNotification when the tool changes and
// kVXDidChangeToolAutoRevertStateNotification when auto-revert is switched (sender: the controller).

#include "platform/vantrix/model/KeyValueUndo.h"
#include "platform/vantrix/tools/VXDrawingTool.h"

#include <QObject>
#include <QPointer>
#include <optional>

class QMouseEvent;
class QPainter;
class VXDrawingView;
class VXLayer;
class ZQUndoManager;
struct VXLayerMouseEvent;

inline const QString kVXDidChangeToolNotification = QStringLiteral("kVXDidChangeToolNotification");
inline const QString kVXDidChangeToolAutoRevertStateNotification =
    QStringLiteral("kVXDidChangeToolAutoRevertStateNotification");

class VXToolController : public QObject {
    Q_OBJECT

public:
    // Starts with the selection tool.
    explicit VXToolController(VXDrawingView* view);
    ~VXToolController() override;

    VXDrawingView* view() const { return m_view; }
    VXDrawingTool* drawingTool() const { return m_tool.get(); }
    // A null tool means the selection tool.
    void setDrawingTool(const VXDrawingToolPtr& tool);
    Q_INVOKABLE void selectDrawingToolByName(const QString& name);
    // Answers whether a registered tool has that key equivalent (compared without case) and became current.
    bool selectDrawingToolWithKeyboardEquivalent(const QString& key);

    bool automaticallyRevertsToSelectionTool() const { return m_autoRevert; }
    void setAutomaticallyRevertsToSelectionTool(bool reverts);
    Q_INVOKABLE void toggleAutoRevertAction(QObject* sender = nullptr);

    // Tools make a valid layer active by themselves when the active one will not do.
    static bool toolsAutoActivateValidLayer();
    static void setToolsAutoActivateValidLayer(bool activates);

    // --- From the view ------------------------------------------------------------------------
    void mouseDown(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);
    void mouseUp(QMouseEvent* event);
    void drawRectInView(QPainter& painter, const QRectF& rect) const;
    // Ends a gesture in progress as if nothing was changed (the view is about to show another drawing).
    void abandonGesture();

private:
    // The layer the tool works on: the active layer, or a valid one made active when allowed.
    VXLayer* targetLayer() const;
    // The active layer when it takes the mouse from the selection tool, else null.
    VXLayer* mouseTakingLayer() const;
    // Hands the event to the layer and shows the layer's cursor.
    void sendToLayer(VXLayer* layer, QMouseEvent* event, void (VXLayer::*hook)(const VXLayerMouseEvent&, VXDrawingView*));
    void beginGesture();
    void endGesture(bool changed);

    QPointer<VXDrawingView> m_view;
    VXDrawingToolPtr m_tool;
    bool m_autoRevert = true;
    bool m_inGesture = false;
    // Where the gesture's undo group is open, so it ends there whatever the view shows by then.
    QPointer<ZQUndoManager> m_gestureUndoManager;
    std::optional<platform::CoalescedKeyValueUndo> m_gestureUndo;
    int m_partCode = 0;
    QPointer<VXLayer> m_gestureLayer;
    // The layer whose own gesture is in progress.
    QPointer<VXLayer> m_layerGesture;
};
