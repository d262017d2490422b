#pragma once

// The levelled logger. Every line goes to the current sink (stderr by default);
// tests install their own sink to check what was logged.

#include <QString>
#include <functional>

enum LogEventKind {
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

    // Lines of a kind below the level are dropped: 0 logs everything (the default).
    static void setLevel(int level);
    static int level();

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
