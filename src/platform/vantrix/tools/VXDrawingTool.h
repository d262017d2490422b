#pragma once

// A drawing tool: what the pointer does in a drawing view. The view's tool controller
// hands it the gesture in drawing coordinates: mouse down (answering a part code the rest of
// the gesture carries), drags, and mouse up (answering whether an undoable change was made;
// the controller then names the undo step after actionName). Tools are shared by every view,
// so a tool keeps state for one gesture at a time.

#include "platform/foundation/ZQObject.h"

#include <QCursor>
#include <QRectF>
#include <memory>

class QMouseEvent;
class QPainter;
class VXDrawableObject;
class VXDrawingTool;
class VXDrawingView;
class VXLayer;
class VXToolController;

using VXDrawingToolPtr = std::shared_ptr<VXDrawingTool>;

inline const QString kVXStandardSelectionToolName = QStringLiteral("Select");
// The library item kind of tools that accept every kind (selection tools).
inline constexpr int kAnyLibraryItemKind = 32767;

class VXDrawingTool : public ZQObject {
    Q_OBJECT

public:
    VXDrawingTool();
    ~VXDrawingTool() override;

    // The registered tool of that name; null when there is none.
    static VXDrawingToolPtr drawingToolWithName(const QString& name);
    // The tool controller of the focused drawing view, else of the main window's view (a palette
    // or panel may be key), else of the only visible view; null when none.
    static VXToolController* firstResponderAbleToSetTool();

    // The name the registry knows the tool by; empty until registered.
    QString registeredName() const { return m_registeredName; }
    void setRegisteredName(const QString& name) { m_registeredName = name; }
    // The key that selects the tool, without modifiers ("r"); empty for none.
    QString keyboardEquivalent() const { return m_keyboardEquivalent; }
    void setKeyboardEquivalent(const QString& key) { m_keyboardEquivalent = key; }
    // Makes this the current tool of firstResponderAbleToSetTool.
    void set();

    virtual QCursor cursor() const { return Qt::ArrowCursor; }
    virtual bool isValidTargetLayer(const VXLayer* layer) const;
    virtual bool isSelectionTool() const { return false; }
    // The kind of library item the tool accepts: 0 none, 1 styles, 2 symbols,
    // kAnyLibraryItemKind every kind.
    virtual int supportedLibraryItemKind() const { return 0; }
    // The undo step's name for the last gesture that changed something.
    virtual QString actionName() const { return {}; }

    // --- The gesture (drawing coordinates; `delegate` is the tool controller) -----------------
    virtual int mouseDownAtPointTargetObjectLayerEventDelegate(QPointF point, VXDrawableObject* target, VXLayer* layer,
                                                               QMouseEvent* event, VXToolController* delegate) = 0;
    virtual void mouseDraggedToPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                               QMouseEvent* event, VXToolController* delegate) = 0;
    virtual bool mouseUpAtPointPartCodeLayerEventDelegate(QPointF point, int partCode, VXLayer* layer,
                                                          QMouseEvent* event, VXToolController* delegate) = 0;
    // The pointer moved with no button down.
    virtual void mouseMovedInView(QMouseEvent* event, VXDrawingView* view) {}
    // Feedback over the drawing (a marquee, a zoom rectangle), painter in drawing coordinates.
    virtual void drawRectInView(QPainter& painter, const QRectF& rect, VXDrawingView* view) const {}
    // Whether the tool wants the next mouse down even though its gesture has not ended
    // (tools that build a path click by click).
    virtual bool isInMultiClickGesture() const { return false; }

    // The gesture ends unfinished (the view changes drawing or tool): undo anything temporary.
    virtual void abandonGesture() {}

    virtual void toolControllerDidSetTool(VXToolController* controller) {}
    virtual void toolControllerWillUnsetTool(VXToolController* controller) {}

private:
    QString m_registeredName;
    QString m_keyboardEquivalent;
};

Q_DECLARE_METATYPE(VXDrawingToolPtr)
