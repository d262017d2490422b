#include "platform/vantrix/svg/VXSVGImporter.h"

#include "platform/foundation/RegularFile.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "platform/vantrix/drawables/DecodedPixelBudget.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStrokeDash.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/svg/SVGClipPaths.h"
#include "platform/vantrix/svg/SVGElementTree.h"
#include "platform/vantrix/svg/SVGGradientBuilder.h"
#include "platform/vantrix/svg/SVGImageSource.h"
#include "platform/vantrix/svg/SVGNumberScanner.h"
#include "platform/vantrix/svg/SVGPathParser.h"
#include "platform/vantrix/svg/SVGStyleResolver.h"
#include "platform/vantrix/svg/SVGTransformParser.h"
#include "platform/vantrix/svg/SVGViewBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

using namespace platform;

namespace {

// Budgets for the whole import, so that nested uses and huge paths stay bounded.
constexpr qsizetype kMaximumPathPoints = 8'000'000; // about 200 MB of path elements
constexpr qsizetype kMaximumObjects = 100'000;
constexpr qsizetype kMaximumVisits = 1'000'000;
// Elements drawn through use: a few bytes of nested uses must not multiply into a huge drawing.
constexpr qsizetype kMaximumUsedElements = 20'000;
constexpr int kMaximumUseDepth = 32;
constexpr double kPointsPerPixel = 72.0 / 96.0;
// Text beyond this size (points) overwhelms text layout.
constexpr double kMaximumFontSize = 4096;
// Characters in one <text>: a megabyte of text lays out in about a second; far more exhausts
// the memory of text shaping.
constexpr qsizetype kMaximumTextLength = 1 << 20;

// Elements that only define things others refer to.
const QSet<QString>& definitionElements()
{
    static const QSet<QString> names{
        QStringLiteral("defs"),     QStringLiteral("symbol"),   QStringLiteral("linearGradient"),
        QStringLiteral("radialGradient"), QStringLiteral("style"), QStringLiteral("title"),
        QStringLiteral("desc"),     QStringLiteral("metadata"), QStringLiteral("clipPath"),
        QStringLiteral("mask"),     QStringLiteral("pattern"),  QStringLiteral("filter"),
        QStringLiteral("marker"),   QStringLiteral("font"),     QStringLiteral("font-face"),
        QStringLiteral("cursor"),   QStringLiteral("view"),     QStringLiteral("color-profile"),
    };
    return names;
}

// Extreme numbers and transforms can throw geometry off the representable range.
bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

double lengthScale(const QTransform& transform)
{
    return std::sqrt(std::abs(transform.determinant()));
}

// Where a group's children are drawn: the transform from user units to points, the
// computed style, the viewport "%" refers to, the opacity of enclosing groups and the
// region (in points) their clip paths leave.
struct Context {
    QTransform toPage;
    SVGStyle style;
    QSizeF viewport;
    double opacity = 1;
    int useDepth = 0;
    std::optional<QPainterPath> clip;
};

// Length attributes take CSS numbers, in which "10." is malformed (path data alone allows
// it); other renderers ignore such a length, and so do we.
std::optional<double> attributeLength(QStringView text, double percentBase)
{
    const QStringView value = text.trimmed();
    qsizetype end = value.size();
    while (end > 0 && (value[end - 1].isLetter() || value[end - 1] == u'%'))
        --end;
    if (end > 0 && value[end - 1] == u'.')
        return std::nullopt;
    return parseSVGLength(value, percentBase);
}

QPolygonF parsePoints(QStringView text)
{
    SVGNumberScanner scanner(text);
    QPolygonF points;
    scanner.skipSpaces();
    while (!scanner.atEnd()) {
        const std::optional<double> x = scanner.readNumber();
        scanner.skipSeparator();
        const std::optional<double> y = x ? scanner.readNumber() : std::nullopt;
        if (!y)
            break; // SVG draws the points before the error
        points.append({*x, *y});
        scanner.skipSeparator();
    }
    return points;
}

// Converts an element tree into drawables, one walk, with budgets that bound the work.
class Converter {
public:
    Converter(const SVGElementTree& tree, const QString& baseFolder)
        : m_tree(tree), m_root(tree.root()), m_baseFolder(baseFolder), m_gradients(tree, m_sheet),
          m_clipPaths(tree, m_sheet,
                      [this](const SVGElement& element, QSizeF viewport) { return geometry(element, viewport); })
    {
        addStyleSheets(m_root);
    }

    VXSVGImporter::Result run()
    {
        VXSVGImporter::Result result;
        const std::optional<QRectF> viewBox = SVGViewBox::parse(m_root.attribute(QStringLiteral("viewBox")));
        const Page page = rootPage(viewBox);
        result.size = page.points;
        const QRectF contentBox = viewBox.value_or(QRectF(QPointF(), page.pixels));
        Context context;
        context.viewport = contentBox.size();
        context.toPage = elementTransform(m_root)
            * SVGViewBox::transform(contentBox, m_root.attribute(QStringLiteral("preserveAspectRatio")), result.size);
        context.style = SVGStyleResolver::resolve(m_root, SVGStyle(), m_sheet);
        context.opacity = context.style.opacity;
        if (context.style.displayed)
            result.objects = convertChildren(m_root, context);
        result.skipped = m_skipped;
        result.skipReasons = m_skipReasons;
        return result;
    }

    // Why the file cannot be imported; empty when it can.
    const QString& refusal() const { return m_refusal; }

private:
    void addStyleSheets(const SVGElement& element)
    {
        if (element.name() == u"style")
            m_sheet.addRules(element.text());
        for (const SVGElement child : element.children())
            addStyleSheets(child);
    }

    // The element a use names with href="#id"; null when the document has none.
    SVGElement referencedElement(const SVGElement& use) const
    {
        const QStringView href = use.attribute(QStringLiteral("href"));
        return href.startsWith(u'#') ? m_tree.elementById(href.sliced(1)) : SVGElement();
    }

    // The page's size in user units (CSS px) and in points of the drawing. Width and height
    // default to the viewBox's. A px is a point, except that a page sized in absolute units
    // keeps its physical size.
    struct Page {
        QSizeF pixels;
        QSizeF points;
    };
    Page rootPage(const std::optional<QRectF>& viewBox) const
    {
        static const QRegularExpression absolute(QStringLiteral("\\d\\s*(in|cm|mm|pt|pc)\\s*$"));
        const QSizeF fallback = viewBox ? viewBox->size() : QSizeF(100, 100);
        const auto side = [&](const QString& key, double base) {
            const QStringView text = m_root.attribute(key);
            const std::optional<double> value = attributeLength(text, base);
            const double pixels = value && *value > 0 ? *value : base;
            return std::pair{pixels, absolute.match(text).hasMatch() ? pixels * kPointsPerPixel : pixels};
        };
        const auto [width, widthPoints] = side(QStringLiteral("width"), fallback.width());
        const auto [height, heightPoints] = side(QStringLiteral("height"), fallback.height());
        return {{width, height}, {widthPoints, heightPoints}};
    }

    void skip(const QString& what, const QString& reason)
    {
        LogEvent(kFileEvent, QStringLiteral("SVG import skipped %1: %2").arg(what, reason));
        m_skipped.append(what);
        // A hostile file may give each of a million elements a reason of its own.
        if (m_skipReasons.size() < VXSVGImporter::kMostSkipReasons && !m_skipReasonsMet.contains(reason)) {
            m_skipReasonsMet.insert(reason);
            m_skipReasons.append(reason);
        }
    }

    QTransform elementTransform(const SVGElement& element)
    {
        if (!element.hasAttribute(QStringLiteral("transform")))
            return {};
        const std::optional<QTransform> transform =
            SVGTransformParser::parse(element.attribute(QStringLiteral("transform")));
        if (!transform)
            LogEvent(kFileEvent, QStringLiteral("SVG import ignored a malformed transform on %1").arg(element.name()));
        return transform.value_or(QTransform());
    }

    double length(const SVGElement& element, const QString& key, double percentBase, double fallback = 0) const
    {
        return attributeLength(element.attribute(key), percentBase).value_or(fallback);
    }

    // The context an element's content is drawn in; none when it is not displayed.
    std::optional<Context> contextFor(const SVGElement& element, const Context& parent)
    {
        Context context = parent;
        context.style = SVGStyleResolver::resolve(element, parent.style, m_sheet);
        if (!context.style.displayed)
            return std::nullopt;
        context.toPage = elementTransform(element) * parent.toPage;
        noteUnsupportedEffects(element);
        if (!context.style.clipPath.isEmpty())
            clipTo(context, element);
        return context;
    }

    void clipTo(Context& context, const SVGElement& element)
    {
        const std::optional<QPainterPath> region =
            m_clipPaths.regionFor(context.style.clipPath, context.toPage, context.viewport,
                                  [&] { return userBounds(element, context.viewport); });
        if (!region) {
            // The clip paths log their own reasons.
            skip(QStringLiteral("clipPath"), QStringLiteral("a clipPath could not be applied; what it clips is drawn "
                                                            "unclipped"));
            return;
        }
        const std::optional<QPainterPath> both =
            context.clip ? m_clipPaths.intersected(*context.clip, *region) : region;
        if (both)
            context.clip = both;
        else
            LogEvent(kFileEvent, QStringLiteral("SVG import: nested clip paths too complex; the inner one is left out"));
    }

    // The bounds of an element's geometry in its own user units, for objectBoundingBox clips.
    QRectF userBounds(const SVGElement& element, QSizeF viewport, int depth = 0)
    {
        if (--m_visitBudget < 0 || depth > kMaximumUseDepth)
            return {};
        if (isGeometryElement(element.name())) {
            const std::optional<QPainterPath> path = geometry(element, viewport);
            return path ? path->boundingRect() : QRectF();
        }
        if (element.name() == u"use") {
            const SVGElement target = referencedElement(element);
            if (!target)
                return {};
            const QTransform offset = QTransform::fromTranslate(length(element, QStringLiteral("x"), viewport.width()),
                                                                length(element, QStringLiteral("y"), viewport.height()));
            return (elementTransform(target) * offset).mapRect(userBounds(target, viewport, depth + 1));
        }
        QRectF bounds;
        for (const SVGElement child : element.children()) {
            if (child.name() != u"#text" && !definitionElements().contains(child.name()))
                bounds |= elementTransform(child).mapRect(userBounds(child, viewport, depth + 1));
        }
        return bounds;
    }

    void noteUnsupportedEffects(const SVGElement& element)
    {
        static const std::pair<QString, QString> effects[] = {{QStringLiteral("filter"), QStringLiteral("filter")},
                                                              {QStringLiteral("mask"), QStringLiteral("mask")}};
        const auto declarations = SVGStyleResolver::parseDeclarations(element.attribute(QStringLiteral("style")));
        for (const auto& [property, name] : effects) {
            if (property == u"filter" && VXSVGImporter::ignoresFilterElements())
                continue;
            QStringView value = element.attribute(property);
            for (const auto& [key, declared] : declarations) {
                if (key == property)
                    value = declared;
            }
            if (!value.isEmpty() && value.trimmed() != u"none")
                skip(name, QStringLiteral("%1 on <%2> is not supported; drawn without it").arg(property, element.name()));
        }
    }

    QList<VXDrawableObjectPtr> convertChildren(const SVGElement& element, const Context& context)
    {
        QList<VXDrawableObjectPtr> objects;
        for (const SVGElement child : element.children()) {
            if (VXDrawableObjectPtr object = convert(child, context))
                objects.append(object);
        }
        return objects;
    }

    VXDrawableObjectPtr convert(const SVGElement& element, const Context& parent)
    {
        const QString& name = element.name();
        if (name == u"#text" || definitionElements().contains(name) || !m_refusal.isEmpty())
            return nullptr;
        if (parent.useDepth > 0)
            --m_usedElementBudget;
        if (--m_visitBudget < 0 || m_objectBudget <= 0 || m_usedElementBudget < 0) {
            if (!m_budgetReported)
                skip(name, QStringLiteral("the document is too large to import whole"));
            m_budgetReported = true;
            return nullptr;
        }
        const std::optional<Context> context = contextFor(element, parent);
        if (!context)
            return nullptr;
        if (name == u"g" || name == u"a")
            return group(element, *context);
        if (name == u"switch")
            return switchChoice(element, *context);
        if (name == u"svg")
            return nestedViewport(element, *context);
        if (context->clip && (name == u"text" || name == u"image"))
            LogEvent(kFileEvent, QStringLiteral("SVG import: <%1> is drawn unclipped").arg(name));
        if (name == u"text")
            return text(element, *context);
        if (name != u"use" && name != u"image" && !isGeometryElement(name)) {
            skip(name, QStringLiteral("<%1> is not supported").arg(name));
            return nullptr;
        }
        skipChildrenOfLeaf(element);
        if (name == u"use")
            return use(element, *context);
        if (name == u"image")
            return image(element, *context);
        const std::optional<QPainterPath> path = geometry(element, context->viewport);
        return path ? shape(element, *path, *context) : nullptr;
    }

    // Animations and the like inside shapes.
    void skipChildrenOfLeaf(const SVGElement& element)
    {
        for (const SVGElement child : element.children()) {
            if (!definitionElements().contains(child.name()))
                skip(child.name(), QStringLiteral("<%1> inside <%2> is not supported").arg(child.name(), element.name()));
        }
    }

    VXDrawableObjectPtr group(const SVGElement& element, Context context)
    {
        context.opacity *= context.style.opacity;
        const QList<VXDrawableObjectPtr> members = convertChildren(element, context);
        if (members.isEmpty())
            return nullptr;
        --m_objectBudget;
        return VXShapeGroup::groupWithObjects(members);
    }

    // A switch draws its first child that needs no extension we lack (we have none).
    VXDrawableObjectPtr switchChoice(const SVGElement& element, const Context& context)
    {
        for (const SVGElement child : element.children()) {
            if (child.name() != u"#text" && child.name() != u"foreignObject"
                && !child.hasAttribute(QStringLiteral("requiredExtensions")))
                return convert(child, context);
        }
        return nullptr;
    }

    VXDrawableObjectPtr nestedViewport(const SVGElement& element, Context context)
    {
        const QSizeF outer = context.viewport;
        const QPointF origin(length(element, QStringLiteral("x"), outer.width()),
                             length(element, QStringLiteral("y"), outer.height()));
        const QSizeF size(length(element, QStringLiteral("width"), outer.width(), outer.width()),
                          length(element, QStringLiteral("height"), outer.height(), outer.height()));
        if (size.isEmpty())
            return nullptr;
        const std::optional<QRectF> viewBox = SVGViewBox::parse(element.attribute(QStringLiteral("viewBox")));
        const QStringView aspect = element.attribute(QStringLiteral("preserveAspectRatio"));
        context.toPage = SVGViewBox::transform(viewBox.value_or(QRectF()), aspect, size)
            * QTransform::fromTranslate(origin.x(), origin.y()) * context.toPage;
        context.viewport = viewBox ? viewBox->size() : size;
        return group(element, context);
    }

    VXDrawableObjectPtr use(const SVGElement& element, Context context)
    {
        const QStringView href = element.attribute(QStringLiteral("href"));
        const SVGElement target = referencedElement(element);
        if (!target) {
            skip(QStringLiteral("use"), QStringLiteral("the reference \"%1\" is not in the document").arg(href));
            return nullptr;
        }
        if (m_usesInProgress.contains(target)) {
            skip(QStringLiteral("use"), QStringLiteral("the reference \"%1\" refers to itself").arg(href));
            return nullptr;
        }
        if (context.useDepth >= kMaximumUseDepth) {
            skip(QStringLiteral("use"), QStringLiteral("the reference \"%1\" ends a chain of more than %2 uses")
                                            .arg(href)
                                            .arg(kMaximumUseDepth));
            return nullptr;
        }
        const QSizeF viewport = context.viewport;
        context.toPage = QTransform::fromTranslate(length(element, QStringLiteral("x"), viewport.width()),
                                                   length(element, QStringLiteral("y"), viewport.height()))
            * context.toPage;
        context.opacity *= context.style.opacity;
        ++context.useDepth;
        m_usesInProgress.insert(target);
        VXDrawableObjectPtr object;
        if (target.name() == u"symbol")
            object = symbol(target, element, context);
        else
            object = convert(target, context);
        m_usesInProgress.remove(target);
        return object;
    }

    VXDrawableObjectPtr symbol(const SVGElement& symbol, const SVGElement& use, Context context)
    {
        const std::optional<Context> symbolContext = contextFor(symbol, context);
        if (!symbolContext)
            return nullptr;
        context = *symbolContext;
        if (const std::optional<QRectF> viewBox = SVGViewBox::parse(symbol.attribute(QStringLiteral("viewBox")))) {
            const QSizeF size(length(use, QStringLiteral("width"), context.viewport.width(), context.viewport.width()),
                              length(use, QStringLiteral("height"), context.viewport.height(), context.viewport.height()));
            context.toPage = SVGViewBox::transform(*viewBox, symbol.attribute(QStringLiteral("preserveAspectRatio")), size)
                * context.toPage;
            context.viewport = viewBox->size();
        }
        return group(symbol, context);
    }

    static bool isGeometryElement(const QString& name)
    {
        static const QSet<QString> names{QStringLiteral("path"),    QStringLiteral("rect"),     QStringLiteral("circle"),
                                         QStringLiteral("ellipse"), QStringLiteral("line"),     QStringLiteral("polyline"),
                                         QStringLiteral("polygon")};
        return names.contains(name);
    }

    // The outline of a basic shape or path in user units; none when it has no geometry.
    std::optional<QPainterPath> geometry(const SVGElement& element, QSizeF viewport)
    {
        const QString& name = element.name();
        const double w = viewport.width();
        const double h = viewport.height();
        const double diagonal = std::hypot(w, h) / std::sqrt(2.0);
        const auto value = [&](const char* key, double base) { return length(element, QString::fromLatin1(key), base); };
        QPainterPath path;
        if (name == u"path") {
            const SVGPathParser::Result parsed = SVGPathParser::parse(element.attribute(QStringLiteral("d")), m_pointBudget);
            if (parsed.budgetSpent)
                skip(QStringLiteral("path"), QStringLiteral("the document has too many path points; the rest is left out"));
            else if (!parsed.complete)
                LogEvent(kFileEvent, QStringLiteral("SVG import: path data stops at a bad token"));
            path = parsed.path;
        } else if (name == u"rect") {
            const QRectF rect(value("x", w), value("y", h), value("width", w), value("height", h));
            if (rect.width() <= 0 || rect.height() <= 0)
                return std::nullopt;
            const std::optional<double> rx = attributeLength(element.attribute(QStringLiteral("rx")), w);
            const std::optional<double> ry = attributeLength(element.attribute(QStringLiteral("ry")), h);
            const double radiusX = std::clamp(rx.value_or(ry.value_or(0)), 0.0, rect.width() / 2);
            const double radiusY = std::clamp(ry.value_or(rx.value_or(0)), 0.0, rect.height() / 2);
            if (radiusX > 0 && radiusY > 0)
                path.addRoundedRect(rect, radiusX, radiusY);
            else
                path.addRect(rect);
        } else if (name == u"circle" || name == u"ellipse") {
            const QPointF centre(value("cx", w), value("cy", h));
            const double rx = name == u"circle" ? value("r", diagonal) : value("rx", w);
            const double ry = name == u"circle" ? rx : value("ry", h);
            if (rx <= 0 || ry <= 0)
                return std::nullopt;
            path.addEllipse(centre, rx, ry);
        } else if (name == u"line") {
            path.moveTo(value("x1", w), value("y1", h));
            path.lineTo(value("x2", w), value("y2", h));
        } else if (name == u"polyline" || name == u"polygon") {
            const QPolygonF points = parsePoints(element.attribute(QStringLiteral("points")));
            m_pointBudget -= points.size();
            if (points.size() < 2 || m_pointBudget < 0)
                return std::nullopt;
            path.addPolygon(points);
            if (name == u"polygon")
                path.closeSubpath();
        } else {
            return std::nullopt;
        }
        if (path.elementCount() < 2)
            return std::nullopt;
        return path;
    }

    VXDrawableObjectPtr shape(const SVGElement& element, const QPainterPath& userPath, const Context& context)
    {
        if (!context.style.visible)
            return nullptr;
        BezierPath path(context.toPage.map(userPath));
        path.setWindingRule(context.style.fillRuleEvenOdd ? WindingRule::EvenOdd : WindingRule::NonZero);
        if (!isFinite(path.controlPointBounds()))
            return nullptr;
        const SVGGradientBuilder::Placement placement{userPath.boundingRect(), context.toPage, path.bounds(),
                                                      context.viewport};
        if (context.clip && !SVGClipPaths::covers(*context.clip, paintedBounds(path, context))) {
            if (const std::optional<VXDrawableObjectPtr> clipped = clippedShape(path, placement, context))
                return *clipped;
            LogEvent(kFileEvent, QStringLiteral("SVG import: a clip too complex to apply; <%1> drawn unclipped").arg(element.name()));
        }
        const VXStylePtr style = styleFor(context, placement);
        --m_objectBudget;
        const QString& name = element.name();
        if (name == u"rect" || name == u"circle" || name == u"ellipse")
            return VXDrawableShape::drawableShapeWithBezierPathWithStyle(path, style);
        return VXDrawablePath::drawablePathWithBezierPathWithStyle(path, style);
    }

    // Where the paint may reach: the path's points and, for a stroke, its widest miter.
    static QRectF paintedBounds(const BezierPath& path, const Context& context)
    {
        const SVGStyle& s = context.style;
        const double reach = s.stroke.kind == SVGPaint::None
            ? 0
            : s.strokeWidth * lengthScale(context.toPage) * std::max(s.strokeMiterLimit, 1.5) / 2;
        return path.controlPointBounds().adjusted(-reach, -reach, reach, reach);
    }

    // Without clipping groups, clipped paint becomes plain areas: the fill cut to the clip,
    // and the stroke's outline cut to it and filled with the stroke's colour. Null when
    // nothing remains; none when the clip is too complex to apply.
    std::optional<VXDrawableObjectPtr> clippedShape(const BezierPath& path, SVGGradientBuilder::Placement placement,
                                                    const Context& context)
    {
        const SVGStyle& s = context.style;
        QList<VXDrawableObjectPtr> parts;
        if (s.fill.kind != SVGPaint::None) {
            const std::optional<BezierPath> area = clippedArea(path.painterPathWithWindingRule(), context);
            if (!area)
                return std::nullopt;
            placement.pageBounds = area->bounds();
            if (auto fill = area->isEmpty() ? nullptr : fillFor(s, placement))
                parts.append(areaObject(*area, fill, context));
        }
        if (const QColor colour = strokeColour(s); colour.isValid() && s.strokeWidth > 0) {
            const std::optional<BezierPath> area = clippedArea(strokeOutline(path, context), context);
            if (!area)
                return std::nullopt;
            if (!area->isEmpty())
                parts.append(areaObject(*area, VXFill::fillWithColour(colour), context));
        }
        if (parts.isEmpty())
            return VXDrawableObjectPtr();
        m_objectBudget -= parts.size();
        return parts.size() == 1 ? parts.first() : VXShapeGroup::groupWithObjects(parts);
    }

    std::optional<BezierPath> clippedArea(const QPainterPath& area, const Context& context)
    {
        const std::optional<QPainterPath> clipped = m_clipPaths.intersected(area, *context.clip);
        if (!clipped)
            return std::nullopt;
        BezierPath path(*clipped);
        path.setWindingRule(clipped->fillRule() == Qt::OddEvenFill ? WindingRule::EvenOdd : WindingRule::NonZero);
        return path;
    }

    static QPainterPath strokeOutline(BezierPath path, const Context& context)
    {
        const SVGStyle& s = context.style;
        const double scale = lengthScale(context.toPage);
        path.setLineCapStyle(LineCapStyle(s.strokeLineCap));
        path.setLineJoinStyle(LineJoinStyle(s.strokeLineJoin));
        path.setMiterLimit(s.strokeMiterLimit);
        if (!s.strokeDashArray.isEmpty())
            path.setLineDash({scaledDashes(s.strokeDashArray, scale), s.strokeDashOffset * scale});
        return path.strokedPathWithStrokeWidth(s.strokeWidth * scale).painterPathWithWindingRule();
    }

    static QList<double> scaledDashes(const QList<double>& dashes, double scale)
    {
        QList<double> lengths;
        for (double dash : dashes.first(std::min<qsizetype>(dashes.size(), VXStrokeDash::kMaximumCount)))
            lengths.append(dash * scale);
        return lengths;
    }

    static VXDrawableObjectPtr areaObject(const BezierPath& area, const std::shared_ptr<VXRasterizer>& fill,
                                          const Context& context)
    {
        auto style = std::make_shared<VXStyle>();
        style->setOpacity(context.opacity * context.style.opacity);
        style->addRenderer(fill);
        return VXDrawablePath::drawablePathWithBezierPathWithStyle(area, style);
    }

    QColor strokeColour(const SVGStyle& s)
    {
        if (s.stroke.kind == SVGPaint::Reference)
            return paintReferenceColour(s.stroke.reference, s.strokeOpacity);
        return s.resolvedColour(s.stroke, s.strokeOpacity);
    }

    VXStylePtr styleFor(const Context& context, const SVGGradientBuilder::Placement& placement)
    {
        const SVGStyle& s = context.style;
        auto style = std::make_shared<VXStyle>();
        style->setOpacity(context.opacity * s.opacity);
        if (auto fill = fillFor(s, placement))
            style->addRenderer(fill);
        const QColor colour = strokeColour(s);
        if (colour.isValid() && s.strokeWidth > 0) {
            const double scale = lengthScale(context.toPage);
            auto stroke = VXStroke::strokeWithWidthColour(s.strokeWidth * scale, colour);
            stroke->setLineCapStyle(s.strokeLineCap);
            stroke->setLineJoinStyle(s.strokeLineJoin);
            stroke->setMiterLimit(s.strokeMiterLimit);
            if (!s.strokeDashArray.isEmpty()) {
                auto dash = VXStrokeDash::dashWithPatternPhase(scaledDashes(s.strokeDashArray, scale),
                                                               s.strokeDashOffset * scale);
                dash->setScalesToLineWidth(false);
                stroke->setDash(dash);
            }
            style->addRenderer(stroke);
        }
        return style;
    }

    std::shared_ptr<VXRasterizer> fillFor(const SVGStyle& s, const SVGGradientBuilder::Placement& placement)
    {
        if (s.fill.kind != SVGPaint::Reference) {
            const QColor colour = s.resolvedColour(s.fill, s.fillOpacity);
            return colour.isValid() ? VXFill::fillWithColour(colour) : nullptr;
        }
        if (!m_gradients.isGradient(s.fill.reference)) {
            skipPaintServer(s.fill.reference);
            return nullptr;
        }
        return m_gradients.fillFor(s.fill.reference, placement, s.fillOpacity);
    }

    QColor paintReferenceColour(const QString& reference, double paintOpacity)
    {
        if (!m_gradients.isGradient(reference)) {
            skipPaintServer(reference);
            return {};
        }
        return m_gradients.representativeColour(reference, paintOpacity);
    }

    void skipPaintServer(const QString& reference)
    {
        const SVGElement server = m_tree.elementById(reference);
        skip(server ? server.name() : QStringLiteral("paint"),
             QStringLiteral("the paint \"%1\" is not a gradient; painted as none").arg(reference));
    }

    // --- Text ---------------------------------------------------------------------------

    // A run of text in one style, set from a position of its own or, without one, going on
    // where the run before it ended (a tspan that only restyles its words).
    struct TextChunk {
        std::optional<QPointF> position;
        SVGStyle style;
        QString text;
    };

    static bool looksAlike(const SVGStyle& a, const SVGStyle& b)
    {
        return a.fontFamily == b.fontFamily && a.fontSize == b.fontSize && a.fontWeight == b.fontWeight
            && a.fontItalic == b.fontItalic && a.fill == b.fill && a.fillOpacity == b.fillOpacity
            && a.stroke == b.stroke && a.strokeOpacity == b.strokeOpacity && a.strokeWidth == b.strokeWidth
            && a.colour == b.colour && a.opacity == b.opacity && a.visible == b.visible;
    }

    QPointF firstPosition(const SVGElement& element, QPointF fallback, QSizeF viewport) const
    {
        static const QRegularExpression separator(QStringLiteral("[\\s,]+"));
        // Per-glyph position lists are not kept: the run starts at the first.
        const auto first = [](QStringView list) { return list.trimmed().toString().split(separator).value(0); };
        return {attributeLength(first(element.attribute(QStringLiteral("x"))), viewport.width()).value_or(fallback.x()),
                attributeLength(first(element.attribute(QStringLiteral("y"))), viewport.height()).value_or(fallback.y())};
    }

    static QPointF lastPosition(const QList<TextChunk>& chunks)
    {
        for (auto chunk = chunks.crbegin(); chunk != chunks.crend(); ++chunk)
            if (chunk->position)
                return *chunk->position;
        return {};
    }

    // Later text in `style` starts a chunk of its own unless the last one already looks so.
    static void continueInStyle(QList<TextChunk>& chunks, const SVGStyle& style)
    {
        if (!looksAlike(chunks.last().style, style))
            chunks.append({std::nullopt, style, {}});
    }

    void collectChunks(const SVGElement& element, const SVGStyle& style, QSizeF viewport, QList<TextChunk>& chunks,
                       qsizetype& textLength)
    {
        for (const SVGElement child : element.children()) {
            if (child.name() == u"#text") {
                textLength += child.text().size();
                if (textLength > kMaximumTextLength)
                    return;
                chunks.last().text += child.text();
            } else if (child.name() == u"tspan") {
                const SVGStyle spanStyle = SVGStyleResolver::resolve(child, style, m_sheet);
                if (!spanStyle.displayed)
                    continue;
                if (child.hasAttribute(QStringLiteral("x")) || child.hasAttribute(QStringLiteral("y")))
                    chunks.append({firstPosition(child, lastPosition(chunks), viewport), spanStyle, {}});
                else
                    continueInStyle(chunks, spanStyle);
                collectChunks(child, spanStyle, viewport, chunks, textLength);
                if (textLength > kMaximumTextLength)
                    return;
                continueInStyle(chunks, style);
            } else if (!definitionElements().contains(child.name())) {
                skip(child.name(), QStringLiteral("<%1> inside text is not supported").arg(child.name()));
            }
        }
    }

    // White space as SVG lays it out by default: each run of it one space, none at the start
    // or end of a positioned run, whatever elements it crosses.
    static void collapseWhiteSpace(QList<TextChunk>& chunks)
    {
        bool afterSpace = true;
        TextChunk* lastWithText = nullptr;
        const auto trimRunEnd = [&] {
            if (lastWithText && lastWithText->text.endsWith(u' '))
                lastWithText->text.chop(1);
        };
        for (TextChunk& chunk : chunks) {
            if (chunk.position) {
                trimRunEnd();
                afterSpace = true;
                lastWithText = nullptr;
            }
            QString collapsed;
            for (const QChar c : std::as_const(chunk.text)) {
                if (!c.isSpace())
                    collapsed += c;
                else if (!afterSpace)
                    collapsed += u' ';
                afterSpace = c.isSpace();
            }
            chunk.text = collapsed;
            if (!chunk.text.isEmpty())
                lastWithText = &chunk;
        }
        trimRunEnd();
    }

    QFont fontOf(const SVGStyle& s, const Context& context) const
    {
        QFont font;
        if (!s.fontFamily.isEmpty())
            font.setFamily(s.fontFamily);
        font.setPointSizeF(std::clamp(s.fontSize * lengthScale(context.toPage), 0.1, kMaximumFontSize));
        font.setWeight(QFont::Weight(std::clamp(s.fontWeight, 1, 1000)));
        font.setItalic(s.fontItalic);
        return font;
    }

    // How far a chunk moves the pen, in points. Shaping a long text is costly: measure each chunk once.
    double pointAdvance(const TextChunk& chunk, const Context& context) const
    {
        return QFontMetricsF(fontOf(chunk.style, context), AttributedStringLayout::pointDevice()).horizontalAdvance(chunk.text);
    }

    VXDrawableObjectPtr text(const SVGElement& element, const Context& context)
    {
        QList<TextChunk> chunks{{firstPosition(element, {}, context.viewport), context.style, {}}};
        qsizetype textLength = 0;
        collectChunks(element, context.style, context.viewport, chunks, textLength);
        if (textLength > kMaximumTextLength) {
            m_refusal = QCoreApplication::translate("SVG", "A text is refused: it is longer than %L1 characters.")
                            .arg(kMaximumTextLength);
            return nullptr;
        }
        collapseWhiteSpace(chunks);
        QList<double> advances;
        advances.reserve(chunks.size());
        for (const TextChunk& chunk : std::as_const(chunks))
            advances.append(pointAdvance(chunk, context));
        const double scale = lengthScale(context.toPage);
        const auto userAdvance = [&](qsizetype i) { return scale > 0 ? advances[i] / scale : 0; };
        QList<VXDrawableObjectPtr> shapes;
        QPointF pen;
        double anchorShift = 0;
        for (qsizetype i = 0; i < chunks.size(); ++i) {
            const TextChunk& chunk = chunks[i];
            if (chunk.position) {
                pen = *chunk.position;
                // The run's first chunk anchors all of it.
                double runAdvance = 0;
                for (qsizetype j = i; j < chunks.size() && (j == i || !chunks[j].position); ++j)
                    runAdvance += userAdvance(j);
                anchorShift = runAdvance * chunk.style.textAnchor / 2;
            }
            const QPointF start(pen.x() - anchorShift, pen.y());
            pen.rx() += userAdvance(i);
            if (chunk.text.trimmed().isEmpty() || !chunk.style.visible || m_objectBudget-- <= 0)
                continue;
            if (VXDrawableObjectPtr shape = textShape(chunk, advances[i], start, context))
                shapes.append(shape);
        }
        if (shapes.size() > 1)
            return VXShapeGroup::groupWithObjects(shapes);
        return shapes.value(0);
    }

    // The chunk set with its baseline starting at `start` (user units); `chunkAdvance` is its width in points.
    VXDrawableObjectPtr textShape(const TextChunk& chunk, double chunkAdvance, QPointF start, const Context& context)
    {
        const SVGStyle& s = chunk.style;
        const QFont font = fontOf(s, context);
        const QFontMetricsF metrics(font, AttributedStringLayout::pointDevice());
        const QPointF baseline = context.toPage.map(start);
        if (!isFinite(QRectF(baseline, QSizeF())) || !std::isfinite(font.pointSizeF()))
            return nullptr;
        // Spaces that only separate it from the next chunk are not part of the shape.
        QString string = chunk.text;
        while (string.endsWith(u' '))
            string.chop(1);
        const double advance = string.size() == chunk.text.size() ? chunkAdvance : metrics.horizontalAdvance(string);
        // Room to spare, so the box never wraps the line.
        const QRectF box(baseline.x(), baseline.y() - metrics.ascent(), std::ceil(advance) + 2,
                         std::ceil(metrics.height()));
        // The string goes in last: each change before it lays out an empty text, not a long one.
        auto shape = VXTextShape::textShapeWithStringInRect(QString(), box);
        shape->setFont(font);
        QColor colour = s.resolvedColour(s.fill, s.fillOpacity);
        if (s.fill.kind == SVGPaint::Reference)
            colour = m_gradients.representativeColour(s.fill.reference, s.fillOpacity);
        if (colour.isValid())
            colour.setAlphaF(float(colour.alphaF() * context.opacity * s.opacity));
        shape->setTextColour(colour.isValid() ? colour : QColor(Qt::transparent));
        outlineText(*shape, s, colour.isValid(), context);
        shape->setString(string);
        const double angle = std::atan2(context.toPage.m12(), context.toPage.m11());
        if (std::abs(angle) > 1e-9) {
            QTransform turn;
            turn.translate(baseline.x(), baseline.y());
            turn.rotateRadians(angle);
            turn.translate(-baseline.x(), -baseline.y());
            shape->applyTransform(turn);
        }
        return shape;
    }

    // A stroke on text becomes the adornment's outline: around filled glyphs, or alone.
    void outlineText(VXTextShape& shape, const SVGStyle& s, bool filled, const Context& context)
    {
        QColor colour = strokeColour(s);
        if (!colour.isValid() || s.strokeWidth <= 0)
            return;
        colour.setAlphaF(float(colour.alphaF() * context.opacity * s.opacity));
        const double width = 100 * s.strokeWidth * lengthScale(context.toPage) / shape.font().pointSizeF();
        shape.textAdornment()->setOutlineColour(colour);
        shape.textAdornment()->setOutlineWidth(filled ? -width : width);
    }

    // --- Images ---------------------------------------------------------------------------

    // The image as the user can find it: by its file, or, embedded, by its id and size.
    static QString imageName(const SVGElement& element)
    {
        const QStringView reference = element.attribute(QStringLiteral("href")).trimmed();
        if (!reference.startsWith(u"data:"))
            return QStringLiteral("the image \"%1\"").arg(reference.left(80));
        const QStringView id = element.attribute(QStringLiteral("id"));
        const QString size = QLocale().formattedDataSize(reference.size());
        return id.isEmpty() ? QStringLiteral("an embedded image of %1").arg(size)
                            : QStringLiteral("the embedded image \"%1\" of %2").arg(id.left(80), size);
    }

    // Named by its file, or by its id when it is embedded, so the user can find it.
    void refuseImage(const SVGElement& element, const QString& reason)
    {
        const QStringView reference = element.attribute(QStringLiteral("href")).trimmed();
        const QStringView name = reference.startsWith(u"data:") ? element.attribute(QStringLiteral("id")) : reference;
        m_refusal = name.isEmpty()
            ? QCoreApplication::translate("SVG", "An embedded image is refused: %1.").arg(reason)
            : QCoreApplication::translate("SVG", "The image “%1” is refused: %2.").arg(name.left(80), reason);
    }

    // An image's bytes as shared pixels, or why there are none.
    struct ImageContent {
        std::shared_ptr<const SharedImage> image;
        QString problem;
    };

    // Each <image> element, and each file several of them name, is read once however often
    // it is used, and equal bytes share their pixels.
    const ImageContent& imageOf(const SVGElement& element)
    {
        if (const auto known = m_imagesByElement.constFind(element); known != m_imagesByElement.cend())
            return *known;
        const QStringView reference = element.attribute(QStringLiteral("href")).trimmed();
        const auto read = [this](QStringView reference) {
            ImageContent content;
            const std::optional<QByteArray> data =
                SVGImageSource::dataForReference(reference, m_baseFolder, &content.problem);
            if (data)
                content.image = SharedImage::forData(*data);
            return content;
        };
        if (reference.startsWith(u"data:"))
            return m_imagesByElement[element] = read(reference);
        const QString file = reference.toString();
        if (!m_imagesByFile.contains(file))
            m_imagesByFile.insert(file, read(file));
        return m_imagesByElement[element] = m_imagesByFile.value(file);
    }

    VXDrawableObjectPtr image(const SVGElement& element, const Context& context)
    {
        if (!context.style.visible)
            return nullptr;
        const ImageContent& content = imageOf(element);
        if (QString reason; content.image && !m_pixels.admit(content.image, &reason)) {
            refuseImage(element, reason);
            return nullptr;
        }
        const std::shared_ptr<VXImageShape> shape =
            content.image ? VXImageShape::imageShapeWithSharedImage(content.image) : nullptr;
        if (!shape) {
            const QString problem = content.image ? QStringLiteral("it is not an image that can be read") : content.problem;
            skip(QStringLiteral("image"), QStringLiteral("%1 is left out: %2").arg(imageName(element), problem));
            return nullptr;
        }
        const QSizeF natural = shape->size();
        const QSizeF viewport = context.viewport;
        const QRectF box(length(element, QStringLiteral("x"), viewport.width()),
                         length(element, QStringLiteral("y"), viewport.height()),
                         length(element, QStringLiteral("width"), viewport.width(), natural.width()),
                         length(element, QStringLiteral("height"), viewport.height(), natural.height()));
        if (box.isEmpty() || natural.isEmpty() || !isFinite(context.toPage.mapRect(box)))
            return nullptr;
        const QStringView aspect = element.attribute(QStringLiteral("preserveAspectRatio"));
        const QTransform fit = SVGViewBox::transform(QRectF(QPointF(), natural), aspect, box.size());
        const QRectF placed = fit.mapRect(QRectF(QPointF(), natural)).translated(box.topLeft());
        shape->setSize(placed.size());
        shape->setLocation(placed.center());
        shape->applyTransform(context.toPage);
        shape->setImageOpacity(context.opacity * context.style.opacity);
        --m_objectBudget;
        return shape;
    }

    const SVGElementTree& m_tree;
    SVGElement m_root;
    QString m_baseFolder;
    QHash<SVGElement, ImageContent> m_imagesByElement;
    QHash<QString, ImageContent> m_imagesByFile;
    DecodedPixelBudget m_pixels;
    QString m_refusal; // why the import fails
    SVGStyleSheet m_sheet;
    SVGGradientBuilder m_gradients;
    SVGClipPaths m_clipPaths;
    QSet<SVGElement> m_usesInProgress;
    QStringList m_skipped;
    QStringList m_skipReasons;
    QSet<QString> m_skipReasonsMet;
    qsizetype m_pointBudget = kMaximumPathPoints;
    qsizetype m_objectBudget = kMaximumObjects;
    qsizetype m_visitBudget = kMaximumVisits;
    qsizetype m_usedElementBudget = kMaximumUsedElements;
    bool m_budgetReported = false;
};

} // namespace

bool VXSVGImporter::ignoresFilterElements() { return VXDrawingPreferences::current().ignoresSVGFilterElements; }

std::optional<VXSVGImporter::Result> VXSVGImporter::importFile(const QString& path, QuorvaneError* error)
{
    QString reason;
    const std::optional<QByteArray> svg = platform::readRegularFile(path, kMaximumFileSize, &reason);
    if (!svg) {
        if (error)
            *error = QuorvaneError(kQuorvaneDocumentError,
                                   QCoreApplication::translate("SVG", "The SVG file cannot be read: %1").arg(reason));
        return std::nullopt;
    }
    return importData(*svg, QFileInfo(path).absolutePath(), error);
}

std::optional<VXSVGImporter::Result> VXSVGImporter::importData(const QByteArray& svg, const QString& baseFolder,
                                                               QuorvaneError* error)
{
    if (svg.size() > kMaximumFileSize) {
        if (error)
            *error = QuorvaneError(kQuorvaneDocumentError,
                                   QCoreApplication::translate("SVG", "The SVG file is too large to import."));
        return std::nullopt;
    }
    const std::unique_ptr<SVGElementTree> tree = SVGElementTree::read(svg, error);
    if (!tree)
        return std::nullopt;
    Converter converter(*tree, baseFolder);
    Result result = converter.run();
    if (!converter.refusal().isEmpty()) {
        if (error)
            *error = QuorvaneError(kQuorvaneDocumentError, converter.refusal());
        return std::nullopt;
    }
    return result;
}
