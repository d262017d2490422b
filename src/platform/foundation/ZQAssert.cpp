#include "platform/foundation/ZQAssert.h"

#include "platform/foundation/ZQLog.h"

namespace platform {

void failAssertion(const QString& message, const char* function, const char* file, int line)
{
    const QString text = QStringLiteral("Assertion failure in %1, %2:%3: %4")
                             .arg(QString::fromLatin1(function), QString::fromLatin1(file))
                             .arg(line)
                             .arg(message);
    Log::write(kInfoEvent, text);
    // The message alone travels on: it may end up as the reason an error gives the user.
    throw AssertionFailure(message.toStdString());
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
