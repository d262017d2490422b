// Feeds arbitrary text to the expression parser: it must answer a number or raise its
// syntax error, never crash or exhaust the stack.
#include "platform/foundation/NamedException.h"
#include "app/expressions/ZQMathParser.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        platform::Log::setSink([](LogEventKind, const QString&) {});
        return true;
    }();
    (void)quiet;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ZQMathParser parser;
    try {
        const double first = parser.evaluate(text);
        const double again = parser.evaluate(text);
        if (!(first == again || (std::isnan(first) && std::isnan(again))))
            std::abort();
    } catch (const platform::NamedException&) {
    } catch (const platform::AssertionFailure&) {
    }
    return 0;
}
