#include "platform/vantrix/text/TextSubstitution.h"

#include "platform/foundation/Markers.h"
#include "platform/vantrix/text/AbbreviationTable.h"

#include <QLocale>
#include <QRegularExpression>

namespace platform {

namespace {

const QRegularExpression& placeholderPattern()
{
    static const QRegularExpression pattern(QStringLiteral("%%(\\w+)"));
    return pattern;
}

// Upper or lower case run by run, so each run keeps its attributes even where the case
// change alters the length ("ß" -> "SS").
AttributedString withRunsMapped(const AttributedString& text, QString (QString::*map)() const &)
{
    AttributedString result;
    for (qsizetype i = 0; i < text.length();) {
        TextRange run;
        const TextAttributes attributes = text.attributesAtIndexEffectiveRange(i, &run);
        result.appendAttributedString(AttributedString((text.string().mid(run.location, run.length).*map)(), attributes));
        i = run.end();
    }
    return result;
}

AttributedString inTitleCase(const AttributedString& text)
{
    QString string = text.string();
    bool atWordStart = true;
    for (QChar& c : string) {
        if (atWordStart && c.isLetter())
            c = c.toUpper();
        atWordStart = !c.isLetterOrNumber() && c != QLatin1Char('\'') && c != QChar(0x2019);
    }
    // Case changes of single letters keep the length, so the runs stay as they are.
    AttributedString result = text;
    for (qsizetype i = 0; i < string.size(); ++i) {
        if (string[i] != text.string()[i])
            result.replaceCharactersInRangeWithString({i, 1}, string.mid(i, 1));
    }
    return result;
}

} // namespace

AttributedString substitutedText(const AttributedString& text, const TextSubstitutionLookup& lookup,
                                 const AbbreviationTable* abbreviations)
{
    QList<QRegularExpressionMatch> matches;
    for (auto it = placeholderPattern().globalMatch(text.string()); it.hasNext();)
        matches.append(it.next());
    AttributedString result = text;
    // From the end, so earlier ranges stay where they are.
    for (auto match = matches.crbegin(); match != matches.crend(); ++match) {
        QString value = lookup ? textForValue(lookup(match->captured(1))) : QString();
        if (abbreviations)
            value = abbreviations->abbreviatedString(value);
        result.replaceCharactersInRangeWithString({match->capturedStart(), match->capturedLength()}, value);
    }
    return result;
}

bool textContainsPlaceholderForKey(const QString& text, const QString& key)
{
    for (auto it = placeholderPattern().globalMatch(text); it.hasNext();) {
        if (it.next().captured(1).compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString textForValue(const QVariant& value)
{
    if (isNull(value) || !value.isValid())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::Float:
    case QMetaType::Double: return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QStringList parts;
        for (const QVariant& element : value.toList())
            parts.append(textForValue(element));
        return parts.join(QStringLiteral(", "));
    }
    default: return value.toString();
    }
}

AttributedString capitalizedText(const AttributedString& text, TextCapitalization capitalization)
{
    switch (capitalization) {
    case TextCapitalization::Upper: return withRunsMapped(text, &QString::toUpper);
    case TextCapitalization::Lower: return withRunsMapped(text, &QString::toLower);
    case TextCapitalization::Title: return inTitleCase(text);
    case TextCapitalization::None: break;
    }
    return text;
}

} // namespace platform
