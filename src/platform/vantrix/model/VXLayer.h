#pragma once

// A layer of a drawing: a named, stackable sheet that can be hidden, locked, faded and
// left off printouts. Layers live in layer groups; the drawing is the root group. A layer
// draws itself into GraphicsContext::current() when asked (drawRectInViewShowingHighlighting);
// the renderer decides which layers draw, in which order and with which alpha.
//
// Every property change is observable, undoable (through the drawing's undo manager) and
// redraws the drawing.

#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/model/KeyValueUndo.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QPointer>
#include <QRectF>
#include <QStringList>
#include <memory>

class QMimeData;
class VXDrawableObject;
class VXDrawing;
class VXDrawingView;
class VXLayer;
class VXLayerGroup;
class ZQInfoFloater;
class ZQUndoManager;
struct VXLayerMouseEvent;

using VXLayerPtr = std::shared_ptr<VXLayer>;

namespace platform {
class Menu;

// A drag over a drawing view, as the layer it is handed to sees it.
struct DraggingInfo {
    const QMimeData* pasteboard = nullptr;
    QPointF location; // drawing coordinates
    VXDrawingView* view = nullptr;
};
} // namespace platform

// What pasteboardTypesForOperation is asked about (flags).
enum VXPasteboardOperation {
    kVXWritableTypesForCopy = 1,
    kVXWritableTypesForDrag = 2,
    kVXReadableTypesForPaste = 4,
    kVXReadableTypesForDrop = 8,
};

// What a drop target answers a drag; the view takes copy and generic alike as a copy.
enum VXDragOperation {
    kVXDragOperationNone = 0,
    kVXDragOperationCopy = 1,
    kVXDragOperationGeneric = 4,
};

class VXLayer : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString layerName READ layerName WRITE setLayerName)
    Q_PROPERTY(bool visible READ visible WRITE setVisible)
    Q_PROPERTY(bool locked READ locked WRITE setLocked)
    Q_PROPERTY(double alpha READ alpha WRITE setAlpha)
    Q_PROPERTY(QColor selectionColour READ selectionColour WRITE setSelectionColour)
    Q_PROPERTY(bool shouldDrawToPrinter READ shouldDrawToPrinter WRITE setShouldDrawToPrinter)
    Q_PROPERTY(int level READ level STORED false)
    Q_PROPERTY(bool isActive READ isActive STORED false)
    Q_PROPERTY(QString auxiliaryInfoString READ auxiliaryInfoString STORED false)
    Q_PROPERTY(QIcon icon READ icon STORED false)

public:
    VXLayer();
    ~VXLayer() override;

    QString layerName() const { return m_layerName; }
    void setLayerName(const QString& name);
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    bool locked() const { return m_locked; }
    void setLocked(bool locked);
    // 0 (transparent) to 1 (opaque); values outside are clamped.
    double alpha() const { return m_alpha; }
    void setAlpha(double alpha);
    virtual QColor selectionColour() const { return m_selectionColour; }
    virtual void setSelectionColour(const QColor& colour);
    bool shouldDrawToPrinter() const { return m_shouldDrawToPrinter; }
    void setShouldDrawToPrinter(bool flag);

    // The group holding the layer; null at the top and for a drawing.
    VXLayerGroup* layerGroup() const;
    // Called by groups as they take or give up the layer.
    void setLayerGroup(VXLayerGroup* group);
    // The drawing at the root of the group chain, or null.
    virtual VXDrawing* drawing() const;
    // The number of groups above the layer below the drawing: 0 for a top-level layer.
    int level() const;
    ZQUndoManager* undoManager() const;

    // Drawing coordinates; every view of the drawing redraws that area.
    void setNeedsDisplayInRect(const QRectF& rect) const;
    void setNeedsDisplay() const;
    // Only what views draw live over the drawing changed there (see VXDrawing).
    void setNeedsLiveDisplayInRect(const QRectF& rect) const;
    // Which layers draw, or how, changed (see VXDrawing::layerStructureGeneration).
    void layerStructureDidChange() const;

    bool isActive() const;
    // Makes the layer the drawing's active layer when it may become active.
    bool attemptToMakeActive();
    virtual bool layerMayBecomeActive() const { return true; }
    virtual bool layerMayBeDeleted() const { return !m_locked; }
    virtual bool allowsRenaming() const { return true; }
    // Whether the layer holds the drawing's export slices (see VXDrawing::slicesLayer).
    virtual bool isSlicesLayer() const { return false; }
    // What the layers panel shows of the layer: the icon of its kind and a line of extra
    // information beside its name (none for a plain layer).
    virtual QIcon icon() const;
    // The name of the kind's artwork in the bundle; icon() loads it once per process.
    virtual QString iconName() const;
    static QIcon iconNamed(const QString& name);
    virtual QString auxiliaryInfoString() const { return {}; }
    // Notifications the layer posts whenever its info line may have changed.
    virtual QStringList notificationNamesAffectingAuxiliaryInfo() const { return {}; }
    // A copy named "<name> copy" (made unique in the drawing), outside any group.
    virtual VXLayerPtr duplicateLayer() const;

    // Hooks.
    // Draws the layer's content meeting `rect` into GraphicsContext::current(); `view` is
    // null when drawing for output. The base draws nothing.
    virtual void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const {}
    // Fills, on the thread that owns the layer, the caches that drawing `rect` fills on first use,
    // so that several threads may then draw parts of `rect` at once (see DrawingRenderer).
    // Answers how many objects drawing `rect` meets, a measure of what drawing it costs.
    virtual int prepareToDrawRect(const QRectF& rect) const { return 0; }
    // Whether several threads may draw parts of the layer at once (after prepareToDrawRect);
    // layers that do not say so are drawn by one thread at a time.
    virtual bool drawsConcurrently() const { return false; }
    // What changes with every gesture (selection highlights, the object being made): a view
    // draws it live over its cached rendering each time it paints; outputs never draw it.
    virtual void drawLiveRectInView(const QRectF& rect, VXDrawingView* view) const {}
    // Whether anything of the layer is drawn at all (the renderer skips empty layers).
    virtual bool hasContent() const { return true; }
    virtual void wasAddedToDrawing(VXDrawing* drawing) {}
    virtual void layerDidBecomeActiveLayer() {}
    virtual void layerDidResignActiveLayer() {}
    // The drawing's size changed (guides and grids follow).
    virtual void drawingSizeDidChange() {}

    // The menu for a context click at `point` (drawing coordinates) in `view`; null for none.
    virtual std::unique_ptr<platform::Menu> menuForEventInView(QPointF point, VXDrawingView* view);

    // Drop target. The view hands a drag to the active layer when the drag offers one of the
    // MIME types the layer names for kVXReadableTypesForDrop; the layer answers a
    // VXDragOperation while the drag is over it, and performs the drop.
    virtual QStringList pasteboardTypesForOperation(int operation) const { return {}; }
    virtual int draggingEntered(const platform::DraggingInfo& info) { return kVXDragOperationNone; }
    virtual int draggingUpdated(const platform::DraggingInfo& info) { return draggingEntered(info); }
    virtual void draggingExited(const platform::DraggingInfo& info) {}
    virtual bool prepareForDragOperation(const platform::DraggingInfo& info) { return true; }
    // Answers whether the drop changed the layer.
    virtual bool performDragOperation(const platform::DraggingInfo& info) { return false; }

    // The mouse. A layer that edits itself with the pointer answers true to wantsMouseEvents;
    // while it is the active, unlocked layer and the selection tool is current, the view hands
    // it every mouse event instead of the tool, and shows its cursor.
    virtual bool wantsMouseEvents() const { return false; }
    // A layer with tools of its own gets the mouse (when it wants it) whatever tool is current.
    virtual bool implementsOwnTools() const { return false; }
    virtual void mouseDownInView(const VXLayerMouseEvent& event, VXDrawingView* view) {}
    virtual void mouseDraggedInView(const VXLayerMouseEvent& event, VXDrawingView* view) {}
    virtual void mouseUpInView(const VXLayerMouseEvent& event, VXDrawingView* view) {}
    // The pointer moved with no button down.
    virtual void mouseMovedInView(const VXLayerMouseEvent& event, VXDrawingView* view) {}
    virtual QCursor cursor() const { return Qt::ArrowCursor; }
    // Where a point the pointer gives lands once the layer's snapping has had its say.
    virtual QPointF snappedMousePointForObjectWithControlFlag(QPointF point, const VXDrawableObject* object,
                                                             bool controlFlag) const
    {
        return point;
    }

    // A floating line of text beside the pointer (a readout while dragging), placed at
    // `point` (drawing coordinates) in the view handling the mouse; kept until hidden.
    void showInfoWindowWithStringAtPoint(const QString& text, QPointF point);
    void hideInfoWindow();
    // The info window once shown; null before.
    ZQInfoFloater* infoWindow() const { return m_infoWindow.get(); }

    // Styles used on the layer, and replacing them (old -> new).
    virtual QList<VXStylePtr> allStyles() const { return {}; }
    virtual void replaceStyles(const QHash<const VXStyle*, VXStylePtr>& replacements) {}

    // Makes a copy decoded from `original`'s archive share its styles again.
    virtual void adoptStylesFrom(const VXLayer& original) {}

    // The layer alone on the drawing's full area, as PDF.
    QByteArray pdf() const;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    // The one setter behind every key: nothing for an unchanged value; otherwise observers
    // are told, the inverse is registered for undo and the drawing redraws. Answers whether
    // the value changed.
    template <class T>
    bool changeValueForKey(T& field, const T& value, const char* key)
    {
        if (field == value)
            return false;
        const QString& keyName = platform::keyNamed(key);
        platform::registerUndoForChange(undoManager(), *this, keyName, field);
        announceChangeForKey(keyName, [&] { field = value; });
        setNeedsDisplay();
        return true;
    }

private:
    QString m_layerName;
    bool m_visible = true;
    bool m_locked = false;
    double m_alpha = 1.0;
    QColor m_selectionColour;
    bool m_shouldDrawToPrinter = true;
    QPointer<VXLayerGroup> m_layerGroup;
    std::unique_ptr<ZQInfoFloater> m_infoWindow;
};

Q_DECLARE_METATYPE(VXLayerPtr)
