#include "platform/foundation/ZQLog.h"

#include <QMutex>
#include <QRegularExpression>
#include <cstdio>

namespace platform {
namespace {

struct LogState {
    QMutex mutex;
    int level = 0;
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
    QMutexLocker lock(&state().mutex);
    state().level = level;
}

int Log::level()
{
    QMutexLocker lock(&state().mutex);
    return state().level;
}

Log::Sink Log::setSink(Sink sink)
{
    QMutexLocker lock(&state().mutex);
    return std::exchange(state().sink, std::move(sink));
}

void Log::write(LogEventKind kind, const QString& line)
{
    Sink sink;
    {
        QMutexLocker lock(&state().mutex);
        if (int(kind) < state().level)
            return;
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
