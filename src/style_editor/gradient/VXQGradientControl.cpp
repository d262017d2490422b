#include "style_editor/gradient/VXQGradientControl.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColourPanel.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/ZQInfoFloater.h"
#include "style_editor/gradient/DisappearingItemEffect.h"
#include "style_editor/gradient/VXQProxyColourWell.h"
#include "widgets/colour/ColourSwatch.h"
#include "widgets/paint/KitImage.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr double kInteriorInsetX = 9;
constexpr double kInteriorInsetY = 1;
constexpr double kBarOutset = 8;
constexpr double kSafeZoneOutsetX = 32;
constexpr double kSafeZoneOutsetY = 7;

void paintGradient(QPainter& painter, const QRectF& rect, const VXGradient& gradient, bool vertical)
{
    QLinearGradient fill(rect.topLeft(), vertical ? rect.bottomLeft() : rect.topRight());
    fill.setStops(gradient.gradientStops());
    painter.fillRect(rect, fill);
}

// Swatch boxes sharing an x range split the full height, first index on top; boxes are
// changed in place, so later indexes see what earlier ones left.
void splitOverlappingBoxes(QList<QRectF>& boxes, double top, double fullHeight)
{
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        QList<qsizetype> group{i};
        QRectF reference = boxes[i];
        for (qsizetype j = 0; j < boxes.size(); ++j) {
            if (j != i && boxes[j].intersects(reference)) {
                group.append(j);
                reference = boxes[j];
            }
        }
        if (group.size() < 2)
            continue;
        std::sort(group.begin(), group.end());
        const double height = fullHeight / double(group.size());
        for (qsizetype k = 0; k < group.size(); ++k) {
            QRectF& box = boxes[group[k]];
            box = QRectF(box.x(), top + double(k) * height, box.width(), height);
        }
    }
}

} // namespace

VXQGradientControl::VXQGradientControl(QWidget* parent)
    : QWidget(parent)
    , m_infoWin(ZQInfoFloater::infoFloater())
{
    m_infoWin->setFormat(QStringLiteral("0.0%"));
    m_proxyColourWell = new VXQProxyColourWell(this);
    m_proxyColourWell->setDelegate(this);
    m_proxyColourWell->setTarget(this);
    m_proxyColourWell->setAction("changeColor");
    m_menu = new platform::Menu(QString(), this);
    const auto addItem = [this](const QString& title, const QByteArray& action) {
        auto* item = new platform::MenuItem(title, action, m_menu);
        item->setTarget(this);
        m_menu->addAction(item);
    };
    addItem(tr("New Stop"), "newStop");
    addItem(tr("Remove Stop"), "removeStop");
    addItem(tr("Flip Gradient"), "flip");
    setAcceptDrops(true);
    setMinimumHeight(12);
}

VXQGradientControl::~VXQGradientControl()
{
    if (platform::ColourPanel::sharedColorPanelExists()
        && platform::ColourPanel::sharedColorPanel()->target() == this)
        platform::ColourPanel::sharedColorPanel()->setTarget(nullptr);
    m_proxyColourWell->setDelegate(nullptr);
}

// --- The gradient ------------------------------------------------------------------------------------------

VXGradientPtr VXQGradientControl::gradient() const
{
    if (!m_gradient && m_stops.size() >= 2) {
        QList<VXGradient::ColourStop> stops;
        for (const VXQColourStopPtr& stop : m_stops)
            stops.append({stop->colour(), stop->position()});
        m_gradient = VXGradient::gradientWithColourStops(stops);
    }
    return m_gradient;
}

void VXQGradientControl::setGradient(const VXGradientPtr& gradient)
{
    if (m_sendingAction || (gradient && gradient == m_gradient))
        return;
    m_gradient = gradient;
    m_stops.clear();
    if (gradient)
        for (const VXGradient::ColourStop& stop : gradient->colourStops())
            m_stops.append(VXQColourStop::colourStopWithColour(stop.colour, float(stop.position)));
    m_selectedStop.reset();
    m_dragStop.reset();
    m_deletionCandidate.reset();
    invalidate();
    update();
}

void VXQGradientControl::sendAction()
{
    m_sendingAction = true;
    m_gradient.reset();
    platform::Application::sendActionToFrom(m_action, m_target, this);
    m_sendingAction = false;
}

// --- Geometry ------------------------------------------------------------------------------------------------

QRectF VXQGradientControl::interior() const
{
    return QRectF(rect()).adjusted(kInteriorInsetX, kInteriorInsetY, -kInteriorInsetX, -kInteriorInsetY);
}

QRectF VXQGradientControl::bar() const
{
    return interior().adjusted(-kBarOutset, 0, kBarOutset, 0);
}

QRectF VXQGradientControl::swatchBoxAtPosition(double position) const
{
    const QRectF r = interior().adjusted(0, -1, 0, 1);
    return QRectF(r.x() + position * r.width() - kSwatchWidth / 2, r.y(), kSwatchWidth, r.height());
}

std::optional<double> VXQGradientControl::relativeXWithPoint(QPointF point) const
{
    const QRectF inside = interior();
    if (inside.width() <= 0 || inside.height() <= 0)
        return std::nullopt;
    return std::clamp((point.x() - inside.x()) / inside.width(), 0.0, 1.0);
}

QRectF VXQGradientControl::safeZone() const
{
    return QRectF(rect()).adjusted(-kSafeZoneOutsetX, -kSafeZoneOutsetY, kSafeZoneOutsetX, kSafeZoneOutsetY);
}

const QList<QRectF>& VXQGradientControl::allSwatchBoxes() const
{
    if (!m_swatchBoxes) {
        QList<QRectF> boxes;
        for (const VXQColourStopPtr& stop : m_stops)
            boxes.append(swatchBoxAtPosition(stop->position()));
        const QRectF full = swatchBoxAtPosition(0);
        splitOverlappingBoxes(boxes, full.y(), full.height());
        m_swatchBoxes = std::move(boxes);
    }
    return *m_swatchBoxes;
}

QRectF VXQGradientControl::swatchRectForStop(const VXQColourStop* stop) const
{
    for (qsizetype i = 0; i < m_stops.size(); ++i)
        if (m_stops[i].get() == stop)
            return allSwatchBoxes().at(i);
    return {};
}

void VXQGradientControl::invalidate()
{
    m_swatchBoxes.reset();
}

// --- Stops ------------------------------------------------------------------------------------------------------

VXQColourStopPtr VXQGradientControl::retained(const VXQColourStop* stop) const
{
    for (const VXQColourStopPtr& each : m_stops)
        if (each.get() == stop)
            return each;
    return nullptr;
}

VXQColourStop* VXQGradientControl::stopAtPoint(QPointF point) const
{
    const QList<QRectF>& boxes = allSwatchBoxes();
    for (qsizetype i = 0; i < boxes.size(); ++i)
        if (boxes[i].contains(point))
            return m_stops[i].get();
    return nullptr;
}

QColor VXQGradientControl::colorAtPoint(QPointF point) const
{
    const VXGradientPtr shown = gradient();
    const std::optional<double> position = relativeXWithPoint(point);
    return shown && position ? shown->interpolatedColourAtPosition(*position) : QColor();
}

VXQColourStop* VXQGradientControl::addColorStopAtPointForceNew(const QColor& colour, QPointF point, bool forceNew)
{
    if (!forceNew) {
        if (VXQColourStop* stop = stopAtPoint(point)) {
            stop->setColour(colour);
            sendAction();
            update();
            return stop;
        }
    }
    const std::optional<double> position = relativeXWithPoint(point);
    if (!position)
        return nullptr;
    QColor added = colour.isValid() ? colour : colorAtPoint(point);
    if (!added.isValid())
        added = Qt::white;
    m_stops.append(VXQColourStop::colourStopWithColour(added, float(*position)));
    invalidate();
    update();
    sendAction();
    return m_stops.last().get();
}

VXQColourStop* VXQGradientControl::addColorStopAtPoint(const QColor& colour, QPointF point)
{
    return addColorStopAtPointForceNew(colour, point, !colour.isValid());
}

void VXQGradientControl::removeColorStopAtPoint(QPointF point)
{
    if (VXQColourStopPtr stop = retained(stopAtPoint(point)))
        removeStopAndSendAction(stop);
}

void VXQGradientControl::removeStopAndSendAction(VXQColourStopPtr stop)
{
    if (stop == m_selectedStop)
        setSelectedStop(nullptr);
    if (stop == m_dragStop)
        m_dragStop.reset();
    m_stops.removeOne(stop);
    invalidate();
    update();
    sendAction();
}

void VXQGradientControl::setSelectedStop(VXQColourStop* stop)
{
    if (stop == m_selectedStop.get())
        return;
    update(swatchRectForStop(m_selectedStop.get()).toAlignedRect());
    m_selectedStop = retained(stop);
    if (!m_selectedStop) {
        m_proxyColourWell->deactivate();
        return;
    }
    platform::ColourPanel* panel = platform::ColourPanel::sharedColorPanel();
    panel->setTarget(nullptr);
    m_proxyColourWell->setColor(m_selectedStop->colour());
    panel->setColor(m_selectedStop->colour());
    panel->setTarget(this);
    panel->setAction("changeColor");
    // Selecting ties the panel to the stop without bringing it up; a click does that.
    const bool wasDisabled = platform::ColourPanel::isPanelDisabled();
    platform::ColourPanel::disablePanel();
    m_proxyColourWell->activate(true);
    if (!wasDisabled)
        platform::ColourPanel::enablePanel();
    update(swatchRectForStop(stop).toAlignedRect());
}

void VXQGradientControl::setColorOfSelectedStop(const QColor& colour)
{
    if (!m_selectedStop || !colour.isValid())
        return;
    m_selectedStop->setColour(colour);
    sendAction();
    update();
}

void VXQGradientControl::deactivate()
{
    update(swatchRectForStop(m_selectedStop.get()).toAlignedRect());
    m_selectedStop.reset();
    platform::ColourPanel* panel = platform::ColourPanel::sharedColorPanel();
    if (panel->target() == this)
        panel->setTarget(nullptr);
}

void VXQGradientControl::changeColor(QObject* sender)
{
    platform::ColourPanel* panel = platform::ColourPanel::sharedColorPanel();
    QColor colour;
    if (auto* well = qobject_cast<platform::ColourWell*>(sender))
        colour = well->color();
    else if (sender == panel)
        colour = panel->color();
    setColorOfSelectedStop(colour);
    if (sender != panel && colour.isValid())
        panel->setColor(colour);
}

// --- Commands --------------------------------------------------------------------------------------------------

void VXQGradientControl::newStop(QObject*)
{
    if (!isEnabled())
        return;
    const QPointF at = m_stopInsertHint.isNull() ? QRectF(rect()).center() : m_stopInsertHint;
    if (VXQColourStop* stop = addColorStopAtPointForceNew(colorAtPoint(at), at, true)) {
        setSelectedStop(stop);
        platform::ColourPanel::sharedColorPanel()->orderFront(this);
    }
}

void VXQGradientControl::removeStop(QObject*)
{
    if (!mayRemoveStops() || !m_selectedStop)
        return;
    removeStopAndSendAction(m_selectedStop);
}

void VXQGradientControl::flip(QObject*)
{
    for (const VXQColourStopPtr& stop : std::as_const(m_stops))
        stop->setPosition(1.0f - stop->position());
    m_gradient.reset();
    invalidate();
    update();
    sendAction();
}

bool VXQGradientControl::validateMenuItem(platform::MenuItem* item)
{
    if (item->action() == "newStop")
        return isEnabled();
    if (item->action() == "removeStop")
        return isEnabled() && mayRemoveStops() && m_selectedStop;
    return metaObject()->indexOfMethod(QByteArray(item->action() + "(QObject*)").constData()) >= 0;
}

// --- Drawing ----------------------------------------------------------------------------------------------------

void VXQGradientControl::drawStopInRectState(QPainter& painter, const VXQColourStop& stop, const QRectF& box,
                                             StopState state) const
{
    const double inset = std::max(2, int(box.height() / 10));
    const QRectF inner = QRectF(box.adjusted(inset, inset, -inset, -inset).toAlignedRect());
    const VXGradientPtr chrome = state == kStopPressed    ? VXGradient::unifiedDarkGradient()
                                 : state == kStopSelected ? VXGradient::sourceListSelectedGradient()
                                                          : VXGradient::unifiedNormalGradient();
    paintGradient(painter, box, *chrome, true);
    QPainterPath swatch;
    swatch.addRect(inner);
    fillWithColourOverChequer(painter, swatch, stop.colour());
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::darkGray, 0.5));
    painter.drawRect(box);
    painter.setPen(QPen(Qt::darkGray, 0.25));
    painter.drawRect(inner);
}

void VXQGradientControl::drawStopsInRect(QPainter& painter, const QRectF& dirty) const
{
    const QList<QRectF>& boxes = allSwatchBoxes();
    for (qsizetype i = 0; i < m_stops.size(); ++i) {
        const VXQColourStopPtr& stop = m_stops[i];
        if (stop == m_deletionCandidate || !boxes[i].intersects(dirty))
            continue;
        StopState state = kStopNormal;
        if (stop == m_selectedStop || stop == m_dragStop)
            state = m_mouseDownInStop ? kStopPressed : kStopSelected;
        drawStopInRectState(painter, *stop, boxes[i], state);
    }
}

void VXQGradientControl::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRectF bounds = rect();
    if (m_dragHilite) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
        painter.drawRect(bounds.adjusted(1.5, 1.5, -1.5, -1.5));
    }
    painter.setPen(QPen(isEnabled() ? Qt::gray : Qt::lightGray, 1));
    painter.drawRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.fillRect(bar(), chequeredPatternBrush(devicePixelRatioF()));
    if (const VXGradientPtr shown = gradient())
        paintGradient(painter, bar(), *shown, false);
    if (isEnabled())
        drawStopsInRect(painter, event->rect());
}

QImage VXQGradientControl::dragImageForStop(const VXQColourStop& stop) const
{
    const QSizeF size = swatchBoxAtPosition(0).size();
    QImage image(KitImage::pixelSizeFor(size, devicePixelRatioF()), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(devicePixelRatioF());
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawStopInRectState(painter, stop, QRectF(QPointF(), size), kStopNormal);
    return image;
}

QCursor VXQGradientControl::makeCursorForDeletingStop(const VXQColourStop* stop)
{
    if (stop && stop == m_deletionCursorStop)
        return m_deletionCursor;
    const QSizeF cursorSize = DisappearingItemEffect::kCursorSize;
    const QPointF hotSpot(cursorSize.width() / 2, cursorSize.height() / 2);
    const QImage stopImage = stop ? dragImageForStop(*stop) : QImage();
    const QSizeF stopSize = stopImage.deviceIndependentSize();
    const QRectF stopRect(hotSpot - QPointF(stopSize.width() / 2, stopSize.height() / 2), stopSize);
    const QRectF all = stopRect.united(QRectF(QPointF(), cursorSize));
    QImage composite(all.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    composite.fill(Qt::transparent);
    {
        QPainter painter(&composite);
        painter.translate(-all.topLeft());
        painter.setOpacity(0.5);
        if (!stopImage.isNull())
            painter.drawImage(stopRect, stopImage);
        painter.setOpacity(1.0);
        imageNamed(QStringLiteral("DisappearingItemCursor")).drawInRect(painter, QRectF(QPointF(), cursorSize));
    }
    const QPointF centre = stopRect.center() - all.topLeft();
    m_deletionCursor = QCursor(QPixmap::fromImage(composite), int(centre.x()), int(centre.y()));
    m_deletionCursorStop = stop;
    return m_deletionCursor;
}

bool VXQGradientControl::setCursorInSafeLocation(QPointF point)
{
    const bool safe = safeZone().contains(point) || !mayRemoveStops();
    setCursor(safe || !m_dragStop ? QCursor(Qt::ArrowCursor) : makeCursorForDeletingStop(m_dragStop.get()));
    return safe;
}

void VXQGradientControl::updateInfoWithPosition(double position)
{
    m_infoWin->setDoubleValue(position);
    if (m_dragStop)
        m_infoWin->positionNearPointInView(swatchRectForStop(m_dragStop.get()).topLeft(), this);
}

// --- Events ------------------------------------------------------------------------------------------------------

void VXQGradientControl::resizeEvent(QResizeEvent* event)
{
    invalidate();
    QWidget::resizeEvent(event);
}

void VXQGradientControl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

void VXQGradientControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    update(swatchRectForStop(m_selectedStop.get()).toAlignedRect());
    m_dragStop = retained(stopAtPoint(event->position()));
    m_stopWasDragged = false;
    if (m_dragStop) {
        Q_EMIT trackingDidBegin();
        m_mouseDownInStop = true;
        if (m_showsInfo) {
            updateInfoWithPosition(m_dragStop->position());
            m_infoWin->show();
        }
        update(swatchRectForStop(m_dragStop.get()).toAlignedRect());
    }
}

void VXQGradientControl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragStop || !(event->buttons() & Qt::LeftButton))
        return;
    std::optional<double> position = relativeXWithPoint(event->position());
    if (!position)
        return;
    if (setCursorInSafeLocation(event->position())) {
        m_deletionCandidate.reset();
        if (m_showsInfo)
            m_infoWin->show();
        if (event->modifiers() & Qt::ShiftModifier)
            position = std::round(*position * 100) / 100;
        m_dragStop->setPosition(float(*position));
        invalidate();
        updateInfoWithPosition(*position);
        sendAction();
        m_stopWasDragged = true;
    } else {
        m_deletionCandidate = m_dragStop;
        m_infoWin->orderOut(this);
    }
    update();
}

void VXQGradientControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_mouseDownInStop = false;
    m_infoWin->hide();
    const VXQColourStopPtr stop = std::exchange(m_dragStop, nullptr);
    if (stop) {
        if (!safeZone().contains(event->position()) && mayRemoveStops()) {
            removeStopAndSendAction(stop);
            DisappearingItemEffect::showAtPoint(event->globalPosition().toPoint());
            setCursor(Qt::ArrowCursor);
        } else if (stop == m_selectedStop && !m_stopWasDragged) {
            setSelectedStop(nullptr);
        } else {
            setSelectedStop(stop.get());
            if (!m_stopWasDragged)
                platform::ColourPanel::sharedColorPanel()->orderFront(this);
        }
    }
    m_deletionCandidate.reset();
    update();
    if (stop)
        Q_EMIT trackingDidEnd();
}

void VXQGradientControl::contextMenuEvent(QContextMenuEvent* event)
{
    m_stopInsertHint = event->pos();
    m_menu->exec(event->globalPos());
    m_stopInsertHint = QPointF();
}

void VXQGradientControl::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData()->hasColor())
        return;
    m_dragHilite = true;
    update();
    event->acceptProposedAction();
}

void VXQGradientControl::dragLeaveEvent(QDragLeaveEvent*)
{
    m_dragHilite = false;
    update();
}

void VXQGradientControl::dropEvent(QDropEvent* event)
{
    m_dragHilite = false;
    update();
    const QColor colour = qvariant_cast<QColor>(event->mimeData()->colorData());
    if (!colour.isValid()) {
        event->ignore();
        return;
    }
    setSelectedStop(addColorStopAtPoint(colour, event->position()));
    event->acceptProposedAction();
}
