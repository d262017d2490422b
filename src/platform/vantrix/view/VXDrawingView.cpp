#include "platform/vantrix/view/VXDrawingView.h"

#include "platform/vantrix/view/CachedViewRendering.h"
#include "platform/vantrix/view/DrawnKnobBoxes.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/view/VXKnob.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXRulerView.h"
#include "platform/vantrix/tools/VXToolController.h"

#include <QApplication>
#include <QHash>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScopedValueRollback>
#include <QThread>
#include <QScrollBar>
#include <QSet>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

bool g_createsOwnDrawing = true;
// Per thread, so renderings on other threads see no view (and knobs keep their size in points).
thread_local VXDrawingView* g_currentView = nullptr;

constexpr QSizeF kDefaultPaper{595, 842};
constexpr double kWheelZoomStep = 1.1; // per 120 units of wheel angle
} // namespace

// Makes the view current while it paints or handles a mouse event; events may nest.
class VXDrawingView::CurrentViewScope {
public:
    explicit CurrentViewScope(VXDrawingView* view)
        : m_previous(std::exchange(g_currentView, view))
    {
    }
    ~CurrentViewScope() { g_currentView = m_previous; }
    CurrentViewScope(const CurrentViewScope&) = delete;
    CurrentViewScope& operator=(const CurrentViewScope&) = delete;

private:
    VXDrawingView* m_previous;
};

VXDrawingView::VXDrawingView(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_rendering(std::make_unique<platform::CachedViewRendering>(*this))
    , m_knobBoxLists(std::make_unique<platform::KnobBoxLists>())
    , m_toolController(std::make_unique<VXToolController>(this))
    , m_horizontalRuler(new VXRulerView(Qt::Horizontal, this))
    , m_verticalRuler(new VXRulerView(Qt::Vertical, this))
{
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    m_horizontalRuler->hide();
    m_verticalRuler->hide();
    auto& centre = platform::NotificationCenter::defaultCenter();
    centre.addObserver(this, kVXLayerSelectionDidChange, nullptr, [this](const platform::Notification& n) {
        if (m_drawing && n.sender && n.sender == m_drawing->activeLayer())
            updateRulerMarkersForSelectionChange();
    });
    centre.addObserver(this, kVXDrawingActiveLayerDidChange, nullptr, [this](const platform::Notification& n) {
        if (m_drawing && n.sender == m_drawing.get())
            updateRulerMarkersForSelection();
    });
    // Undo and redo move and reshape the selected objects without changing the selection.
    const auto followUndo = [this](const platform::Notification& n) {
        if (m_drawing && n.sender && n.sender == m_drawing->undoManager())
            updateRulerMarkersForSelection();
    };
    centre.addObserver(this, ZQUndoManagerDidUndoChangeNotification, nullptr, followUndo);
    centre.addObserver(this, ZQUndoManagerDidRedoChangeNotification, nullptr, followUndo);
    centre.addObserver(this, kVXDrawingUnitsDidChangeNotification, nullptr, [this](const platform::Notification& n) {
        if (m_drawing && n.sender == m_drawing.get())
            updateRulers();
    });
}

VXDrawingView::~VXDrawingView()
{
    endTextEditing();
    if (g_currentView == this)
        g_currentView = nullptr;
}

bool VXDrawingView::createsOwnDrawing() { return g_createsOwnDrawing; }
void VXDrawingView::setCreatesOwnDrawing(bool creates) { g_createsOwnDrawing = creates; }
bool VXDrawingView::scrollwheelZoomEnabled() { return VXDrawingPreferences::current().scrollwheelZoomEnabled; }
bool VXDrawingView::scrollwheelInverted() { return VXDrawingPreferences::current().scrollwheelInverted; }
VXDrawingView* VXDrawingView::currentView() { return g_currentView; }

VXDrawingView* VXDrawingView::viewShowingDrawing(const VXDrawing* drawing)
{
    if (!drawing)
        return nullptr;
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (auto* view = qobject_cast<VXDrawingView*>(widget); view && view->drawing() == drawing)
            return view;
    if (const auto* document = qobject_cast<const VXDrawingDocument*>(drawing->owner()))
        if (VXDrawingView* view = document->mainView(); view && view->drawing() == drawing)
            return view;
    return nullptr;
}

void VXDrawingView::scrollRectToVisible(const QRectF& rect)
{
    if (!rect.isValid() || visibleDrawingRect().contains(rect))
        return;
    scrollDrawingPointToViewportPoint(rect.center(), QRectF(viewport()->rect()).center());
}

void VXDrawingView::setDrawing(const VXDrawingPtr& drawing)
{
    if (drawing == m_drawing)
        return;
    m_toolController->abandonGesture();
    endTextEditing();
    disconnect(m_displayConnection);
    // The renderings of the drawing before end before it may go.
    m_rendering->setDrawing(drawing.get());
    m_drawing = drawing;
    if (m_drawing)
        m_displayConnection = connect(m_drawing.get(), &VXDrawing::needsDisplayInRect, this,
                                      [this](const QRectF& rect, bool liveOnly) {
                                          liveOnly ? setNeedsLiveDisplayInRect(rect) : setNeedsDisplayInRect(rect);
                                      });
    updateScrollBars();
    updateRulerMarkersForSelection();
    viewport()->update();
}

// --- Geometry -------------------------------------------------------------------------------

QSizeF VXDrawingView::contentSize() const
{
    return (m_drawing ? m_drawing->drawingSize() : QSizeF()) * m_scale;
}

QPointF VXDrawingView::contentOrigin() const
{
    const QSizeF content = contentSize();
    const QSizeF port = viewport()->size();
    const double x = m_centresDrawing && content.width() < port.width() ? (port.width() - content.width()) / 2 : -m_scroll.x();
    const double y = m_centresDrawing && content.height() < port.height() ? (port.height() - content.height()) / 2 : -m_scroll.y();
    return {x, y};
}

void VXDrawingView::setCentresDrawing(bool centres)
{
    if (centres == m_centresDrawing)
        return;
    m_centresDrawing = centres;
    updateScrollBars();
    viewport()->update();
}

QPointF VXDrawingView::convertPointFromDrawing(QPointF point) const { return point * m_scale + contentOrigin(); }
QPointF VXDrawingView::convertPointToDrawing(QPointF point) const { return (point - contentOrigin()) / m_scale; }

QRectF VXDrawingView::convertRectFromDrawing(const QRectF& rect) const
{
    return {convertPointFromDrawing(rect.topLeft()), rect.size() * m_scale};
}

QRectF VXDrawingView::convertRectToDrawing(const QRectF& rect) const
{
    return {convertPointToDrawing(rect.topLeft()), rect.size() / m_scale};
}

QRectF VXDrawingView::visibleDrawingRect() const { return convertRectToDrawing(QRectF(viewport()->rect())); }

void VXDrawingView::setNeedsDisplayInRect(const QRectF& rect)
{
    // A change to the whole drawing (a layer shown or hidden) reaches past the paper too,
    // where symbols and labels may hang over its edge.
    if (m_drawing && rect.contains(m_drawing->bounds())) {
        m_rendering->invalidateDrawingRect(rect.united(visibleDrawingRect()));
        viewport()->update();
        return;
    }
    m_rendering->invalidateDrawingRect(rect);
    setNeedsLiveDisplayInRect(rect);
}

void VXDrawingView::setNeedsLiveDisplayInRect(const QRectF& rect)
{
    // Knobs keep their size on screen and reach past the objects they belong to; a pixel more
    // for antialiased edges that round outwards.
    const int margin = qCeil(VXKnob::knobReachInPixels()) + 1;
    viewport()->update(convertRectFromDrawing(rect).toAlignedRect().adjusted(-margin, -margin, margin, margin));
}

// --- Scrolling ------------------------------------------------------------------------------

void VXDrawingView::clampScroll()
{
    const QSizeF slack = contentSize() - QSizeF(viewport()->size());
    m_scroll.setX(std::clamp(m_scroll.x(), 0.0, std::max(0.0, slack.width())));
    m_scroll.setY(std::clamp(m_scroll.y(), 0.0, std::max(0.0, slack.height())));
}

void VXDrawingView::updateScrollBars()
{
    clampScroll();
    const QSizeF content = contentSize();
    const QSize port = viewport()->size();
    m_syncingScrollBars = true;
    horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(content.width())) - port.width()));
    horizontalScrollBar()->setPageStep(port.width());
    horizontalScrollBar()->setValue(int(std::lround(m_scroll.x())));
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(content.height())) - port.height()));
    verticalScrollBar()->setPageStep(port.height());
    verticalScrollBar()->setValue(int(std::lround(m_scroll.y())));
    m_syncingScrollBars = false;
    m_textEditing.place();
    updateRulers();
}

void VXDrawingView::scrollToPosition(QPointF position)
{
    m_scroll = position;
    updateScrollBars();
    viewport()->update();
}

void VXDrawingView::scrollDrawingPointToViewportPoint(QPointF drawingPoint, QPointF viewportPoint)
{
    scrollToPosition(drawingPoint * m_scale - viewportPoint);
}

void VXDrawingView::scrollContentsBy(int, int)
{
    // The bars hold whole pixels; the view keeps the exact position unless the user moved them.
    if (m_syncingScrollBars)
        return;
    m_scroll = QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    m_textEditing.place();
    updateRulers();
    viewport()->update();
}

void VXDrawingView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    placeRulers();
    updateScrollBars();
}

void VXDrawingView::showEvent(QShowEvent* event)
{
    if (!m_drawing && g_createsOwnDrawing)
        setDrawing(VXDrawing::defaultDrawingWithSize(kDefaultPaper));
    QAbstractScrollArea::showEvent(event);
}

// --- Rulers ---------------------------------------------------------------------------------

void VXDrawingView::setRulersVisible(bool visible)
{
    if (visible == m_rulersVisible)
        return;
    m_rulersVisible = visible;
    m_horizontalRuler->setVisible(visible);
    m_verticalRuler->setVisible(visible);
    placeRulers();
    if (visible && m_rulerMarkersStale)
        updateRulerMarkersForSelection();
}

void VXDrawingView::setHorizontalRulerAccessory(QWidget* accessory)
{
    if (accessory == m_rulerAccessory)
        return;
    delete m_rulerAccessory;
    m_rulerAccessory = accessory;
    if (accessory)
        accessory->setParent(this);
    placeRulers();
}

void VXDrawingView::placeRulers()
{
    const int thickness = m_rulersVisible ? VXRulerView::kThickness : 0;
    const int accessoryHeight = m_rulersVisible && m_rulerAccessory ? m_rulerAccessory->sizeHint().height() : 0;
    const QMargins margins(thickness, thickness + accessoryHeight, 0, 0);
    if (viewportMargins() != margins) {
        setViewportMargins(margins);
        updateScrollBars();
    }
    // Each ruler spans the viewport's side, so ruler pixels and viewport pixels line up.
    const QRect port = viewport()->geometry();
    m_horizontalRuler->setGeometry(port.left(), port.top() - thickness, port.width(), thickness);
    m_verticalRuler->setGeometry(port.left() - thickness, port.top(), thickness, port.height());
    if (m_rulerAccessory) {
        m_rulerAccessory->setGeometry(port.left(), port.top() - thickness - accessoryHeight, port.width(), accessoryHeight);
        m_rulerAccessory->setVisible(m_rulersVisible);
    }
}

void VXDrawingView::updateRulers()
{
    if (!m_rulersVisible)
        return;
    m_horizontalRuler->update();
    m_verticalRuler->update();
}

void VXDrawingView::updateRulerMarkersForRect(const QRectF& rect)
{
    m_rulerMarkersStale = false;
    if (rect.isNull()) {
        m_horizontalRuler->setMarkerPositions({});
        m_verticalRuler->setMarkerPositions({});
        return;
    }
    const QRectF r = rect.normalized();
    m_horizontalRuler->setMarkerPositions({r.left(), r.center().x(), r.right()});
    m_verticalRuler->setMarkerPositions({r.top(), r.center().y(), r.bottom()});
}

void VXDrawingView::updateRulerMarkersForSelection()
{
    // Totalling the bounds of a large selection takes long; nobody sees the markers of hidden rulers.
    if (!m_rulersVisible) {
        m_rulerMarkersStale = true;
        return;
    }
    const VXObjectDrawingLayer* layer = layerEditing().activeLayer();
    updateRulerMarkersForRect(layer ? layer->logicalBoundsOfSelection() : QRectF());
}

void VXDrawingView::updateRulerMarkersForSelectionChange()
{
    // An undo or redo is told of when it ends, and the markers are totalled then, once for
    // every selection it restored and every object it moved; a nested one, told of by nobody,
    // is caught at the end of the turn.
    const ZQUndoManager* undo = m_drawing->undoManager();
    if (!undo || !(undo->isUndoing() || undo->isRedoing())) {
        updateRulerMarkersForSelection();
        return;
    }
    m_rulerMarkersStale = true;
    static const QByteArray key = "updateStaleRulerMarkers";
    platform::RunLoop::cancelPreviousPerformRequests(this, key);
    platform::RunLoop::performAfterDelay(
        this,
        [this] {
            if (m_rulerMarkersStale)
                updateRulerMarkersForSelection();
        },
        0, key);
}

void VXDrawingView::updateMouseMarkers(std::optional<QPointF> drawingPoint)
{
    m_horizontalRuler->setMousePosition(drawingPoint ? std::optional(drawingPoint->x()) : std::nullopt);
    m_verticalRuler->setMousePosition(drawingPoint ? std::optional(drawingPoint->y()) : std::nullopt);
}

// --- Zoom -----------------------------------------------------------------------------------

void VXDrawingView::zoomViewByFactorWithCentre(double factor, QPointF viewportPoint)
{
    if (!std::isfinite(factor) || factor <= 0)
        return;
    const QPointF anchor = convertPointToDrawing(viewportPoint);
    m_scale = std::clamp(m_scale * factor, kMinimumScale, kMaximumScale);
    scrollDrawingPointToViewportPoint(anchor, viewportPoint);
}

void VXDrawingView::setScale(double scale)
{
    if (std::isfinite(scale) && scale > 0)
        zoomViewByFactorWithCentre(scale / m_scale, QRectF(viewport()->rect()).center());
}

void VXDrawingView::zoomViewToActualSize() { setScale(1.0); }

void VXDrawingView::zoomViewToFitInWindow()
{
    // The whole paper fits, so the scroll bars go and their room counts.
    if (m_drawing)
        zoomViewToRectInViewportOfSize(m_drawing->bounds(), maximumViewportSize());
}

void VXDrawingView::zoomViewToRect(const QRectF& rect) { zoomViewToRectInViewportOfSize(rect, viewport()->size()); }

void VXDrawingView::zoomViewToRectInViewportOfSize(const QRectF& rect, QSizeF port)
{
    const QRectF area = rect.normalized();
    if (area.isEmpty() || port.isEmpty())
        return;
    m_scale = std::clamp(std::min(port.width() / area.width(), port.height() / area.height()), kMinimumScale,
                         kMaximumScale);
    scrollDrawingPointToViewportPoint(area.center(), QRectF(viewport()->rect()).center());
}

void VXDrawingView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || !scrollwheelZoomEnabled()) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const double steps = (scrollwheelInverted() ? -1 : 1) * event->angleDelta().y() / 120.0;
    zoomViewByFactorWithCentre(std::pow(kWheelZoomStep, steps), event->position());
    event->accept();
}

// --- Painting -------------------------------------------------------------------------------

bool VXDrawingView::isRenderingSettled() const
{
    return !m_drawing || m_rendering->isSettled();
}

void VXDrawingView::finishRendering()
{
    if (m_drawing)
        m_rendering->finishRendering();
}

void VXDrawingView::discardRenderings()
{
    m_rendering->discard();
    viewport()->update();
}

void VXDrawingView::discardRenderingsOfAllViews()
{
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* view = qobject_cast<VXDrawingView*>(widget))
            view->discardRenderings();
}

void VXDrawingView::paintEvent(QPaintEvent* event)
{
    const CurrentViewScope scope(this);
    const QScopedValueRollback answers(m_drawnInPaint, std::optional<std::vector<DrawnInPaint>>(std::in_place));
    QPainter painter(viewport());
    if (!m_drawing) {
        painter.fillRect(event->rect(), palette().color(QPalette::Dark));
        return;
    }
    // Objects off the paper show over the margin too: they can be selected and moved there.
    const QPoint origin = m_rendering->paint(painter, event->rect());
    const QRectF exposed = convertRectToDrawing(QRectF(event->rect()));
    painter.setClipRect(event->rect());
    painter.translate(origin);
    painter.scale(m_scale, m_scale);
    painter.setRenderHint(QPainter::Antialiasing);
    // The live parts, overlays and tool feedback (knobs, marquees) draw through the graphics context.
    const platform::GraphicsContext::Scope context(&painter);
    const platform::DrawnKnobBoxes knobBoxes(*m_knobBoxLists); // the highlights' boxes, for the tool's knobs
    platform::DrawingRenderer::drawLiveParts(*m_drawing, exposed, this);
    const QScopedValueRollback exposing(m_exposedRect, std::optional<QRectF>(exposed));
    drawOverlays(painter, exposed);
    m_toolController->drawRectInView(painter, exposed);
    m_rendering->paintEnded();
}

bool VXDrawingView::needsToDrawRect(const QRectF& rect) const
{
    return m_exposedRect && m_exposedRect->intersects(rect);
}

VXDrawingView::DrawnObjects VXDrawingView::objectsDrawnInPaint(const void* asker, const QRectF& rect,
                                                              const std::function<DrawnObjects()>& find) const
{
    // Background renderings of the view's tiles never share the paint's answers.
    if (!m_drawnInPaint || QThread::currentThread() != thread())
        return find();
    for (const DrawnInPaint& kept : std::as_const(*m_drawnInPaint))
        if (kept.asker == asker && kept.rect == rect)
            return kept.objects;
    DrawnObjects found = find();
    m_drawnInPaint->push_back({asker, rect, found});
    return found;
}

// --- Overlays -------------------------------------------------------------------------------

void VXDrawingView::setOverlay(QObject* owner, Overlay overlay)
{
    removeOverlay(owner);
    if (owner && overlay)
        m_overlays.push_back({owner, std::move(overlay)});
    viewport()->update();
}

void VXDrawingView::removeOverlay(const QObject* owner)
{
    std::erase_if(m_overlays, [owner](const OwnedOverlay& overlay) { return !overlay.owner || overlay.owner == owner; });
}

void VXDrawingView::drawOverlays(QPainter& painter, const QRectF& exposed)
{
    std::erase_if(m_overlays, [](const OwnedOverlay& overlay) { return !overlay.owner; });
    // An overlay may add or remove overlays while drawing.
    const std::vector<OwnedOverlay> overlays = m_overlays;
    for (const OwnedOverlay& overlay : overlays) {
        if (!overlay.owner)
            continue;
        painter.save();
        platform::runGuarded("VXDrawingView overlay", [&] { overlay.draw(painter, exposed); });
        painter.restore();
    }
}

// --- Text editing ---------------------------------------------------------------------------

void VXDrawingView::editTextInRectDelegate(const QString& text, const QRectF& drawingRect, QObject* delegate)
{
    editTextInRectDelegate(text, drawingRect, delegate, platform::AttributedStringLayout::defaultFont());
}

void VXDrawingView::editTextInRectDelegate(const QString& text, const QRectF& drawingRect, QObject* delegate,
                                           const QFont& font, const platform::TextEditingOptions& options)
{
    m_textEditing.begin(platform::AttributedString(text), drawingRect, delegate, font, options);
}

void VXDrawingView::editAttributedTextInRectDelegate(const platform::AttributedString& text, const QRectF& drawingRect,
                                                     QObject* delegate, const QFont& font,
                                                     const platform::TextEditingOptions& options)
{
    platform::TextEditingOptions withRuns = options;
    withRuns.editsRuns = true;
    m_textEditing.begin(text, drawingRect, delegate, font, withRuns);
}

void VXDrawingView::endTextEditing() { m_textEditing.finish(false); }
void VXDrawingView::cancelTextEditing() { m_textEditing.finish(true); }
QTextEdit* VXDrawingView::textEditor() const { return m_textEditing.editor(); }

// --- Keys and mouse -------------------------------------------------------------------------

void VXDrawingView::keyPressEvent(QKeyEvent* event)
{
    // Keys the text editor lets through are not meant for the drawing.
    if (!textEditor() && handleEditingKey(*event)) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool VXDrawingView::handleEditingKey(const QKeyEvent& event)
{
    // Shift aside, keys with modifiers belong to menus.
    if (event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        platform::runGuarded("VXDrawingView delete key", [&] { delete_(); });
        return true;
    case Qt::Key_Escape:
        m_toolController->setDrawingTool(nullptr);
        return true;
    default:
        return !event.text().isEmpty() && m_toolController->selectDrawingToolWithKeyboardEquivalent(event.text());
    }
}

void VXDrawingView::mousePressEvent(QMouseEvent* event)
{
    endTextEditing();
    if (platform::isContextClick(event->button(), event->modifiers())) {
        // A right press brings a context-menu event of its own; a Control-click does not.
        if (event->button() == Qt::LeftButton)
            showContextMenu(event->position(), event->globalPosition().toPoint());
        return;
    }
    const CurrentViewScope scope(this);
    platform::runGuarded("VXDrawingView mouse", [&] { m_toolController->mouseDown(event); });
}

void VXDrawingView::mouseMoveEvent(QMouseEvent* event)
{
    const CurrentViewScope scope(this);
    platform::runGuarded("VXDrawingView mouse", [&] { m_toolController->mouseMoved(event); });
    updateMouseMarkers(convertPointToDrawing(event->position()));
    if (event->buttons() & Qt::LeftButton)
        updateRulerMarkersForSelection();
}

void VXDrawingView::mouseReleaseEvent(QMouseEvent* event)
{
    const CurrentViewScope scope(this);
    platform::runGuarded("VXDrawingView mouse", [&] { m_toolController->mouseUp(event); });
    updateRulerMarkersForSelection();
}

bool VXDrawingView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave)
        updateMouseMarkers(std::nullopt);
    return QAbstractScrollArea::viewportEvent(event);
}

// --- Context menu ---------------------------------------------------------------------------

std::unique_ptr<platform::Menu> VXDrawingView::contextMenuAtPoint(QPointF viewportPoint)
{
    VXLayer* layer = m_drawing ? m_drawing->activeLayer() : nullptr;
    if (!layer)
        return nullptr;
    const QPointF point = convertPointToDrawing(viewportPoint);
    if (VXObjectDrawingLayer* objects = layerEditing().editableLayer()) {
        if (const VXDrawableObjectPtr target = objects->hitTest(point)) {
            if (!objects->isSelectedObject(target.get()))
                objects->replaceSelectionWithObject(target);
            auto menu = std::make_unique<platform::Menu>();
            if (target->populateExtendedContextualMenuAtPoint(*menu, point))
                return menu;
        }
    }
    std::unique_ptr<platform::Menu> menu = layer->menuForEventInView(point, this);
    return menu && !menu->isEmpty() ? std::move(menu) : nullptr;
}

void VXDrawingView::showContextMenu(QPointF viewportPoint, QPoint globalPoint)
{
    std::unique_ptr<platform::Menu> menu;
    platform::runGuarded("VXDrawingView context menu", [&] { menu = contextMenuAtPoint(viewportPoint); });
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu.release()->popup(globalPoint);
}

void VXDrawingView::contextMenuEvent(QContextMenuEvent* event)
{
    showContextMenu(event->pos(), event->globalPos());
    event->accept();
}

// --- Drag and drop --------------------------------------------------------------------------

platform::DraggingInfo VXDrawingView::draggingInfo(const QDropEvent& event)
{
    return {event.mimeData(), convertPointToDrawing(event.position()), this};
}

void VXDrawingView::answerDrag(QDropEvent& event, int operation)
{
    if (operation == kVXDragOperationNone) {
        event.ignore();
        return;
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
}

void VXDrawingView::dragEnterEvent(QDragEnterEvent* event)
{
    m_dropTarget = nullptr;
    VXLayer* layer = m_drawing ? m_drawing->activeLayer() : nullptr;
    const QMimeData* data = event->mimeData();
    if (!layer || !data) {
        event->ignore();
        return;
    }
    const QStringList types = layer->pasteboardTypesForOperation(kVXReadableTypesForDrop);
    const bool offered =
        std::any_of(types.cbegin(), types.cend(), [&](const QString& type) { return data->hasFormat(type); });
    int operation = kVXDragOperationNone;
    if (offered) {
        const platform::DraggingInfo info = draggingInfo(*event);
        platform::runGuarded("VXDrawingView drag", [&] { operation = layer->draggingEntered(info); });
    }
    if (operation != kVXDragOperationNone)
        m_dropTarget = layer;
    answerDrag(*event, operation);
}

void VXDrawingView::dragMoveEvent(QDragMoveEvent* event)
{
    int operation = kVXDragOperationNone;
    if (m_dropTarget) {
        const platform::DraggingInfo info = draggingInfo(*event);
        platform::runGuarded("VXDrawingView drag", [&] { operation = m_dropTarget->draggingUpdated(info); });
    }
    answerDrag(*event, operation);
}

void VXDrawingView::dragLeaveEvent(QDragLeaveEvent* event)
{
    if (const QPointer<VXLayer> layer = std::exchange(m_dropTarget, nullptr))
        platform::runGuarded("VXDrawingView drag", [&] { layer->draggingExited({nullptr, {}, this}); });
    event->accept();
}

void VXDrawingView::dropEvent(QDropEvent* event)
{
    const QPointer<VXLayer> layer = std::exchange(m_dropTarget, nullptr);
    bool dropped = false;
    if (layer && event->mimeData()) {
        const platform::DraggingInfo info = draggingInfo(*event);
        platform::runGuarded("VXDrawingView drop", [&] {
            dropped = layer->prepareForDragOperation(info) && layer->performDragOperation(info);
        });
    }
    answerDrag(*event, dropped ? kVXDragOperationCopy : kVXDragOperationNone);
}

void VXDrawingView::mouseDoubleClickEvent(QMouseEvent* event)
{
    endTextEditing();
    if (platform::isContextClick(event->button(), event->modifiers()))
        return;
    const CurrentViewScope scope(this);
    platform::runGuarded("VXDrawingView mouse", [&] { m_toolController->mouseDown(event); });
}

// --- Editing the active object layer -------------------------------------------------------

void VXDrawingView::copy(QObject*) { layerEditing().copy(); }
void VXDrawingView::cut(QObject*) { layerEditing().cut(); }
void VXDrawingView::paste(QObject* sender)
{
    // Objects land in the layer; text goes to the selected objects that take it (their labels).
    platform::ObjectLayerEditing editing = layerEditing();
    if (editing.canPaste())
        editing.paste();
    else
        for (QObject* target : forwardingTargetsForAction("paste"))
            platform::ResponderChain::performAction(target, "paste", sender);
}
void VXDrawingView::delete_(QObject*) { layerEditing().deleteSelection(); }
void VXDrawingView::selectAll(QObject*) { layerEditing().selectAll(); }
void VXDrawingView::deselectAll(QObject*) { layerEditing().deselectAll(); }
void VXDrawingView::toggleHorizontalFlip(QObject*) { layerEditing().flip(Qt::Horizontal); }
void VXDrawingView::toggleVerticalFlip(QObject*) { layerEditing().flip(Qt::Vertical); }
void VXDrawingView::duplicate(QObject*) { layerEditing().duplicate(); }
void VXDrawingView::convertToPath(QObject*) { layerEditing().convertSelection(platform::ObjectLayerEditing::Conversion::ToPath); }
void VXDrawingView::convertToShape(QObject*) { layerEditing().convertSelection(platform::ObjectLayerEditing::Conversion::ToShape); }
void VXDrawingView::convertToShapeGroup(QObject*)
{
    layerEditing().convertSelection(platform::ObjectLayerEditing::Conversion::ToShapeGroup);
}
void VXDrawingView::convertToTextShape(QObject*)
{
    layerEditing().convertSelection(platform::ObjectLayerEditing::Conversion::ToTextShape);
}
void VXDrawingView::convertToTextPath(QObject*)
{
    layerEditing().convertSelection(platform::ObjectLayerEditing::Conversion::ToTextPath);
}

bool VXDrawingView::validateMenuItem(platform::MenuItem* item)
{
    const platform::ObjectLayerEditing editing = layerEditing();
    const QByteArray action = item->action();
    if (action == "copy" || action == "deselectAll")
        return editing.hasSelection();
    if (action == "cut" || action == "delete_" || action == "toggleHorizontalFlip" || action == "toggleVerticalFlip"
        || action == "duplicate")
        return editing.canRemoveSelection();
    if (action == "paste")
        return editing.canPaste() || selectionEnables(item);
    using Conversion = platform::ObjectLayerEditing::Conversion;
    static const QHash<QByteArray, Conversion> conversions{{"convertToPath", Conversion::ToPath},
                                                            {"convertToShape", Conversion::ToShape},
                                                            {"convertToShapeGroup", Conversion::ToShapeGroup},
                                                            {"convertToTextShape", Conversion::ToTextShape},
                                                            {"convertToTextPath", Conversion::ToTextPath}};
    if (conversions.contains(action))
        return editing.canConvertSelection(conversions.value(action));
    if (action == "selectAll")
        return editing.canSelectAll();
    return platform::ResponderChain::hasActionMethod(this, action) || selectionEnables(item);
}

bool VXDrawingView::selectionEnables(platform::MenuItem* item) const
{
    const QList<QObject*> targets = forwardingTargetsForAction(item->action());
    return std::any_of(targets.begin(), targets.end(), [&](QObject* target) {
        return platform::ResponderChain::respondsToAction(target, item->action()) && item->isEnabledBy(target);
    });
}

QList<QObject*> VXDrawingView::forwardingTargetsForAction(const QByteArray& action) const
{
    const auto* layer = m_drawing ? qobject_cast<VXObjectDrawingLayer*>(m_drawing->activeLayer()) : nullptr;
    QList<QObject*> targets;
    if (!layer)
        return targets;
    // Only objects that take the action: every action the chain is asked about passes the view,
    // and a million selected objects that take none of them were each asked again. Most actions
    // no selected class takes (validating a menu asks about each of its items).
    const QList<const QMetaObject*>& classes = layer->selectedClasses();
    if (std::none_of(classes.cbegin(), classes.cend(), [&](const QMetaObject* objectClass) {
            return platform::ResponderChain::classHasActionMethod(objectClass, action)
                || VXDrawableObject::classForwardsCommandsToParts(objectClass);
        }))
        return targets;
    const QMetaObject* askedClass = nullptr;
    bool classTakesIt = false;
    bool classForwards = false;
    QSet<const void*> sharedReceivers;
    for (const VXDrawableObjectPtr& object : layer->selectedAvailableObjects()) {
        if (const QMetaObject* objectClass = object->metaObject(); objectClass != askedClass) {
            askedClass = objectClass;
            classTakesIt = platform::ResponderChain::classHasActionMethod(objectClass, action);
            classForwards = VXDrawableObject::classForwardsCommandsToParts(objectClass);
        }
        if (!classTakesIt && !(classForwards && !object->forwardingTargetsForSelector(action).isEmpty()))
            continue;
        if (const void* shared = object->sharedReceiverKeyForAction(action)) {
            if (sharedReceivers.contains(shared))
                continue;
            sharedReceivers.insert(shared);
        }
        targets.append(object.get());
    }
    return targets;
}
