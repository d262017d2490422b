#pragma once

// A short animation on the run loop's scheduler (so tests drive it with the manual clock):
// `step` gets the fraction 0..1 reached, ending at exactly 1, then `finished` runs once. It
// is a child of `owner` and stops, silently, when the owner or the animation is deleted.

#include <QObject>
#include <functional>

class EffectAnimation : public QObject {
    Q_OBJECT

public:
    static constexpr double kDefaultDuration = 0.25;

    EffectAnimation(QObject* owner, double seconds, std::function<void(double)> step,
                    std::function<void()> finished = {});

    Q_INVOKABLE void oneShotHasReached(double fraction);
    Q_INVOKABLE void oneShotComplete();

private:
    std::function<void(double)> m_step;
    std::function<void()> m_finished;
};
