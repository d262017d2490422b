#pragma once

// The levelled logger. Every line goes to the current sink (stderr by default);
// tests install their own sink to check what was logged.

#include <QString>
#include <functional>

enum LogEventKind {
    kTraceEvent = -1, // a line per item of a long run: kept only when the level asks for it
    kInfoEvent,
    kFileEvent,
    kLifeEvent,
    kReactiveEvent,
    kStateEvent,
    kUserEvent,
};

namespace platform {

class Log {
public:
    using Sink = std::function<void(LogEventKind kind, const QString& line)>;

    // Lines of a kind below the level are dropped: 0 (the default) logs every kind but
    // trace lines, kTraceEvent everything.
    static void setLevel(int level);
    static int level();
    // Whether a line of `kind` would be kept; cheap enough to ask before building a line
    // that is written once per record of a large file.
    static bool isEnabled(LogEventKind kind);

    // Installs a sink and answers the previous one; an empty sink restores stderr.
    static Sink setSink(Sink sink);

    static void write(LogEventKind kind, const QString& line);
};

// Formats "[Class method] message" from a compiler function signature.
QString methodPrefixedMessage(const char* functionSignature, const QString& message);

} // namespace platform

inline void ZQLog(const QString& message) { platform::Log::write(kInfoEvent, message); }
inline void LogEvent(LogEventKind kind, const QString& message) { platform::Log::write(kind, message); }

// Logs a line prefixed with the calling class and method.
#define ZQLogObjCMethod(message) ::ZQLog(::platform::methodPrefixedMessage(Q_FUNC_INFO, (message)))
