#include "platform/vantrix/text/TextAttributeCoding.h"

#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/text/TextStyle.h"

#include <QColor>
#include <QFont>
#include <cmath>

namespace platform {

namespace {

const QString kAlignmentKey = QStringLiteral("alignment");
const QString kLineBreakModeKey = QStringLiteral("lineBreakMode");
const QString kLineSpacingKey = QStringLiteral("lineSpacing");
const QString kParagraphSpacingKey = QStringLiteral("paragraphSpacing");
const QString kFirstLineHeadIndentKey = QStringLiteral("firstLineHeadIndent");
const QString kHeadIndentKey = QStringLiteral("headIndent");
const QString kRunLengthKey = QStringLiteral("length");
const QString kRunAttributesKey = QStringLiteral("attributes");

// Spacings and indents beyond this are damage, not design.
constexpr double kLargestDistance = 10000;

std::optional<double> finiteNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        if (const double number = value.toDouble(); std::isfinite(number))
            return number;
        return std::nullopt;
    default: return std::nullopt;
    }
}

double distance(const QVariantMap& map, const QString& key, double minimum)
{
    return std::clamp(finiteNumber(map.value(key)).value_or(0), minimum, kLargestDistance);
}

template <class Enum>
Enum enumValue(const QVariantMap& map, const QString& key, Enum fallback, Enum last)
{
    const std::optional<double> number = finiteNumber(map.value(key));
    return number && *number >= 0 && *number <= double(last) ? Enum(int(*number)) : fallback;
}

ZQObjectPtr objectOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<ZQObjectPtr>())
        return value.value<ZQObjectPtr>();
    QVariant converted = value;
    return converted.convert(QMetaType::fromType<ZQObjectPtr>()) ? converted.value<ZQObjectPtr>() : nullptr;
}

std::optional<QVariant> archivedValue(const QString& name, const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::QString:
    case QMetaType::QColor:
    case QMetaType::QFont: return value;
    case QMetaType::Double: return finiteNumber(value) ? std::optional<QVariant>(value) : std::nullopt;
    default: break;
    }
    if (value.metaType() == QMetaType::fromType<ParagraphStyle>())
        return QVariant(archivedParagraphStyle(value.value<ParagraphStyle>()));
    if (const ZQObjectPtr object = objectOf(value))
        return QVariant::fromValue(object);
    ZQLog(QStringLiteral("text attribute %1 of type %2 is not archived").arg(name, QString::fromLatin1(value.typeName())));
    return std::nullopt;
}

std::optional<QVariant> unarchivedValue(const QString& name, const QVariant& value)
{
    if (name == kParagraphStyleAttributeName) {
        const std::optional<ParagraphStyle> style = paragraphStyleFromArchive(value);
        return style ? std::optional<QVariant>(QVariant::fromValue(*style)) : std::nullopt;
    }
    if (name == kShadowAttributeName) {
        const auto shadow = std::dynamic_pointer_cast<VXShadow>(objectOf(value));
        return shadow ? std::optional<QVariant>(QVariant::fromValue(shadow)) : std::nullopt;
    }
    switch (value.metaType().id()) {
    case QMetaType::LongLong:
        // Property lists keep every integer wide; attributes hold ints.
        if (const qint64 number = value.toLongLong(); number >= INT_MIN && number <= INT_MAX)
            return QVariant(int(number));
        return std::nullopt;
    case QMetaType::Double: return finiteNumber(value) ? std::optional<QVariant>(value) : std::nullopt;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::QString:
    case QMetaType::QColor:
    case QMetaType::QFont: return value;
    default: break;
    }
    if (const ZQObjectPtr object = objectOf(value))
        return QVariant::fromValue(object);
    return std::nullopt;
}

} // namespace

QVariantMap archivedParagraphStyle(const ParagraphStyle& style)
{
    return {
        {kAlignmentKey, int(style.alignment)},
        {kLineBreakModeKey, int(style.lineBreakMode)},
        {kLineSpacingKey, style.lineSpacing},
        {kParagraphSpacingKey, style.paragraphSpacing},
        {kFirstLineHeadIndentKey, style.firstLineHeadIndent},
        {kHeadIndentKey, style.headIndent},
    };
}

std::optional<ParagraphStyle> paragraphStyleFromArchive(const QVariant& archived)
{
    if (archived.metaType() != QMetaType::fromType<QVariantMap>())
        return std::nullopt;
    const QVariantMap map = archived.toMap();
    ParagraphStyle style;
    style.alignment = enumValue(map, kAlignmentKey, style.alignment, TextAlignment::Natural);
    style.lineBreakMode = enumValue(map, kLineBreakModeKey, style.lineBreakMode, LineBreakMode::TruncatingMiddle);
    style.lineSpacing = distance(map, kLineSpacingKey, 0);
    style.paragraphSpacing = distance(map, kParagraphSpacingKey, 0);
    style.firstLineHeadIndent = distance(map, kFirstLineHeadIndentKey, -kLargestDistance);
    style.headIndent = distance(map, kHeadIndentKey, -kLargestDistance);
    return style;
}

QVariantMap archivedTextAttributes(const TextAttributes& attributes)
{
    QVariantMap archived;
    for (auto it = attributes.cbegin(); it != attributes.cend(); ++it) {
        if (const std::optional<QVariant> value = archivedValue(it.key(), it.value()))
            archived.insert(it.key(), *value);
    }
    return archived;
}

TextAttributes textAttributesFromArchive(const QVariant& archived)
{
    TextAttributes attributes;
    if (archived.metaType() != QMetaType::fromType<QVariantMap>())
        return attributes;
    const QVariantMap map = archived.toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (const std::optional<QVariant> value = unarchivedValue(it.key(), it.value()))
            attributes.insert(it.key(), *value);
        else
            ZQLog(QStringLiteral("the archived text attribute %1 is damaged; left out").arg(it.key()));
    }
    return attributes;
}

QVariantList archivedRuns(const AttributedString& text)
{
    QVariantList runs;
    bool anyAttributes = false;
    for (qsizetype i = 0; i < text.length();) {
        TextRange run;
        const TextAttributes attributes = text.attributesAtIndexEffectiveRange(i, &run);
        anyAttributes = anyAttributes || !attributes.isEmpty();
        runs.append(QVariantMap{{kRunLengthKey, qint64(run.length)}, {kRunAttributesKey, archivedTextAttributes(attributes)}});
        i = run.end();
    }
    return anyAttributes ? runs : QVariantList();
}

AttributedString attributedStringFromArchive(const QString& string, const QVariant& runs)
{
    AttributedString text(string);
    if (!runs.isValid())
        return text;
    if (runs.metaType() != QMetaType::fromType<QVariantList>()) {
        ZQLog(QStringLiteral("the archived text runs are not a list; the text is kept plain"));
        return text;
    }
    qsizetype location = 0;
    for (const QVariant& entry : runs.toList()) {
        const QVariantMap run = entry.toMap();
        const std::optional<double> length = finiteNumber(run.value(kRunLengthKey));
        if (entry.metaType() != QMetaType::fromType<QVariantMap>() || !length || *length < 1
            || *length > double(string.size() - location)) {
            ZQLog(QStringLiteral("an archived text run does not fit the text; the rest is kept plain"));
            break;
        }
        const TextRange range{location, qsizetype(*length)};
        text.setAttributesRange(textAttributesFromArchive(run.value(kRunAttributesKey)), range);
        location = range.end();
    }
    return text;
}

} // namespace platform
