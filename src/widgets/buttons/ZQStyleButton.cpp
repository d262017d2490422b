#include "widgets/buttons/ZQStyleButton.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>

ZQStyleButton::ZQStyleButton(QWidget* parent)
    : QAbstractButton(parent)
{
    connect(this, &QAbstractButton::toggled, this,
            [this](bool on) { m_cell.setState(on ? ZQStyleButtonCell::OnState : ZQStyleButtonCell::OffState); });
}

ZQStyleButton::~ZQStyleButton() = default;

void ZQStyleButton::setState(int state)
{
    m_cell.setState(state);
    if (isCheckable()) {
        const QSignalBlocker blocker(this);
        setChecked(state == ZQStyleButtonCell::OnState);
    }
    update();
}

void ZQStyleButton::paintEvent(QPaintEvent*)
{
    m_cell.setHighlighted(isDown());
    m_cell.setEnabled(isEnabled());
    QPainter painter(this);
    m_cell.drawWithFrame(painter, QRectF(rect()), this);
}

void ZQStyleButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_cell.showsMenuAfterDelay() && !m_menuTimer && m_cell.menu()) {
        m_menuTimer.emplace(ZQStyleButtonCell::kMenuDelayMilliseconds, false, this,
                            [this](platform::Timer&) { menuDelayCallback(); });
        m_mouseDownPoint = event->position().toPoint();
    }
    QAbstractButton::mousePressEvent(event);
}

void ZQStyleButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        click();
        return;
    case Qt::Key_Menu:
        if (m_cell.menu()) {
            popUpMenuAt(mapToGlobal(rect().bottomLeft()));
            return;
        }
        break;
    default:
        break;
    }
    QAbstractButton::keyPressEvent(event);
}

void ZQStyleButton::menuDelayCallback()
{
    m_menuTimer.reset(); // fired once; a later press arms a new one
    if (!isDown())
        return;
    // Releasing the press without a click ends the button's own tracking.
    setDown(false);
    popUpMenuAt(mapToGlobal(m_mouseDownPoint));
}

void ZQStyleButton::popUpMenuAt(const QPoint& globalPosition)
{
    QMenu* menu = m_cell.menu();
    if (!menu)
        return;
    connect(
        menu, &QMenu::aboutToHide, this,
        [this] {
            if (isCheckable())
                setChecked(true);
            setState(ZQStyleButtonCell::OnState);
            Q_EMIT menuDidClose();
        },
        Qt::SingleShotConnection);
    menu->popup(globalPosition);
}
