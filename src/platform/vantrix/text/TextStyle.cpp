#include "platform/vantrix/text/TextStyle.h"

#include "platform/graphics/AttributedStringLayout.h"

#include <cmath>
#include <optional>

namespace platform {

namespace {

// Offsets, spacings and styles beyond this are damage, not design.
constexpr double kLargestNumber = 1000;

template <class T>
std::optional<T> typed(const TextAttributes& attributes, const QString& name)
{
    const QVariant value = attributes.value(name);
    if (value.metaType() == QMetaType::fromType<T>())
        return value.value<T>();
    return std::nullopt;
}

std::optional<double> number(const TextAttributes& attributes, const QString& name)
{
    const QVariant value = attributes.value(name);
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        if (const double result = value.toDouble(); std::isfinite(result))
            return std::clamp(result, -kLargestNumber, kLargestNumber);
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::optional<QColor> validColour(const TextAttributes& attributes, const QString& name)
{
    const std::optional<QColor> colour = typed<QColor>(attributes, name);
    return colour && colour->isValid() ? colour : std::nullopt;
}

struct KeyAttribute {
    const char* key;
    const QString& attribute;
};

const KeyAttribute kKeyAttributes[] = {
    {"font", kFontAttributeName},
    {"fontSize", kFontAttributeName},
    {"colour", kForegroundColourAttributeName},
    {"paragraphStyle", kParagraphStyleAttributeName},
    {"alignment", kParagraphStyleAttributeName},
    {"wrapsLines", kParagraphStyleAttributeName},
    {"underlines", kUnderlineStyleAttributeName},
    {"strikethroughs", kStrikethroughStyleAttributeName},
    {"outlineWidth", kStrokeWidthAttributeName},
    {"outlineColour", kStrokeColourAttributeName},
    {"textKnockoutDistance", VXTextKnockoutDistanceAttributeName},
    {"textKnockoutColour", VXTextKnockoutColourAttributeName},
    {"shadow", kShadowAttributeName},
    {"kerning", kKernAttributeName},
    {"baseline", kBaselineOffsetAttributeName},
    {"superscriptAttribute", kSuperscriptAttributeName},
};

} // namespace

QFont fontWithValidSize(QFont font)
{
    const double size = font.pointSizeF();
    font.setPointSizeF(size > 0 ? std::clamp(size, kMinimumFontSize, kMaximumFontSize) : 12.0);
    return font;
}

QFont TextStyle::defaultFont()
{
    return AttributedStringLayout::defaultFont();
}

ParagraphStyle TextStyle::defaultParagraphStyle()
{
    ParagraphStyle style;
    style.alignment = TextAlignment::Left;
    return style;
}

TextAttributes TextStyle::attributes() const
{
    TextAttributes result{
        {kFontAttributeName, font},
        {kForegroundColourAttributeName, colour},
        {kParagraphStyleAttributeName, QVariant::fromValue(paragraphStyle)},
        {kUnderlineStyleAttributeName, underlines},
        {kStrikethroughStyleAttributeName, strikethroughs},
        {kStrokeWidthAttributeName, outlineWidth},
        {VXTextKnockoutDistanceAttributeName, knockoutDistance},
        {VXTextKnockoutColourAttributeName, knockoutColour},
        {kKernAttributeName, kerning},
        {kBaselineOffsetAttributeName, baseline},
        {kSuperscriptAttributeName, superscript},
    };
    if (outlineColour.isValid())
        result.insert(kStrokeColourAttributeName, outlineColour);
    if (shadow)
        result.insert(kShadowAttributeName, QVariant::fromValue(shadow));
    return result;
}

TextStyle TextStyle::fromAttributes(const TextAttributes& attributes)
{
    TextStyle style;
    if (const auto font = typed<QFont>(attributes, kFontAttributeName))
        style.font = fontWithValidSize(*font);
    style.colour = validColour(attributes, kForegroundColourAttributeName).value_or(style.colour);
    style.paragraphStyle = typed<ParagraphStyle>(attributes, kParagraphStyleAttributeName).value_or(style.paragraphStyle);
    style.underlines = int(number(attributes, kUnderlineStyleAttributeName).value_or(0));
    style.strikethroughs = int(number(attributes, kStrikethroughStyleAttributeName).value_or(0));
    style.outlineWidth = std::clamp(number(attributes, kStrokeWidthAttributeName).value_or(0), -100.0, 100.0);
    style.outlineColour = validColour(attributes, kStrokeColourAttributeName).value_or(QColor());
    style.knockoutDistance = std::max(0.0, number(attributes, VXTextKnockoutDistanceAttributeName).value_or(0));
    style.knockoutColour = validColour(attributes, VXTextKnockoutColourAttributeName).value_or(style.knockoutColour);
    style.kerning = number(attributes, kKernAttributeName).value_or(0);
    style.baseline = number(attributes, kBaselineOffsetAttributeName).value_or(0);
    style.superscript = int(number(attributes, kSuperscriptAttributeName).value_or(0));
    if (const auto shadow = typed<VXShadowPtr>(attributes, kShadowAttributeName); shadow && *shadow)
        style.shadow = std::static_pointer_cast<VXShadow>((*shadow)->copy());
    return style;
}

QString TextStyle::attributeNameForKey(QStringView key)
{
    for (const KeyAttribute& entry : kKeyAttributes) {
        if (key == QLatin1String(entry.key))
            return entry.attribute;
    }
    return {};
}

} // namespace platform
