#include "widgets/controls/ControlAction.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"

#include <QAbstractSlider>

void ControlAction::sendActionFrom(QObject* sender) const
{
    if (!m_action.isEmpty())
        platform::Application::sendActionToFrom(m_action, m_target, sender);
}

void ControlAction::sendActionOnUserChanges(QAbstractSlider* slider)
{
    // actionTriggered comes before the value moves, so the sending waits for it.
    QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [this, slider] {
        platform::RunLoop::runOnMainThread([this, slider] { sendActionFrom(slider); }, slider);
    });
}
