#include "widgets/colour/ZQColourPickerView.h"

#include "platform/graphics/ColourUtilities.h"
#include "platform/ui/ZQInfoFloater.h"
#include "widgets/colour/ColourWheel.h"
#include "widgets/colour/WebSafeColours.h"
#include "widgets/tracking/WheelDelta.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kSpectrumMarkerSize = 8.0;
constexpr double kWheelClipInset = 5.0;

bool isSwatchIndex(double coordinate, int count)
{
    return coordinate >= 0 && coordinate < count;
}

} // namespace

ZQColourPickerView::ZQColourPickerView(QWidget* parent)
    : QWidget(parent)
    , m_infWin(ZQInfoFloater::infoFloater())
{
    resize(225, 225);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_infWin->setWindowOffset({0, 0});
    // Set directly: nothing is listening yet, and an action now would climb the chain.
    m_nonSelectColour = QColor::fromRgbF(0.5f, 0.5f, 0.5f);
    m_bright = m_nonSelectColour.valueF();
}

ZQColourPickerView::~ZQColourPickerView() = default;

void ZQColourPickerView::setMode(int mode)
{
    if (mode == m_mode && mode == m_originalMode)
        return;
    m_mode = mode;
    m_originalMode = mode;
    update();
}

void ZQColourPickerView::setColorForUndefinedSelection(const QColor& colour)
{
    if (!colour.isValid())
        return;
    m_nonSelectColour = colour.toRgb();
    setBrightness(m_nonSelectColour.valueF());
}

void ZQColourPickerView::setBrightness(double brightness)
{
    if (std::isnan(brightness))
        return;
    brightness = std::clamp(brightness, 0.0, 1.0);
    if (brightness == m_bright)
        return;
    m_bright = brightness;
    update();
    if (m_mode == SpectrumMode)
        sendToTarget();
}

QColor ZQColourPickerView::color() const
{
    if (m_mode == SpectrumMode)
        return colorForSpectrumPoint(m_sel);
    if (isSwatchIndex(m_sel.x(), kSwatchColumns) && isSwatchIndex(m_sel.y(), kSwatchRows))
        return colorForSwatchXY(int(m_sel.x()), int(m_sel.y()));
    return m_nonSelectColour;
}

QColor ZQColourPickerView::colorForSwatchXY(int x, int y) const
{
    const QList<QColor>& colours = webSafeColours();
    if (colours.isEmpty())
        return {};
    return colours[(kSwatchColumns * y + x) % colours.size()];
}

QPointF ZQColourPickerView::swatchAtPoint(const QPointF& point) const
{
    const QRectF bounds = rect();
    if (!bounds.contains(point) || point.x() >= bounds.width() || point.y() >= bounds.height())
        return kNoSelection;
    return QPointF(std::trunc(point.x() * kSwatchColumns / bounds.width()),
                   std::trunc(point.y() * kSwatchRows / bounds.height()));
}

QRectF ZQColourPickerView::rectForSwatch(const QPointF& selection) const
{
    if (m_mode == SpectrumMode)
        return rectForSpectrumPoint(selection);
    const double cw = std::trunc(width() / double(kSwatchColumns));
    const double ch = std::trunc(height() / double(kSwatchRows));
    return QRectF(1 + selection.x() * cw, 1 + selection.y() * ch, cw, ch);
}

QRectF ZQColourPickerView::swatchDrawingRect(int x, int y) const
{
    const double cw = std::trunc(width() / double(kSwatchColumns));
    const double ch = std::trunc(height() / double(kSwatchRows));
    return QRectF(1 + x * cw, 1 + y * ch, cw - 1, ch - 1);
}

QColor ZQColourPickerView::colorForSpectrumPoint(const QPointF& point) const
{
    const ColourWheel wheel(rect());
    if (!wheel.contains(point))
        return m_nonSelectColour;
    return wheel.colourAt(point, m_bright);
}

QPointF ZQColourPickerView::pointForSpectrumColor(const QColor& colour) const
{
    return ColourWheel(rect()).pointForColour(colour);
}

bool ZQColourPickerView::pointIsInColourwheel(const QPointF& point) const
{
    return ColourWheel(rect()).contains(point);
}

QRectF ZQColourPickerView::rectForSpectrumPoint(const QPointF& point) const
{
    return QRectF(point.x() - kSpectrumMarkerSize / 2, point.y() - kSpectrumMarkerSize / 2, kSpectrumMarkerSize,
                  kSpectrumMarkerSize);
}

void ZQColourPickerView::flagsChanged(Qt::KeyboardModifiers modifiers)
{
    const int shown = modifiers & Qt::AltModifier ? (m_originalMode == SpectrumMode ? SwatchMode : SpectrumMode)
                                                  : m_originalMode;
    if (shown == m_mode)
        return;
    m_mode = shown;
    update();
}

void ZQColourPickerView::mouseDragged(const QPointF& point)
{
    select(m_mode == SwatchMode ? swatchAtPoint(point) : point);
    if (m_mode == SpectrumMode && !pointIsInColourwheel(point)) {
        m_sel = pointForSpectrumColor(m_nonSelectColour);
        setBrightness(m_nonSelectColour.valueF());
        update(rectForSpectrumPoint(m_sel).toAlignedRect());
    }
    if (m_showsInfo)
        updateInfoAtPoint(kNoSelection);
}

QSize ZQColourPickerView::sizeHint() const
{
    return {225, 225};
}

void ZQColourPickerView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRectF dirty = event->rect();
    painter.setClipRect(dirty);
    painter.fillRect(dirty, palette().color(QPalette::Window));
    if (m_mode == SpectrumMode)
        drawSpectrum(painter, dirty);
    else
        drawSwatches(painter, dirty);
}

void ZQColourPickerView::drawSwatches(QPainter& painter, const QRectF& dirty) const
{
    const bool selected = isSwatchIndex(m_sel.x(), kSwatchColumns) && isSwatchIndex(m_sel.y(), kSwatchRows);
    for (int y = 0; y < kSwatchRows; ++y) {
        for (int x = 0; x < kSwatchColumns; ++x) {
            const QRectF swatch = swatchDrawingRect(x, y);
            if (!swatch.intersects(dirty))
                continue;
            const QColor colour = colorForSwatchXY(x, y);
            if (colour.isValid())
                painter.fillRect(swatch, colour);
            if (selected && int(m_sel.x()) == x && int(m_sel.y()) == y) {
                painter.setPen(QPen(Qt::black, 2.0));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(swatch);
            }
        }
    }
}

void ZQColourPickerView::drawSpectrum(QPainter& painter, const QRectF& dirty) const
{
    painter.save();
    QPainterPath clip;
    clip.addEllipse(QRectF(rect()).adjusted(kWheelClipInset, kWheelClipInset, -kWheelClipInset, -kWheelClipInset));
    painter.setClipPath(clip, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_bright < 1.0)
        painter.fillRect(dirty, Qt::black);
    const QImage wheel = ColourWheel::image(size(), painter.device()->devicePixelRatioF());
    if (!wheel.isNull()) {
        painter.setOpacity(m_bright);
        painter.drawImage(QRectF(rect()), wheel);
        painter.setOpacity(1.0);
    }
    painter.restore();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(platform::contrastingColor(color()), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(rectForSpectrumPoint(m_sel).adjusted(0.5, 0.5, -0.5, -0.5));
}

void ZQColourPickerView::mousePressEvent(QMouseEvent* event)
{
    if (m_showsInfo) {
        m_infWin->show();
        m_infWin->raise();
        updateInfoAtPoint(QPointF(0, 0));
    }
    mouseDragged(event->position());
}

void ZQColourPickerView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton)
        mouseDragged(event->position());
}

void ZQColourPickerView::mouseReleaseEvent(QMouseEvent*)
{
    m_infWin->orderOut(this);
}

void ZQColourPickerView::wheelEvent(QWheelEvent* event)
{
    if (m_mode != SpectrumMode)
        return;
    // With Alt held (the other mode's key) the window system turns the wheel sideways.
    const double notches = event->angleDelta().y() != 0 ? wheelDeltaY(*event) : event->angleDelta().x() / 120.0;
    setBrightness(m_bright - float(notches) / kBrightnessScrollDivisor);
    if (m_showsInfo)
        updateInfoAtPoint(kNoSelection);
}

void ZQColourPickerView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Alt:
        flagsChanged(event->modifiers() | Qt::AltModifier);
        return;
    case Qt::Key_Left:
        return moveSwatchSelection(-1, 0);
    case Qt::Key_Right:
        return moveSwatchSelection(1, 0);
    case Qt::Key_Up:
        return moveSwatchSelection(0, -1);
    case Qt::Key_Down:
        return moveSwatchSelection(0, 1);
    case Qt::Key_Escape:
        select(m_mode == SpectrumMode ? pointForSpectrumColor(m_nonSelectColour) : kNoSelection);
        setBrightness(m_nonSelectColour.valueF());
        event->ignore(); // a host closes on it too
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ZQColourPickerView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        flagsChanged(event->modifiers() & ~Qt::AltModifier);
    else
        QWidget::keyReleaseEvent(event);
}

void ZQColourPickerView::hideEvent(QHideEvent* event)
{
    m_infWin->orderOut(this);
    QWidget::hideEvent(event);
}

void ZQColourPickerView::select(const QPointF& selection)
{
    if (selection == m_sel)
        return;
    update(rectForSwatch(m_sel).toAlignedRect());
    m_sel = selection;
    update(rectForSwatch(m_sel).toAlignedRect());
    sendToTarget();
}

void ZQColourPickerView::moveSwatchSelection(int dx, int dy)
{
    if (m_mode != SwatchMode)
        return;
    if (!isSwatchIndex(m_sel.x(), kSwatchColumns) || !isSwatchIndex(m_sel.y(), kSwatchRows)) {
        select(QPointF(0, 0));
        return;
    }
    select(QPointF(std::clamp(int(m_sel.x()) + dx, 0, kSwatchColumns - 1),
                   std::clamp(int(m_sel.y()) + dy, 0, kSwatchRows - 1)));
}

void ZQColourPickerView::updateInfoAtPoint(const QPointF& point)
{
    // Without a point the floater stays where it is but still follows the colour.
    if (point != kNoSelection)
        m_infWin->positionNearPointInView(point, this);
    m_infWin->setStringValue(platform::hexString(color()));
}

void ZQColourPickerView::sendToTarget()
{
    sendActionFrom(this);
}
