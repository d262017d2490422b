#include "platform/vantrix/text/PastedText.h"

#include "platform/graphics/RTFReading.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/text/HTMLTextReading.h"

#include <QCoreApplication>
#include <QFont>
#include <QSet>

namespace platform {
namespace {

bool usesMoreFontsThan(const AttributedString& text, qsizetype count)
{
    QSet<QString> fonts;
    text.enumerateAttributesInRange({0, text.length()}, [&](const TextAttributes& attributes, TextRange) {
        if (const QVariant font = attributes.value(kFontAttributeName); font.canConvert<QFont>() && fonts.size() <= count)
            fonts.insert(font.value<QFont>().key());
    });
    return fonts.size() > count;
}

} // namespace

QStringList pasteableTextTypes()
{
    return {kPasteboardTypeRTF, kPasteboardTypeHTML, kPasteboardTypeString};
}

PastedText pastedTextFromPasteboard(const Pasteboard& pasteboard)
{
    PastedText pasted;
    const QStringList offered = pasteboard.types();
    for (const QString& type : pasteableTextTypes()) {
        if (!offered.contains(type))
            continue;
        QString refusal;
        if (type == kPasteboardTypeRTF)
            pasted.text = attributedStringFromRTF(pasteboard.dataForType(type), &refusal, kMaximumPastedTextLength);
        else if (type == kPasteboardTypeHTML)
            pasted.text = attributedStringFromHTMLData(pasteboard.dataForType(type), &refusal, kMaximumPastedTextLength);
        else if (const QString plain = pasteboard.stringForType(type); !plain.isNull())
            pasted.text = AttributedString(plain);
        if (pasted.text && pasted.text->length() > kMaximumPastedTextLength) {
            pasted.text.reset();
            refusal = QCoreApplication::translate("PastedText", "The text is longer than the %L1 characters a label "
                                                                "or a text box can hold.")
                          .arg(kMaximumPastedTextLength);
        } else if (pasted.text && usesMoreFontsThan(*pasted.text, kMaximumPastedFontCount)) {
            pasted.text.reset();
            refusal = QCoreApplication::translate("PastedText", "The text uses more than %L1 different fonts.")
                          .arg(kMaximumPastedFontCount);
        }
        if (pasted.text) {
            pasted.refusal.clear();
            return pasted;
        }
        if (pasted.refusal.isEmpty())
            pasted.refusal = refusal;
    }
    return pasted;
}

AttributedString pastedTextOverAttributes(const AttributedString& pasted, const TextAttributes& attributes)
{
    const QVariant baseFont = attributes.value(kFontAttributeName);
    AttributedString joined;
    pasted.enumerateAttributesInRange({0, pasted.length()}, [&](const TextAttributes& own, TextRange run) {
        TextAttributes merged = attributes;
        merged.insert(own);
        if (own.contains(kFontAttributeName) && baseFont.canConvert<QFont>())
            merged.insert(kFontAttributeName, own.value(kFontAttributeName).value<QFont>().resolve(baseFont.value<QFont>()));
        joined.appendAttributedString(AttributedString(pasted.string().mid(run.location, run.length), merged));
    });
    return joined;
}

void presentUnpastableText(const QString& refusal, QWidget* window)
{
    Alert alert;
    alert.setMessageText(QCoreApplication::translate("PastedText", "The text on the clipboard could not be pasted."));
    alert.setInformativeText(refusal);
    alert.beginSheetModalForWindowCompletionHandler(window, {});
}

} // namespace platform
