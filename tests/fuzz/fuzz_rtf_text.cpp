// Reads arbitrary bytes as RTF pasted into a label: read within the time and memory limits, or
// refused with a reason, and what comes out as a pasted text must be (PastedTextChecks.h).

#include "FuzzSupport.h"
#include "PastedTextChecks.h"
#include "platform/graphics/RTFReading.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool ready = (fuzz::startQuietApplication("fuzz_rtf_text"), true);
    Q_UNUSED(ready);
    QString refusal;
    const std::optional<platform::AttributedString> text = platform::attributedStringFromRTF(
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size)), &refusal,
        platform::kMaximumPastedTextLength);
    fuzz::requirePastableText(text, refusal, "RTF");
    return 0;
}
