#pragma once

// Programming errors. ZQ_ASSERT logs the method, file and line and throws
// platform::AssertionFailure carrying the message alone, which readers and the event-loop
// boundaries catch; it belongs in parsers, archives and models. Interface and drawing code
// uses ZQ_EXPECT instead, which logs the same way and answers false, so the caller returns
// (or beeps) rather than throwing through an event handler or a paint:
//
//     if (!ZQ_EXPECT(master, QStringLiteral("no symbol master chosen")))
//         return;

#include <QString>
#include <functional>
#include <stdexcept>

namespace platform {

class AssertionFailure : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

[[noreturn]] void failAssertion(const QString& message, const char* function, const char* file, int line);
// Logs a broken expectation; always answers false.
bool reportBrokenExpectation(const QString& message, const char* function, const char* file, int line);

// Runs `work`, logging instead of propagating any exception; answers whether it completed.
// Every place where control returns to the event loop goes through here.
bool runGuarded(const char* where, const std::function<void()>& work);

} // namespace platform

#define ZQ_ASSERT(condition, message)                                                   \
    do {                                                                                \
        if (!(condition))                                                               \
            ::platform::failAssertion((message), Q_FUNC_INFO, __FILE__, __LINE__);       \
    } while (false)

#define ZQ_EXPECT(condition, message) \
    (static_cast<bool>(condition) || ::platform::reportBrokenExpectation((message), Q_FUNC_INFO, __FILE__, __LINE__))
