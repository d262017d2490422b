#pragma once

// What every text read from a pasteboard must be, whatever the data: refused with a reason, or
// no longer than a label takes and one character over (reading stops there), covered by its
// runs, in fonts of sizes a label can draw and of names no longer than a family's.

#include "platform/graphics/AttributedString.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/vantrix/text/PastedText.h"

#include <QFont>
#include <QString>
#include <cmath>
#include <optional>

namespace fuzz {

inline void requirePastableText(const std::optional<platform::AttributedString>& text, const QString& refusal,
                                const char* type)
{
    if (!text) {
        if (refusal.isEmpty())
            qFatal("%s was refused without a reason", type);
        return;
    }
    if (text->length() > platform::kMaximumPastedTextLength + 1)
        qFatal("the text read from %s runs %lld characters past its limit", type,
               qlonglong(text->length() - platform::kMaximumPastedTextLength));
    qsizetype covered = 0;
    text->enumerateAttributesInRange({0, text->length()}, [&](const platform::TextAttributes& attributes,
                                                              platform::TextRange run) {
        if (run.location != covered)
            qFatal("the runs of the text read from %s leave a gap", type);
        covered = run.end();
        const QVariant font = attributes.value(platform::kFontAttributeName);
        if (!font.isValid())
            return;
        const QFont runFont = font.value<QFont>();
        const double points = runFont.pointSizeF();
        if (!std::isfinite(points) || points <= 0 || points > 2000)
            qFatal("a run of the text read from %s has a font of %g points", type, points);
        if (runFont.family().size() > platform::kMaximumFontFamilyLength)
            qFatal("a run of the text read from %s names a font of %lld characters", type,
                   qlonglong(runFont.family().size()));
    });
    if (covered != text->length())
        qFatal("the runs of the text read from %s do not cover it", type);
}

} // namespace fuzz
