#include "platform/vantrix/text/HTMLRunStyle.h"

#include "platform/graphics/FontUtilities.h"

#include <QFont>
#include <QRegularExpression>
#include <algorithm>
#include <array>

namespace platform {

namespace {

// The size of unstyled text, which relative sizes (em, %, <big>) start from.
constexpr double kMediumPoints = 12.0;
// Sizes a font can be drawn at; markup may ask for anything.
constexpr double kSmallestPoints = 1.0;
constexpr double kLargestPoints = 1638.0;
constexpr double kPointsPerPixel = 0.75;
constexpr double kSizeStep = 1.2; // <big>, <small>, "larger", "smaller"

struct SizeKeyword {
    const char* name;
    double points;
};
// CSS's absolute sizes; <font size="1"> to "7" are the last seven.
constexpr std::array<SizeKeyword, 8> kSizeKeywords{{{"xx-small", 6.75},
                                                     {"x-small", 7.5},
                                                     {"small", 9.75},
                                                     {"medium", 12},
                                                     {"large", 13.5},
                                                     {"x-large", 18},
                                                     {"xx-large", 24},
                                                     {"xxx-large", 36}}};

double clampedPoints(double points)
{
    return std::clamp(points, kSmallestPoints, kLargestPoints);
}

std::optional<double> pointsFromCSS(QStringView value, double inherited)
{
    for (const SizeKeyword& keyword : kSizeKeywords) {
        if (value == QLatin1StringView(keyword.name))
            return keyword.points;
    }
    if (value == u"larger")
        return clampedPoints(inherited * kSizeStep);
    if (value == u"smaller")
        return clampedPoints(inherited / kSizeStep);
    static const QRegularExpression length(QStringLiteral(R"(^(\d*\.?\d+)\s*(pt|px|em|rem|%)?$)"));
    const QRegularExpressionMatch match = length.match(value);
    if (!match.hasMatch())
        return std::nullopt;
    const double number = match.capturedView(1).toDouble();
    const QStringView unit = match.capturedView(2);
    if (unit == u"pt")
        return clampedPoints(number);
    if (unit == u"em" || unit == u"rem")
        return clampedPoints(number * inherited);
    if (unit == u"%")
        return clampedPoints(number * inherited / 100);
    return clampedPoints(number * kPointsPerPixel); // px, and a bare number as browsers read it
}

// <font size>: 1 to 7, or a step from 3 ("+2", "-1").
std::optional<double> pointsFromFontSize(QStringView value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok)
        return std::nullopt;
    const bool relative = value.startsWith(u'+') || value.startsWith(u'-');
    const int size = std::clamp(relative ? 3 + number : number, 1, 7);
    return kSizeKeywords[size].points;
}

std::optional<bool> boldFromCSS(QStringView value)
{
    if (value == u"bold" || value == u"bolder")
        return true;
    if (value == u"normal" || value == u"lighter")
        return false;
    bool ok = false;
    const int weight = value.toInt(&ok);
    return ok ? std::optional<bool>(weight >= 600) : std::nullopt;
}

// Empty when the first names no font.
QString firstFamily(QStringView families)
{
    QString family = families.left(families.indexOf(u',')).toString();
    family.remove(u'"').remove(u'\'');
    family = family.trimmed();
    return family.size() > kMaximumFontFamilyLength ? QString() : family;
}

void applyDeclaration(HTMLRunStyle& style, QStringView property, QStringView value)
{
    if (property == u"color") {
        if (const std::optional<QColor> colour = colourFromHTML(value))
            style.colour = colour;
    } else if (property == u"font-weight") {
        if (const std::optional<bool> bold = boldFromCSS(value))
            style.bold = bold;
    } else if (property == u"font-style") {
        if (value == u"italic" || value == u"oblique")
            style.italic = true;
        else if (value == u"normal")
            style.italic = false;
    } else if (property == u"font-family") {
        if (const QString family = firstFamily(value); !family.isEmpty())
            style.family = family;
    } else if (property == u"font-size") {
        if (const std::optional<double> points = pointsFromCSS(value, style.pointSize.value_or(kMediumPoints)))
            style.pointSize = points;
    } else if (property == u"text-decoration" || property == u"text-decoration-line") {
        if (value.contains(u"none"))
            style.underline = style.strikethrough = false;
        style.underline = style.underline || value.contains(u"underline");
        style.strikethrough = style.strikethrough || value.contains(u"line-through");
    } else if (property == u"vertical-align") {
        if (value == u"super")
            style.script = 1;
        else if (value == u"sub")
            style.script = -1;
        else if (value == u"baseline")
            style.script = 0;
    }
}

void applyInlineStyle(HTMLRunStyle& style, const QString& declarations)
{
    for (QStringView declaration : QStringView(declarations).split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QString property = declaration.left(colon).trimmed().toString().toLower();
        QString value = declaration.mid(colon + 1).trimmed().toString().toLower();
        value.remove(QLatin1StringView("!important"));
        applyDeclaration(style, property, QStringView(value).trimmed());
    }
}

// rgb(255, 0, 0), rgba(255, 0, 0, 0.5), rgb(100%, 0%, 0%)
std::optional<QColor> colourFromFunction(QStringView value)
{
    const qsizetype open = value.indexOf(u'(');
    if (open < 0 || !value.endsWith(u')'))
        return std::nullopt;
    const QList<QStringView> parts = value.sliced(open + 1, value.size() - open - 2).split(u',');
    if (parts.size() < 3 || parts.size() > 4)
        return std::nullopt;
    std::array<double, 4> components{0, 0, 0, 1};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QStringView part = parts[i].trimmed();
        const bool percent = part.endsWith(u'%');
        bool ok = false;
        const double number = (percent ? part.chopped(1) : part).toDouble(&ok);
        if (!ok)
            return std::nullopt;
        const double scale = i == 3 ? 1.0 : 255.0;
        components[i] = std::clamp(percent ? number / 100 * scale : number, 0.0, scale);
    }
    return QColor::fromRgbF(float(components[0] / 255), float(components[1] / 255), float(components[2] / 255),
                            float(components[3]));
}

} // namespace

bool isElementNamed(QByteArrayView name, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), [name](const char* n) { return name == QByteArrayView(n); });
}

std::optional<QColor> colourFromHTML(QStringView value)
{
    const QStringView trimmed = value.trimmed();
    if (trimmed.startsWith(u"rgb", Qt::CaseInsensitive))
        return colourFromFunction(trimmed);
    QColor colour = QColor::fromString(trimmed);
    // Old markup leaves the "#" out.
    if (!colour.isValid() && (trimmed.size() == 3 || trimmed.size() == 6))
        colour = QColor::fromString(QString(u'#' + trimmed.toString()));
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}

HTMLRunStyle HTMLRunStyle::inElement(QByteArrayView name, const AttributeLookup& attribute) const
{
    HTMLRunStyle style = *this;
    if (isElementNamed(name, {"b", "strong", "th"}))
        style.bold = true;
    else if (isElementNamed(name, {"i", "em", "cite", "var", "dfn", "address"}))
        style.italic = true;
    else if (isElementNamed(name, {"u", "ins"}))
        style.underline = true;
    else if (isElementNamed(name, {"s", "strike", "del"}))
        style.strikethrough = true;
    else if (name == "sup")
        style.script = 1;
    else if (name == "sub")
        style.script = -1;
    else if (isElementNamed(name, {"code", "tt", "kbd", "samp", "pre", "xmp", "listing", "plaintext"}))
        style.family = QStringLiteral("monospace");
    else if (name == "big" || name == "small")
        style.pointSize = clampedPoints(pointSize.value_or(kMediumPoints) * (name == "big" ? kSizeStep : 1 / kSizeStep));
    else if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
        static constexpr std::array<double, 6> headingPoints{24, 18, 14, 12, 10, 8};
        style.bold = true;
        style.pointSize = headingPoints[name[1] - '1'];
    } else if (name == "font") {
        if (const QString face = firstFamily(attribute("face")); !face.isEmpty())
            style.family = face;
        if (const std::optional<double> points = pointsFromFontSize(attribute("size").trimmed()))
            style.pointSize = points;
        if (const std::optional<QColor> colour = colourFromHTML(attribute("color")))
            style.colour = colour;
    }
    if (const QString declarations = attribute("style"); !declarations.isEmpty())
        applyInlineStyle(style, declarations);
    return style;
}

TextAttributes HTMLRunStyle::attributes() const
{
    TextAttributes attributes;
    // Only what the markup set: the rest is left to the text it joins.
    QFont font;
    if (family)
        font.setFamily(*family);
    if (pointSize)
        font.setPointSizeF(*pointSize);
    if (bold)
        font.setBold(*bold);
    if (italic)
        font.setItalic(*italic);
    if (font.resolveMask() != 0)
        attributes.insert(kFontAttributeName, font);
    if (colour)
        attributes.insert(kForegroundColourAttributeName, *colour);
    if (underline)
        attributes.insert(kUnderlineStyleAttributeName, 1);
    if (strikethrough)
        attributes.insert(kStrikethroughStyleAttributeName, 1);
    if (script != 0)
        attributes.insert(kSuperscriptAttributeName, script);
    return attributes;
}

} // namespace platform
