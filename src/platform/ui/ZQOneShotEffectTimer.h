#pragma once

// Runs a short effect: for `seconds` it tells its delegate how far the effect has come,
// with oneShotHasReached(double t) at rising fractions t of 0..1, ending at exactly 1, and
// then oneShotComplete() once. The delegate's methods are invokable by those names (either
// may be missing). The timer runs on the run loop's scheduler and goes away by itself when
// done or when its delegate dies.

#include <QObject>
#include <QPointer>
#include <memory>

namespace platform {
class Timer;
}

class ZQOneShotEffectTimer : public QObject {
    Q_OBJECT

public:
    // The step between reports.
    static constexpr int kFrameInterval = 16;

    // Starts an effect; the answer lives until the effect ends (do not delete it).
    static ZQOneShotEffectTimer* oneShotWithTimeForDelegate(double seconds, QObject* delegate);

    ~ZQOneShotEffectTimer() override;

    double duration() const { return m_duration; }

private:
    ZQOneShotEffectTimer(double seconds, QObject* delegate);
    void tick();

    QPointer<QObject> m_delegate;
    double m_duration;
    qint64 m_start;
    std::unique_ptr<platform::Timer> m_timer;
};
