#pragma once

// What the media browser's benchmarks share: a home of the run's own for the browser's
// choices, a paint counter and a wait for the event loop to get somewhere.

#include "support/BenchSupport.h"

#include "media/MediaClasses.h"
#include "platform/foundation/ZQLog.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>

namespace benchmedia {

// Off screen at device pixel ratio 2, with the browser's stored choices in `place` and no
// Pictures folder; call before making the application.
inline void prepareHome(const QTemporaryDir& place)
{
    bench::useOffscreenPlatformUnlessTold();
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("XDG_CONFIG_HOME", place.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", place.filePath(QStringLiteral("data")).toUtf8());
    QDir().mkpath(place.filePath(QStringLiteral("config")));
    QFile dirs(place.filePath(QStringLiteral("config/user-dirs.dirs")));
    dirs.open(QIODevice::WriteOnly);
    dirs.write("XDG_PICTURES_DIR=\"" + place.filePath(QStringLiteral("none")).toUtf8() + "\"\n");
}

// Once the application exists: the media classes registered, the log quiet.
inline void prepareApplication()
{
    registerMediaClasses();
    platform::Log::setSink([](LogEventKind, const QString&) {});
}

// Counts the paints of one widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Runs the event loop until `done`; false after two minutes without.
inline bool spinUntil(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(120'000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace benchmedia
