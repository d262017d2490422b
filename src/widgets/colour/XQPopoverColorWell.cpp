#include "widgets/colour/XQPopoverColorWell.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColourPanel.h"
#include "widgets/colour/ColourSwatch.h"
#include "widgets/colour/XQColorPickerPopover.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/CenterScanRect.h"
#include "widgets/paint/KitImage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double kArrowColumnWidth = 14.0;

bool panelIsUp()
{
    return platform::ColourPanel::sharedColorPanelExists() && platform::ColourPanel::sharedColorPanel()->isVisible();
}

// The panel cannot come to the front for the scope, whatever happens inside it.
struct PanelDisabledScope {
    PanelDisabledScope() { platform::ColourPanel::disablePanel(); }
    ~PanelDisabledScope() { platform::ColourPanel::enablePanel(); }
    PanelDisabledScope(const PanelDisabledScope&) = delete;
    PanelDisabledScope& operator=(const PanelDisabledScope&) = delete;
};

// `box` fitted proportionally with `size`, centred along the spare dimension.
QRectF fittedRect(const QSizeF& size, const QRectF& box)
{
    if (size.isEmpty())
        return {};
    const QSizeF fitted = size.scaled(box.size(), Qt::KeepAspectRatio);
    return QRectF(box.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
}

} // namespace

XQPopoverColorWell::XQPopoverColorWell(QWidget* parent)
    : ColourWell(parent)
{
    setup();
}

XQPopoverColorWell::~XQPopoverColorWell()
{
    // Leave the popover editing nothing rather than a well that is gone.
    if (m_popover && m_popover->colorWell() == this) {
        m_popover->setDelegate(nullptr);
        m_popover->setColorWell(nullptr);
        m_popover->close();
    }
}

void XQPopoverColorWell::setup()
{
    m_preferredEdgeForPopover = platform::Popover::MaxXEdge;
    m_useColorPanelIfAvailable = true;
    m_colorWellStyle = PopUpMenuStyle;
}

void XQPopoverColorWell::setColorWellStyle(int style)
{
    m_colorWellStyle = style;
    update();
}

void XQPopoverColorWell::activate(bool exclusive)
{
    if (isActive())
        return;
    platform::ColourPanel::sharedColorPanel()->setTarget(nullptr);
    if (m_useColorPanelIfAvailable && panelIsUp()) {
        ColourWell::activate(exclusive);
        return;
    }
    activateWithPopover();
}

void XQPopoverColorWell::activateWithPopover()
{
    if (isActive())
        return;
    XQColorPickerPopover* popover = XQColorPickerPopover::sharedPopover();
    m_popover = popover;
    popover->setColor(color());
    popover->setColorWell(this);
    popover->setDelegate(this);
    popover->showRelativeToRectOfViewPreferredEdge(rect(), this, m_preferredEdgeForPopover);
    // Active for the panel (whose content the popover shows) without the panel coming up.
    const PanelDisabledScope disabled;
    ColourWell::activate(true);
}

void XQPopoverColorWell::deactivate()
{
    if (!isActive())
        return;
    m_closeActionOwed = m_popover && !isContinuous() && !isActionPending();
    ColourWell::deactivate();
    if (m_popover) {
        m_popover->performClose(nullptr);
        if (m_popover && m_popover->colorWell() == this)
            m_popover->setColorWell(nullptr);
    }
    m_popover = nullptr;
    m_closeActionOwed = false;
}

void XQPopoverColorWell::popoverWillClose(int reason)
{
    observePopoverCloseNotification(platform::Popover::CloseReason(reason));
}

void XQPopoverColorWell::observePopoverCloseNotification(platform::Popover::CloseReason reason)
{
    if (reason != platform::Popover::StandardCloseReason)
        return;
    const bool ownClose = !isActive(); // this well's deactivate is closing the popover
    if (!ownClose) {
        m_closeActionOwed = !isContinuous() && !isActionPending();
        ColourWell::deactivate();
        m_popover = nullptr;
    }
    if (std::exchange(m_closeActionOwed, false))
        platform::Application::sendActionToFrom(action(), target(), this);
}

QSize XQPopoverColorWell::sizeHint() const
{
    return m_colorWellStyle == RoundStyle ? QSize(24, 24) : QSize(44, 22);
}

void XQPopoverColorWell::paintEvent(QPaintEvent* event)
{
    if (m_colorWellStyle != PopUpMenuStyle && m_colorWellStyle != RoundStyle) {
        ColourWell::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_colorWellStyle == PopUpMenuStyle)
        drawPopUpMenuStyleColorWell(painter, event->rect());
    else
        drawRoundStyleColorWell(painter, event->rect());
}

void XQPopoverColorWell::drawPopUpMenuStyleColorWell(QPainter& painter, const QRectF& dirty)
{
    const QRectF b = rect();
    QPainterPath clip;
    clip.addRoundedRect(centerScanRect(painter, b), 4.0, 4.0);
    painter.save();
    painter.setClipPath(clip);
    if (isActive())
        painter.fillRect(dirty, Qt::lightGray);
    else
        VLTMSelectedControlGradient().drawInRect(painter, b, -90); // bottom to top

    QRectF swatch = b.adjusted(3, 3, -3, -3);
    swatch.setWidth(swatch.width() - 13);
    swatch = centerScanRect(painter, swatch);
    QPainterPath swatchPath;
    swatchPath.addRect(swatch);
    fillWithColourOverChequer(painter, swatchPath, color());

    const QColor line = isEnabled() ? VLTMControlFrameColour() : QColor(Qt::lightGray);
    const double separatorX = b.x() + b.width() - kArrowColumnWidth + 0.5;
    painter.setPen(QPen(line, 0.8));
    painter.drawLine(QPointF(separatorX, b.bottom()), QPointF(separatorX, b.top()));
    painter.setPen(QPen(line, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(clip);
    painter.setPen(QPen(isEnabled() ? QColor(Qt::lightGray) : QColor::fromRgbF(0.85f, 0.85f, 0.85f), 1.0));
    painter.drawRect(swatch.adjusted(0.5, 0.5, -0.5, -0.5));

    if (isEnabled()) {
        const KitImage arrows = imageNamed(QStringLiteral("VL_Updown_Menu_Arrows"));
        const QRectF box(b.x() + b.width() - kArrowColumnWidth, b.y() + 4, kArrowColumnWidth, b.height() - 8);
        if (!arrows.isNull())
            arrows.drawInRect(painter, centerScanRect(painter, fittedRect(arrows.size(), box)), 0.7);
    }
    painter.restore();
}

void XQPopoverColorWell::drawRoundStyleColorWell(QPainter& painter, const QRectF& dirty)
{
    const QColor before = painter.pen().color();
    const QRectF o = centerScanRect(painter, QRectF(rect()).adjusted(1, 1, -1, -1));
    QPainterPath outer;
    outer.addEllipse(o);
    painter.save();
    painter.setClipPath(outer);
    if (isActive())
        painter.fillRect(dirty, Qt::lightGray);
    else
        VLTMSelectedControlGradient().drawInRect(painter, o, -90);
    QPainterPath disc;
    disc.addEllipse(o.adjusted(3, 3, -3, -3));
    fillWithColourOverChequer(painter, disc, color());
    painter.setPen(QPen(isEnabled() ? VLTMControlFrameColour() : QColor(Qt::lightGray), 0.33));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(disc);
    painter.restore();
    painter.setPen(QPen(before, 0.33));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outer);
}

void XQPopoverColorWell::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled() && panelIsUp()) {
        deactivate();
        activateWithPopover();
        return;
    }
    ColourWell::mouseDoubleClickEvent(event);
}
