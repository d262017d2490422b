#include "platform/foundation/ZQLog.h"

#include <QMutex>
#include <QRegularExpression>
#include <atomic>
#include <cstdio>

namespace platform {
namespace {

struct LogState {
    QMutex mutex;
    std::atomic<int> level = 0;
    Log::Sink sink;
};

LogState& state()
{
    static LogState s;
    return s;
}

const char* kindName(LogEventKind kind)
{
    switch (kind) {
    case kTraceEvent: return "trace";
    case kInfoEvent: return "info";
    case kFileEvent: return "file";
    case kLifeEvent: return "life";
    case kReactiveEvent: return "reactive";
    case kStateEvent: return "state";
    case kUserEvent: return "user";
    }
    return "?";
}

} // namespace

void Log::setLevel(int level)
{
    state().level = level;
}

int Log::level()
{
    return state().level;
}

bool Log::isEnabled(LogEventKind kind)
{
    return int(kind) >= state().level.load(std::memory_order_relaxed);
}

Log::Sink Log::setSink(Sink sink)
{
    QMutexLocker lock(&state().mutex);
    return std::exchange(state().sink, std::move(sink));
}

void Log::write(LogEventKind kind, const QString& line)
{
    if (!isEnabled(kind))
        return;
    Sink sink;
    {
        QMutexLocker lock(&state().mutex);
        sink = state().sink;
    }
    if (sink) {
        sink(kind, line);
        return;
    }
    std::fprintf(stderr, "quorvane[%s] %s\n", kindName(kind), qUtf8Printable(line));
}

QString methodPrefixedMessage(const char* functionSignature, const QString& message)
{
    // "void Foo::bar(int) const" -> "[Foo bar]"
    static const QRegularExpression qualifiedName(QStringLiteral(R"(([\w:]+)::(\w+)\s*\()"));
    const auto match = qualifiedName.match(QString::fromLatin1(functionSignature));
    const QString prefix = match.hasMatch()
        ? QStringLiteral("[%1 %2]").arg(match.captured(1), match.captured(2))
        : QStringLiteral("[%1]").arg(QString::fromLatin1(functionSignature));
    return prefix + ' ' + message;
}

} // namespace platform
