#include "widgets/minicontrols/ZQMiniControlHost.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

ZQMiniControlHost::ZQMiniControlHost(QWidget* view, std::shared_ptr<ZQMiniControlCluster> cluster)
    : QObject(view),
      m_view(view),
      m_cluster(std::move(cluster))
{
    m_cluster->setView(view);
    view->installEventFilter(this);
}

ZQMiniControlHost::~ZQMiniControlHost()
{
    if (m_view)
        m_view->removeEventFilter(this);
}

void ZQMiniControlHost::draw(QPainter& painter) const { m_cluster->draw(painter); }

bool ZQMiniControlHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_view)
        return false;
    // The cluster may be replaced or released from a delegate call; keep this one for the event.
    const std::shared_ptr<ZQMiniControlCluster> cluster = m_cluster;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_tracking = cluster->mouseDownAt(mouse->position(), ZQMiniControl::kBodyPart,
                                          platform::modifierFlagsFromQt(mouse->modifiers()));
        return m_tracking;
    }
    case QEvent::MouseMove: {
        if (!m_tracking)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        cluster->mouseDraggedAt(mouse->position(), ZQMiniControl::kBodyPart,
                                platform::modifierFlagsFromQt(mouse->modifiers()));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_tracking || mouse->button() != Qt::LeftButton)
            return false;
        m_tracking = false;
        cluster->mouseUpAt(mouse->position(), ZQMiniControl::kBodyPart,
                           platform::modifierFlagsFromQt(mouse->modifiers()));
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            cluster->flagsChanged(platform::modifierFlagsFromQt(key->modifiers()));
            break;
        default:
            break;
        }
        return false;
    }
    default:
        return false;
    }
}
