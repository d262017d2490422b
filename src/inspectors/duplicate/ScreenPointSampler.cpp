#include "inspectors/duplicate/ScreenPointSampler.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

ScreenPointSampler::ScreenPointSampler(QWidget* sheet, MoveHandler moved, EndHandler ended)
    : m_sheet(sheet), m_moved(std::move(moved)), m_ended(std::move(ended))
{
}

ScreenPointSampler::~ScreenPointSampler()
{
    stop();
}

void ScreenPointSampler::start()
{
    if (m_running || !m_sheet)
        return;
    m_running = true;
    qApp->installEventFilter(this);
    m_sheet->window()->grabMouse();
    QGuiApplication::setOverrideCursor(isOverSheet(QCursor::pos()) ? Qt::ArrowCursor : Qt::CrossCursor);
}

void ScreenPointSampler::stop()
{
    if (!m_running)
        return;
    m_running = false;
    qApp->removeEventFilter(this);
    if (m_sheet)
        m_sheet->window()->releaseMouse();
    QGuiApplication::restoreOverrideCursor();
}

bool ScreenPointSampler::isOverSheet(QPoint point) const
{
    return m_sheet && m_sheet->window()->frameGeometry().contains(point);
}

void ScreenPointSampler::showCursorFor(QPoint point)
{
    QGuiApplication::changeOverrideCursor(isOverSheet(point) ? Qt::ArrowCursor : Qt::CrossCursor);
}

void ScreenPointSampler::finish(std::optional<QPoint> point, Qt::KeyboardModifiers modifiers)
{
    stop();
    if (m_ended)
        m_ended(point, modifiers);
}

bool ScreenPointSampler::eventFilter(QObject*, QEvent* event)
{
    // Every pointer and key event is the sampler's while it runs: none reaches a widget.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint point = mouse->globalPosition().toPoint();
        showCursorFor(point);
        if (m_moved)
            m_moved(point, mouse->modifiers());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return true;
        const QPoint point = mouse->globalPosition().toPoint();
        finish(isOverSheet(point) ? std::nullopt : std::optional<QPoint>(point), mouse->modifiers());
        return true;
    }
    case QEvent::KeyPress:
        finish(std::nullopt, static_cast<QKeyEvent*>(event)->modifiers());
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}
