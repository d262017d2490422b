#include "widgets/views/EffectAnimation.h"

#include "platform/ui/ZQOneShotEffectTimer.h"

EffectAnimation::EffectAnimation(QObject* owner, double seconds, std::function<void(double)> step,
                                 std::function<void()> finished)
    : QObject(owner)
    , m_step(std::move(step))
    , m_finished(std::move(finished))
{
    ZQOneShotEffectTimer::oneShotWithTimeForDelegate(seconds, this);
}

void EffectAnimation::oneShotHasReached(double fraction)
{
    if (m_step)
        m_step(fraction);
}

void EffectAnimation::oneShotComplete()
{
    // The callback may start the next animation; this one is done either way.
    deleteLater();
    if (m_finished)
        m_finished();
}
