#pragma once

// The SVG style cascade: presentation attributes, then matching rules of the document's
// style sheets (element, class and id selectors, by specificity), then the element's own
// style="..." declarations. Inherited properties come from the parent; "inherit" asks for
// the parent's value explicitly. Values that do not parse leave the property as it was.

#include "platform/vantrix/svg/SVGElementTree.h"

#include <QColor>
#include <QHash>
#include <QList>

namespace platform {

struct SVGPaint {
    enum Kind { None, Colour, CurrentColour, Reference };
    Kind kind = None;
    QColor colour;     // of Colour paints
    QString reference; // the id a url(#id) paint names
    bool operator==(const SVGPaint&) const = default;
};

// Computed values; lengths in user units.
struct SVGStyle {
    // Inherited.
    SVGPaint fill{SVGPaint::Colour, Qt::black, {}};
    double fillOpacity = 1;
    bool fillRuleEvenOdd = false;
    SVGPaint stroke;
    double strokeOpacity = 1;
    double strokeWidth = 1;
    QList<double> strokeDashArray; // empty: solid
    double strokeDashOffset = 0;
    int strokeLineCap = 0;  // butt, round, square
    int strokeLineJoin = 0; // miter, round, bevel
    double strokeMiterLimit = 4;
    bool clipRuleEvenOdd = false;
    QColor colour = Qt::black;
    bool visible = true;
    QString fontFamily;
    double fontSize = 16;
    int fontWeight = 400;
    bool fontItalic = false;
    int textAnchor = 0; // start, middle, end
    // Not inherited.
    double opacity = 1;
    bool displayed = true;
    QColor stopColour = Qt::black;
    double stopOpacity = 1;
    QString clipPath; // the id a clip-path: url(#id) names; empty for none

    // A new element's starting point: this style's inherited values, the rest reset.
    SVGStyle inheritedStyle() const;
    // The paint as a colour with its opacity applied; invalid for none and references.
    QColor resolvedColour(const SVGPaint& paint, double paintOpacity) const;
};

class SVGStyleSheet {
public:
    // Adds the rules of a <style> element's text. Rules with selectors other than
    // element, class, id and their compounds are ignored.
    void addRules(QStringView css);
    // Declarations of the matching rules, lowest specificity first, then in sheet order.
    QList<std::pair<QString, QString>> declarationsFor(const SVGElement& element) const;
    bool isEmpty() const { return m_rules.empty(); }

private:
    struct Rule {
        QString tag; // empty or "*": any
        QStringList classes;
        QString id;
        int specificity = 0;
        int order = 0;
        QList<std::pair<QString, QString>> declarations;
        bool matches(const SVGElement& element, const QStringList& elementClasses) const;
    };
    void addRule(QStringView selector, const QList<std::pair<QString, QString>>& declarations);

    std::vector<Rule> m_rules;
    // Rules indexed by the most selective part they need, so matching stays fast in big files.
    QHash<QString, QList<int>> m_byId;
    QHash<QString, QList<int>> m_byClass;
    QHash<QString, QList<int>> m_byTag;
    QList<int> m_universal;
};

class SVGStyleResolver {
public:
    // The computed style of `element` whose parent computed `parent`.
    static SVGStyle resolve(const SVGElement& element, const SVGStyle& parent, const SVGStyleSheet& sheet);
    // "fill: red; stroke-width: 2" as ordered pairs; "!important" is dropped.
    static QList<std::pair<QString, QString>> parseDeclarations(QStringView text);
    // Colour keywords, #rgb, #rrggbb, rgb() and rgba() with numbers or percentages.
    static std::optional<QColor> parseColour(QStringView text);
    static std::optional<SVGPaint> parsePaint(QStringView text);
};

} // namespace platform
