#include "widgets/colour/ZQColourPopUpMenuView.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/ui/ColourPanel.h"
#include "widgets/colour/ColourSwatch.h"
#include "widgets/colour/ZQColorWell.h"
#include "widgets/colour/ZQColourPickerView.h"
#include "widgets/colour/ZQWindowMenu.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/KitImage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

namespace {

constexpr double kTriangleHeight = 24.0;

void drawMenuTriangle(QPainter& painter, const QRectF& bounds, const QColor& colour)
{
    const KitImage image = imageNamed(platform::luminosity(colour) > 0.5
                                          ? QStringLiteral("VL_Colour_Well_Turn_Down_Arrow_Dark")
                                          : QStringLiteral("VL_Colour_Well_Turn_Down_Arrow_Light"));
    if (image.isNull() || image.size().height() <= 0)
        return;
    const double width = image.size().width() * kTriangleHeight / image.size().height();
    image.drawInRect(painter, QRectF(bounds.right() - 23, bounds.bottom() - 21, width, kTriangleHeight), 0.9);
}

} // namespace

ZQColourPopUpMenuView::ZQColourPopUpMenuView(QWidget* parent)
    : QWidget(parent)
    , m_colour(Qt::gray)
    , m_proxyWell(std::make_unique<ZQColorWell>())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks never take the focus; Tab does, so Space can link the control.
    setFocusPolicy(Qt::TabFocus);
    m_proxyWell->resize(size());
    m_proxyWell->setTarget(this);
    m_proxyWell->setAction("proxyWellColorChange");
    platform::NotificationCenter::defaultCenter().addObserver(
        this, ZQColorWell::kZQColorWellDeactivated, m_proxyWell.get(),
        [this](const platform::Notification& notification) { proxyWellDeactivated(notification); });
}

ZQColourPopUpMenuView::~ZQColourPopUpMenuView()
{
    platform::RunLoop::cancelPreviousPerformRequests(this);
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    if (m_selected && m_noTransparency)
        platform::ColourPanel::sharedColorPanel()->setShowsAlpha(true);
}

void ZQColourPopUpMenuView::setColor(const QColor& colour)
{
    if (!isPickableColour(colour))
        return;
    QColor kept = colour;
    if (m_noTransparency)
        kept.setAlphaF(1.0f);
    m_colour = kept;
    update();
    m_proxyWell->setColor(kept);
}

void ZQColourPopUpMenuView::setHighlighted(bool flag)
{
    if (flag == m_highlighted)
        return;
    m_highlighted = flag;
    update();
}

void ZQColourPopUpMenuView::setSelected(bool flag)
{
    if (flag == m_selected)
        return;
    m_selected = flag;
    update();
    platform::ColourPanel* panel = platform::ColourPanel::sharedColorPanel();
    if (flag) {
        m_proxyWell->activate(true);
        if (m_noTransparency)
            panel->setShowsAlpha(false);
    } else {
        m_proxyWell->deactivate();
        if (m_noTransparency)
            panel->setShowsAlpha(true);
    }
}

void ZQColourPopUpMenuView::trackMenuWithEvent(const QInputEvent* event)
{
    setHighlighted(true);
    m_menuIsPoppedUp = true;
    const QPoint anchor = mapTo(window(), QPoint(0, height()));

    auto* picker = new ZQColourPickerView;
    picker->resize(225, 225);
    const bool alt = event && (event->modifiers() & Qt::AltModifier);
    picker->setMode(alt ? ZQColourPickerView::SpectrumMode : ZQColourPickerView::SwatchMode);
    // The starting colour sets the brightness too; before the target, so nothing is sent yet.
    picker->setColorForUndefinedSelection(m_colour);
    picker->setTarget(this);
    picker->setAction("colourChangeFromPicker");
    picker->setShowsInfo(false);

    QPointer<ZQColourPopUpMenuView> self(this);
    ZQWindowMenu::popUpWindowMenuAtPointWithEventForView(ZQWindowMenu::windowMenuWithContentView(picker), anchor,
                                                         event, this);
    if (!self) // deleted while the menu was up
        return;
    setHighlighted(false);
    m_menuIsPoppedUp = false;
}

void ZQColourPopUpMenuView::colourChangeFromPicker(QObject* picker)
{
    if (auto* view = qobject_cast<ZQColourPickerView*>(picker))
        takeColourAndSend(view->color());
}

void ZQColourPopUpMenuView::proxyWellColorChange(QObject* well)
{
    if (isEnabled() && well == m_proxyWell.get())
        takeColourAndSend(m_proxyWell->color());
}

void ZQColourPopUpMenuView::takeColourAndSend(const QColor& colour)
{
    if (!isPickableColour(colour))
        return;
    setColor(colour);
    sendActionFrom(this);
}

void ZQColourPopUpMenuView::proxyWellDeactivated(const platform::Notification& notification)
{
    if (notification.object() == m_proxyWell.get())
        setSelected(false);
}

QSize ZQColourPopUpMenuView::sizeHint() const
{
    return {44, 24};
}

void ZQColourPopUpMenuView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds = rect();
    QColor background = Qt::white;
    if (!isEnabled())
        background = VLTMWindowBackgroundColour();
    else if (m_highlighted)
        background = Qt::gray;
    else if (m_selected)
        background = palette().color(QPalette::Highlight);
    painter.fillRect(bounds, background);

    const QRectF inner = bounds.adjusted(4, 4, -4, -4);
    QPainterPath swatch;
    swatch.addRect(inner);
    fillWithColourOverChequer(painter, swatch, m_colour);

    const QColor frame = isEnabled() ? Qt::darkGray : Qt::lightGray;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(frame, 0.5));
    painter.drawRect(bounds.adjusted(0.25, 0.25, -0.25, -0.25));
    painter.setPen(QPen(frame, 0.25));
    painter.drawRect(inner);
    if (isEnabled())
        drawMenuTriangle(painter, bounds, m_colour);
}

void ZQColourPopUpMenuView::mousePressEvent(QMouseEvent* event)
{
    if (!isEnabled() || event->button() != Qt::LeftButton)
        return;
    m_press.reset(event->clone());
    platform::RunLoop::performAfterDelay(this, [this] { trackMenuWithEvent(m_press.get()); }, kMenuDelayMilliseconds,
                                         "trackMenuWithEvent");
}

void ZQColourPopUpMenuView::mouseReleaseEvent(QMouseEvent* event)
{
    // A release within the delay keeps the menu from coming up.
    platform::RunLoop::cancelPreviousPerformRequests(this);
    if (isEnabled() && rect().contains(event->position().toPoint()))
        setSelected(!m_selected);
}

void ZQColourPopUpMenuView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && isEnabled())
        setSelected(!m_selected);
    else
        QWidget::keyPressEvent(event);
}

void ZQColourPopUpMenuView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    update();
    if (!isEnabled())
        m_proxyWell->deactivate();
}
