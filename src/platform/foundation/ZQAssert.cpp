#include "platform/foundation/ZQAssert.h"

#include "platform/foundation/ZQLog.h"

namespace platform {

namespace {

void logFailure(const char* kind, const QString& message, const char* function, const char* file, int line)
{
    Log::write(kInfoEvent, QStringLiteral("%1 in %2, %3:%4: %5")
                               .arg(QString::fromLatin1(kind), QString::fromLatin1(function), QString::fromLatin1(file))
                               .arg(line)
                               .arg(message));
}

} // namespace

void failAssertion(const QString& message, const char* function, const char* file, int line)
{
    logFailure("Assertion failure", message, function, file, line);
    // The message alone travels on: it may end up as the reason an error gives the user.
    throw AssertionFailure(message.toStdString());
}

bool reportBrokenExpectation(const QString& message, const char* function, const char* file, int line)
{
    logFailure("Broken expectation", message, function, file, line);
    return false;
}

bool runGuarded(const char* where, const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        Log::write(kInfoEvent, QStringLiteral("exception caught in %1: %2").arg(QString::fromLatin1(where),
                                                                                QString::fromUtf8(e.what())));
    } catch (...) {
        Log::write(kInfoEvent, QStringLiteral("unknown exception caught in %1").arg(QString::fromLatin1(where)));
    }
    return false;
}

} // namespace platform
