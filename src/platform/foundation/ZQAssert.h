#pragma once

// Programming errors: ZQ_ASSERT logs the method, file and line and throws
// platform::AssertionFailure carrying the message alone, which the event-loop boundaries
// catch and log.

#include <QString>
#include <functional>
#include <stdexcept>

namespace platform {

class AssertionFailure : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

[[noreturn]] void failAssertion(const QString& message, const char* function, const char* file, int line);

// Runs `work`, logging instead of propagating any exception; answers whether it completed.
// Every place where control returns to the event loop goes through here.
bool runGuarded(const char* where, const std::function<void()>& work);

} // namespace platform

#define ZQ_ASSERT(condition, message)                                                   \
    do {                                                                                \
        if (!(condition))                                                               \
            ::platform::failAssertion((message), Q_FUNC_INFO, __FILE__, __LINE__);       \
    } while (false)
