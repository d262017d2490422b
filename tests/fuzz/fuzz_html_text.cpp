// Reads arbitrary bytes as HTML pasted into a label. The text must come out, or be refused with
// a reason, within the time and memory limits whatever the markup; what comes out is no longer
// than a label takes and one character over, its runs cover it, and its fonts have sizes a label
// can draw and names no longer than a family's.

#include "FuzzSupport.h"
#include "PastedTextChecks.h"
#include "platform/vantrix/text/HTMLTextReading.h"
#include "platform/vantrix/text/PastedText.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool ready = (fuzz::startQuietApplication("fuzz_html_text"), true);
    Q_UNUSED(ready);
    QString refusal;
    const std::optional<platform::AttributedString> text = platform::attributedStringFromHTMLData(
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size)), &refusal,
        platform::kMaximumPastedTextLength);
    fuzz::requirePastableText(text, refusal, "HTML");
    return 0;
}
