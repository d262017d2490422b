#include "platform/ui/ZQOneShotEffectTimer.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/RunLoop.h"

#include <algorithm>

ZQOneShotEffectTimer* ZQOneShotEffectTimer::oneShotWithTimeForDelegate(double seconds, QObject* delegate)
{
    return new ZQOneShotEffectTimer(seconds, delegate);
}

ZQOneShotEffectTimer::ZQOneShotEffectTimer(double seconds, QObject* delegate)
    : QObject(delegate) // goes with the delegate
    , m_delegate(delegate)
    , m_duration(std::max(0.0, seconds))
    , m_start(platform::RunLoop::now())
{
    m_timer = std::make_unique<platform::Timer>(kFrameInterval, true, this, [this](platform::Timer&) { tick(); });
}

ZQOneShotEffectTimer::~ZQOneShotEffectTimer() = default;

void ZQOneShotEffectTimer::tick()
{
    const double elapsed = double(platform::RunLoop::now() - m_start) / 1000.0;
    const double fraction = m_duration > 0 ? std::min(1.0, elapsed / m_duration) : 1.0;
    // The delegate may go during its own callback, and take this timer with it.
    const QPointer<ZQOneShotEffectTimer> self(this);
    if (m_delegate && platform::findMethod(m_delegate, "oneShotHasReached", 1).isValid())
        platform::invokeSelector(m_delegate, "oneShotHasReached", fraction);
    if (!self || fraction < 1.0)
        return;
    m_timer->invalidate();
    if (m_delegate && platform::findMethod(m_delegate, "oneShotComplete", 0).isValid())
        platform::invokeSelector(m_delegate, "oneShotComplete");
    deleteLater();
}
