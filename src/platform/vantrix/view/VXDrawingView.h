#pragma once

// A scrolling, zooming view of a drawing. Drawing coordinates are y-down points; the view
// maps them onto the viewport by a scale and a scroll position, centring the paper when it is
// smaller than the viewport (painted to the nearest whole pixel). What it draws of the drawing it keeps (see
// CachedViewRendering): a repaint copies the kept pixels, large areas are drawn in the
// background, and the drawing's needsDisplayInRect signal redraws the matching area. The
// selection, the object being made, overlays and tool feedback are drawn live over it.
//
// Mouse events go to the view's tool controller, which hands them to the current tool. A
// context click (a right click, or Control-click) asks the object under the pointer on the
// active layer for its menu items, and failing that the active layer for a menu. Drags are
// handed to the active layer (see VXLayer's drop-target hooks). Delete and Backspace delete
// the selection, Escape goes back to the selection tool, and a tool's key equivalent selects it.
//
// Rulers (hidden at first) run along the top and left of the viewport; their markers show
// the edges and middle of the active layer's selection (followed through drags, undo and
// redo), or of a rectangle given, and the pointer.
//
// Text is edited in place in an editor laid over the text's area (see InPlaceTextEditing).
// Opening it posts kVXDrawingViewDidBeginTextEditing, closing it kVXDrawingViewDidEndTextEditing
// (sender: the view). Escape, the focus leaving the editor, a click in the view and another
// edit starting all commit what was typed; so does Return, as the edit's options say.
//
// Actions the view has no method for go to the selected objects of the active layer (and
// through them to what they forward to, such as their selected labels), so menus and panels
// reach the selection through the responder chain.

#include "platform/ui/MenuItem.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/view/InPlaceTextEditing.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTextEdit;
class VXLayer;
class VXRulerView;
class VXToolController;
namespace platform {
class CachedViewRendering;
class KnobBoxLists;
class Menu;
struct DraggingInfo;
} // namespace platform

inline const QString kVXDrawingViewDidBeginTextEditing = QStringLiteral("kVXDrawingViewDidBeginTextEditing");
inline const QString kVXDrawingViewDidEndTextEditing = QStringLiteral("kVXDrawingViewDidEndTextEditing");

class VXDrawingView : public QAbstractScrollArea, public platform::ActionForwarder {
    Q_OBJECT

public:
    static constexpr double kMinimumScale = 0.025;
    static constexpr double kMaximumScale = 250.0;

    explicit VXDrawingView(QWidget* parent = nullptr);
    ~VXDrawingView() override;

    // Views make an A4 default drawing for themselves when shown without one, unless the
    // class flag is off (documents hand their drawing over instead).
    static bool createsOwnDrawing();
    static void setCreatesOwnDrawing(bool creates);

    VXDrawing* drawing() const { return m_drawing.get(); }
    void setDrawing(const VXDrawingPtr& drawing);
    VXToolController* toolController() const { return m_toolController.get(); }

    // The view handling a mouse event or painting now; null otherwise. Knob sizes follow its scale.
    static VXDrawingView* currentView();
    // Where to show something of `drawing`: the view holding the focus when it shows the
    // drawing, else the main view of the drawing's document; null when neither does.
    static VXDrawingView* viewShowingDrawing(const VXDrawing* drawing);

    // --- Zoom -----------------------------------------------------------------------------
    // Viewport pixels per point, clamped to kMinimumScale..kMaximumScale.
    double scale() const { return m_scale; }
    // Keeps the drawing point under the viewport centre where it was.
    void setScale(double scale);
    // Zooms keeping the drawing point under `viewportPoint` fixed.
    void zoomViewByFactorWithCentre(double factor, QPointF viewportPoint);
    void zoomViewToActualSize();
    void zoomViewToFitInWindow();
    // Shows `rect` (drawing coordinates) as large as fits, centred.
    void zoomViewToRect(const QRectF& rect);
    Q_INVOKABLE void zoomToActualSize(QObject* sender = nullptr) { zoomViewToActualSize(); }
    Q_INVOKABLE void zoomFitInWindow(QObject* sender = nullptr) { zoomViewToFitInWindow(); }

    static bool scrollwheelZoomEnabled();
    static bool scrollwheelInverted();

    // A drawing smaller than the view sits in its middle, or else at its top left.
    bool centresDrawing() const { return m_centresDrawing; }
    void setCentresDrawing(bool centres);

    // --- Scrolling and coordinates ----------------------------------------------------------
    // The content offset at the viewport's top left, in viewport pixels.
    QPointF scrollPosition() const { return m_scroll; }
    void scrollToPosition(QPointF position);
    void scrollBy(QPointF delta) { scrollToPosition(m_scroll + delta); }
    // Moves the view so the drawing point shows at the viewport point (as far as scrolling allows).
    void scrollDrawingPointToViewportPoint(QPointF drawingPoint, QPointF viewportPoint);
    // Centres `rect` (drawing coordinates) unless all of it is in view already.
    void scrollRectToVisible(const QRectF& rect);

    QPointF convertPointFromDrawing(QPointF point) const;
    QPointF convertPointToDrawing(QPointF point) const;
    QRectF convertRectFromDrawing(const QRectF& rect) const;
    QRectF convertRectToDrawing(const QRectF& rect) const;
    // The part of the drawing's coordinate space the viewport shows.
    QRectF visibleDrawingRect() const;

    // Redraws that area of the drawing (drawing coordinates).
    void setNeedsDisplayInRect(const QRectF& rect);
    // Repaints that area over the rendering kept of the drawing, which stays.
    void setNeedsLiveDisplayInRect(const QRectF& rect);
    // Whether everything in view is drawn (nothing waits for the background).
    bool isRenderingSettled() const;
    // Draws what the viewport still lacks, waiting for the background, and repaints.
    void finishRendering();
    // Forgets what was drawn, so the next paint draws everything afresh.
    void discardRenderings();
    // The same in every view: a class-wide drawing setting changed.
    static void discardRenderingsOfAllViews();
    // Whether the paint under way covers part of `rect` (drawing coordinates); false when not painting.
    bool needsToDrawRect(const QRectF& rect) const;
    // Objects `asker` draws over `rect` during the paint under way, found by `find` the first
    // time it asks: later passes of the paint (the tool's knobs over a layer's selection)
    // reuse the answer, which is forgotten when the paint ends. Outside a paint, just `find`.
    using DrawnObjects = QList<const VXDrawableObject*>;
    DrawnObjects objectsDrawnInPaint(const void* asker, const QRectF& rect,
                                     const std::function<DrawnObjects()>& find) const;

    // --- Overlays -----------------------------------------------------------------------------
    // Drawn over the drawing in this view only, never in print, PDF or images: called while
    // painting, after the drawing and before tool feedback, with the painter in drawing
    // coordinates (the graphics context on it) and the exposed area. An owner has at most
    // one overlay; it goes with its owner.
    using Overlay = std::function<void(QPainter& painter, const QRectF& exposed)>;
    void setOverlay(QObject* owner, Overlay overlay);
    void removeOverlay(const QObject* owner);

    // --- Rulers ---------------------------------------------------------------------------------
    bool rulersVisible() const { return m_rulersVisible; }
    void setRulersVisible(bool visible);
    VXRulerView* horizontalRuler() const { return m_horizontalRuler; }
    VXRulerView* verticalRuler() const { return m_verticalRuler; }
    // A strip above the horizontal ruler, as wide as it and as high as the accessory's size
    // hint, shown while the rulers are; the view takes ownership. Null removes (deletes) it.
    QWidget* horizontalRulerAccessory() const { return m_rulerAccessory; }
    void setHorizontalRulerAccessory(QWidget* accessory);
    // Markers at the rectangle's edges and middle on both rulers (drawing coordinates); a null
    // rectangle clears them.
    void updateRulerMarkersForRect(const QRectF& rect);

    // --- Context menu ---------------------------------------------------------------------------
    // The menu a context click at the viewport point shows; null when nothing answers. A
    // click on an unselected object selects it first, as a plain click would.
    std::unique_ptr<platform::Menu> contextMenuAtPoint(QPointF viewportPoint);

    // --- In-place text editing ----------------------------------------------------------------
    // Opens an editor holding `text` over `drawingRect`, following zoom and scrolling, and
    // gives it the focus. `delegate` (a QObject implementing VXTextEditingDelegate; may be
    // null) hears how the edit ended. The editor shows the text's font (the default text
    // font when none is given) at the view's zoom, and sizes itself and takes Return as the
    // options say (as for text shapes when none are given).
    void editTextInRectDelegate(const QString& text, const QRectF& drawingRect, QObject* delegate);
    void editTextInRectDelegate(const QString& text, const QRectF& drawingRect, QObject* delegate,
                                const QFont& font, const platform::TextEditingOptions& options = {});
    // The same for attributed text: its runs show while it is edited and go back to the delegate
    // (attributedTextEditingDidEnd); `font` is for text that no run gives a font. Pasted text
    // keeps its runs, and the font manager's changes reach the selected characters.
    void editAttributedTextInRectDelegate(const platform::AttributedString& text, const QRectF& drawingRect,
                                          QObject* delegate, const QFont& font,
                                          const platform::TextEditingOptions& options = {});
    // Commits: the delegate gets the text, the end is posted, the editor goes. Nothing when not editing.
    void endTextEditing();
    // As endTextEditing, but the delegate is told the edit was cancelled.
    void cancelTextEditing();
    // The open editor; null when not editing.
    QTextEdit* textEditor() const;

    // --- Editing the active object layer ---------------------------------------------------
    // Cut, paste and delete are undo steps of those names; copy and selection changes are no
    // document change. ObjectLayerEditing has the rules: where pastes land, what cut and
    // delete leave alone.
    Q_INVOKABLE void copy(QObject* sender = nullptr);
    Q_INVOKABLE void cut(QObject* sender = nullptr);
    Q_INVOKABLE void paste(QObject* sender = nullptr);
    Q_INVOKABLE void delete_(QObject* sender = nullptr);
    Q_INVOKABLE void selectAll(QObject* sender = nullptr);
    Q_INVOKABLE void deselectAll(QObject* sender = nullptr);
    Q_INVOKABLE void toggleHorizontalFlip(QObject* sender = nullptr);
    Q_INVOKABLE void toggleVerticalFlip(QObject* sender = nullptr);
    Q_INVOKABLE void duplicate(QObject* sender = nullptr);
    Q_INVOKABLE void convertToPath(QObject* sender = nullptr);
    Q_INVOKABLE void convertToShape(QObject* sender = nullptr);
    Q_INVOKABLE void convertToShapeGroup(QObject* sender = nullptr);
    Q_INVOKABLE void convertToTextShape(QObject* sender = nullptr);
    Q_INVOKABLE void convertToTextPath(QObject* sender = nullptr);
    // False for the actions above when there is nothing to act on. An action the view passes
    // on is enabled when a selected object that takes it enables it; any other, true. Paste
    // without objects on the clipboard passes on too, so a selected label takes pasted text.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // The active object layer's selected objects that take `action` (by a method or by passing
    // it on), for actions the view has no method for.
    QList<QObject*> forwardingTargetsForAction(const QByteArray& action) const override;

    static constexpr double kPasteOffset = platform::ObjectLayerEditing::kPasteOffset;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    class CurrentViewScope;

    // Whether a selected object that takes the item's action enables it.
    bool selectionEnables(platform::MenuItem* item) const;
    QSizeF contentSize() const;
    // Where the content's origin sits in the viewport.
    QPointF contentOrigin() const;
    void zoomViewToRectInViewportOfSize(const QRectF& rect, QSizeF port);
    void clampScroll();
    void updateScrollBars();
    void drawOverlays(QPainter& painter, const QRectF& exposed);
    void placeRulers();
    void updateRulers();
    void updateRulerMarkersForSelection();
    // The same after the active layer's selection changed.
    void updateRulerMarkersForSelectionChange();
    void updateMouseMarkers(std::optional<QPointF> drawingPoint);
    void showContextMenu(QPointF viewportPoint, QPoint globalPoint);
    // Deletes the selection, or selects a tool by its key; false for keys of neither.
    bool handleEditingKey(const QKeyEvent& event);
    platform::DraggingInfo draggingInfo(const QDropEvent& event);
    // Answers the drag with the drop target's operation.
    static void answerDrag(QDropEvent& event, int operation);
    platform::ObjectLayerEditing layerEditing() const { return platform::ObjectLayerEditing(m_drawing.get()); }

    VXDrawingPtr m_drawing;
    std::unique_ptr<platform::CachedViewRendering> m_rendering;
    std::unique_ptr<platform::KnobBoxLists> m_knobBoxLists; // the highlights' boxes, from paint to paint
    std::unique_ptr<VXToolController> m_toolController;
    QMetaObject::Connection m_displayConnection;
    double m_scale = 1.0;
    bool m_centresDrawing = true;
    QPointF m_scroll;
    bool m_syncingScrollBars = false;
    platform::InPlaceTextEditing m_textEditing{*this};
    bool m_rulersVisible = false;
    // The selection changed while the rulers were hidden: their markers are due when they show.
    bool m_rulerMarkersStale = false;
    VXRulerView* m_horizontalRuler;
    VXRulerView* m_verticalRuler;
    QPointer<QWidget> m_rulerAccessory;
    // The layer taking the drag in progress.
    QPointer<VXLayer> m_dropTarget;
    struct OwnedOverlay {
        QPointer<QObject> owner;
        Overlay draw;
    };
    std::vector<OwnedOverlay> m_overlays;
    // The drawing area of the paint under way.
    std::optional<QRectF> m_exposedRect;
    struct DrawnInPaint {
        const void* asker;
        QRectF rect;
        DrawnObjects objects;
    };
    // Answers kept while a paint is under way.
    mutable std::optional<std::vector<DrawnInPaint>> m_drawnInPaint;
};
