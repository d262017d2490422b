#include "platform/ui/ColourWell.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColourPanel.h"
#include "platform/ui/Pasteboard.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace platform {

namespace {

ColourWell::ActivationClickHandler& activationClickHandler()
{
    static ColourWell::ActivationClickHandler handler;
    return handler;
}

} // namespace

ColourWell::ColourWell(QWidget* parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::TabFocus);
}

ColourWell::~ColourWell()
{
    if (m_active)
        ColourPanel::sharedColorPanel()->removeActiveWell(this);
}

void ColourWell::setColor(const QColor& colour)
{
    if (colour == m_color)
        return;
    m_color = colour;
    update();
    Q_EMIT colorChanged(colour);
}

void ColourWell::activate(bool exclusive)
{
    ColourPanel* panel = ColourPanel::sharedColorPanel();
    if (exclusive)
        for (ColourWell* other : panel->activeWells())
            if (other != this)
                other->deactivate();
    if (!m_active) {
        m_active = true;
        panel->addActiveWell(this);
        connect(panel, &ColourPanel::panelDidClose, this, &ColourWell::deactivate, Qt::UniqueConnection);
        update();
        Q_EMIT activeChanged(true);
    }
    panel->setColor(m_color);
    panel->orderFront(this);
}

void ColourWell::deactivate()
{
    if (!m_active)
        return;
    m_active = false;
    ColourPanel::sharedColorPanel()->removeActiveWell(this);
    if (m_actionPending)
        sendAction();
    update();
    Q_EMIT activeChanged(false);
}

void ColourWell::deactivateAll()
{
    if (!ColourPanel::sharedColorPanelExists())
        return;
    ColourPanel* panel = ColourPanel::sharedColorPanel();
    for (ColourWell* well : panel->activeWells())
        well->deactivate();
    panel->setTarget(nullptr);
    panel->setAction({});
}

void ColourWell::performActivationClickWithShiftDown(bool shiftDown)
{
    if (activationClickHandler())
        activationClickHandler()(*this, shiftDown);
    else
        toggleActivationWithShiftDown(shiftDown);
}

void ColourWell::toggleActivationWithShiftDown(bool shiftDown)
{
    if (m_active)
        deactivate();
    else
        activate(!shiftDown);
}

void ColourWell::setActivationClickHandler(ActivationClickHandler handler)
{
    activationClickHandler() = std::move(handler);
}

void ColourWell::setBordered(bool flag)
{
    m_bordered = flag;
    update();
}

void ColourWell::takeColorFrom(const QColor& colour)
{
    setColor(colour);
    if (m_continuous)
        sendAction();
    else
        m_actionPending = true;
}

QSize ColourWell::sizeHint() const
{
    return {44, 23};
}

void ColourWell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect swatch = rect();
    if (m_bordered) {
        painter.setPen(palette().color(m_active ? QPalette::Highlight : QPalette::Mid));
        painter.setBrush(palette().color(QPalette::Button));
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        swatch.adjust(m_active ? 4 : 3, m_active ? 4 : 3, m_active ? -4 : -3, m_active ? -4 : -3);
    }
    // Translucent colours show over a checkerboard.
    if (m_color.alpha() < 255) {
        painter.fillRect(swatch, Qt::white);
        painter.fillRect(swatch, QBrush(Qt::lightGray, Qt::Dense4Pattern));
    }
    painter.fillRect(swatch, m_color);
}

void ColourWell::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    performActivationClickWithShiftDown(event->modifiers() & Qt::ShiftModifier);
}

void ColourWell::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && isEnabled())
        performActivationClickWithShiftDown(event->modifiers() & Qt::ShiftModifier);
    else
        QWidget::keyPressEvent(event);
}

void ColourWell::dragEnterEvent(QDragEnterEvent* event)
{
    if (isEnabled() && Pasteboard(event->mimeData()).color().isValid())
        event->acceptProposedAction();
}

void ColourWell::dropEvent(QDropEvent* event)
{
    const QColor dropped = Pasteboard(event->mimeData()).color();
    if (!dropped.isValid())
        return;
    setColor(dropped);
    if (m_active)
        ColourPanel::sharedColorPanel()->setColor(dropped);
    sendAction();
    event->acceptProposedAction();
}

void ColourWell::sendAction()
{
    m_actionPending = false;
    Application::sendActionToFrom(m_action, m_target, this);
}

} // namespace platform
