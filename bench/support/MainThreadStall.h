#pragma once

// How long the main thread was ever kept from its events while a step ran: the longest gap
// between ticks of a 5 ms timer from the step's start until `settled` holds (two minutes at
// most), plus half a second of the views drawing what it did.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace bench {

inline double longestMainThreadStall(const std::function<void()>& step, const std::function<bool()>& settled)
{
    QElapsedTimer clock, sinceTick;
    double longestGap = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    QTimer::singleShot(0, step);
    clock.start();
    sinceTick.start();
    ticker.start();
    while (!settled() && clock.elapsed() < 120'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return longestGap;
}

} // namespace bench
