// Reads arbitrary bytes as HTML pasted into a label. The text must come out, or be refused with
// a reason, within the time and memory limits whatever the markup; what comes out is no longer
// than a label takes (and one character over when reading stopped there), its runs cover it, and
// its fonts have sizes a label can draw.

#include "FuzzSupport.h"
#include "platform/vantrix/text/HTMLTextReading.h"
#include "platform/vantrix/text/PastedText.h"

#include <QFont>
#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool ready = (fuzz::startQuietApplication("fuzz_html_text"), true);
    Q_UNUSED(ready);
    const QString html = QString::fromUtf8(reinterpret_cast<const char*>(bytes), qsizetype(size));
    QString refusal;
    const std::optional<platform::AttributedString> text =
        platform::attributedStringFromHTML(html, &refusal, platform::kMaximumPastedTextLength);
    if (!text) {
        if (refusal.isEmpty())
            qFatal("HTML was refused without a reason");
        return 0;
    }
    if (text->length() > platform::kMaximumPastedTextLength + html.size())
        qFatal("the text read grew past its limit by more than the markup holds");
    qsizetype covered = 0;
    text->enumerateAttributesInRange({0, text->length()}, [&](const platform::TextAttributes& attributes,
                                                              platform::TextRange run) {
        if (run.location != covered)
            qFatal("the runs of the text read leave a gap");
        covered = run.end();
        const QVariant font = attributes.value(platform::kFontAttributeName);
        if (font.isValid()) {
            const double points = font.value<QFont>().pointSizeF();
            if (!std::isfinite(points) || points <= 0 || points > 2000)
                qFatal("a run of the text read has a font of %g points", points);
        }
    });
    if (covered != text->length())
        qFatal("the runs of the text read do not cover it");
    return 0;
}
