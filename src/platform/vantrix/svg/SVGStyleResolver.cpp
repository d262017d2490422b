#include "platform/vantrix/svg/SVGStyleResolver.h"

#include "platform/vantrix/svg/SVGNumberScanner.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>

namespace platform {

namespace {

std::optional<double> parseNumber(QStringView text)
{
    SVGNumberScanner scanner(text.trimmed());
    const std::optional<double> value = scanner.readNumber();
    return value && scanner.atEnd() ? value : std::nullopt;
}

std::optional<double> parseOpacity(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    const bool percent = trimmed.endsWith(u'%');
    const std::optional<double> value = parseNumber(percent ? trimmed.chopped(1) : trimmed);
    if (!value)
        return std::nullopt;
    return std::clamp(percent ? *value / 100 : *value, 0.0, 1.0);
}

std::optional<double> parseNonNegativeLength(QStringView text)
{
    const std::optional<double> value = parseSVGLength(text, 100);
    return value && *value >= 0 ? value : std::nullopt;
}

std::optional<QList<double>> parseDashArray(QStringView text)
{
    if (text.trimmed() == u"none")
        return QList<double>();
    QList<double> lengths;
    double sum = 0;
    static const QRegularExpression separator(QStringLiteral("[\\s,]+"));
    for (QStringView part : text.split(separator, Qt::SkipEmptyParts)) {
        const std::optional<double> length = parseSVGLength(part, 100);
        if (!length || *length < 0)
            return std::nullopt;
        lengths.append(*length);
        sum += *length;
    }
    if (sum <= 0)
        return QList<double>();
    if (lengths.size() % 2 == 1)
        lengths += QList<double>(lengths);
    return lengths;
}

std::optional<int> parseKeyword(QStringView text, std::initializer_list<const char16_t*> keywords)
{
    int index = 0;
    for (const char16_t* keyword : keywords) {
        if (text.trimmed() == QStringView(keyword))
            return index;
        ++index;
    }
    return std::nullopt;
}

std::optional<bool> parseFillRule(QStringView text)
{
    const std::optional<int> rule = parseKeyword(text, {u"nonzero", u"evenodd"});
    return rule ? std::optional<bool>(*rule == 1) : std::nullopt;
}

std::optional<QString> parseFontFamily(QStringView text)
{
    QString family = text.split(u',').first().trimmed().toString();
    family.remove(u'"').remove(u'\'');
    return family.isEmpty() ? std::nullopt : std::optional<QString>(family);
}

std::optional<int> parseFontWeight(QStringView text)
{
    if (const std::optional<int> keyword = parseKeyword(text, {u"normal", u"bold", u"bolder", u"lighter"}))
        return std::array{400, 700, 700, 300}[size_t(*keyword)];
    const std::optional<double> number = parseNumber(text);
    return number && *number >= 1 && *number <= 1000 ? std::optional<int>(int(*number)) : std::nullopt;
}

std::optional<QString> parseClipPath(QStringView text)
{
    if (text.trimmed() == u"none")
        return QString();
    const std::optional<SVGPaint> reference = SVGStyleResolver::parsePaint(text);
    if (!reference || reference->kind != SVGPaint::Reference)
        return std::nullopt;
    return reference->reference;
}

// One property: how a declaration sets it and how "inherit" copies it.
struct PropertyRule {
    std::function<void(SVGStyle&, const SVGStyle& parent, QStringView value)> apply;
    std::function<void(SVGStyle&, const SVGStyle& parent)> inherit;
};

template <auto Member, class Parser>
PropertyRule rule(Parser parser)
{
    return {[parser](SVGStyle& style, const SVGStyle&, QStringView value) {
                if (auto parsed = parser(value))
                    style.*Member = *parsed;
            },
            [](SVGStyle& style, const SVGStyle& parent) { style.*Member = parent.*Member; }};
}

const QHash<QString, PropertyRule>& propertyRules()
{
    static const QHash<QString, PropertyRule> rules = {
        {QStringLiteral("fill"), rule<&SVGStyle::fill>(SVGStyleResolver::parsePaint)},
        {QStringLiteral("fill-opacity"), rule<&SVGStyle::fillOpacity>(parseOpacity)},
        {QStringLiteral("fill-rule"), rule<&SVGStyle::fillRuleEvenOdd>(parseFillRule)},
        {QStringLiteral("stroke"), rule<&SVGStyle::stroke>(SVGStyleResolver::parsePaint)},
        {QStringLiteral("stroke-opacity"), rule<&SVGStyle::strokeOpacity>(parseOpacity)},
        {QStringLiteral("stroke-width"), rule<&SVGStyle::strokeWidth>(parseNonNegativeLength)},
        {QStringLiteral("stroke-dasharray"), rule<&SVGStyle::strokeDashArray>(parseDashArray)},
        {QStringLiteral("stroke-dashoffset"),
         rule<&SVGStyle::strokeDashOffset>([](QStringView v) { return parseSVGLength(v, 100); })},
        {QStringLiteral("stroke-linecap"),
         rule<&SVGStyle::strokeLineCap>([](QStringView v) { return parseKeyword(v, {u"butt", u"round", u"square"}); })},
        {QStringLiteral("stroke-linejoin"),
         rule<&SVGStyle::strokeLineJoin>([](QStringView v) { return parseKeyword(v, {u"miter", u"round", u"bevel"}); })},
        {QStringLiteral("stroke-miterlimit"), rule<&SVGStyle::strokeMiterLimit>([](QStringView v) {
             const std::optional<double> limit = parseNumber(v);
             return limit && *limit >= 1 ? limit : std::nullopt;
         })},
        {QStringLiteral("clip-rule"), rule<&SVGStyle::clipRuleEvenOdd>(parseFillRule)},
        {QStringLiteral("clip-path"), rule<&SVGStyle::clipPath>(parseClipPath)},
        {QStringLiteral("color"), rule<&SVGStyle::colour>(SVGStyleResolver::parseColour)},
        {QStringLiteral("visibility"), rule<&SVGStyle::visible>([](QStringView v) -> std::optional<bool> {
             const std::optional<int> keyword = parseKeyword(v, {u"visible", u"hidden", u"collapse"});
             return keyword ? std::optional<bool>(*keyword == 0) : std::nullopt;
         })},
        {QStringLiteral("font-family"), rule<&SVGStyle::fontFamily>(parseFontFamily)},
        {QStringLiteral("font-weight"), rule<&SVGStyle::fontWeight>(parseFontWeight)},
        {QStringLiteral("text-anchor"),
         rule<&SVGStyle::textAnchor>([](QStringView v) { return parseKeyword(v, {u"start", u"middle", u"end"}); })},
        {QStringLiteral("font-style"), rule<&SVGStyle::fontItalic>([](QStringView v) -> std::optional<bool> {
             const std::optional<int> keyword = parseKeyword(v, {u"normal", u"italic", u"oblique"});
             return keyword ? std::optional<bool>(*keyword != 0) : std::nullopt;
         })},
        // Font sizes in % and em are relative to the parent's size.
        {QStringLiteral("font-size"), {[](SVGStyle& style, const SVGStyle& parent, QStringView v) {
                                           QString text = v.trimmed().toString();
                                           double base = 100;
                                           if (text.endsWith(u"em")) {
                                               text.chop(2);
                                               base = 100 * parent.fontSize;
                                               text += u'%';
                                           } else if (text.endsWith(u'%')) {
                                               base = parent.fontSize;
                                           }
                                           const std::optional<double> size = parseSVGLength(text, base);
                                           if (size && *size > 0)
                                               style.fontSize = *size;
                                       },
                                       [](SVGStyle& style, const SVGStyle& parent) { style.fontSize = parent.fontSize; }}},
        {QStringLiteral("opacity"), rule<&SVGStyle::opacity>(parseOpacity)},
        {QStringLiteral("display"), rule<&SVGStyle::displayed>([](QStringView v) {
             return std::optional<bool>(v.trimmed() != u"none");
         })},
        {QStringLiteral("stop-color"), rule<&SVGStyle::stopColour>(SVGStyleResolver::parseColour)},
        {QStringLiteral("stop-opacity"), rule<&SVGStyle::stopOpacity>(parseOpacity)},
    };
    return rules;
}

void applyDeclaration(SVGStyle& style, const SVGStyle& parent, const QString& name, QStringView value)
{
    const auto found = propertyRules().constFind(name);
    if (found == propertyRules().cend())
        return;
    if (value.trimmed() == u"inherit")
        found->inherit(style, parent);
    else
        found->apply(style, parent, value);
}

std::optional<int> colourComponent(QStringView text, double scale)
{
    const QStringView trimmed = text.trimmed();
    const bool percent = trimmed.endsWith(u'%');
    const std::optional<double> value = parseNumber(percent ? trimmed.chopped(1) : trimmed);
    if (!value)
        return std::nullopt;
    return int(std::lround(std::clamp(percent ? *value * 255 / 100 : *value * scale, 0.0, 255.0)));
}

std::optional<QColor> functionalColour(QStringView text)
{
    const bool withAlpha = text.startsWith(u"rgba(");
    const qsizetype open = text.indexOf(u'(');
    if (!text.endsWith(u')'))
        return std::nullopt;
    const QList<QStringView> parts = text.sliced(open + 1, text.size() - open - 2).split(u',');
    if (parts.size() != (withAlpha ? 4 : 3))
        return std::nullopt;
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        const std::optional<int> component = colourComponent(parts[i], 1);
        if (!component)
            return std::nullopt;
        rgb[i] = *component;
    }
    QColor colour(rgb[0], rgb[1], rgb[2]);
    if (withAlpha) {
        const std::optional<double> alpha = parseOpacity(parts[3]);
        if (!alpha)
            return std::nullopt;
        colour.setAlphaF(float(*alpha));
    }
    return colour;
}

} // namespace

SVGStyle SVGStyle::inheritedStyle() const
{
    SVGStyle style = *this;
    const SVGStyle initial;
    style.opacity = initial.opacity;
    style.displayed = initial.displayed;
    style.stopColour = initial.stopColour;
    style.stopOpacity = initial.stopOpacity;
    style.clipPath = initial.clipPath;
    return style;
}

QColor SVGStyle::resolvedColour(const SVGPaint& paint, double paintOpacity) const
{
    QColor result;
    if (paint.kind == SVGPaint::Colour)
        result = paint.colour;
    else if (paint.kind == SVGPaint::CurrentColour)
        result = colour;
    if (result.isValid())
        result.setAlphaF(float(result.alphaF() * paintOpacity));
    return result;
}

// --- Style sheets --------------------------------------------------------------------------

bool SVGStyleSheet::Rule::matches(const SVGElement& element, const QStringList& elementClasses) const
{
    if (!tag.isEmpty() && tag != u"*" && tag != element.name())
        return false;
    if (!id.isEmpty() && id != element.attribute(QStringLiteral("id")))
        return false;
    return std::all_of(classes.cbegin(), classes.cend(),
                       [&](const QString& c) { return elementClasses.contains(c); });
}

void SVGStyleSheet::addRules(QStringView css)
{
    static const QRegularExpression comments(QStringLiteral("/\\*.*?\\*/"),
                                             QRegularExpression::DotMatchesEverythingOption);
    const QString text = css.toString().remove(comments);
    qsizetype position = 0;
    while (position < text.size()) {
        const qsizetype open = text.indexOf(u'{', position);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(u'}', open);
        if (close < 0)
            break;
        const QStringView selectors = QStringView(text).sliced(position, open - position).trimmed();
        // At-rules (@media, @font-face...) are not ours to apply.
        if (!selectors.startsWith(u'@')) {
            const auto declarations = SVGStyleResolver::parseDeclarations(QStringView(text).sliced(open + 1, close - open - 1));
            for (QStringView selector : selectors.split(u','))
                addRule(selector.trimmed(), declarations);
        }
        position = close + 1;
    }
}

void SVGStyleSheet::addRule(QStringView selector, const QList<std::pair<QString, QString>>& declarations)
{
    static const QRegularExpression compound(
        QStringLiteral("^([A-Za-z][\\w-]*|\\*)?((?:[.#][A-Za-z_][\\w-]*)*)$"));
    const QRegularExpressionMatch match = compound.match(selector.toString());
    if (selector.isEmpty() || !match.hasMatch())
        return;
    Rule rule;
    rule.tag = match.captured(1);
    static const QRegularExpression part(QStringLiteral("([.#])([\\w-]+)"));
    for (const QRegularExpressionMatch& p : part.globalMatch(match.captured(2))) {
        if (p.captured(1) == u"#") {
            if (!rule.id.isEmpty() && rule.id != p.captured(2))
                return; // two ids never match
            rule.id = p.captured(2);
            rule.specificity += 10000;
        } else {
            rule.classes.append(p.captured(2));
            rule.specificity += 100;
        }
    }
    if (!rule.tag.isEmpty() && rule.tag != u"*")
        rule.specificity += 1;
    rule.order = int(m_rules.size());
    rule.declarations = declarations;
    const int index = rule.order;
    if (!rule.id.isEmpty())
        m_byId[rule.id].append(index);
    else if (!rule.classes.isEmpty())
        m_byClass[rule.classes.first()].append(index);
    else if (!rule.tag.isEmpty() && rule.tag != u"*")
        m_byTag[rule.tag].append(index);
    else
        m_universal.append(index);
    m_rules.push_back(std::move(rule));
}

QList<std::pair<QString, QString>> SVGStyleSheet::declarationsFor(const SVGElement& element) const
{
    if (m_rules.empty())
        return {};
    const QStringList classes = element.attribute(QStringLiteral("class")).toString().split(u' ', Qt::SkipEmptyParts);
    QList<int> candidates = m_universal;
    candidates += m_byTag.value(element.name());
    candidates += m_byId.value(element.attribute(QStringLiteral("id")).toString());
    for (const QString& c : classes)
        candidates += m_byClass.value(c);
    std::sort(candidates.begin(), candidates.end(), [&](int a, int b) {
        return std::pair(m_rules[size_t(a)].specificity, a) < std::pair(m_rules[size_t(b)].specificity, b);
    });
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    QList<std::pair<QString, QString>> result;
    for (int index : candidates) {
        const Rule& rule = m_rules[size_t(index)];
        if (rule.matches(element, classes))
            result += rule.declarations;
    }
    return result;
}

// --- Resolution ------------------------------------------------------------------------------

SVGStyle SVGStyleResolver::resolve(const SVGElement& element, const SVGStyle& parent, const SVGStyleSheet& sheet)
{
    SVGStyle style = parent.inheritedStyle();
    for (qsizetype i = 0; i < element.attributeCount(); ++i)
        applyDeclaration(style, parent, element.attributeName(i), element.attributeValue(i));
    for (const auto& [name, value] : sheet.declarationsFor(element))
        applyDeclaration(style, parent, name, value);
    for (const auto& [name, value] : parseDeclarations(element.attribute(QStringLiteral("style"))))
        applyDeclaration(style, parent, name, value);
    return style;
}

QList<std::pair<QString, QString>> SVGStyleResolver::parseDeclarations(QStringView text)
{
    QList<std::pair<QString, QString>> declarations;
    for (QStringView declaration : text.split(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon <= 0)
            continue;
        QStringView value = declaration.sliced(colon + 1).trimmed();
        if (value.endsWith(u"!important"))
            value = value.chopped(10).trimmed();
        declarations.append({declaration.first(colon).trimmed().toString().toLower(), value.toString()});
    }
    return declarations;
}

std::optional<QColor> SVGStyleResolver::parseColour(QStringView text)
{
    const QString trimmed = text.trimmed().toString().toLower();
    if (trimmed.startsWith(u"rgb"))
        return functionalColour(trimmed);
    if (trimmed.startsWith(u'#')) {
        static const QRegularExpression hex(QStringLiteral("^#([0-9a-f]{3}|[0-9a-f]{6})$"));
        if (!hex.match(trimmed).hasMatch())
            return std::nullopt;
    } else if (trimmed.isEmpty() || !trimmed.front().isLetter()) {
        return std::nullopt;
    }
    const QColor colour = QColor::fromString(trimmed);
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}

std::optional<SVGPaint> SVGStyleResolver::parsePaint(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed == u"none")
        return SVGPaint{};
    if (trimmed.compare(u"currentColor", Qt::CaseInsensitive) == 0)
        return SVGPaint{SVGPaint::CurrentColour, {}, {}};
    if (trimmed.startsWith(u"url(")) {
        const qsizetype close = trimmed.indexOf(u')');
        QStringView reference = close > 4 ? trimmed.sliced(4, close - 4).trimmed() : QStringView();
        if (reference.size() >= 2 && (reference.startsWith(u'\'') || reference.startsWith(u'"')))
            reference = reference.sliced(1).chopped(1);
        if (!reference.startsWith(u'#'))
            return std::nullopt;
        return SVGPaint{SVGPaint::Reference, {}, reference.sliced(1).toString()};
    }
    if (const std::optional<QColor> colour = parseColour(trimmed))
        return SVGPaint{SVGPaint::Colour, *colour, {}};
    return std::nullopt;
}

} // namespace platform
