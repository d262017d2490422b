#pragma once

#include "platform/foundation/ZQLog.h"

#include <QList>
#include <QStringList>

namespace testsupport {

// Collects the lines logged while it lives, with their kinds. It takes over the log sink
// and gives it back, with the log level of the moment, when it is destroyed.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Whether any line contains `text`.
    bool contains(const QString& text) const;

    QStringList lines;
    QList<LogEventKind> kinds;

private:
    platform::Log::Sink m_previousSink;
    int m_previousLevel;
};

} // namespace testsupport
