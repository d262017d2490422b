#include "windows/reposition/VLTMTransformAdjustmentView.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "windows/reposition/DashedFrame.h"
#include "windows/reposition/TransformAdjustmentGeometry.h"
#include "windows/reposition/VLTMTransformAdjustmentViewController.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

const QString kHelpIdentifier = QStringLiteral("Repositioning_Mode");
constexpr double kFrameWidth = 4.0;
constexpr qreal kDash[] = {12.0 / kFrameWidth, 8.0 / kFrameWidth}; // in pen widths
constexpr double kHandleOvalInset = 4.0;
// Past this many lines a way the grid is finer than the pixels it would cover.
constexpr double kMostGridLines = 2000;

// Whole points with a point to spare, for antialiased edges.
QRect pointsCovering(const QRectF& area)
{
    return area.toAlignedRect().adjusted(-1, -1, 1, 1);
}

bool isOptionHeld(Qt::KeyboardModifiers modifiers)
{
    return platform::modifierFlagsFromQt(modifiers) & platform::OptionKeyMask;
}

} // namespace

VLTMTransformAdjustmentView::VLTMTransformAdjustmentView(QWidget* host, const QRectF& bounds, BoundsToHost boundsToHost,
                                                         TransformAdjustmentDelegate* delegate)
    : TransformAdjustmentView(host)
    , m_bounds(bounds)
    , m_boundsToHost(std::move(boundsToHost))
    , m_delegate(delegate)
{
    setObjectName(QStringLiteral("transformAdjustmentView"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::OpenHandCursor);
    setGeometry(host->rect());
    host->installEventFilter(this);
    m_gridSize = adjustment::bestGridSize(m_bounds.size());
    adjust(QTransform(), initialHandlesRect());
    installControls();
    show();
    raise();
}

VLTMTransformAdjustmentView::~VLTMTransformAdjustmentView()
{
    removeControls();
}

VLTMTransformAdjustmentView* VLTMTransformAdjustmentView::overDrawingView(VXDrawingView& view, const QImage& preview,
                                                                          TransformAdjustmentDelegate* delegate)
{
    if (!view.drawing())
        return nullptr;
    const QPointer<VXDrawingView> shown(&view);
    const auto toViewport = [shown] {
        if (!shown)
            return QTransform();
        const QPointF origin = shown->convertPointFromDrawing(QPointF());
        return QTransform(shown->scale(), 0, 0, shown->scale(), origin.x(), origin.y());
    };
    auto* overlay = new VLTMTransformAdjustmentView(view.viewport(), view.drawing()->bounds(), toViewport, delegate);
    overlay->setPreviewImage(preview);
    return overlay;
}

VLTMTransformAdjustmentViewController* VLTMTransformAdjustmentView::controller() const
{
    return m_controller;
}

// --- Appearance ------------------------------------------------------------------------------------

void VLTMTransformAdjustmentView::setPreviewImage(const QImage& image)
{
    m_previewImage = image;
    fadePreview();
}

void VLTMTransformAdjustmentView::setPreviewOpacity(double opacity)
{
    m_previewOpacity = opacity;
    fadePreview();
}

void VLTMTransformAdjustmentView::fadePreview()
{
    // Faded once here: blending at an opacity on every paint costs several times a plain one.
    m_fadedPreview = QImage();
    if (!m_previewImage.isNull()) {
        m_fadedPreview = QImage(m_previewImage.size(), QImage::Format_ARGB32_Premultiplied);
        m_fadedPreview.setDevicePixelRatio(m_previewImage.devicePixelRatio());
        m_fadedPreview.fill(Qt::transparent);
        QPainter painter(&m_fadedPreview);
        painter.setOpacity(m_previewOpacity);
        painter.drawImage(QPointF(), m_previewImage);
    }
    update();
}

void VLTMTransformAdjustmentView::setBackgroundColour(const QColor& colour)
{
    m_backgroundColour = colour;
    update();
}

void VLTMTransformAdjustmentView::setGridColour(const QColor& colour)
{
    m_gridColour = colour;
    update();
}

void VLTMTransformAdjustmentView::setHandleColour(const QColor& colour)
{
    m_handleColour = colour;
    update();
}

void VLTMTransformAdjustmentView::setGridLineWidth(double width)
{
    m_gridLineWidth = width;
    update();
}

void VLTMTransformAdjustmentView::setHandleSize(QSizeF size)
{
    m_handleSize = size;
    update();
}

QCursor VLTMTransformAdjustmentView::cursorForHandleIndex(int handle)
{
    switch (handle) {
    case 0:
    case 3:
        return Qt::SizeFDiagCursor;
    case 1:
    case 2:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// --- Geometry --------------------------------------------------------------------------------------

QTransform VLTMTransformAdjustmentView::boundsToHost() const
{
    return m_boundsToHost ? m_boundsToHost() : QTransform();
}

QPointF VLTMTransformAdjustmentView::pointInBounds(QPointF widgetPoint) const
{
    return boundsToHost().inverted().map(widgetPoint);
}

QRectF VLTMTransformAdjustmentView::initialHandlesRect() const
{
    return adjustment::initialHandlesRect(m_bounds.size(), m_gridSize).translated(m_bounds.topLeft());
}

void VLTMTransformAdjustmentView::adjust(const QTransform& transform, const QRectF& handlesRect)
{
    // Outside the grid, the picture and the frame the overlay is a plain wash: a drag repaints
    // where those were and are.
    const QRect changed = drawnArea() | drawnArea(transform, handlesRect);
    m_transform = transform;
    m_handlesRect = handlesRect;
    update(changed);
    if (m_delegate)
        m_delegate->adjustmentViewDidChangeSelectionRect(*this, m_handlesRect);
}

QRect VLTMTransformAdjustmentView::drawnArea() const
{
    return drawnArea(m_transform, m_handlesRect);
}

QRect VLTMTransformAdjustmentView::drawnArea(const QTransform& transform, const QRectF& handlesRect) const
{
    return contentArea(transform) | frameArea(handlesRect);
}

QRect VLTMTransformAdjustmentView::contentArea(const QTransform& transform) const
{
    bool invertible = false;
    const QTransform back = transform.inverted(&invertible);
    if (!invertible)
        return rect();
    const QTransform shown = transform * boundsToHost();
    // The grid's lines cross what the bounds show, from the whole cell at or before its top left.
    const QRectF grid = back.mapRect(m_bounds).adjusted(-m_gridSize.width(), -m_gridSize.height(), 0, 0);
    const double lineReach = m_gridLineWidth * std::max(std::hypot(shown.m11(), shown.m12()),
                                                        std::hypot(shown.m21(), shown.m22()));
    return pointsCovering(shown.mapRect(grid).adjusted(-lineReach, -lineReach, lineReach, lineReach)) |
           pointsCovering(shown.mapRect(m_bounds));
}

QRect VLTMTransformAdjustmentView::frameArea(const QRectF& handlesRect) const
{
    const double reach = std::max({kFrameWidth, m_handleSize.width(), m_handleSize.height()}) / 2 + 1;
    return pointsCovering(boundsToHost().mapRect(handlesRect.adjusted(-reach, -reach, reach, reach)));
}

// --- Ending ----------------------------------------------------------------------------------------

void VLTMTransformAdjustmentView::commitAdjustmentAction(QObject*)
{
    endWithResponse(1);
}

void VLTMTransformAdjustmentView::cancelAdjustmentAction(QObject*)
{
    endWithResponse(0);
}

void VLTMTransformAdjustmentView::endWithResponse(int response)
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_delegate)
        m_delegate->adjustmentViewDidEndWithResponse(*this, response);
    removeControls();
    hide();
    deleteLater();
}

void VLTMTransformAdjustmentView::resetAdjustmentAction(QObject*)
{
    adjust(QTransform(), initialHandlesRect());
    if (m_controller)
        m_controller->setCommitControlEnabled(false);
}

void VLTMTransformAdjustmentView::adjustmentHelpAction(QObject*)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(kHelpIdentifier);
}

// --- Controls --------------------------------------------------------------------------------------

void VLTMTransformAdjustmentView::installControls()
{
    QWidget* host = m_delegate ? m_delegate->hostingViewForAdjustmentControls(*this) : nullptr;
    if (!host)
        host = this;
    m_controller = new VLTMTransformAdjustmentViewController(this);
    m_controller->setParent(host);
    if (host != this)
        host->installEventFilter(this);
    placeControls();
    m_controller->show();
}

void VLTMTransformAdjustmentView::placeControls()
{
    if (!m_controller || !m_controller->parentWidget())
        return;
    const QWidget* host = m_controller->parentWidget();
    const int height = m_controller->sizeHint().height();
    m_controller->setGeometry(0, (host->height() - height) / 2 - 1, host->width(), height);
}

void VLTMTransformAdjustmentView::removeControls()
{
    delete m_controller;
}

bool VLTMTransformAdjustmentView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == parentWidget())
            setGeometry(parentWidget()->rect());
        else if (m_controller && watched == m_controller->parentWidget())
            placeControls();
    }
    return TransformAdjustmentView::eventFilter(watched, event);
}

// --- Drawing ---------------------------------------------------------------------------------------

void VLTMTransformAdjustmentView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), m_backgroundColour);
    const QTransform toHost = boundsToHost();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setTransform(m_transform * toHost);
    if (!m_fadedPreview.isNull())
        painter.drawImage(m_bounds, m_fadedPreview);
    drawGrid(painter);
    painter.setTransform(toHost);
    drawHandles(painter);
}

void VLTMTransformAdjustmentView::drawGrid(QPainter& painter) const
{
    bool invertible = false;
    const QTransform back = m_transform.inverted(&invertible);
    if (!invertible || m_gridSize.isEmpty())
        return;
    const QRectF area = back.mapRect(m_bounds);
    const double firstColumn = std::floor(area.left() / m_gridSize.width());
    const double lastColumn = std::ceil(area.right() / m_gridSize.width()) - 1;
    const double firstRow = std::floor(area.top() / m_gridSize.height());
    const double lastRow = std::ceil(area.bottom() / m_gridSize.height()) - 1;
    if (lastColumn - firstColumn > kMostGridLines || lastRow - firstRow > kMostGridLines)
        return;
    painter.setPen(QPen(m_gridColour, m_gridLineWidth));
    for (double column = firstColumn; column <= lastColumn; ++column) {
        const double x = column * m_gridSize.width();
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
    for (double row = firstRow; row <= lastRow; ++row) {
        const double y = row * m_gridSize.height();
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
}

void VLTMTransformAdjustmentView::drawHandles(QPainter& painter) const
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, kFrameWidth));
    painter.drawRect(m_handlesRect);
    QPen dash(m_unlocked ? Qt::green : Qt::red, kFrameWidth);
    dash.setDashPattern({kDash[0], kDash[1]});
    adjustment::strokeDashedRect(painter, m_handlesRect, dash);
    for (int handle = 0; handle < 4; ++handle) {
        const QRectF rect = adjustment::rectOfHandle(m_handlesRect, handle, m_handleSize);
        painter.fillRect(rect, QColor::fromRgbF(0.7, 0.7, 0.7, 0.5));
        painter.setPen(QPen(m_handleColour, 1.0));
        painter.drawRect(rect);
        painter.setPen(QPen(m_handleColour, 0.5));
        painter.drawEllipse(rect.adjusted(kHandleOvalInset, kHandleOvalInset, -kHandleOvalInset, -kHandleOvalInset));
        painter.setPen(QPen(m_handleColour, 1.0));
        painter.drawLine(rect.topLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomLeft());
    }
}

// --- Tracking --------------------------------------------------------------------------------------

void VLTMTransformAdjustmentView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_tracking != Tracking::None) {
        event->ignore();
        return;
    }
    const QPointF point = pointInBounds(event->position());
    m_trackedHandle = adjustment::handleAtPoint(m_handlesRect, point, m_handleSize);
    m_tracking = m_trackedHandle < 0 ? Tracking::Pan : Tracking::Handle;
    m_unlocked = isOptionHeld(event->modifiers());
    m_lastPoint = point;
    m_dragRatio = m_handlesRect.height() / m_handlesRect.width();
    setCursor(m_tracking == Tracking::Pan ? QCursor(Qt::ClosedHandCursor) : cursorForHandleIndex(m_trackedHandle));
    update(drawnArea());
}

void VLTMTransformAdjustmentView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF point = pointInBounds(event->position());
    if (m_tracking == Tracking::Pan)
        panTo(point);
    else if (m_tracking == Tracking::Handle)
        dragHandleTo(point, event->modifiers() & Qt::ShiftModifier);
    else
        updateCursor(point);
}

void VLTMTransformAdjustmentView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_tracking == Tracking::None)
        return;
    mouseMoveEvent(event);
    m_tracking = Tracking::None;
    m_trackedHandle = -1;
    updateCursor(pointInBounds(event->position()));
    flagsChanged(event->modifiers());
    if (m_controller)
        m_controller->setCommitControlEnabled(!m_transform.isIdentity());
}

void VLTMTransformAdjustmentView::panTo(QPointF point)
{
    const QPointF delta = point - m_lastPoint;
    if (delta.isNull())
        return;
    adjust(m_unlocked ? m_transform : m_transform * QTransform::fromTranslate(delta.x(), delta.y()),
           m_handlesRect.translated(delta));
    m_lastPoint = point;
}

void VLTMTransformAdjustmentView::dragHandleTo(QPointF point, bool keepRatio)
{
    const QRectF dragged = adjustment::draggedHandlesRect(m_handlesRect, m_trackedHandle, point,
                                                          keepRatio ? std::optional(m_dragRatio) : std::nullopt,
                                                          m_handleSize);
    if (dragged == m_handlesRect)
        return;
    if (m_unlocked) {
        adjust(m_transform, dragged);
        return;
    }
    const QPointF anchor = adjustment::cornerOfHandle(m_handlesRect, 3 - m_trackedHandle);
    const QTransform adjusted = m_transform * adjustment::scaleAbout(anchor, m_handlesRect, dragged);
    // A map flattened to nothing could not be brought back.
    if (adjusted.isInvertible())
        adjust(adjusted, dragged);
}

void VLTMTransformAdjustmentView::updateCursor(QPointF point)
{
    const int handle = adjustment::handleAtPoint(m_handlesRect, point, m_handleSize);
    setCursor(handle < 0 ? QCursor(Qt::OpenHandCursor) : cursorForHandleIndex(handle));
}

void VLTMTransformAdjustmentView::flagsChanged(Qt::KeyboardModifiers modifiers)
{
    const bool unlocked = isOptionHeld(modifiers);
    if (unlocked == m_unlocked)
        return;
    m_unlocked = unlocked;
    update(drawnArea());
}

void VLTMTransformAdjustmentView::keyPressEvent(QKeyEvent* event)
{
    flagsChanged(event->modifiers());
    TransformAdjustmentView::keyPressEvent(event);
}

void VLTMTransformAdjustmentView::keyReleaseEvent(QKeyEvent* event)
{
    flagsChanged(event->modifiers());
    TransformAdjustmentView::keyReleaseEvent(event);
}
